// Time of day and local time.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <limits>
#include <thread>

#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "os_test_support.h"

namespace {

bool close_to_now(const liborvaniot_os_timeval& tv) {
    const std::time_t now = std::time(nullptr);
    return tv.tv_usec >= 0 && tv.tv_usec < 1000000 && tv.tv_sec >= now - 2 && tv.tv_sec <= now + 2;
}

TEST(TimeOfDay, FirstCallersCalibrateOnceAndBothGetTheTime) {
    os_test::expect_in_fresh_process([] {
        ASSERT_EQ(liborvaniot_os_time_calibration_count(), 0);
        liborvaniot_os_timeval first{}, second{};
        // A spinning start line rather than std::barrier: MinGW's std::barrier (GCC 12) parks its
        // waiters on a shared pool of condition variables, and under Wine one run in a few never
        // woke the waiting thread. Spinning also lines the two callers up closer than a wake-up.
        std::atomic<int> arrived{0};
        const auto arrive_and_wait = [&arrived] {
            arrived.fetch_add(1);
            while (arrived.load() < 2) std::this_thread::yield();
        };
        std::thread other([&] {
            arrive_and_wait();
            liborvaniot_os_gettimeofday(&second);
        });
        arrive_and_wait();
        liborvaniot_os_gettimeofday(&first);
        other.join();
        EXPECT_TRUE(close_to_now(first)) << first.tv_sec << "." << first.tv_usec;
        EXPECT_TRUE(close_to_now(second)) << second.tv_sec << "." << second.tv_usec;
        EXPECT_EQ(liborvaniot_os_time_calibration_count(), 1);
    });
}

TEST(TimeOfDay, NeverGoesBackwards) {
    liborvaniot_os_timeval previous{};
    liborvaniot_os_gettimeofday(&previous);
    EXPECT_TRUE(close_to_now(previous));
    for (int i = 0; i < 1000; ++i) {
        liborvaniot_os_timeval next{};
        liborvaniot_os_gettimeofday(&next);
        ASSERT_TRUE(next.tv_sec > previous.tv_sec ||
                    (next.tv_sec == previous.tv_sec && next.tv_usec >= previous.tv_usec));
        previous = next;
    }
}

TEST(LocalTime, MatchesTheLibraryConversionWithOrWithoutTheLock) {
    const int64_t seconds = 1700000000;
    const std::time_t value = seconds;
    std::tm expected{};
    ASSERT_NE(::localtime_r(&value, &expected), nullptr);

    for (const bool with_lock : {false, true}) {
        SCOPED_TRACE(with_lock);
        if (with_lock) {
            ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_localtime_mx, "test", 1), 0);
        }
        std::tm converted{};
        liborvaniot_os_localtime_r(seconds, &converted);
        EXPECT_EQ(converted.tm_year, expected.tm_year);
        EXPECT_EQ(converted.tm_yday, expected.tm_yday);
        EXPECT_EQ(converted.tm_hour, expected.tm_hour);
        EXPECT_EQ(converted.tm_sec, expected.tm_sec);
    }
    liborvaniot_os_mutex_struct_plock_free(&liborvaniot_os_localtime_mx, "test", 2);
}

TEST(LocalTime, ValueThatCannotBeConvertedGivesAllZero) {
    std::tm converted{};
    converted.tm_year = 99;
    converted.tm_mday = 5;
    liborvaniot_os_localtime_r(std::numeric_limits<int64_t>::max(), &converted);
    EXPECT_EQ(converted.tm_year, 0);
    EXPECT_EQ(converted.tm_mday, 0);
    EXPECT_EQ(converted.tm_hour, 0);
    EXPECT_EQ(converted.tm_isdst, 0);
}

}  // namespace
