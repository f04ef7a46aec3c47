// The stop descriptor: an eventfd made when the program loads and kept for its whole life, so a
// signal handler can always reach it.
#include "liborvaniot_os/liborvaniot_os_stop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_thread.h"

namespace {

const int stop_descriptor = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);

}  // namespace

void liborvaniot_os_raise_stop() {
    liborvaniot_os_stop_flag.store(1);
    if (stop_descriptor < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stop_descriptor, &one, sizeof one);
}

namespace {

void drain() {
    if (stop_descriptor < 0) return;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(stop_descriptor, &count, sizeof count);
}

}  // namespace

void liborvaniot_os_lower_stop() {
    drain();
    liborvaniot_os_stop_flag.store(0);
}

void liborvaniot_os_stop_descriptor_settle() {
    if (liborvaniot_os_stop_flag.load() == 0) drain();
}

liborvaniot_os_socket liborvaniot_os_stop_descriptor() {
    return stop_descriptor < 0 ? LIBORVANIOT_OS_INVALID_SOCKET : stop_descriptor;
}

int32_t liborvaniot_os_stop_wait(uint32_t milliseconds) {
    if (stop_descriptor < 0) {
        liborvaniot_os_sleep_ms(milliseconds);
        return 0;
    }
    pollfd wait{stop_descriptor, POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(milliseconds));
    if (ready < 0) liborvaniot_os_sleep_ms(milliseconds);
    return ready > 0 ? 1 : 0;
}
