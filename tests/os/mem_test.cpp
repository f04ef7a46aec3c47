// Tracked heap blocks: records, release errors, the leak report and behaviour without the memory lock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "os_test_support.h"

// Sanitizer builds treat a refused allocation as fatal by default; these tests need the plain
// null result that the runtime reports.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
extern "C" const char* __tsan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

using os_test::stderr_of;

std::string leak_line(const void* block, int32_t size, int32_t line, const std::string& file) {
    char text[512];
    std::snprintf(text, sizeof(text), "memory leaks:[0x%016" PRIXPTR "],[%d] bytes,line:[%d],file: %s\n",
                  reinterpret_cast<uintptr_t>(block), size, line, file.c_str());
    return text;
}

using MemoryAccounting = os_test::RuntimeTest;

TEST_F(MemoryAccounting, LeakReportListsOutstandingBlocksInOrderThenTheirCount) {
    ASSERT_EQ(liborvaniot_os_mem_outstanding_count(), 0) << "an earlier test leaked tracked blocks";
    EXPECT_EQ(stderr_of([] { liborvaniot_os_mem_report_leaks(); }), "");

    auto* zeroed = static_cast<unsigned char*>(liborvaniot_os_mem_calloc(88, 1000, "orvan/test/zeroed", 33));
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(std::count(zeroed, zeroed + 88000, 0), 88000);
    const std::string long_file(300, 'p');
    void* plain = liborvaniot_os_mem_malloc(5, long_file.c_str(), 44);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), 2);

    // Paths are kept to 256 characters.
    EXPECT_EQ(stderr_of([] { liborvaniot_os_mem_report_leaks(); }),
              leak_line(zeroed, 88000, 33, "orvan/test/zeroed") +
                  leak_line(plain, 5, 44, long_file.substr(0, 256)) + "memory leaks count = 2\n");

    liborvaniot_os_mem_dbg_free(zeroed, "orvan/test", 50);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_mem_report_leaks(); }),
              leak_line(plain, 5, 44, long_file.substr(0, 256)) + "memory leaks count = 1\n");
    liborvaniot_os_mem_dbg_free(plain, "orvan/test", 51);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_mem_report_leaks(); }), "");
}

TEST_F(MemoryAccounting, ReleasingABlockWithoutRecordReportsTheRequestAndLeavesTheBlock) {
    void* block = liborvaniot_os_mem_malloc(16, "orvan/test", 1);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_mem_dbg_free(block, "orvan/first_release", 2); }), "");
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_mem_dbg_free(block, "orvan/second_release", 3); }),
              "_user_malloc_remove_mem_info Error !! orvan/second_release:3\n");
    // A block the layer never handed out must not be given to the heap (this one is on the stack).
    int local = 0;
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_mem_dbg_free(&local, "orvan/stack", 4); }),
              "_user_malloc_remove_mem_info Error !! orvan/stack:4\n");
}

TEST_F(MemoryAccounting, WithoutTheMemoryLockNothingIsAllocatedOrReleased) {
    void* kept = liborvaniot_os_mem_malloc(8, "orvan/test", 1);
    ASSERT_NE(kept, nullptr);
    const int32_t outstanding = liborvaniot_os_mem_outstanding_count();
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_free(&liborvaniot_os_mem_mx, "test", __LINE__), 0);

    void* block = &kept;
    EXPECT_EQ(stderr_of([&] { block = liborvaniot_os_mem_malloc(8, "orvan/plain", 2); }), "");
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(stderr_of([&] { block = liborvaniot_os_mem_calloc(2, 4, "orvan/zeroed", 3); }),
              "calloc_z memory return null, orvan/zeroed:3\n");
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(stderr_of([&] { liborvaniot_os_mem_dbg_free(kept, "orvan/release", 4); }), "");
    EXPECT_EQ(stderr_of([] { liborvaniot_os_mem_report_leaks(); }), "");

    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_mem_mx, "test", __LINE__), 0);
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), outstanding);
    liborvaniot_os_mem_dbg_free(kept, "orvan/test", 5);
}

TEST_F(MemoryAccounting, OversizedZeroedRequestIsRefused) {
    void* block = nullptr;
    const std::string written =
        stderr_of([&] { block = liborvaniot_os_mem_calloc(SIZE_MAX / 2, 4, "orvan/huge", 6); });
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(written, "calloc_z memory return null, orvan/huge:6\n");
}

TEST_F(MemoryAccounting, ConcurrentAllocationsKeepTheRecordsConsistent) {
    const int32_t outstanding = liborvaniot_os_mem_outstanding_count();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            std::vector<void*> blocks;
            for (int i = 0; i < 500; ++i) {
                blocks.push_back(i % 2 == 0 ? liborvaniot_os_mem_malloc(32, "orvan/worker", i)
                                            : liborvaniot_os_mem_calloc(4, 8, "orvan/worker", i));
                if (i % 3 == 0) {
                    liborvaniot_os_mem_dbg_free(blocks.front(), "orvan/worker", i);
                    blocks.erase(blocks.begin());
                }
            }
            for (void* block : blocks) liborvaniot_os_mem_dbg_free(block, "orvan/worker", 0);
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), outstanding);
}

}  // namespace
