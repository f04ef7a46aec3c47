// The plain operating-system mutex under every tracked lock and under the lock table: constant-
// initialised, no owner re-entry, released only by the thread that took it. Each platform supplies
// the type and its calls (liborvaniot_os_system_mutex_native.h in its platform folder).
#pragma once

#include "liborvaniot_os/liborvaniot_os_mutex.h"
#include "liborvaniot_os_system_mutex_native.h"

struct CAPABILITY("mutex") liborvaniot_os_system_mutex {
    liborvaniot_os_system_mutex_native::type native = liborvaniot_os_system_mutex_native::kInitial;
};

namespace liborvaniot_os_system_mutex_calls {

// The calls are where the check's rules meet the platform's mutex, so the check trusts them.
inline void lock(liborvaniot_os_system_mutex& mutex) ACQUIRE(mutex) NO_THREAD_SAFETY_ANALYSIS {
    liborvaniot_os_system_mutex_native::lock(mutex.native);
}

inline bool try_lock(liborvaniot_os_system_mutex& mutex) TRY_ACQUIRE(true, mutex) NO_THREAD_SAFETY_ANALYSIS {
    return liborvaniot_os_system_mutex_native::try_lock(mutex.native);
}

inline void unlock(liborvaniot_os_system_mutex& mutex) RELEASE(mutex) NO_THREAD_SAFETY_ANALYSIS {
    liborvaniot_os_system_mutex_native::unlock(mutex.native);
}

// Ends a free mutex made at run time (false when the system refuses); the table's never end.
inline bool destroy(liborvaniot_os_system_mutex& mutex) EXCLUDES(mutex) {
    return liborvaniot_os_system_mutex_native::destroy(mutex.native);
}

// Holds a system mutex for a scope; unlock() lets it go early (before a halt, say).
class SCOPED_CAPABILITY guard {
  public:
    explicit guard(liborvaniot_os_system_mutex& mutex) ACQUIRE(mutex) : mutex_(&mutex) { lock(mutex); }
    ~guard() RELEASE() { unlock(); }
    guard(const guard&) = delete;
    guard& operator=(const guard&) = delete;

    void unlock() RELEASE() NO_THREAD_SAFETY_ANALYSIS {
        if (mutex_ == nullptr) return;
        liborvaniot_os_system_mutex_calls::unlock(*mutex_);
        mutex_ = nullptr;
    }

  private:
    liborvaniot_os_system_mutex* mutex_;
};

}  // namespace liborvaniot_os_system_mutex_calls
