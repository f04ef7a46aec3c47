// Tracked locks: one process-wide table records the creator and the current holder of every lock;
// misuse is reported at the faulty call, which then aborts the process.
//
// The uncontended acquire and release cost a plain mutex plus a few stores: the slot's holder
// fields are written by the holder alone, without the table mutex, and the acquire time comes from
// the coarse clock. The table mutex is taken only to create and destroy locks and to scan the table.
#include "liborvaniot_os/liborvaniot_os_mutex.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "liborvaniot_os_debug_sink.h"
#include "liborvaniot_os_mutex_table.h"
#include "liborvaniot_os_system_mutex.h"

namespace {

namespace lock_table = liborvaniot_os_mutex_table;
namespace system_mutex = liborvaniot_os_system_mutex_calls;

constexpr int32_t kPresent = 0x1234;
// Passing states of init_flag while one call creates or destroys the lock: neither reads as
// present, so a use that races with them halts as the use of an absent lock.
constexpr int32_t kCreating = 0x1233;
constexpr int32_t kDestroying = 0x1235;
constexpr int32_t kFree = 0x5566;
constexpr int32_t kHeld = 0x6677;

// init_flag and m_index are read by threads that race with creation and destruction (the log call
// and the memory layer ask whether a lock exists; misuse may even use a lock being destroyed), so
// both are always accessed atomically.
int32_t load_init_flag(const struct_plock* lock) {
    return std::atomic_ref<const int32_t>(lock->init_flag).load(std::memory_order_acquire);
}

void store_init_flag(struct_plock* lock, int32_t value) {
    std::atomic_ref<int32_t>(lock->init_flag).store(value, std::memory_order_release);
}

bool claim_init_flag(struct_plock* lock, int32_t expected, int32_t value) {
    return std::atomic_ref<int32_t>(lock->init_flag)
        .compare_exchange_strong(expected, value, std::memory_order_acq_rel);
}

int32_t load_index(const struct_plock* lock) {
    return std::atomic_ref<const int32_t>(lock->m_index).load(std::memory_order_relaxed);
}

void store_index(struct_plock* lock, int32_t value) {
    std::atomic_ref<int32_t>(lock->m_index).store(value, std::memory_order_relaxed);
}

bool misplaced(const struct_plock* lock) {
    return reinterpret_cast<uintptr_t>(lock) % 4 != 0;
}

bool valid_index(int32_t index) {
    return index >= 0 && index < LIBORVANIOT_OS_MUTEX_SLOTS;
}

// The slot of a lock that reads as present, or null when it is absent (never created, destroyed,
// or being created or destroyed by another call right now).
lock_table::slot* present_slot(const struct_plock* lock, int32_t* index) {
    if (lock == nullptr || misplaced(lock) || load_init_flag(lock) != kPresent) return nullptr;
    *index = load_index(lock);
    return valid_index(*index) ? &lock_table::the_table.slots[*index] : nullptr;
}

// Writes the diagnostic, then ends the process so that a debugger or core dump shows the faulty call.
// Callers have released the table mutex before they get here. The text is formatted on the stack
// only (cut if it is absurdly long): a halt must not allocate, since the tracked allocation takes a
// tracked lock, possibly the very one being misused.
template <typename... Args>
[[noreturn]] void halt(const char* format, Args... args) {
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    int length;
    // A text without arguments is passed as one, so that no checker takes it for an unchecked format.
    if constexpr (sizeof...(Args) == 0) length = std::snprintf(buffer, sizeof(buffer), "%s", format);
    else length = std::snprintf(buffer, sizeof(buffer), format, args...);
    if (length > 0) {
        liborvaniot_os_debug_sink::write_message(buffer,
                                                 std::min(static_cast<size_t>(length), sizeof(buffer) - 1));
    }
    std::abort();
}

template <typename... Args>
void report(const char* format, Args... args) {
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    if constexpr (sizeof...(Args) == 0) liborvaniot_os_debug_raw_printf(buffer, "%s", format);
    else liborvaniot_os_debug_raw_printf(buffer, format, args...);
}


}  // namespace

bool liborvaniot_os_mutex_is_present(const struct_plock* lock) {
    return lock != nullptr && !misplaced(lock) && load_init_flag(lock) == kPresent;
}

int32_t liborvaniot_os_mutex_struct_plock_init(struct_plock* lock, const char* caller, int32_t line) {
    if (caller == nullptr) caller = "";
    // The alignment is checked before any field is touched: a misplaced object cannot be read safely.
    if (misplaced(lock)) halt("Alpstruct_plock->init,align,error !! %s:%d\n", caller, line);
    // The lock is published as present only once its slot and mutex exist; meanwhile it reads as
    // being created, which also stops a second creation racing with this one.
    const int32_t flag = load_init_flag(lock);
    if (flag == kPresent || flag == kCreating || flag == kDestroying || !claim_init_flag(lock, flag, kCreating)) {
        halt("liborvaniot_os_mutex_struct_plock_init,error !!\n");
    }
    lock->is_in_lock = kFree;

    // Clock reads stay outside the table mutex, which is held only for a few stores.
    const int64_t created_at = liborvaniot_os_time_counter_coarse();
    lock_table::table& t = lock_table::the_table;
    int32_t index = -1;
    int32_t in_use = 0;
    {
        system_mutex::guard held(t.guard);
        if (!t.created) lock_table::reset(t, created_at);
        store_index(lock, -1);
        index = lock_table::take_slot(t, caller, line);
        if (index < 0) index = lock_table::take_slot(t, caller, line);
        in_use = t.in_use_count;
    }
    if (index < 0) {
        report("out of liborvaniot mutex object count(%d/%d),error !! %s:%d\n", in_use,
               LIBORVANIOT_OS_MUTEX_SLOTS, caller, line);
        store_init_flag(lock, 0);
        return -1;
    }
    if (lock->mutex != nullptr) {
        // Without a system mutex the lock is unusable: the slot goes back so that the lock reads as
        // absent, a later use is caught as misuse, and the leak report does not list it.
        report("mfc_mutex_init,__mutex != 0,error !!\n");
        {
            system_mutex::guard held(t.guard);
            lock_table::give_back(t, index);
        }
        store_init_flag(lock, 0);
        return -1;
    }
    lock->mutex = &t.slots[index].mutex;
    store_index(lock, index);
    store_init_flag(lock, kPresent);
    return 0;
}

int32_t liborvaniot_os_mutex_struct_plock_lock(struct_plock* lock, const char* caller, int32_t line)
    // The lock itself: it takes and gives the capability the analysis tracks.
    NO_THREAD_SAFETY_ANALYSIS {
    if (caller == nullptr) caller = "";
    int32_t index = -1;
    lock_table::slot* s = present_slot(lock, &index);
    if (s == nullptr) halt("liborvaniot_os_mutex_struct_plock_lock,error !! %s,%d\n", caller, line);

    // The system mutex does not let its owner in again, so the holder is recognised before waiting.
    const void* self = lock_table::this_thread_tag();
    if (s->holder_thread.load(std::memory_order_relaxed) == self) {
        halt(
            "duplicate lock mute in same thread m_index=%d,error !!\nlast=pid(%d): %s,%d\nnew =pid(%d): "
            "%s,%d\n\n",
            index, s->pid.load(std::memory_order_relaxed), s->holder_name.load(std::memory_order_relaxed),
            s->holder_line.load(std::memory_order_relaxed), 0, caller, line);
    }
    system_mutex::lock(s->mutex);
    // The lock may have been destroyed while this call waited (or before it got here): then the slot
    // belongs to nobody, or to another lock, and is left alone.
    if (load_init_flag(lock) != kPresent || load_index(lock) != index) {
        system_mutex::unlock(s->mutex);
        halt("liborvaniot_os_mutex_struct_plock_lock,error !! %s,%d\n", caller, line);
    }
    if (lock->is_in_lock != kFree) report("Alpstruct_plock->is_in_lock != 0x5566,error !! %s,%d\n", caller, line);
    lock->is_in_lock = kHeld;
    // The acquire time only serves to tell how long a lock has been held: the clock's tick is enough.
    s->holder_thread.store(self, std::memory_order_relaxed);
    lock_table::write_holder(*s, 1, caller, line, liborvaniot_os_time_counter_coarse());
    return 0;
}

int32_t liborvaniot_os_mutex_struct_plock_unlock(struct_plock* lock, const char* caller, int32_t line)
    // The lock itself: it takes and gives the capability the analysis tracks.
    NO_THREAD_SAFETY_ANALYSIS {
    if (caller == nullptr) caller = "";
    int32_t index = -1;
    lock_table::slot* s = present_slot(lock, &index);
    if (s == nullptr) halt("liborvaniot_os_mutex_struct_plock_unlock,error !!\n");

    if (s->holder_thread.load(std::memory_order_relaxed) != lock_table::this_thread_tag()) {
        // Not the holder: the system mutex is not this thread's to release, and the slot keeps the
        // real holder (if any) for the duplicate-lock check and the lock monitor.
        const liborvaniot_os_mutex_resource seen = lock_table::read(*s);
        if (seen.lock == 1) {
            report("unlock by non-holder m_index=%d,error !!\nholder: %s,%d\nnew   : %s,%d\n\n",
                   index, seen.holder_name, seen.holder_line,
                   caller, line);
        } else {
            report("Alpstruct_plock->is_in_lock != 0x6677,error !! %s,%d\n", caller, line);
        }
        return 0;
    }
    lock_table::write_holder(*s, 0, "", -1, 0);
    s->holder_thread.store(nullptr, std::memory_order_relaxed);
    if (lock->is_in_lock != kHeld) report("Alpstruct_plock->is_in_lock != 0x6677,error !! %s,%d\n", caller, line);
    lock->is_in_lock = kFree;
    system_mutex::unlock(s->mutex);
    return 0;
}

int32_t liborvaniot_os_mutex_struct_plock_free(struct_plock* lock, const char* caller, int32_t line) {
    if (caller == nullptr) caller = "";
    int32_t index = -1;
    lock_table::slot* s = present_slot(lock, &index);
    // Claiming the flag makes every later use halt as the use of an absent lock, and makes a second
    // destruction racing with this one halt here.
    if (s == nullptr || !claim_init_flag(lock, kPresent, kDestroying)) {
        halt("liborvaniot_os_mutex_struct_plock_free,error !! %s:%d\n", caller, line);
    }
    // Holding the system mutex proves that nobody holds the lock; a caller already waiting for it
    // gets it afterwards, sees the lock gone and halts.
    if (!system_mutex::try_lock(s->mutex)) {
        halt("liborvaniot_os_mutex_struct_plock_free Alpstruct_plock->lock != 0,error !! %s:%d\n", caller, line);
    }
    lock_table::table& t = lock_table::the_table;
    {
        system_mutex::guard held(t.guard);
        if (s->in_use.load(std::memory_order_relaxed) != 1) {
            held.unlock();
            halt("liborvaniot_os_mutex_struct_plock_free liborvaniot_os_mutex_resource,error !! %s:%d\n", caller,
                 line);
        }
        lock_table::give_back(t, index);
    }
    store_index(lock, -1);
    int32_t result = 0;
    if (lock->mutex == nullptr) {
        report("mfc_mutex_init,__mutex == 0,error !!\n");
        result = -1;
    }
    lock->mutex = nullptr;
    store_init_flag(lock, 0);
    system_mutex::unlock(s->mutex);
    return result;
}

tracked_lock::tracked_lock(const char* creator, const char* destroyer, int32_t line)
    : destroyer_(destroyer), line_(line) {
    // A refusal has been reported by the creation; exists() tells the owner.
    liborvaniot_os_mutex_struct_plock_init(&lock_, creator, line);
}

tracked_lock::~tracked_lock() {
    if (exists()) liborvaniot_os_mutex_struct_plock_free(&lock_, destroyer_, line_);
}

int32_t mfc_mutex_init(mfc_mutex_handle* handle) {
    if (*handle != nullptr) {
        report("mfc_mutex_init,__mutex != 0,error !!\n");
        return -1;
    }
    auto* created = new (std::nothrow) liborvaniot_os_system_mutex{};
    if (created == nullptr) {
        report("mfc_mutex_init,CreateMutex,error !!\n");
        return -1;
    }
    *handle = created;
    return 0;
}

int32_t mfc_mutex_free(mfc_mutex_handle* handle) {
    if (*handle == nullptr) {
        report("mfc_mutex_init,__mutex == 0,error !!\n");
        return -1;
    }
    if (!system_mutex::destroy(**handle)) {
        report("mfc_mutex_init,CloseHandle,error !!\n");
        return -1;
    }
    delete *handle;
    *handle = nullptr;
    return 0;
}

void liborvaniot_os_mutex_report_leaks() {
    // The lines are written after the table mutex is released: a very long caller name makes the
    // lock-free print allocate, and the tracked allocation takes a tracked lock.
    std::vector<std::pair<const char*, int32_t>> leaks;
    {
        lock_table::table& t = lock_table::the_table;
        system_mutex::guard held(t.guard);
        if (!t.created) return;
        t.cursor = lock_table::kFirstCursor;
        t.created = false;
        t.in_use_count = 0;
        for (const lock_table::slot& s : t.slots) {
            if (s.in_use.load(std::memory_order_relaxed) != 0) {
                leaks.emplace_back(s.owner_name.load(std::memory_order_relaxed),
                                   s.owner_line.load(std::memory_order_relaxed));
            }
        }
    }
    for (const auto& [name, line] : leaks) report("mutex leak error !! %s:%d\n", name, line);
}

void liborvaniot_os_mutex_visit_held(void (*visitor)(int32_t index, const liborvaniot_os_mutex_resource& slot,
                                                     void* context),
                                     void* context) {
    // The visitor runs on copies so that it may log or take tracked locks itself.
    std::vector<std::pair<int32_t, liborvaniot_os_mutex_resource>> held_slots;
    {
        lock_table::table& t = lock_table::the_table;
        system_mutex::guard held(t.guard);
        if (!t.created) return;
        for (int32_t i = 0; i < LIBORVANIOT_OS_MUTEX_SLOTS; ++i) {
            const lock_table::slot& s = t.slots[i];
            if (s.in_use.load(std::memory_order_relaxed) == 0 || s.lock.load(std::memory_order_relaxed) == 0)
                continue;
            const liborvaniot_os_mutex_resource copy = lock_table::read(s);
            if (copy.in_use != 0 && copy.lock != 0) held_slots.emplace_back(i, copy);
        }
    }
    for (const auto& [index, slot] : held_slots) visitor(index, slot, context);
}

liborvaniot_os_mutex_resource liborvaniot_os_mutex_slot_snapshot(int32_t index) {
    lock_table::table& t = lock_table::the_table;
    system_mutex::guard held(t.guard);
    if (!t.created || !valid_index(index)) return liborvaniot_os_mutex_resource{0, 0, 0, "", -1, "", -1, {0, 0}};
    return lock_table::read(t.slots[index]);
}
