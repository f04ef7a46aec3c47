// Makes one tracked zeroed allocation fail, to exercise what the reader does without storage.
// The test program links with the allocation call wrapped (see CMakeLists.txt).
#pragma once

#include <cstdint>

class calloc_failure {
  public:
    // The nth tracked zeroed allocation from now (1 = the next one) returns null.
    explicit calloc_failure(int32_t nth);
    ~calloc_failure();
    calloc_failure(const calloc_failure&) = delete;
    calloc_failure& operator=(const calloc_failure&) = delete;
};
