// The scanner's console on Windows: the code page and the modes it changes belong to the console,
// which the user's shell goes on using, so they are put back as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "liborvaniot_os/liborvaniot_os_console.h"

namespace {

constexpr wchar_t kChildVariable[] = L"ORVAN_CONSOLE_TEST_CHILD";

// What the child found, as bits of its exit status (0: all as expected; 0x40: no usable console).
enum : DWORD {
    kNotUtf8 = 0x1,
    kNoTerminalEscapes = 0x2,
    kCodePageNotBack = 0x4,
    kModeNotBack = 0x8,
    kNoConsole = 0x40,
};

// Runs in a process with a console of its own, as the user's shell would hand it over.
DWORD ChangeAndRestoreTheConsole() {
    const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode) || !SetConsoleOutputCP(437)) return kNoConsole;
    const DWORD user_mode = (mode | ENABLE_PROCESSED_OUTPUT) & ~static_cast<DWORD>(ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    SetConsoleMode(console, user_mode);
    DWORD found = 0;
    liborvaniot_os_console_prepare_streams();
    if (GetConsoleOutputCP() != CP_UTF8) found |= kNotUtf8;
    GetConsoleMode(console, &mode);
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0) found |= kNoTerminalEscapes;
    liborvaniot_os_console_restore_streams();
    if (GetConsoleOutputCP() != 437) found |= kCodePageNotBack;
    GetConsoleMode(console, &mode);
    if (mode != user_mode) found |= kModeNotBack;
    return found;
}

TEST(Win32Console, TheCodePageAndTheModesArePutBackAsTheyWere) {
    if (GetEnvironmentVariableW(kChildVariable, nullptr, 0) != 0) ExitProcess(ChangeAndRestoreTheConsole());

    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=Win32Console.*";
    SetEnvironmentVariableW(kChildVariable, L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0);
    DWORD found = 0;
    GetExitCodeProcess(child.hProcess, &found);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    if (found == kNoConsole) GTEST_SKIP() << "no usable console here";
    EXPECT_EQ(found & kNotUtf8, 0u) << "the output code page did not become UTF-8";
    EXPECT_EQ(found & kNoTerminalEscapes, 0u) << "terminal escapes were not turned on";
    EXPECT_EQ(found & kCodePageNotBack, 0u) << "the user's code page was not put back";
    EXPECT_EQ(found & kModeNotBack, 0u) << "the user's console mode was not put back";
}

}  // namespace
