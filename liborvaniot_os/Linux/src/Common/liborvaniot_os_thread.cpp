// System threads (detached, stopped through their record) and user threads (joinable, with a
// status word and a break flag).
#include "liborvaniot_os/liborvaniot_os_thread.h"

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os_thread_calls.h"

std::atomic<int32_t> liborvaniot_os_stop_flag{0};

namespace {

// Ids are handed out here rather than taken from the new thread, so that the record holds one before
// the routine can run and the trampoline's clearing always comes last.
uint32_t next_sys_thread_id() {
    static std::atomic<uint32_t> last{0};
    uint32_t id = 0;
    while (id == 0) id = last.fetch_add(1, std::memory_order_relaxed) + 1;
    return id;
}

int32_t sys_thread_entry(void* parameter) {
    return liborvaniot_os_sys_thread_routine(static_cast<liborvaniot_os_sys_thread*>(parameter));
}

int32_t pthread_entry(void* parameter);

// The status lock is taken under each step's own name, so misuse diagnostics point at the step.
class SCOPED_CAPABILITY status_guard {
  public:
    status_guard(liborvaniot_os_pthread* record, const char* caller, int32_t line)
        ACQUIRE(record->status_lock)
        : guard_(record->status_lock, caller, line) {}
    ~status_guard() RELEASE() = default;

  private:
    plock_guard guard_;
};

}  // namespace

int32_t liborvaniot_os_sys_thread_create(liborvaniot_os_sys_thread* thread) {
    thread->run.store(1);
    const uint32_t id = next_sys_thread_id();
    thread->id.store(id);

    const int32_t error = liborvaniot_os_thread_calls::start_detached(sys_thread_entry, thread);
    if (error == 0) return 0;

    thread->id.store(0);
    liborvaniot_os_debug_printf("liborvaniot_os_sys_thread_create", __LINE__,
                                "%s, CreateThread hret=%u, tid=%u, err=%u\r\n",
                                "liborvaniot_os_sys_thread_create", 0u, 0u, static_cast<unsigned>(error));
    return -1;
}

int liborvaniot_os_sys_thread_routine(liborvaniot_os_sys_thread* thread) {
    if (thread->routine != nullptr) thread->routine(thread);
    // Last touch of the record: once id reads 0 the owner may reuse or destroy it.
    thread->id.store(0);
    return 0;
}

void liborvaniot_os_sys_thread_wait_stopped(liborvaniot_os_sys_thread* thread) {
    while (thread->id.load() != 0) liborvaniot_os_sleep_ms(100);
}

int32_t liborvaniot_os_pthread_initialize_m(struct_plock* guard) {
    return liborvaniot_os_mutex_struct_plock_init(guard, "liborvaniot_os_pthread_initialize_m", __LINE__);
}

int32_t liborvaniot_os_pthread_finalize_m(struct_plock* guard) {
    return liborvaniot_os_mutex_struct_plock_free(guard, "liborvaniot_os_pthread_finalize_m", __LINE__);
}

namespace {

// A cleared record, prepared and idle. Its locks do not exist yet, so no other thread reaches it.
void clear_record(liborvaniot_os_pthread* record) NO_THREAD_SAFETY_ANALYSIS {
    *record = liborvaniot_os_pthread{};
    record->magic = 0x5678;
    record->status = LIBORVANIOT_OS_PTHREAD_IDLE;
}

// The exit value of a joined thread: once the thread has ended the record is its owner's alone.
int32_t joined_result(const liborvaniot_os_pthread* record) NO_THREAD_SAFETY_ANALYSIS {
    return record->result;
}

// Clears the record and creates its two locks; on failure destroys whichever of them exists.
int32_t prepare_record(liborvaniot_os_pthread* record, struct_plock* guard, void* user_arg,
                       const char* caller, int32_t line) {
    clear_record(record);
    if (liborvaniot_os_mutex_struct_plock_init(&record->status_lock, caller, line) != 0 ||
        liborvaniot_os_mutex_struct_plock_init(&record->second_lock, caller, line) != 0) {
        liborvaniot_os_pthread_lock_deinit(record);
        return -1;
    }
    record->guard = guard;
    record->user_arg = user_arg;
    return 0;
}

}  // namespace

int32_t liborvaniot_os_pthread_lock_init(liborvaniot_os_pthread* record, struct_plock* guard, void* user_arg,
                                         const char* caller, int32_t line) {
    return prepare_record(record, guard, user_arg, caller, line);
}

int32_t liborvaniot_os_thread_get_status(liborvaniot_os_pthread* record) {
    status_guard held(record, "liborvaniot_os_thread_get_status", __LINE__);
    return record->status;
}

int32_t liborvaniot_os_pthread_create(liborvaniot_os_pthread* record,
                                      int32_t (*routine)(liborvaniot_os_pthread*)) {
    status_guard held(record, "liborvaniot_os_pthread_create", __LINE__);
    if (record->has_handle || record->status != LIBORVANIOT_OS_PTHREAD_IDLE) return -1;
    record->status = LIBORVANIOT_OS_PTHREAD_STARTING;
    record->result = 0;
    record->routine = routine;
    record->break_flag = 0;
    // The new thread's first step waits for the status lock, so the handle is stored before it runs.
    uintptr_t handle = 0;
    if (liborvaniot_os_thread_calls::start_joinable(pthread_entry, record, &handle) != 0) return -1;
    record->handle = handle;
    record->has_handle = true;
    return 0;
}

namespace {

void set_status(liborvaniot_os_pthread* record, int32_t status) {
    status_guard held(record, "SetUserPthreadStatus", __LINE__);
    record->status = status;
}

int32_t pthread_entry(void* parameter) {
    return liborvaniot_os_pthread_start_routine(static_cast<liborvaniot_os_pthread*>(parameter));
}

}  // namespace

int32_t liborvaniot_os_pthread_start_routine(liborvaniot_os_pthread* record) {
    set_status(record, LIBORVANIOT_OS_PTHREAD_RUNNING);
    const int32_t result = record->routine(record);
    {
        status_guard held(record, "SetUserPthreadStatus", __LINE__);
        record->result = result;
        record->status = LIBORVANIOT_OS_PTHREAD_FINISHED;
    }
    return result;
}

int32_t liborvaniot_os_pthread_check_break(liborvaniot_os_pthread* record) {
    status_guard held(record, "liborvaniot_os_pthread_check_break", __LINE__);
    return record->break_flag;
}

void liborvaniot_os_thread_release(liborvaniot_os_pthread* record) {
    status_guard held(record, "liborvaniot_os_thread_release", __LINE__);
    record->break_flag = 1;
}

void liborvaniot_os_thread_join(liborvaniot_os_pthread* record) {
    uintptr_t handle = 0;
    bool has_handle = false;
    {
        status_guard held(record, "liborvaniot_os_thread_join", __LINE__);
        handle = record->handle;
        has_handle = record->has_handle;
    }
    if (!has_handle) return;
    int32_t exit_code = 0;
    if (!liborvaniot_os_thread_calls::join(handle, &exit_code)) return;
    status_guard held(record, "liborvaniot_os_thread_join", __LINE__);
    record->result = exit_code;
    record->handle = 0;
    record->has_handle = false;
    record->status = LIBORVANIOT_OS_PTHREAD_IDLE;
}

void liborvaniot_os_pthread_lock_deinit(liborvaniot_os_pthread* record) {
    if (record->magic != 0x5678) return;
    constexpr const char* kCaller = "liborvaniot_os_pthread_lock_deinit";
    if (liborvaniot_os_mutex_is_present(&record->second_lock)) {
        liborvaniot_os_mutex_struct_plock_free(&record->second_lock, kCaller, __LINE__);
    }
    if (liborvaniot_os_mutex_is_present(&record->status_lock)) {
        liborvaniot_os_mutex_struct_plock_free(&record->status_lock, kCaller, __LINE__);
    }
    *record = liborvaniot_os_pthread{};
}

int32_t liborvaniot_os_pthread_start(liborvaniot_os_pthread* record, struct_plock* guard, void* user_arg,
                                     int32_t (*routine)(liborvaniot_os_pthread*), const char* caller,
                                     int32_t line) {
    if (record->magic == 0x5678) return 0;
    clear_record(record);
    if (liborvaniot_os_pthread_initialize_m(guard) != 0) {
        record->magic = 0;
        return -1;
    }
    if (prepare_record(record, guard, user_arg, caller, line) != 0) {
        // Without this the guard would outlive the failed start, and the owner's stop, which runs
        // whenever the guard exists, would use the record's absent status lock and halt.
        liborvaniot_os_pthread_finalize_m(guard);
        return -1;
    }
    int32_t started = 0;
    {
        plock_guard held(*guard, caller, line);
        if (liborvaniot_os_thread_get_status(record) == LIBORVANIOT_OS_PTHREAD_IDLE) {
            started = liborvaniot_os_pthread_create(record, routine);
        }
    }
    if (started != 0) {
        // The system refused the thread: nothing is left behind, so the owner's stop does nothing
        // and a later start tries again instead of taking the dead record for a running one.
        liborvaniot_os_pthread_finalize_m(guard);
        liborvaniot_os_pthread_lock_deinit(record);
        return -1;
    }
    return 0;
}

int32_t liborvaniot_os_pthread_stop(liborvaniot_os_pthread* record, struct_plock* guard) {
    if (!liborvaniot_os_mutex_is_present(guard)) return 0;
    liborvaniot_os_thread_get_status(record);
    liborvaniot_os_thread_release(record);
    liborvaniot_os_thread_join(record);
    const int32_t exit_value = joined_result(record);
    liborvaniot_os_pthread_finalize_m(guard);
    liborvaniot_os_pthread_lock_deinit(record);
    return exit_value;
}
