// System threads (stopped through their record) and user threads (status, break flag, join).
#include <gtest/gtest.h>
#ifdef __linux__
#include <pthread.h>  // for the refused start, provoked through glibc
#endif

#include <atomic>
#include <functional>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "os_test_support.h"

namespace {

int returns_at_once(liborvaniot_os_sys_thread*) {
    return 0;
}

int runs_until_run_is_cleared(liborvaniot_os_sys_thread* self) {
    static_cast<std::atomic<bool>*>(self->arg)->store(true);
    while (self->run.load() == 1) liborvaniot_os_sleep_ms(1);
    return 0;
}

int runs_until_stop_flag(liborvaniot_os_sys_thread* self) {
    static_cast<std::atomic<bool>*>(self->arg)->store(true);
    while (liborvaniot_os_stop_flag.load() == 0) liborvaniot_os_sleep_ms(1);
    return 0;
}

using SystemThread = os_test::RuntimeTest;

TEST_F(SystemThread, StopsWhenItsStopConditionIsMet) {
    struct Case {
        const char* name;
        int (*routine)(liborvaniot_os_sys_thread*);
        std::function<void(liborvaniot_os_sys_thread&)> ask_to_stop;
    };
    const std::vector<Case> cases = {
        {"routine that returns at once", returns_at_once, [](liborvaniot_os_sys_thread&) {}},
        {"run flag cleared", runs_until_run_is_cleared, [](liborvaniot_os_sys_thread& t) { t.run.store(0); }},
        {"stop flag raised", runs_until_stop_flag,
         [](liborvaniot_os_sys_thread&) { liborvaniot_os_stop_flag = 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> started{false};
        liborvaniot_os_sys_thread thread;
        thread.routine = c.routine;
        thread.arg = &started;
        ASSERT_EQ(liborvaniot_os_sys_thread_create(&thread), 0);
        EXPECT_EQ(thread.run.load(), 1);
        if (c.routine != returns_at_once) {
            while (!started) liborvaniot_os_sleep_ms(1);
            EXPECT_NE(thread.id.load(), 0u);
        }
        c.ask_to_stop(thread);
        liborvaniot_os_sys_thread_wait_stopped(&thread);
        EXPECT_EQ(thread.id.load(), 0u);
        liborvaniot_os_stop_flag = 0;
    }
}

TEST_F(SystemThread, StoppingARecordWithoutThreadReturnsAtOnce) {
    liborvaniot_os_sys_thread never_started;
    liborvaniot_os_sys_thread_wait_stopped(&never_started);
    EXPECT_EQ(never_started.id.load(), 0u);
}

struct WorkerState {
    std::atomic<int> runs{0};
};

int32_t polls_until_break(liborvaniot_os_pthread* self) {
    static_cast<WorkerState*>(self->user_arg)->runs++;
    while (liborvaniot_os_pthread_check_break(self) == 0) liborvaniot_os_sleep_ms(1);
    return 42;
}

class UserThread : public os_test::RuntimeTest {
  protected:
    void wait_for_status(int32_t wanted) {
        while (liborvaniot_os_thread_get_status(&record_) != wanted) liborvaniot_os_sleep_ms(1);
    }
    bool has_handle() {
        plock_guard held(record_.status_lock, "UserThread::has_handle", __LINE__);
        return record_.has_handle;
    }
    int32_t result() {
        plock_guard held(record_.status_lock, "UserThread::result", __LINE__);
        return record_.result;
    }

    WorkerState state_;
    liborvaniot_os_pthread record_{};
    struct_plock guard_;
};

TEST_F(UserThread, ReleaseAndJoinReturnToIdleWithTheRoutinesResult) {
    ASSERT_EQ(liborvaniot_os_pthread_start(&record_, &guard_, &state_, polls_until_break, "Owner::Start", 10),
              0);
    EXPECT_TRUE(has_handle());
    wait_for_status(LIBORVANIOT_OS_PTHREAD_RUNNING);

    liborvaniot_os_thread_release(&record_);
    wait_for_status(LIBORVANIOT_OS_PTHREAD_FINISHED);
    liborvaniot_os_thread_join(&record_);
    EXPECT_EQ(liborvaniot_os_thread_get_status(&record_), LIBORVANIOT_OS_PTHREAD_IDLE);
    EXPECT_FALSE(has_handle());
    EXPECT_EQ(result(), 42);
    EXPECT_EQ(state_.runs, 1);

    // Joining again finds no thread and changes nothing.
    liborvaniot_os_thread_join(&record_);
    EXPECT_EQ(liborvaniot_os_thread_get_status(&record_), LIBORVANIOT_OS_PTHREAD_IDLE);

    liborvaniot_os_pthread_finalize_m(&guard_);
    liborvaniot_os_pthread_lock_deinit(&record_);
    EXPECT_EQ(record_.magic, 0);
}

TEST_F(UserThread, SecondStartWhileRunningStartsNothing) {
    ASSERT_EQ(liborvaniot_os_pthread_start(&record_, &guard_, &state_, polls_until_break, "Owner::Start", 20),
              0);
    wait_for_status(LIBORVANIOT_OS_PTHREAD_RUNNING);
    EXPECT_EQ(liborvaniot_os_pthread_start(&record_, &guard_, &state_, polls_until_break, "Owner::Start", 21),
              0);
    // Neither does a direct create on a record that has a thread.
    EXPECT_EQ(liborvaniot_os_pthread_create(&record_, polls_until_break), -1);

    EXPECT_EQ(liborvaniot_os_pthread_stop(&record_, &guard_), 42) << "the joined thread's exit value";
    EXPECT_EQ(state_.runs, 1);
    EXPECT_EQ(record_.magic, 0);
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&guard_));
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&record_.status_lock));
    EXPECT_EQ(liborvaniot_os_pthread_stop(&record_, &guard_), 0) << "stopping again does nothing";
}

TEST_F(UserThread, RecordCanBeStartedAgainAfterAStop) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(
            liborvaniot_os_pthread_start(&record_, &guard_, &state_, polls_until_break, "Owner::Start", 30),
            0);
        liborvaniot_os_pthread_stop(&record_, &guard_);
    }
    EXPECT_EQ(state_.runs, 2);
}

// The refusal is provoked through glibc's default thread attributes, which other C libraries lack.
#if defined(__GLIBC__)
TEST_F(UserThread, StartThatTheSystemRefusesReportsTheFailureAndLeavesNothingBehind) {
    // Every new thread's stack is made larger than the address space, so the system refuses it.
    pthread_attr_t usual;
    ASSERT_EQ(pthread_getattr_default_np(&usual), 0);
    pthread_attr_t huge;
    ASSERT_EQ(pthread_attr_init(&huge), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&huge, size_t{1} << 60), 0);
    ASSERT_EQ(pthread_setattr_default_np(&huge), 0);
    const int32_t result =
        liborvaniot_os_pthread_start(&record_, &guard_, &state_, polls_until_break, "Owner::Start", 40);
    ASSERT_EQ(pthread_setattr_default_np(&usual), 0);
    pthread_attr_destroy(&huge);
    pthread_attr_destroy(&usual);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(record_.magic, 0);
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&guard_));
    EXPECT_FALSE(liborvaniot_os_mutex_is_present(&record_.status_lock));
    liborvaniot_os_pthread_stop(&record_, &guard_);  // nothing to stop

    // With the system willing again, the same record starts.
    ASSERT_EQ(liborvaniot_os_pthread_start(&record_, &guard_, &state_, polls_until_break, "Owner::Start", 41),
              0);
    liborvaniot_os_pthread_stop(&record_, &guard_);
    EXPECT_EQ(state_.runs, 1);
}
#endif

}  // namespace
