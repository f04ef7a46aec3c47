// The system mutex on Windows: a slim reader/writer lock taken exclusively. Like the Linux mutex it
// is constant-initialised, costs no kernel object and no round trip to the kernel when uncontended,
// and has nothing to close. It does not let its owner in again; the tracked locks recognise their
// holder before they wait, so they never ask it to.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#pragma once

#include <windows.h>

namespace liborvaniot_os_system_mutex_native {

using type = SRWLOCK;
inline constexpr type kInitial = SRWLOCK_INIT;

inline void lock(type& mutex) {
    AcquireSRWLockExclusive(&mutex);
}

inline bool try_lock(type& mutex) {
    return TryAcquireSRWLockExclusive(&mutex) != 0;
}

inline void unlock(type& mutex) {
    ReleaseSRWLockExclusive(&mutex);
}

// Nothing to release: a free lock is only memory. A held one is refused, as the Linux mutex refuses.
inline bool destroy(type& mutex) {
    if (TryAcquireSRWLockExclusive(&mutex) == 0) return false;
    ReleaseSRWLockExclusive(&mutex);
    return true;
}

}  // namespace liborvaniot_os_system_mutex_native
