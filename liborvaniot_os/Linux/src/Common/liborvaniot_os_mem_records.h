// Records of the tracked heap blocks: found by address in constant time, kept in allocation order
// for the leak report. Internal to the memory module; every call is made under the memory lock.
#pragma once

#include <cstddef>
#include <cstdint>

namespace liborvaniot_os_mem_records {

struct record {
    void* address;
    uint64_t size;
    const char* file;  // the caller's source path, kept as given (it lives for the whole run)
    int32_t line;
    uint32_t previous;  // neighbours in allocation order, kNone at the ends
    uint32_t next;
};

inline constexpr uint32_t kNone = UINT32_MAX;

class registry {
  public:
    registry() = default;
    ~registry();
    registry(const registry&) = delete;
    registry& operator=(const registry&) = delete;

    // Appends a record; false when its storage could not be obtained (nothing changes then).
    bool add(void* address, uint64_t size, const char* file, int32_t line);
    // Removes the record of address and hands back its size; false when there is none.
    bool remove(const void* address, uint64_t* size);
    int32_t count() const { return count_; }

    // Calls visit(record) for every record, oldest first.
    template <typename Visit>
    void for_each(Visit&& visit) const {
        for (uint32_t i = head_; i != kNone; i = records_[i].next) visit(records_[i]);
    }

  private:
    struct bucket {
        const void* address;  // null: empty
        uint32_t record;
    };

    bool reserve_record();
    bool reserve_bucket();
    size_t home_of(const void* address) const;
    bool insert_bucket(const void* address, uint32_t index);

    record* records_ = nullptr;  // free records are chained through next
    uint32_t record_capacity_ = 0;
    uint32_t free_ = kNone;
    uint32_t head_ = kNone;
    uint32_t tail_ = kNone;
    int32_t count_ = 0;
    bucket* buckets_ = nullptr;  // open addressing, linear probing, at most half full
    size_t bucket_count_ = 0;
};

}  // namespace liborvaniot_os_mem_records
