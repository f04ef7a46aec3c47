// The tracked locks' resource table: one slot per lock with its creator, its holder and the system
// mutex that does the exclusion. Internal to the lock module.
#pragma once

#include <atomic>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os_system_mutex.h"

namespace liborvaniot_os_mutex_table {

inline constexpr int32_t kFirstCursor = LIBORVANIOT_OS_MUTEX_SLOTS - 1;

// One slot. Creation, destruction and the table scans write under the table mutex; acquire and
// release write the holder fields without it, as the holder of the slot's own mutex. Readers that
// are neither (the lock monitor, snapshots) take a consistent copy through the version counter,
// which is odd while a writer is between its first and last store.
struct slot {
    std::atomic<uint32_t> version{0};
    std::atomic<int32_t> in_use{0};
    std::atomic<int32_t> lock{0};
    std::atomic<int32_t> pid{0};
    std::atomic<const char*> owner_name{nullptr};  // "" once the table is created
    std::atomic<int32_t> owner_line{0};
    std::atomic<const char*> holder_name{nullptr};
    std::atomic<int32_t> holder_line{0};
    // Acquire time as the coarse monotonic counter (ns); turned into the time of day when read.
    std::atomic<int64_t> lock_counter{0};
    // Thread that holds the lock (see this_thread_tag), null while nobody does. Compared before
    // waiting, so that a re-acquire by the holder is caught instead of blocking for ever.
    std::atomic<const void*> holder_thread{nullptr};
    // The lock's system mutex. It belongs to the slot and lives as long as the process: a caller
    // that raced with the destruction of its lock still finds a valid mutex, re-checks the lock
    // once it holds it, and halts instead of touching freed memory.
    liborvaniot_os_system_mutex mutex;
};

struct table {
    // Guards in_use, the owner fields, the count, the cursor and the created flag.
    liborvaniot_os_system_mutex guard;
    bool created GUARDED_BY(guard) = false;
    int32_t in_use_count GUARDED_BY(guard) = 0;
    int32_t cursor GUARDED_BY(guard) = kFirstCursor;
    slot slots[LIBORVANIOT_OS_MUTEX_SLOTS];
};

// Constant-initialised and never destroyed (its destructor does nothing): detached threads may
// still lock after static destructors have run, and a lock used after the end-of-run report never
// touches a closed mutex.
extern table the_table;

// An address unique to the calling thread while it runs.
inline const void* this_thread_tag() {
    static thread_local char tag;
    return &tag;
}

// Every field store is a release and every field load an acquire (plain moves on x86): the odd
// version cannot sink below a field store, and the closing version load cannot rise above a field
// load, without a separate fence.
inline uint32_t begin_write(slot& s) {
    const uint32_t version = s.version.load(std::memory_order_relaxed);
    s.version.store(version + 1, std::memory_order_relaxed);
    return version;
}

inline void end_write(slot& s, uint32_t version) {
    s.version.store(version + 2, std::memory_order_release);
}

// Writes the holder fields of a slot whose system mutex the caller holds; counter 0 keeps the time.
inline void write_holder(slot& s, int32_t lock, const char* name, int32_t line, int64_t counter) {
    const uint32_t version = begin_write(s);
    s.lock.store(lock, std::memory_order_release);  // pid stays 0: it names nobody
    s.holder_name.store(name, std::memory_order_release);
    s.holder_line.store(line, std::memory_order_release);
    if (counter != 0) s.lock_counter.store(counter, std::memory_order_release);
    end_write(s, version);
}

// Consistent copy of a slot (a copy being rewritten at that very moment is retried a few times,
// then taken as it is).
liborvaniot_os_mutex_resource read(const slot& s);

// Under the table mutex: clears every slot (not the system mutexes) and resets count and cursor.
void reset(table& t, int64_t created_counter) REQUIRES(t.guard);

// Under the table mutex: next fit from the cursor up to the last slot, the cursor always pointing
// past the slot last tried. The slot found is marked in use with its owner; -1 when none is free.
int32_t take_slot(table& t, const char* caller, int32_t line) REQUIRES(t.guard);

// Under the table mutex: gives a slot back (owner and holder cleared).
void give_back(table& t, int32_t index) REQUIRES(t.guard);

}  // namespace liborvaniot_os_mutex_table
