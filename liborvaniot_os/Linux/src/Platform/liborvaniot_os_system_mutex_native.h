// The system mutex on Linux: a default pthread mutex. It is constant-initialised and needs no
// destruction, so the lock table holds thousands of them without a constructor.
#pragma once

#include <pthread.h>

namespace liborvaniot_os_system_mutex_native {

using type = pthread_mutex_t;
inline constexpr type kInitial = PTHREAD_MUTEX_INITIALIZER;

inline void lock(type& mutex) {
    pthread_mutex_lock(&mutex);
}

inline bool try_lock(type& mutex) {
    return pthread_mutex_trylock(&mutex) == 0;
}

inline void unlock(type& mutex) {
    pthread_mutex_unlock(&mutex);
}

// false when the system refuses (a mutex still held).
inline bool destroy(type& mutex) {
    return pthread_mutex_destroy(&mutex) == 0;
}

}  // namespace liborvaniot_os_system_mutex_native
