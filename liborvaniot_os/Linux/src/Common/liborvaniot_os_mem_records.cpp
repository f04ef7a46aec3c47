// Records of the tracked heap blocks: a pool of records linked in allocation order and an
// address index with linear probing, so that adding and removing a record cost the same whatever
// the number of live blocks.
#include "liborvaniot_os_mem_records.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace liborvaniot_os_mem_records {

namespace {

constexpr uint32_t kFirstRecords = 64;
constexpr size_t kFirstBuckets = 128;

}  // namespace

registry::~registry() {
    delete[] records_;
    delete[] buckets_;
}

size_t registry::home_of(const void* address) const {
    // Blocks are at least 16-byte aligned; the multiply spreads the remaining bits.
    const auto key = reinterpret_cast<uintptr_t>(address) >> 4;
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (bucket_count_ - 1);
}

// Storage is taken with operator new (nothrow), as any other allocation of the process: the
// records are not tracked blocks themselves.
bool registry::reserve_record() {
    if (free_ != kNone) return true;
    const uint32_t capacity = record_capacity_ == 0 ? kFirstRecords : record_capacity_ * 2;
    auto* grown = new (std::nothrow) record[capacity];
    if (grown == nullptr) return false;
    if (records_ != nullptr) std::memcpy(grown, records_, sizeof(record) * record_capacity_);
    for (uint32_t i = record_capacity_; i < capacity; ++i) grown[i].next = i + 1 < capacity ? i + 1 : kNone;
    delete[] records_;
    records_ = grown;
    free_ = record_capacity_;
    record_capacity_ = capacity;
    return true;
}

bool registry::reserve_bucket() {
    if (static_cast<size_t>(count_ + 1) * 2 <= bucket_count_) return true;
    const size_t capacity = bucket_count_ == 0 ? kFirstBuckets : bucket_count_ * 2;
    auto* grown = new (std::nothrow) bucket[capacity]();
    if (grown == nullptr) return false;
    bucket* old = std::exchange(buckets_, grown);
    const size_t old_count = std::exchange(bucket_count_, capacity);
    for (size_t i = 0; i < old_count; ++i) {
        if (old[i].address != nullptr) insert_bucket(old[i].address, old[i].record);
    }
    delete[] old;
    return true;
}

bool registry::insert_bucket(const void* address, uint32_t index) {
    for (size_t i = home_of(address);; i = (i + 1) & (bucket_count_ - 1)) {
        if (buckets_[i].address == nullptr) {
            buckets_[i] = {address, index};
            return true;
        }
    }
}

bool registry::add(void* address, uint64_t size, const char* file, int32_t line) {
    if (!reserve_record() || !reserve_bucket()) return false;
    const uint32_t index = free_;
    record& r = records_[index];
    free_ = r.next;
    r = {address, size, file, line, tail_, kNone};
    if (tail_ != kNone) {
        records_[tail_].next = index;
    } else {
        head_ = index;
    }
    tail_ = index;
    insert_bucket(address, index);
    ++count_;
    return true;
}

bool registry::remove(const void* address, uint64_t* size) {
    if (bucket_count_ == 0 || address == nullptr) return false;
    const size_t mask = bucket_count_ - 1;
    size_t hole = home_of(address);
    while (buckets_[hole].address != address) {
        if (buckets_[hole].address == nullptr) return false;
        hole = (hole + 1) & mask;
    }
    const uint32_t index = buckets_[hole].record;
    // Backward shift: later entries of the probe run move into the hole unless their home lies
    // cyclically after it, so lookups never meet a gap inside a run.
    for (size_t next = (hole + 1) & mask; buckets_[next].address != nullptr; next = (next + 1) & mask) {
        const size_t home = home_of(buckets_[next].address);
        const bool stays = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (stays) continue;
        buckets_[hole] = buckets_[next];
        hole = next;
    }
    buckets_[hole] = {nullptr, 0};

    record& r = records_[index];
    *size = r.size;
    if (r.previous != kNone) {
        records_[r.previous].next = r.next;
    } else {
        head_ = r.next;
    }
    if (r.next != kNone) {
        records_[r.next].previous = r.previous;
    } else {
        tail_ = r.previous;
    }
    r.next = free_;
    free_ = index;
    --count_;
    return true;
}

}  // namespace liborvaniot_os_mem_records
