// Core start and stop, the core threads, the leak reports and termination signals.
#include <gtest/gtest.h>
#include <linux/limits.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core_test_support.h"
#include "liborvaniot_core_cms/liborvaniot_core_cms.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

using namespace std::chrono_literals;
using core_test::CountOf;
using core_test::StderrOf;

constexpr char kOkLine[] = "liborvaniot_core_cms_finalize:Ok.\n";
constexpr char kBanner[] = "liborvaniot_core_cms_initialize:Version ";

using CoreStartStop = core_test::CoreWithLinkLocalAddress;

TEST_F(CoreStartStop, SecondStartAndSecondStopChangeNothing) {
    const std::string out = StderrOf([] {
        ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
        EXPECT_EQ(liborvaniot_core_cms_running_threads(), 2);
        EXPECT_EQ(liborvaniot_core_cms_initialize(), 0);
        EXPECT_EQ(liborvaniot_core_cms_running_threads(), 2);
        liborvaniot_core_cms_finalize();
        EXPECT_EQ(liborvaniot_core_cms_running_threads(), 0);
        liborvaniot_core_cms_finalize();
    });
    EXPECT_EQ(CountOf(out, kBanner), 1) << out;
    EXPECT_EQ(CountOf(out, kOkLine), 1) << out;
}

TEST_F(CoreStartStop, CleanRunEndsWithTheOkLineAndNoLeakLines) {
    const std::string out = StderrOf([] {
        ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
        std::this_thread::sleep_for(1200ms);  // let both threads tick
        liborvaniot_core_cms_finalize();
    });
    EXPECT_EQ(CountOf(out, kBanner), 1) << out;
    ASSERT_GE(out.size(), sizeof kOkLine - 1);
    EXPECT_EQ(out.substr(out.size() - (sizeof kOkLine - 1)), kOkLine) << out;
    EXPECT_EQ(out.find("leak"), std::string::npos) << out;
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), 0);
}

// Runs in a child process: what it leaks must not reach the other tests.
TEST_F(CoreStartStop, LeakReportsFollowTheOkLineInTheirOrder) {
    EXPECT_EXIT(
        {
            liborvaniot_core_cms_initialize();
            liborvaniot_os_mem_malloc(24, "leaky_block_origin", 11);
            static struct_plock lock;
            liborvaniot_os_mutex_struct_plock_init(&lock, "leaky_lock_origin", 22);
            liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "leaky_socket_origin", 33);
            liborvaniot_core_cms_finalize();
            _exit(0);
        },
        testing::ExitedWithCode(0),
        "Ok\\.\n"
        "memory leaks:\\[0x[0-9a-fA-F]+\\],\\[24\\] bytes,line:\\[11\\],file: leaky_block_origin\n"
        "memory leaks count = 1\n"
        "mutex leak error !! leaky_lock_origin:22\n"
        "socket leak error !! leaky_socket_origin:33\n$");
}

TEST_F(CoreStartStop, FailedStartLeavesNothingRunning) {
    {
        // With every slot of the lock table taken, the runtime cannot create its first lock.
        std::vector<struct_plock> taken(LIBORVANIOT_OS_MUTEX_SLOTS);
        size_t count = 0;
        while (count < taken.size() &&
               liborvaniot_os_mutex_struct_plock_init(&taken[count], "FailedStartLeavesNothingRunning", __LINE__) == 0) {
            ++count;
        }

        EXPECT_EQ(liborvaniot_core_cms_initialize(), 1);
        EXPECT_EQ(liborvaniot_os_stop_flag.load(), 1);
        EXPECT_EQ(liborvaniot_core_cms_running_threads(), 0);
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx));
        EXPECT_EQ(StderrOf([] { liborvaniot_core_cms_finalize(); }), "");
        for (size_t i = 0; i < count; ++i) {
            liborvaniot_os_mutex_struct_plock_free(&taken[i], "FailedStartLeavesNothingRunning", __LINE__);
        }
    }
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0) << "a later start works again";
}

TEST(PlatformRuntime, StartsOnceAndStopsOnce) {
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    EXPECT_TRUE(liborvaniot_os_mutex_is_present(&liborvaniot_os_localtime_mx));
    EXPECT_TRUE(liborvaniot_os_mutex_is_present(&liborvaniot_os_net_mx));
    EXPECT_EQ(liborvaniot_os_initialize(), 1) << "a second start is refused";
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx)) << "and stops the runtime";
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_localtime_mx));
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_net_mx));
    EXPECT_EQ(liborvaniot_os_finalize(), 1);

    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    liborvaniot_os_stop_flag = 1;
    EXPECT_EQ(liborvaniot_os_finalize(), 0);
    EXPECT_EQ(liborvaniot_os_stop_flag.load(), 0) << "stop lowers the stop flag";
    EXPECT_EQ(liborvaniot_os_finalize(), 1);
}

TEST(SigtermHandler, RaisesTheStopFlagForTerminationSignalsOnly) {
    const struct {
        int signal_number;
        int32_t stop_flag;
    } cases[] = {{2, 1}, {9, 1}, {10, 1}, {12, 1}, {15, 1}, {1, 0},
                 {3, 0}, {6, 0}, {13, 0}, {14, 0}, {17, 0}};
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::Message() << "signal " << row.signal_number);
        liborvaniot_os_stop_flag = 0;
        liborvaniot_core_cms_sigterm_handler(row.signal_number);
        EXPECT_EQ(liborvaniot_os_stop_flag.load(), row.stop_flag);
    }
    liborvaniot_os_stop_flag = 0;
}

TEST(SigtermHandler, SegmentationSignalWritesItsLineAndEndsTheProcess) {
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);  // the line goes to standard output
            liborvaniot_core_cms_sigterm_handler(11);
        },
        testing::ExitedWithCode(1), "^== SIGSEGV ==\n$");
}

void (*HandlerOf(int signal_number))(int) {
    struct sigaction current {};
    sigaction(signal_number, nullptr, &current);
    return current.sa_handler;
}

TEST_F(CoreStartStop, SigtermEndsTheCoreThreadsWithinAboutASecond) {
    const auto previous_term = HandlerOf(SIGTERM);
    const auto previous_int = HandlerOf(SIGINT);
    ASSERT_EQ(liborvaniot_core_cms_initialize(), 0);
    EXPECT_EQ(HandlerOf(SIGTERM), &liborvaniot_core_cms_sigterm_handler);
    EXPECT_EQ(HandlerOf(SIGINT), &liborvaniot_core_cms_sigterm_handler);
    EXPECT_NE(HandlerOf(SIGSEGV), &liborvaniot_core_cms_sigterm_handler) << "a crash must stay a crash";
    ASSERT_EQ(liborvaniot_core_cms_running_threads(), 2);

    const auto signalled = std::chrono::steady_clock::now();
    ASSERT_EQ(kill(getpid(), SIGTERM), 0);
    // Waits long enough to tell a slow stop from one that never comes; the figure is reported.
    while (liborvaniot_core_cms_running_threads() != 0 &&
           std::chrono::steady_clock::now() - signalled < 10s) {
        std::this_thread::sleep_for(10ms);
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - signalled);
    EXPECT_EQ(liborvaniot_core_cms_running_threads(), 0);
    RecordProperty("threads_ended_after_ms", static_cast<int>(elapsed.count()));
    std::printf("core threads ended %lld ms after SIGTERM\n", static_cast<long long>(elapsed.count()));

    liborvaniot_core_cms_finalize();
    EXPECT_EQ(HandlerOf(SIGTERM), previous_term) << "the previous handlers come back at stop";
    EXPECT_EQ(HandlerOf(SIGINT), previous_int);
}

}  // namespace
