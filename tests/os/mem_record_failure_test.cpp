// A block whose record cannot be allocated is refused rather than handed out untracked. The record
// allocation is made to fail by this program's own operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "os_test_support.h"

namespace {
thread_local bool fail_next_operator_new = false;
}  // namespace

// This operator new takes its memory from malloc, so its delete hands it back with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (fail_next_operator_new) {
        fail_next_operator_new = false;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

namespace {

using MemoryRecordFailure = os_test::RuntimeTest;

TEST_F(MemoryRecordFailure, BlockWithoutARecordIsRefusedAndReleased) {
    const int32_t outstanding = liborvaniot_os_mem_outstanding_count();

    fail_next_operator_new = true;
    EXPECT_EQ(liborvaniot_os_mem_malloc(64, "orvan/test", 1), nullptr);
    EXPECT_FALSE(fail_next_operator_new) << "the record allocation was not attempted";

    void* block = nullptr;
    EXPECT_EQ(os_test::stderr_of([&] {
                  fail_next_operator_new = true;
                  block = liborvaniot_os_mem_calloc(8, 8, "orvan/test", 2);
              }),
              "calloc_z memory return null, orvan/test:2\n");
    EXPECT_EQ(block, nullptr);
    fail_next_operator_new = false;

    // The refused blocks went back to the heap (the leak checker of sanitizer builds would list them).
    EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), outstanding);
}

}  // namespace
