// A zeroed block of tracked memory that goes back to the tracker when it is released or dropped,
// so the leak report at exit names whatever a screen failed to give back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ORVAN_UXClass {

class TrackedBlock {
  public:
    TrackedBlock() = default;
    ~TrackedBlock() { Release(); }
    TrackedBlock(const TrackedBlock&) = delete;
    TrackedBlock& operator=(const TrackedBlock&) = delete;

    // Replaces the block with size zeroed bytes recorded under file and line; false (and an empty
    // block) when the tracker refused.
    bool Allocate(size_t size, const char* file, int32_t line);
    // Gives the block back under the name it was taken with; an empty block stays empty.
    void Release();

    void* data() const { return data_; }
    size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

  private:
    void* data_ = nullptr;
    size_t size_ = 0;
    const char* file_ = nullptr;
    int32_t line_ = 0;
};

}  // namespace ORVAN_UXClass
