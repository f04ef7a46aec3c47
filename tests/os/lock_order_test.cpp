// The log lock and the memory lock are each taken while the other is held by a different path:
// a long message allocates (log lock, then memory lock), while a release error and the leak report
// write log lines. Those lines must be written after the memory lock is released, or these two
// threads wait for each other (and a thread-sanitizer build reports the inversion).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <sstream>
#include <string>
#include <thread>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "os_test_support.h"

namespace {

using LockOrder = os_test::RuntimeTest;

TEST_F(LockOrder, LongMessagesAndMemoryReportsOnTwoThreadsNeverWaitForEachOther) {
    void* outstanding = liborvaniot_os_mem_malloc(8, "orvan/test/outstanding", 1);
    ASSERT_NE(outstanding, nullptr);
    int not_tracked = 0;
    const std::string long_message(MAX_DBG_MSG_NULL_SIZE + 100, 'x');
    const auto log_long_message = [&] {
        liborvaniot_os_debug_printf("logger", 0, "%s\n", long_message.c_str());
    };
    const auto report_and_release_badly = [&] {
        liborvaniot_os_mem_report_leaks();
        liborvaniot_os_mem_dbg_free(&not_tracked, "orvan/test/reporter", 0);
    };

    // Every line written must be one whole message of one of the two threads; anything else (a
    // sanitizer report, two messages run together) is shown.
    const auto unexpected_lines = [&](const std::string& written) {
        std::istringstream lines(written);
        std::string line;
        std::string unexpected;
        while (std::getline(lines, line)) {
            // The report may also catch the logger's own block for a long message while it exists.
            const bool whole =
                line == long_message || line == "memory leaks count = 1" ||
                line == "memory leaks count = 2" ||
                line == "_user_malloc_remove_mem_info Error !! orvan/test/reporter:0" ||
                (line.starts_with("memory leaks:[0x") &&
                 (line.ends_with("file: orvan/test/outstanding") ||
                  line.ends_with("file: liborvaniot_os/Linux/src/Common/liborvaniot_os_debug")));
            if (!whole) unexpected += line.substr(0, 200) + "\n";
        }
        return unexpected;
    };

    testing::internal::CaptureStderr();
    // Each path once, one thread after the other: a thread-sanitizer build sees both lock orders
    // without having to run into the deadlock itself.
    std::thread(log_long_message).join();
    std::thread(report_and_release_badly).join();

    // Then both at once, where the wrong order leaves each thread waiting for the other.
    std::thread logger([&] {
        for (int i = 0; i < 200; ++i) log_long_message();
    });
    std::thread reporter([&] {
        for (int i = 0; i < 200; ++i) report_and_release_badly();
    });
    // Deadlocked threads cannot be joined: give them a generous minute, then stop the program with
    // what was written so far rather than leaving the run to an outer timeout.
    std::promise<void> finished;
    std::thread joiner([&] {
        logger.join();
        reporter.join();
        finished.set_value();
    });
    if (finished.get_future().wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        const std::string unexpected = unexpected_lines(testing::internal::GetCapturedStderr());
        std::fprintf(stdout, "logger and reporter still wait for each other after 60 s:\n%s",
                     unexpected.c_str());
        std::fflush(stdout);
        std::abort();
    }
    joiner.join();
    const std::string unexpected = unexpected_lines(testing::internal::GetCapturedStderr());
    liborvaniot_os_mem_dbg_free(outstanding, "orvan/test", 2);
    EXPECT_EQ(unexpected, "");
}

}  // namespace
