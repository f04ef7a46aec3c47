// The debug output: exact text, message length limits, the wide variant, and the state rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>


#include <clocale>
#include <cstdint>
#include <string>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "os_test_support.h"

namespace {

using os_test::stderr_of;
using testing::HasSubstr;
using testing::StartsWith;

constexpr char kLengthError[] = "\nerror !! len != buf_null_size\n";

TEST(DebugOutputState, LogCallsBeforeInitialiseAndAfterFinaliseWriteNothing) {
    ASSERT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx));
    const auto log_both = [] {
        liborvaniot_os_debug_printf("caller", 1, "narrow %d\n", 1);
        liborvaniot_os_debug_safe_printfW(L"wide %d\n", 2);
    };
    EXPECT_EQ(stderr_of(log_both), "");
    ASSERT_EQ(liborvaniot_os_debug_initialize(), 0);
    EXPECT_EQ(stderr_of(log_both), "narrow 1\nwide 2\n");
    liborvaniot_os_debug_finalize();
    EXPECT_EQ(stderr_of(log_both), "");
}

using DebugOutput = os_test::RuntimeTest;

TEST_F(DebugOutput, GoesWhereTheProgramPointsItOrNowhere) {
    int pipe_fds[2];
    ASSERT_EQ(os_test::make_pipe(pipe_fds), 0);
    liborvaniot_os_debug_set_output(pipe_fds[1]);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "to the pipe\n"); }), "");
    liborvaniot_os_debug_set_output(-1);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "dropped\n"); }), "");
    liborvaniot_os_debug_set_output(os_test::kStandardError);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "back\n"); }), "back\n");
    close(pipe_fds[1]);
    char buffer[64] = {};
    EXPECT_EQ(std::string(buffer, read(pipe_fds[0], buffer, sizeof buffer)), "to the pipe\n");
    close(pipe_fds[0]);
}

TEST_F(DebugOutput, WritesExactlyTheFormattedTextAndNeverTheCaller) {
    EXPECT_EQ(
        stderr_of([] { liborvaniot_os_debug_printf("SomeScreen::OnClick", 4321, "value=%d,%s", 7, "x"); }),
        "value=7,x");
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "%s", ""); }), "");
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "a\r\nb\t\n"); }), "a\r\nb\t\n");
}

TEST_F(DebugOutput, MessagesThatCannotBeFormattedWhollyBecomeTheLengthError) {
    // An embedded zero shortens the text; a wide argument that the C locale cannot encode makes the
    // formatter fail (Windows' C library encodes it in the ANSI code page instead).
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "ab%cde\n", '\0'); }), kLengthError);
#ifndef _WIN32
    EXPECT_EQ(stderr_of([] { liborvaniot_os_debug_printf("caller", 1, "%ls\n", L"\u00e9"); }), kLengthError);
#endif
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_raw_printf(buffer, "ab%cde\n", '\0'); }), kLengthError);
}

TEST_F(DebugOutput, MessagesOfAnyLengthAreWrittenWholeWithoutKeepingMemory) {
    const int32_t outstanding = liborvaniot_os_mem_outstanding_count();
    for (const size_t length : {size_t{1}, size_t{10239}, size_t{10240}, size_t{50000}}) {
        SCOPED_TRACE(length);
        const std::string message(length, 'm');
        EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_printf("caller", 1, "%s", message.c_str()); }),
                  message);
        char buffer[MAX_DBG_MSG_NULL_SIZE];
        EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_raw_printf(buffer, "%s", message.c_str()); }),
                  message);
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), outstanding);
    }
}

TEST_F(DebugOutput, OnlyMessagesBeyondTheBufferNeedTheTrackedAllocation) {
    // Without the memory lock the tracked allocation is refused: a 10239-character message still fits
    // the buffer, a 10240-character one is dropped after the allocation failure line.
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_free(&liborvaniot_os_mem_mx, "test", __LINE__), 0);
    const std::string fits(10239, 'f');
    const std::string too_long(10240, 't');
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_printf("caller", 1, "%s", fits.c_str()); }), fits);
    const std::string written =
        stderr_of([&] { liborvaniot_os_debug_printf("caller", 1, "%s", too_long.c_str()); });
    EXPECT_THAT(
        written,
        StartsWith("calloc_z memory return null, liborvaniot_os/Linux/src/Common/liborvaniot_os_debug:"));
    EXPECT_THAT(written, testing::Not(HasSubstr("ttt")));
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_mem_mx, "test", __LINE__), 0);
}

TEST_F(DebugOutput, LockFreeVariantWorksWithoutTheDebugLayer) {
    liborvaniot_os_debug_finalize();
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_raw_printf(buffer, "raw %s\n", "text"); }), "raw text\n");
    ASSERT_EQ(liborvaniot_os_debug_initialize(), 0);
}

TEST_F(DebugOutput, WideMessagesAreLimitedTo10239Characters) {
    const std::wstring fits(10239, L'w');
    const std::wstring too_long(10240, L'w');
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_safe_printfW(L"%s", fits.c_str()); }),
              std::string(10239, 'w'));
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_safe_printfW(L"%s", too_long.c_str()); }),
              "\nerror !! MAX_DBG_MSG_NULL_SIZE\n");
    // Beyond the formatting buffer itself.
    const std::wstring huge(20000, L'w');
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_debug_safe_printfW(L"%s", huge.c_str()); }),
              "\nerror !! MAX_DBG_MSG_NULL_SIZE\n");
}

TEST_F(DebugOutput, WideFormatsTakeWideTextsAndAreWrittenAsUtf8) {
    struct Case {
        const char* name;
        std::string expected;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"plain %s is wide", "Current Dir: /tmp/caf\xC3\xA9\n",
         stderr_of([] { liborvaniot_os_debug_safe_printfW(L"Current Dir: %s\n", L"/tmp/caf\u00e9"); })},
        {"%hs and %S are narrow", "a-b",
         stderr_of([] { liborvaniot_os_debug_safe_printfW(L"%hs-%S", "a", "b"); })},
        {"%ls and %c", "x\xE2\x82\xAC!",
         stderr_of([] { liborvaniot_os_debug_safe_printfW(L"%ls%c!", L"x", L'\u20ac'); })},
        // A width counts wchar_t units, two of which a character beyond U+FFFF takes on Windows.
        {"four-byte character and width",
         sizeof(wchar_t) == 2 ? "[ \xF0\x9F\x98\x80] 42%" : "[  \xF0\x9F\x98\x80] 42%",
         stderr_of([] { liborvaniot_os_debug_safe_printfW(L"[%3s] %d%%", L"\U0001F600", 42); })},
        {"invalid code point", "\xEF\xBF\xBD", stderr_of([] {
             const wchar_t bad[] = {static_cast<wchar_t>(0xD800), 0};
             liborvaniot_os_debug_safe_printfW(L"%s", bad);
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.written, c.expected);
    }
}

}  // namespace
