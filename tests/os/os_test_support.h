// Helpers shared by the runtime's tests: capturing standard error, a fixture with the debug layer
// running, and running a check in a fresh copy of the test program.
#pragma once

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <functional>
#include <string>

#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace os_test {

inline constexpr int kStandardError = 2;

// A pipe of two file descriptors, binary on Windows so that what is read is what was written.
inline int make_pipe(int fds[2]) {
#ifdef _WIN32
    return ::_pipe(fds, 4096, _O_BINARY);
#else
    return ::pipe(fds);
#endif
}

// Everything the runtime writes to standard error while action runs.
template <typename Action>
std::string stderr_of(Action&& action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

// The debug layer and its service locks exist for the duration of each test.
class RuntimeTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(liborvaniot_os_debug_initialize(), 0); }
    void TearDown() override { liborvaniot_os_debug_finalize(); }
};

// Death tests start a new copy of the program, so that a halt cannot disturb the running tests.
inline void use_fresh_process_for_death_tests() {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
}

}  // namespace os_test

namespace os_test {

// Runs body and ends the process: exit status 1 and the failed checks on standard error when any
// check failed, 0 otherwise.
[[noreturn]] inline void run_and_exit(const std::function<void()>& body) {
    testing::TestPartResultArray results;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
        body();
    }
    bool failed = false;
    for (int i = 0; i < results.size(); ++i) {
        const testing::TestPartResult& result = results.GetTestPartResult(i);
        if (!result.failed()) continue;
        failed = true;
        std::fprintf(stderr, "%s:%d: %s\n", result.file_name() != nullptr ? result.file_name() : "?",
                     result.line_number(), result.message());
    }
    std::fflush(stderr);
    _exit(failed ? 1 : 0);
}

// Runs body in a newly started copy of the test program, where the runtime's process-wide tables are
// as a fresh process finds them. The body uses ordinary EXPECT_ and ASSERT_ checks; a failed one fails
// the calling test and is shown in its output.
inline void expect_in_fresh_process(const std::function<void()>& body) {
    use_fresh_process_for_death_tests();
    EXPECT_EXIT(run_and_exit(body), testing::ExitedWithCode(0), "") << "checks in a fresh process failed";
}

}  // namespace os_test
