// Tracked locks: one process-wide table records the creator and the current holder of every lock;
// misuse is reported at the faulty call, which then aborts the process.
#include "liborvaniot_os/liborvaniot_os_mutex.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_thread.h"
#include "liborvaniot_os_debug_sink.h"

namespace {

constexpr int32_t kPresent = 0x1234;
constexpr int32_t kFree = 0x5566;
constexpr int32_t kHeld = 0x6677;
constexpr int32_t kFirstCursor = LIBORVANIOT_OS_MUTEX_SLOTS - 1;

struct resource_table {
    // Guards everything below. It lives for the whole process, so a lock used after the end-of-run
    // report never touches a closed mutex; the report only marks the table for rebuilding.
    std::mutex guard;
    bool created = false;
    int32_t in_use_count = 0;
    int32_t cursor = kFirstCursor;
    liborvaniot_os_mutex_resource slots[LIBORVANIOT_OS_MUTEX_SLOTS];
    // Thread holding each slot's lock, so that a release by another thread is refused before it
    // can corrupt the slot (the published pid stays 0).
    pthread_t holder_thread[LIBORVANIOT_OS_MUTEX_SLOTS];
};

resource_table& table() {
    static resource_table* instance = new resource_table();  // never destroyed: detached threads may
                                                             // still lock after static destructors run
    return *instance;
}

// The "exists" test of a lock is read by threads that do not hold it (the log call, the memory layer),
// so the flag is always accessed atomically.
int32_t load_init_flag(const struct_plock* lock) {
    return std::atomic_ref<const int32_t>(lock->init_flag).load(std::memory_order_acquire);
}

void store_init_flag(struct_plock* lock, int32_t value) {
    std::atomic_ref<int32_t>(lock->init_flag).store(value, std::memory_order_release);
}

liborvaniot_os_mutex_time now() {
    liborvaniot_os_timeval tv{};
    liborvaniot_os_gettimeofday(&tv);
    return {tv.tv_sec, tv.tv_usec};
}

// Writes the diagnostic, then ends the process so that a debugger or core dump shows the faulty call.
// Callers have released the table mutex before they get here. The text is formatted on the stack
// only (cut if it is absurdly long): a halt must not allocate, since the tracked allocation takes a
// tracked lock, possibly the very one being misused.
template <typename... Args>
[[noreturn]] void halt(const char* format, Args... args) {
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    const int length = std::snprintf(buffer, sizeof(buffer), format, args...);
    if (length > 0) {
        liborvaniot_os_debug_sink::write_message(buffer,
                                                 std::min(static_cast<size_t>(length), sizeof(buffer) - 1));
    }
    std::abort();
}

template <typename... Args>
void report(const char* format, Args... args) {
    char buffer[MAX_DBG_MSG_NULL_SIZE];
    liborvaniot_os_debug_raw_printf(buffer, format, args...);
}

void reset_table(resource_table& t, liborvaniot_os_mutex_time created_at) {
    for (auto& slot : t.slots) {
        slot = liborvaniot_os_mutex_resource{0, 0, 0, "", 0, "", 0, created_at};
    }
    t.created = true;
    t.in_use_count = 0;
    t.cursor = kFirstCursor;
}

// Next fit from the cursor up to the last slot; the cursor always points past the slot last tried.
bool search_slot(resource_table& t, struct_plock* lock, const char* caller, int32_t line) {
    if (t.cursor >= LIBORVANIOT_OS_MUTEX_SLOTS) t.cursor = 0;
    for (int32_t i = t.cursor; i < LIBORVANIOT_OS_MUTEX_SLOTS; ++i) {
        t.cursor = i + 1;
        auto& slot = t.slots[i];
        if (slot.in_use != 0) continue;
        lock->m_index = i;
        ++t.in_use_count;
        slot.in_use = 1;
        slot.owner_name = caller;
        slot.owner_line = line;
        return true;
    }
    return false;
}

}  // namespace

bool liborvaniot_os_mutex_is_present(const struct_plock* lock) {
    return lock != nullptr && load_init_flag(lock) == kPresent;
}

int32_t liborvaniot_os_mutex_struct_plock_init(struct_plock* lock, const char* caller, int32_t line) {
    if (caller == nullptr) caller = "";
    // The alignment is checked before any field is touched: a misplaced object cannot be read safely.
    if (reinterpret_cast<uintptr_t>(lock) % 4 != 0) {
        halt("Alpstruct_plock->init,align,error !! %s:%d\n", caller, line);
    }
    if (load_init_flag(lock) == kPresent) halt("liborvaniot_os_mutex_struct_plock_init,error !!\n");
    store_init_flag(lock, kPresent);
    lock->is_in_lock = kFree;

    // Clock reads stay outside the table mutex, which is held only for a few stores.
    const liborvaniot_os_mutex_time created_at = now();
    resource_table& t = table();
    bool found = false;
    int32_t in_use = 0;
    {
        std::lock_guard<std::mutex> held(t.guard);
        if (!t.created) reset_table(t, created_at);
        lock->m_index = -1;
        found = search_slot(t, lock, caller, line) || search_slot(t, lock, caller, line);
        in_use = t.in_use_count;
    }
    if (!found) {
        report("out of liborvaniot mutex object count(%d/%d),error !! %s:%d\n", in_use,
               LIBORVANIOT_OS_MUTEX_SLOTS, caller, line);
        store_init_flag(lock, 0);
        return -1;
    }
    if (mfc_mutex_init(&lock->mutex) != 0) {
        // Without a system mutex the lock is unusable: give the slot back so that it reads as absent
        // and a later use is caught as misuse rather than crashing on an empty handle.
        {
            std::lock_guard<std::mutex> held(t.guard);
            auto& slot = t.slots[lock->m_index];
            --t.in_use_count;
            slot = liborvaniot_os_mutex_resource{0, 0, 0, "", -1, "", -1, slot.lock_time};
        }
        lock->m_index = -1;
        store_init_flag(lock, 0);
        return -1;
    }
    return 0;
}

int32_t liborvaniot_os_mutex_struct_plock_lock(struct_plock* lock, const char* caller, int32_t line) {
    if (caller == nullptr) caller = "";
    if (load_init_flag(lock) != kPresent)
        halt("liborvaniot_os_mutex_struct_plock_lock,error !! %s,%d\n", caller, line);

    // The mutex lets its owner re-enter, so a same-thread re-acquire gets past this wait and is caught
    // by the slot check below instead of blocking for ever.
    pthread_mutex_lock(lock->mutex);
    if (lock->is_in_lock != kFree)
        report("Alpstruct_plock->is_in_lock != 0x5566,error !! %s,%d\n", caller, line);
    lock->is_in_lock = kHeld;

    const liborvaniot_os_mutex_time acquired_at = now();
    resource_table& t = table();
    std::unique_lock<std::mutex> held(t.guard);
    auto& slot = t.slots[lock->m_index];
    if (slot.lock == 1) {
        const int32_t index = lock->m_index;
        const int32_t last_pid = slot.pid;
        const char* last_name = slot.holder_name;
        const int32_t last_line = slot.holder_line;
        held.unlock();
        halt(
            "duplicate lock mute in same thread m_index=%d,error !!\nlast=pid(%d): %s,%d\nnew =pid(%d): "
            "%s,%d\n\n",
            index, last_pid, last_name, last_line, 0, caller, line);
    }
    slot.lock = 1;
    slot.pid = 0;
    slot.holder_name = caller;
    slot.holder_line = line;
    slot.lock_time = acquired_at;
    t.holder_thread[lock->m_index] = pthread_self();
    return 0;
}

int32_t liborvaniot_os_mutex_struct_plock_unlock(struct_plock* lock, const char* caller, int32_t line) {
    if (caller == nullptr) caller = "";
    if (load_init_flag(lock) != kPresent) halt("liborvaniot_os_mutex_struct_plock_unlock,error !!\n");

    resource_table& t = table();
    {
        std::unique_lock<std::mutex> held(t.guard);
        auto& slot = t.slots[lock->m_index];
        if (slot.lock == 1 && !pthread_equal(t.holder_thread[lock->m_index], pthread_self())) {
            // Another thread holds it: the system mutex would refuse the release anyway, and clearing
            // the slot here would hide the real holder from the duplicate-lock check.
            const int32_t index = lock->m_index;
            const char* holder = slot.holder_name;
            const int32_t holder_line = slot.holder_line;
            held.unlock();
            report("unlock by non-holder m_index=%d,error !!\nholder: %s,%d\nnew   : %s,%d\n\n", index,
                   holder, holder_line, caller, line);
            return 0;
        }
        if (slot.lock == 0) {
            // Nobody holds it: the system mutex is not ours to release, and the lock state is left as
            // it is for whoever takes the lock next.
            held.unlock();
            report("Alpstruct_plock->is_in_lock != 0x6677,error !! %s,%d\n", caller, line);
            return 0;
        }
        slot.lock = 0;
        slot.holder_name = "";
        slot.holder_line = -1;
    }
    if (lock->is_in_lock != kHeld)
        report("Alpstruct_plock->is_in_lock != 0x6677,error !! %s,%d\n", caller, line);
    lock->is_in_lock = kFree;
    pthread_mutex_unlock(lock->mutex);
    return 0;
}

int32_t liborvaniot_os_mutex_struct_plock_free(struct_plock* lock, const char* caller, int32_t line) {
    if (caller == nullptr) caller = "";
    if (load_init_flag(lock) != kPresent)
        halt("liborvaniot_os_mutex_struct_plock_free,error !! %s:%d\n", caller, line);

    resource_table& t = table();
    {
        std::unique_lock<std::mutex> held(t.guard);
        if (lock->m_index >= 0 && t.slots[lock->m_index].lock != 0) {
            held.unlock();
            halt("liborvaniot_os_mutex_struct_plock_free Alpstruct_plock->lock != 0,error !! %s:%d\n", caller,
                 line);
        }
        if (lock->m_index >= 0) {
            auto& slot = t.slots[lock->m_index];
            if (slot.in_use != 1) {
                held.unlock();
                halt("liborvaniot_os_mutex_struct_plock_free liborvaniot_os_mutex_resource,error !! %s:%d\n",
                     caller, line);
            }
            --t.in_use_count;
            slot.owner_name = "";
            slot.holder_name = "";
            slot.in_use = 0;
            slot.owner_line = -1;
            slot.holder_line = -1;
            lock->m_index = -1;
        }
    }
    store_init_flag(lock, 0);
    return mfc_mutex_free(&lock->mutex);
}

int32_t mfc_mutex_init(mfc_mutex_handle* handle) {
    if (*handle != nullptr) {
        report("mfc_mutex_init,__mutex != 0,error !!\n");
        return -1;
    }
    auto* created = new (std::nothrow) pthread_mutex_t;
    pthread_mutexattr_t attributes;
    bool ok = created != nullptr && pthread_mutexattr_init(&attributes) == 0;
    if (ok) {
        ok = pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) == 0 &&
             pthread_mutex_init(created, &attributes) == 0;
        pthread_mutexattr_destroy(&attributes);
    }
    if (!ok) {
        delete created;
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
    if (pthread_mutex_destroy(*handle) != 0) {
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
        resource_table& t = table();
        std::lock_guard<std::mutex> held(t.guard);
        if (!t.created) return;
        t.cursor = kFirstCursor;
        t.created = false;
        t.in_use_count = 0;
        for (const auto& slot : t.slots) {
            if (slot.in_use != 0) leaks.emplace_back(slot.owner_name, slot.owner_line);
        }
    }
    for (const auto& [name, line] : leaks) report("mutex leak error !! %s:%d\n", name, line);
}

void liborvaniot_os_mutex_visit_held(void (*visitor)(int32_t index, const liborvaniot_os_mutex_resource& slot,
                                                     void* context),
                                     void* context) {
    // The visitor runs on a copy so that it may log or take tracked locks itself.
    std::vector<std::pair<int32_t, liborvaniot_os_mutex_resource>> held_slots;
    {
        resource_table& t = table();
        std::lock_guard<std::mutex> held(t.guard);
        if (!t.created) return;
        for (int32_t i = 0; i < LIBORVANIOT_OS_MUTEX_SLOTS; ++i) {
            if (t.slots[i].in_use != 0 && t.slots[i].lock != 0) held_slots.emplace_back(i, t.slots[i]);
        }
    }
    for (const auto& [index, slot] : held_slots) visitor(index, slot, context);
}

liborvaniot_os_mutex_resource liborvaniot_os_mutex_slot_snapshot(int32_t index) {
    resource_table& t = table();
    std::lock_guard<std::mutex> held(t.guard);
    if (!t.created || index < 0 || index >= LIBORVANIOT_OS_MUTEX_SLOTS) {
        return liborvaniot_os_mutex_resource{0, 0, 0, "", -1, "", -1, {0, 0}};
    }
    return t.slots[index];
}
