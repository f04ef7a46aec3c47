// Worker threads, the process-wide stop flag and time of day.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>

#include "liborvaniot_os/liborvaniot_os_mutex.h"

// Raised to ask every runtime loop and worker thread to wind down.
extern std::atomic<int32_t> liborvaniot_os_stop_flag;

// Detached "system" thread. The owner fills routine and arg, then calls create; to stop it the
// owner clears run (or raises the stop flag) and waits until id reads 0.
struct liborvaniot_os_sys_thread {
    std::atomic<uint32_t> id{0};
    std::atomic<int32_t> run{0};
    int (*routine)(liborvaniot_os_sys_thread* self) = nullptr;
    void* arg = nullptr;
};

// Sets run to 1 and starts the thread; 0 when it runs, -1 when the system refused (logged).
int32_t liborvaniot_os_sys_thread_create(liborvaniot_os_sys_thread* thread);
int liborvaniot_os_sys_thread_routine(liborvaniot_os_sys_thread* thread);
// Polls every 100 ms, without limit, until the thread has cleared its id.
void liborvaniot_os_sys_thread_wait_stopped(liborvaniot_os_sys_thread* thread);

// Joinable "user" thread with a status word and a break flag.
inline constexpr int32_t LIBORVANIOT_OS_PTHREAD_STARTING = 1;
inline constexpr int32_t LIBORVANIOT_OS_PTHREAD_RUNNING = 2;
inline constexpr int32_t LIBORVANIOT_OS_PTHREAD_FINISHED = 3;
inline constexpr int32_t LIBORVANIOT_OS_PTHREAD_IDLE = 4;

struct liborvaniot_os_pthread {
    int32_t magic;                           // 0x5678 while prepared
    int32_t status GUARDED_BY(status_lock);  // one of the LIBORVANIOT_OS_PTHREAD_ values
    struct_plock status_lock;
    struct_plock second_lock;
    int32_t result GUARDED_BY(status_lock);
    uintptr_t handle GUARDED_BY(status_lock);  // the system's thread handle, valid while has_handle
    bool has_handle GUARDED_BY(status_lock);
    int32_t (*routine)(liborvaniot_os_pthread* self);
    int32_t break_flag GUARDED_BY(status_lock);
    struct_plock* guard;
    void* user_arg;
};

int32_t liborvaniot_os_pthread_initialize_m(struct_plock* guard);
int32_t liborvaniot_os_pthread_lock_init(liborvaniot_os_pthread* record, struct_plock* guard, void* user_arg,
                                         const char* caller, int32_t line);
int32_t liborvaniot_os_thread_get_status(liborvaniot_os_pthread* record);
// Starts the thread when the record has none and is idle: 0 when started, -1 otherwise.
int32_t liborvaniot_os_pthread_create(liborvaniot_os_pthread* record,
                                      int32_t (*routine)(liborvaniot_os_pthread*));
// Body of every user thread: runs the routine between the running and finished states; its value is
// the thread's exit code.
int32_t liborvaniot_os_pthread_start_routine(liborvaniot_os_pthread* record);
// Called by the routine from inside its thread: 1 once the owner has asked it to stop.
int32_t liborvaniot_os_pthread_check_break(liborvaniot_os_pthread* record);
void liborvaniot_os_thread_release(liborvaniot_os_pthread* record);
// Waits without limit for the thread, stores its exit code in result and returns the record to idle.
void liborvaniot_os_thread_join(liborvaniot_os_pthread* record);
int32_t liborvaniot_os_pthread_finalize_m(struct_plock* guard);
void liborvaniot_os_pthread_lock_deinit(liborvaniot_os_pthread* record);

// The owner's whole start and stop sequences (guard lock, record, thread). Start returns 0 when the
// record is prepared (the thread was started now, or an earlier start is still in effect) and -1 when
// a lock could not be created or the system refused the thread; then nothing is left behind and stop
// does nothing. Stop returns the exit value of the thread it joined (0 when it found none), as the
// record is cleared afterwards.
int32_t liborvaniot_os_pthread_start(liborvaniot_os_pthread* record, struct_plock* guard, void* user_arg,
                                     int32_t (*routine)(liborvaniot_os_pthread*), const char* caller,
                                     int32_t line);
int32_t liborvaniot_os_pthread_stop(liborvaniot_os_pthread* record, struct_plock* guard);

// Wall-clock time, seconds and microseconds since 1970-01-01 UTC.
struct liborvaniot_os_timeval {
    int32_t tv_sec;
    int32_t tv_usec;
};

int32_t liborvaniot_os_gettimeofday(liborvaniot_os_timeval* tv);
// A cheap stamp for telling later how long ago something happened: the monotonic counter as of the
// clock's last tick (a few milliseconds at worst), in the counter's own units; never 0. Turned into the time of day (on the same
// scale as liborvaniot_os_gettimeofday) by liborvaniot_os_time_from_counter.
int64_t liborvaniot_os_time_counter_coarse();
void liborvaniot_os_time_from_counter(int64_t counter, liborvaniot_os_timeval* tv);
// Number of times the wall clock has been read to calibrate the time of day (once per process).
int32_t liborvaniot_os_time_calibration_count();

// Serialises the local-time conversion; created and destroyed by the runtime's misc layer start and stop.
extern struct_plock liborvaniot_os_localtime_mx;
// Local-time conversion under the local-time lock (taken when it exists); every field 0 when the
// conversion fails.
void liborvaniot_os_localtime_r(int64_t seconds, struct tm* out);
void liborvaniot_os_sleep_ms(uint32_t milliseconds);
