// Tracked locks: every lock records its creator and current holder in one process-wide table,
// misuse halts at the faulty call naming both parties, and locks never destroyed are reported.
#pragma once

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_thread_annotations.h"

// An operating-system mutex (its form is the runtime's own business).
struct liborvaniot_os_system_mutex;

// Handle of an operating-system mutex; null while none exists. A tracked lock's handle names the
// mutex of its slot in the resource table, which lets nobody in twice, not even its owner: the
// holder's re-acquire is recognised by its thread before the wait.
using mfc_mutex_handle = liborvaniot_os_system_mutex*;

// A tracked lock is a capability: what it guards says GUARDED_BY(lock), and the compiler checks it.
struct CAPABILITY("tracked lock") struct_plock {
    int32_t init_flag = 0;   // 0x1234 while the lock exists
    int32_t is_in_lock = 0;  // 0x5566 free, 0x6677 held
    int32_t m_index = 0;     // slot in the resource table, -1 when none
    mfc_mutex_handle mutex = nullptr;
};

struct liborvaniot_os_mutex_time {
    int32_t tv_sec;
    int32_t tv_usec;
};

// One slot of the resource table.
struct liborvaniot_os_mutex_resource {
    int32_t in_use;
    int32_t lock;
    int32_t pid;
    const char* owner_name;
    int32_t owner_line;
    const char* holder_name;
    int32_t holder_line;
    liborvaniot_os_mutex_time lock_time;
};

inline constexpr int32_t LIBORVANIOT_OS_MUTEX_SLOTS = 37439;

// Every operation names its caller (a text that lives for the whole run) and source line. Misuse
// (create twice, use or destroy an absent lock, destroy a held one, re-acquire by the holder) writes
// a diagnostic naming both parties and aborts the process at the faulty call.
int32_t liborvaniot_os_mutex_struct_plock_init(struct_plock* lock, const char* caller, int32_t line);
int32_t liborvaniot_os_mutex_struct_plock_free(struct_plock* lock, const char* caller, int32_t line)
    EXCLUDES(*lock);
int32_t liborvaniot_os_mutex_struct_plock_lock(struct_plock* lock, const char* caller, int32_t line)
    ACQUIRE(*lock);
int32_t liborvaniot_os_mutex_struct_plock_unlock(struct_plock* lock, const char* caller, int32_t line)
    RELEASE(*lock);

// True while the lock exists (created and not yet destroyed); safe to call from any thread.
bool liborvaniot_os_mutex_is_present(const struct_plock* lock);

int32_t mfc_mutex_init(mfc_mutex_handle* handle);
int32_t mfc_mutex_free(mfc_mutex_handle* handle);

// End-of-run report: one line per lock that was never destroyed.
void liborvaniot_os_mutex_report_leaks();

// Calls visitor for every slot that is in use and held (lock monitor). The visitor sees a copy taken
// under the table mutex, so it may log or take tracked locks.
void liborvaniot_os_mutex_visit_held(void (*visitor)(int32_t index, const liborvaniot_os_mutex_resource& slot,
                                                     void* context),
                                     void* context);

// Read-only view of one slot, for diagnostics and tests.
liborvaniot_os_mutex_resource liborvaniot_os_mutex_slot_snapshot(int32_t index);

// A tracked lock owned by an object and living exactly as long as it: created with its owner under
// the creator's name, destroyed with it under the destroyer's (both at the given line). When the
// table has no room left the lock does not exist, and exists() says so for its whole life, so
// owners keep no flag of their own beside the lock.
class CAPABILITY("tracked lock") tracked_lock {
  public:
    tracked_lock(const char* creator, const char* destroyer, int32_t line);
    ~tracked_lock();
    tracked_lock(const tracked_lock&) = delete;
    tracked_lock& operator=(const tracked_lock&) = delete;

    bool exists() const { return liborvaniot_os_mutex_is_present(&lock_); }
    // The underlying lock, for calls that take a struct_plock; to the analysis it is this object.
    struct_plock& plock() RETURN_CAPABILITY(this) { return lock_; }

  private:
    struct_plock lock_;
    const char* destroyer_;
    int32_t line_;
};

// Scoped acquire/release of a tracked lock carrying the caller's name and line.
class SCOPED_CAPABILITY plock_guard {
  public:
    plock_guard(struct_plock& lock, const char* caller, int32_t line) ACQUIRE(lock)
        : lock_(lock), caller_(caller), line_(line) {
        liborvaniot_os_mutex_struct_plock_lock(&lock_, caller_, line_);
    }
    plock_guard(tracked_lock& lock, const char* caller, int32_t line) ACQUIRE(lock)
        : plock_guard(lock.plock(), caller, line) {}
    ~plock_guard() RELEASE() { liborvaniot_os_mutex_struct_plock_unlock(&lock_, caller_, line_); }
    plock_guard(const plock_guard&) = delete;
    plock_guard& operator=(const plock_guard&) = delete;

  private:
    struct_plock& lock_;
    const char* caller_;
    int32_t line_;
};
