// Tracked locks: slot allocation, holder records, misuse halts and the leak report.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "os_test_support.h"

namespace {

using os_test::stderr_of;
using testing::HasSubstr;

// These tests take and give locks out of order on purpose (stray releases, a holder's re-acquire),
// which the compiler's lock checking would rightly refuse.
int32_t unchecked_lock(struct_plock* lock, const char* caller, int32_t line) NO_THREAD_SAFETY_ANALYSIS {
    return liborvaniot_os_mutex_struct_plock_lock(lock, caller, line);
}
int32_t unchecked_unlock(struct_plock* lock, const char* caller, int32_t line) NO_THREAD_SAFETY_ANALYSIS {
    return liborvaniot_os_mutex_struct_plock_unlock(lock, caller, line);
}

int32_t idle_routine(liborvaniot_os_pthread*) {
    return 0;
}

TEST(TrackedLockSlots, FirstLockTakesTheLastSlotAndLaterOnesCountUpFromZero) {
    os_test::expect_in_fresh_process([] {
        struct_plock first, second, third;
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&first, "first", 1), 0);
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&second, "second", 2), 0);
        EXPECT_EQ(first.m_index, LIBORVANIOT_OS_MUTEX_SLOTS - 1);
        EXPECT_EQ(second.m_index, 0);

        // Destroying and creating again reuses the object but not the freed slot: the search goes on
        // from its cursor.
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_free(&second, "second", 3), 0);
        EXPECT_EQ(second.m_index, -1);
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&second, "second again", 4), 0);
        EXPECT_EQ(second.m_index, 1);
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&third, "third", 5), 0);
        EXPECT_EQ(third.m_index, 2);
        const liborvaniot_os_mutex_resource slot = liborvaniot_os_mutex_slot_snapshot(second.m_index);
        EXPECT_STREQ(slot.owner_name, "second again");
        EXPECT_EQ(slot.owner_line, 4);
        EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(0).in_use, 0);
    });
}

TEST(TrackedLockSlots, DebugLayerCreatesItsLocksInOrderAndRemovesThemAll) {
    os_test::expect_in_fresh_process([] {
        ASSERT_EQ(liborvaniot_os_debug_initialize(), 0);
        EXPECT_EQ(liborvaniot_os_debug_mx.m_index, LIBORVANIOT_OS_MUTEX_SLOTS - 1);
        EXPECT_EQ(liborvaniot_os_mem_mx.m_index, 0);
        EXPECT_EQ(liborvaniot_os_socket_mx.m_index, 1);
        EXPECT_EQ(liborvaniot_core_cms_loop_mx.m_index, 2);
        liborvaniot_os_debug_finalize();
        for (const struct_plock* lock : {&liborvaniot_os_debug_mx, &liborvaniot_os_mem_mx,
                                         &liborvaniot_os_socket_mx, &liborvaniot_core_cms_loop_mx}) {
            EXPECT_FALSE(liborvaniot_os_mutex_is_present(lock));
        }
    });
}

TEST(TrackedLockSlots, ExhaustedTableRefusesCreationAndEveryUserCleansUp) {
    os_test::expect_in_fresh_process([] {
        std::vector<struct_plock> locks(LIBORVANIOT_OS_MUTEX_SLOTS);
        for (auto& lock : locks) ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&lock, "filler", 10), 0);

        struct_plock extra;
        int32_t result = 0;
        EXPECT_EQ(
            stderr_of([&] { result = liborvaniot_os_mutex_struct_plock_init(&extra, "one_too_many", 77); }),
            "out of liborvaniot mutex object count(37439/37439),error !! one_too_many:77\n");
        EXPECT_EQ(result, -1);
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&extra));
        // An owned lock that could not be made says so all its life, and its owner's end destroys
        // nothing (a destruction of the absent lock would halt).
        {
            std::optional<tracked_lock> owned;
            EXPECT_EQ(stderr_of([&] { owned.emplace("owner_start", "owner_end", 79); }),
                      "out of liborvaniot mutex object count(37439/37439),error !! owner_start:79\n");
            EXPECT_FALSE(owned->exists());
        }

        // The debug layer cannot start without its log lock.
        std::string written = stderr_of([&] { result = liborvaniot_os_debug_initialize(); });
        EXPECT_EQ(result, 1);
        EXPECT_THAT(written, HasSubstr("mutex init liborvaniot_os_debug_mx,error !!\n"));
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx));

        // A start that fails half-way (log lock made, memory lock not) can still be stopped.
        liborvaniot_os_mutex_struct_plock_free(&locks[5], "filler", 11);
        written = stderr_of([&] { result = liborvaniot_os_debug_initialize(); });
        EXPECT_EQ(result, 1);
        EXPECT_THAT(written, HasSubstr("error !! liborvaniot_os_debug_initialize:"));
        EXPECT_TRUE(liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx));
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_mem_mx));
        liborvaniot_os_debug_finalize();
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx));

        // A user thread whose locks cannot all be made leaves no guard behind, so the owner's stop is
        // harmless afterwards.
        liborvaniot_os_pthread record{};
        struct_plock guard;
        stderr_of([&] {
            result = liborvaniot_os_pthread_start(&record, &guard, nullptr, idle_routine, "owner", 30);
        });
        EXPECT_EQ(result, -1);
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&guard));
        EXPECT_EQ(record.magic, 0);
        liborvaniot_os_pthread_stop(&record, &guard);

        // Freed slots behind the cursor are found by the second pass of the search.
        EXPECT_EQ(liborvaniot_os_mutex_struct_plock_init(&extra, "after_wrap", 78), 0);
    });
}

TEST(OwnedTrackedLock, LivesExactlyAsLongAsItsOwnerUnderItsCreatorsName) {
    os_test::expect_in_fresh_process([] {
        int32_t index = -1;
        {
            tracked_lock lock("owner_start", "owner_end", 70);
            ASSERT_TRUE(lock.exists());
            index = lock.plock().m_index;
            EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(index).in_use, 1);
            EXPECT_STREQ(liborvaniot_os_mutex_slot_snapshot(index).owner_name, "owner_start");
            EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(index).owner_line, 70);
            plock_guard held(lock, "user", 71);
            EXPECT_STREQ(liborvaniot_os_mutex_slot_snapshot(index).holder_name, "user");
            EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(index).holder_line, 71);
        }
        EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(index).in_use, 0);
        EXPECT_EQ(stderr_of([] { liborvaniot_os_mutex_report_leaks(); }), "");
    });
}

TEST(TrackedLockLeakReport, ListsLocksNeverDestroyedAndResetsTheTable) {
    os_test::expect_in_fresh_process([] {
        struct_plock kept, dropped, next;
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&kept, "kept_creator", 61), 0);
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&dropped, "dropped_creator", 62), 0);
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_free(&dropped, "dropped_creator", 63), 0);
        EXPECT_EQ(stderr_of([] { liborvaniot_os_mutex_report_leaks(); }),
                  "mutex leak error !! kept_creator:61\n");
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&next, "next", 64), 0);
        EXPECT_EQ(next.m_index, LIBORVANIOT_OS_MUTEX_SLOTS - 1);
    });
}

TEST(TrackedLock, HolderIsRecordedWhileHeldAndClearedOnRelease) {
    struct_plock lock;
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 11), 0);
    unchecked_lock(&lock, "holder", 22);

    const liborvaniot_os_mutex_resource held = liborvaniot_os_mutex_slot_snapshot(lock.m_index);
    EXPECT_EQ(held.lock, 1);
    EXPECT_EQ(held.pid, 0);
    EXPECT_STREQ(held.owner_name, "creator");
    EXPECT_STREQ(held.holder_name, "holder");
    EXPECT_EQ(held.holder_line, 22);
    EXPECT_GT(held.lock_time.tv_sec, 0);

    std::vector<std::string> visited;
    liborvaniot_os_mutex_visit_held(
        [](int32_t index, const liborvaniot_os_mutex_resource& slot, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(std::to_string(index) + " " +
                                                                       slot.holder_name);
        },
        &visited);
    EXPECT_THAT(visited, testing::Contains(std::to_string(lock.m_index) + " holder"));

    unchecked_unlock(&lock, "holder", 23);
    const liborvaniot_os_mutex_resource released = liborvaniot_os_mutex_slot_snapshot(lock.m_index);
    EXPECT_EQ(released.lock, 0);
    EXPECT_STREQ(released.holder_name, "");
    EXPECT_EQ(released.holder_line, -1);
    EXPECT_EQ(liborvaniot_os_mutex_struct_plock_free(&lock, "creator", 24), 0);
}

TEST(TrackedLock, AnotherThreadWaitsUntilTheHolderReleases) {
    struct_plock lock;
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 1), 0);
    unchecked_lock(&lock, "first_holder", 2);

    std::atomic<bool> acquired{false};
    std::string holder_seen_by_worker;
    std::thread worker([&] {
        unchecked_lock(&lock, "worker", 3);
        acquired = true;
        holder_seen_by_worker = liborvaniot_os_mutex_slot_snapshot(lock.m_index).holder_name;
        unchecked_unlock(&lock, "worker", 4);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(acquired);
    unchecked_unlock(&lock, "first_holder", 5);
    worker.join();
    EXPECT_TRUE(acquired);
    EXPECT_EQ(holder_seen_by_worker, "worker");
    liborvaniot_os_mutex_struct_plock_free(&lock, "creator", 6);
}

TEST(TrackedLock, ReleaseByAThreadThatDoesNotHoldItIsRefused) {
    struct_plock lock;
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 1), 0);
    unchecked_lock(&lock, "owner", 40);

    std::string written;
    std::thread([&] {
        written = stderr_of([&] { unchecked_unlock(&lock, "intruder", 41); });
    }).join();
    EXPECT_THAT(written, HasSubstr("error !!"));
    EXPECT_THAT(written, HasSubstr("owner,40"));
    EXPECT_THAT(written, HasSubstr("intruder,41"));
    const liborvaniot_os_mutex_resource slot = liborvaniot_os_mutex_slot_snapshot(lock.m_index);
    EXPECT_EQ(slot.lock, 1);
    EXPECT_STREQ(slot.holder_name, "owner");

    // The owner's release still works and leaves the lock usable by others.
    EXPECT_EQ(stderr_of([&] { unchecked_unlock(&lock, "owner", 42); }), "");
    std::thread([&] {
        unchecked_lock(&lock, "other", 43);
        unchecked_unlock(&lock, "other", 44);
    }).join();
    liborvaniot_os_mutex_struct_plock_free(&lock, "creator", 45);
}

TEST(TrackedLock, StrayReleasesAreReportedAndNeitherOpenTheLockNorDisturbItsHolder) {
    struct_plock lock;
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 1), 0);
    EXPECT_EQ(stderr_of([&] { unchecked_unlock(&lock, "stray", 50); }),
              "Alpstruct_plock->is_in_lock != 0x6677,error !! stray,50\n");

    // A worker takes the lock again and again while another thread keeps releasing it without ever
    // holding it: every stray release is refused (lines naming only "stray"), the worker's
    // read-modify-write under the lock is never interleaved, and the worker's own acquire and
    // release never find the lock state disturbed.
    constexpr int kStrayReleases = 3000;
    int64_t counter = 0;  // only touched under the lock
    std::atomic<int64_t> rounds{0};
    std::atomic<bool> done{false};
    const auto work = [&](const char* caller, int32_t line) {
        while (!done) {
            plock_guard held(lock, caller, line);
            const int64_t seen = counter;
            std::this_thread::yield();
            counter = seen + 1;
            ++rounds;
        }
    };
    const std::string written = stderr_of([&] {
        std::thread worker(work, "worker", 52);
        std::thread second(work, "second", 53);
        for (int i = 0; i < kStrayReleases; ++i) {
            unchecked_unlock(&lock, "stray", 51);
            std::this_thread::yield();
        }
        done = true;
        worker.join();
        second.join();
    });
    EXPECT_EQ(counter, rounds.load());
    EXPECT_THAT(written, testing::Not(HasSubstr("error !! worker")));
    EXPECT_THAT(written, testing::Not(HasSubstr("error !! second")));
    EXPECT_THAT(written, testing::Not(HasSubstr("0x5566")));
    EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(lock.m_index).lock, 0);
    liborvaniot_os_mutex_struct_plock_free(&lock, "creator", 54);
}

TEST(TrackedLockSlots, CreationWithoutASystemMutexGivesItsSlotBack) {
    os_test::expect_in_fresh_process([] {
        struct_plock first;
        ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&first, "first", 1), 0);
        // A handle that is not empty cannot receive a new system mutex.
        struct_plock stale;
        ASSERT_EQ(mfc_mutex_init(&stale.mutex), 0);
        mfc_mutex_handle other = stale.mutex;
        int32_t result = 0;
        EXPECT_EQ(stderr_of([&] { result = liborvaniot_os_mutex_struct_plock_init(&stale, "stale", 2); }),
                  "mfc_mutex_init,__mutex != 0,error !!\n");
        EXPECT_EQ(result, -1);
        EXPECT_FALSE(liborvaniot_os_mutex_is_present(&stale));
        EXPECT_EQ(liborvaniot_os_mutex_slot_snapshot(0).in_use, 0);
        EXPECT_EQ(stale.mutex, other) << "the mutex already there is left alone";
        EXPECT_EQ(mfc_mutex_free(&stale.mutex), 0);

        // The slot is free again and no leak is reported for the lock that never came to be.
        EXPECT_EQ(stderr_of([] { liborvaniot_os_mutex_report_leaks(); }), "mutex leak error !! first:1\n");
    });
}

TEST(SystemMutexHandle, CreateNeedsAnEmptyHandleAndCloseAFilledOne) {
    mfc_mutex_handle handle = nullptr;
    ASSERT_EQ(mfc_mutex_init(&handle), 0);
    ASSERT_NE(handle, nullptr);
    int32_t result = 0;
    EXPECT_EQ(stderr_of([&] { result = mfc_mutex_init(&handle); }), "mfc_mutex_init,__mutex != 0,error !!\n");
    EXPECT_EQ(result, -1);
    ASSERT_EQ(mfc_mutex_free(&handle), 0);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(stderr_of([&] { result = mfc_mutex_free(&handle); }), "mfc_mutex_init,__mutex == 0,error !!\n");
    EXPECT_EQ(result, -1);
}

struct MisuseCase {
    const char* name;
    std::function<void()> misuse;
    const char* diagnostic;  // regular expression
};

TEST(TrackedLockMisuse, HaltsAtTheFaultyCallNamingTheCallers) {
    os_test::use_fresh_process_for_death_tests();
    const std::vector<MisuseCase> cases = {
        {"created twice",
         [] {
             struct_plock lock;
             liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 1);
             liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 2);
         },
         "liborvaniot_os_mutex_struct_plock_init,error !!\n"},
        {"acquired while absent",
         [] {
             struct_plock lock;
             unchecked_lock(&lock, "user", 12);
         },
         "liborvaniot_os_mutex_struct_plock_lock,error !! user,12\n"},
        {"released while absent",
         [] {
             struct_plock lock;
             unchecked_unlock(&lock, "user", 13);
         },
         "liborvaniot_os_mutex_struct_plock_unlock,error !!\n"},
        {"destroyed while absent",
         [] {
             struct_plock lock;
             liborvaniot_os_mutex_struct_plock_free(&lock, "destroyer", 14);
         },
         "liborvaniot_os_mutex_struct_plock_free,error !! destroyer:14\n"},
        {"destroyed while held",
         [] {
             struct_plock lock;
             liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 1);
             unchecked_lock(&lock, "user", 2);
             liborvaniot_os_mutex_struct_plock_free(&lock, "destroyer", 15);
         },
         "liborvaniot_os_mutex_struct_plock_free Alpstruct_plock->lock != 0,error !! destroyer:15\n"},
        {"owned lock ended with its owner while held",
         [] {
             tracked_lock lock("owner_start", "owner_end", 17);
             unchecked_lock(&lock.plock(), "user", 18);
         },
         "liborvaniot_os_mutex_struct_plock_free Alpstruct_plock->lock != 0,error !! owner_end:17\n"},
        {"re-acquired by its holder",
         [] {
             struct_plock lock;
             liborvaniot_os_mutex_struct_plock_init(&lock, "creator", 1);
             unchecked_lock(&lock, "first_holder", 21);
             unchecked_lock(&lock, "second_holder", 22);
         },
         "duplicate lock mute in same thread m_index=.+,error !!\n"
         "last=pid\\(0\\): first_holder,21\nnew =pid\\(0\\): second_holder,22\n"},
        {"placed off a 4-byte boundary",
         [] {
             alignas(struct_plock) char storage[2 * sizeof(struct_plock)] = {};
             liborvaniot_os_mutex_struct_plock_init(reinterpret_cast<struct_plock*>(storage + 2), "misplaced",
                                                    16);
         },
         "Alpstruct_plock->init,align,error !! misplaced:16\n"},
    };
    for (const MisuseCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DEATH(c.misuse(), c.diagnostic);
    }
}

}  // namespace
