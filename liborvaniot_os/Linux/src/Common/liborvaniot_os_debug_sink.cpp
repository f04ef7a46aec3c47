// Standard error as the debug output channel.
#include "liborvaniot_os_debug_sink.h"

#include <unistd.h>

#include <cerrno>

namespace liborvaniot_os_debug_sink {

void write_message(const char* text, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // nowhere left to report a failing diagnostic channel
        }
        text += written;
        length -= static_cast<size_t>(written);
    }
}

}  // namespace liborvaniot_os_debug_sink
