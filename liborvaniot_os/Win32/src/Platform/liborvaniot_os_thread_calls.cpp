// Threads on Windows: _beginthreadex (the C runtime's start, since the bodies use it), with the
// body's result as the thread's exit code. A system thread's handle is closed at once (nobody waits
// for it); a user thread's is kept for the join.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_thread_calls.h"

#include <process.h>
#include <windows.h>

#include <cerrno>
#include <memory>
#include <new>

namespace liborvaniot_os_thread_calls {

namespace {

// What the new thread runs; owned by the thread once it has started.
struct start_packet {
    body run;
    void* parameter;
};

unsigned __stdcall entry(void* raw) {
    const std::unique_ptr<start_packet> packet(static_cast<start_packet*>(raw));
    return static_cast<unsigned>(packet->run(packet->parameter));
}

int32_t start(body run, void* parameter, HANDLE* thread) {
    std::unique_ptr<start_packet> packet(new (std::nothrow) start_packet{run, parameter});
    if (packet == nullptr) return ENOMEM;
    *thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, entry, packet.get(), 0, nullptr));
    if (*thread == nullptr) return errno != 0 ? errno : EAGAIN;
    packet.release();  // the thread's now
    return 0;
}

}  // namespace

int32_t start_detached(body run, void* parameter) {
    HANDLE thread = nullptr;
    const int32_t error = start(run, parameter, &thread);
    if (error == 0) CloseHandle(thread);
    return error;
}

int32_t start_joinable(body run, void* parameter, uintptr_t* handle) {
    HANDLE thread = nullptr;
    const int32_t error = start(run, parameter, &thread);
    if (error == 0) *handle = reinterpret_cast<uintptr_t>(thread);
    return error;
}

bool join(uintptr_t handle, int32_t* exit_code) {
    const auto thread = reinterpret_cast<HANDLE>(handle);
    if (WaitForSingleObject(thread, INFINITE) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    const bool read = GetExitCodeThread(thread, &code) != 0;
    // The thread has ended: its handle goes whatever the exit code read gave, so that no later join
    // waits on a closed handle.
    CloseHandle(thread);
    if (!read) return false;
    *exit_code = static_cast<int32_t>(code);
    return true;
}

}  // namespace liborvaniot_os_thread_calls
