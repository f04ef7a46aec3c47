// Standard error as the debug output channel, unless the program pointed it elsewhere.
#include "liborvaniot_os_debug_sink.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace {

std::atomic<int> output_fd{STDERR_FILENO};

}  // namespace

void liborvaniot_os_debug_set_output(int fd) {
    output_fd.store(fd);
}

namespace liborvaniot_os_debug_sink {

void write_message(const char* text, size_t length) {
    const int fd = output_fd.load();
    if (fd < 0) return;
    while (length > 0) {
        const ssize_t written = ::write(fd, text, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // nowhere left to report a failing diagnostic channel
        }
        text += written;
        length -= static_cast<size_t>(written);
    }
}

void write_wide_message(const wchar_t*, const char* utf8, size_t utf8_length) {
    write_message(utf8, utf8_length);
}

}  // namespace liborvaniot_os_debug_sink
