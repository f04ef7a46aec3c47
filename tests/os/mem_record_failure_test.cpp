// A block whose record cannot be stored is refused rather than handed out untracked. The record
// storage is made to fail by this program's own operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "os_test_support.h"

namespace {
thread_local bool fail_operator_new = false;
}  // namespace

// This operator new takes its memory from malloc, so its delete hands it back with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (fail_operator_new) throw std::bad_alloc();
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
// The array forms too: sanitizer runtimes supply their own, which would bypass the ones above.
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return ::operator new(size, tag);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
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
    struct Case {
        const char* name;
        void* (*allocate)();
        const char* written;
    };
    const Case cases[] = {
        {"plain", [] { return liborvaniot_os_mem_malloc(64, "orvan/test", 1); }, ""},
        {"zeroed", [] { return liborvaniot_os_mem_calloc(8, 8, "orvan/test", 2); },
         "calloc_z memory return null, orvan/test:2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int32_t outstanding = liborvaniot_os_mem_outstanding_count();
        // Records are stored in storage that grows now and then: with every further allocation
        // of storage refused, blocks are handed out until the records need more room.
        constexpr size_t kEnough = size_t{1} << 20;
        std::vector<void*> blocks;
        blocks.reserve(kEnough);
        bool refused = false;
        const std::string written = os_test::stderr_of([&] {
            fail_operator_new = true;
            while (!refused && blocks.size() < kEnough) {
                void* block = c.allocate();
                if (block == nullptr) {
                    refused = true;
                } else {
                    blocks.push_back(block);
                }
            }
            fail_operator_new = false;
        });
        EXPECT_TRUE(refused);
        EXPECT_EQ(written, c.written);
        // Every block handed out is tracked; the refused one went back to the heap (the leak
        // checker of sanitizer builds would list it).
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), outstanding + static_cast<int32_t>(blocks.size()));
        for (void* block : blocks) liborvaniot_os_mem_dbg_free(block, "orvan/test", 3);
        EXPECT_EQ(liborvaniot_os_mem_outstanding_count(), outstanding);
    }
}

}  // namespace
