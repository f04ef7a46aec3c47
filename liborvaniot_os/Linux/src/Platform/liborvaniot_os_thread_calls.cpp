// Threads on Linux: pthreads, detached for the system threads and joinable for the user threads;
// the body's result travels as the thread's return value.
#include "liborvaniot_os_thread_calls.h"

#include <pthread.h>

#include <cerrno>
#include <memory>
#include <new>

namespace liborvaniot_os_thread_calls {

namespace {

static_assert(sizeof(pthread_t) <= sizeof(uintptr_t), "a thread handle is kept as an integer");

// What the new thread runs; owned by the thread once it has started.
struct start_packet {
    body run;
    void* parameter;
};

void* entry(void* raw) {
    const std::unique_ptr<start_packet> packet(static_cast<start_packet*>(raw));
    const int32_t result = packet->run(packet->parameter);
    return reinterpret_cast<void*>(static_cast<intptr_t>(result));
}

int32_t start(body run, void* parameter, bool detached, pthread_t* thread) {
    std::unique_ptr<start_packet> packet(new (std::nothrow) start_packet{run, parameter});
    if (packet == nullptr) return ENOMEM;
    pthread_attr_t attributes;
    int error = pthread_attr_init(&attributes);
    if (error != 0) return error;
    error = pthread_attr_setdetachstate(&attributes,
                                        detached ? PTHREAD_CREATE_DETACHED : PTHREAD_CREATE_JOINABLE);
    if (error == 0) error = pthread_create(thread, &attributes, entry, packet.get());
    pthread_attr_destroy(&attributes);
    if (error == 0) packet.release();  // the thread's now
    return error;
}

}  // namespace

int32_t start_detached(body run, void* parameter) {
    pthread_t thread{};
    return start(run, parameter, true, &thread);
}

int32_t start_joinable(body run, void* parameter, uintptr_t* handle) {
    pthread_t thread{};
    const int32_t error = start(run, parameter, false, &thread);
    if (error == 0) *handle = static_cast<uintptr_t>(thread);
    return error;
}

bool join(uintptr_t handle, int32_t* exit_code) {
    void* result = nullptr;
    if (pthread_join(static_cast<pthread_t>(handle), &result) != 0) return false;
    *exit_code = static_cast<int32_t>(reinterpret_cast<intptr_t>(result));
    return true;
}

}  // namespace liborvaniot_os_thread_calls
