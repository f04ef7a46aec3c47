// Starting and joining the operating system's threads, for the runtime's system threads (nobody
// joins them) and user threads (joined, with the body's result as exit code).
#pragma once

#include <cstdint>

namespace liborvaniot_os_thread_calls {

using body = int32_t (*)(void* parameter);

// Starts a thread that nobody joins: 0 when it runs, else the system's error number.
int32_t start_detached(body run, void* parameter);

// Starts a thread to be joined: 0 and its handle in *handle, else the system's error number.
int32_t start_joinable(body run, void* parameter, uintptr_t* handle);

// Waits without limit for the thread, hands back its exit code (the body's result) and releases
// the handle: false when the wait or the release failed, and the handle is then still valid.
bool join(uintptr_t handle, int32_t* exit_code);

}  // namespace liborvaniot_os_thread_calls
