// The debugger's output channel, and standard error as well when the process has one, so that
// tests and users can read the diagnostics without a debugger.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_debug_sink.h"

#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstring>

#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace {

constexpr int kStandardError = 2;
// OutputDebugStringA takes terminated text: longer messages go to it in pieces of this size.
constexpr size_t kDebuggerPiece = 1024;

std::atomic<int> output_fd{kStandardError};

// A program without a console (the finder's window) has no standard error; writing there would only
// fail, so the debugger's channel is then the only one.
bool has_output(int fd) {
    if (fd < 0) return false;
    if (fd != kStandardError) return true;
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void write_to_fd(int fd, const char* text, size_t length) {
    while (length > 0) {
        const unsigned chunk = length > INT_MAX ? INT_MAX : static_cast<unsigned>(length);
        const int written = ::_write(fd, text, chunk);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // nowhere left to report a failing diagnostic channel
        }
        text += written;
        length -= static_cast<size_t>(written);
    }
}

// Copies through a stack buffer: the sink must not allocate, since it reports allocation failures
// and lock misuse (a halt), where the heap or the memory lock may be the very thing failing.
void write_to_debugger(const char* text, size_t length) {
    char piece[kDebuggerPiece + 1];
    while (length > 0) {
        const size_t n = std::min(length, kDebuggerPiece);
        std::memcpy(piece, text, n);
        piece[n] = '\0';
        OutputDebugStringA(piece);
        text += n;
        length -= n;
    }
}

}  // namespace

void liborvaniot_os_debug_set_output(int fd) {
    output_fd.store(fd);
}

namespace liborvaniot_os_debug_sink {

void write_message(const char* text, size_t length) {
    const int fd = output_fd.load();
    if (fd < 0) return;  // the program asked for silence
    write_to_debugger(text, length);
    if (has_output(fd)) write_to_fd(fd, text, length);
}

void write_wide_message(const wchar_t* wide, const char* utf8, size_t utf8_length) {
    const int fd = output_fd.load();
    if (fd < 0) return;
    OutputDebugStringW(wide);
    if (has_output(fd)) write_to_fd(fd, utf8, utf8_length);
}

}  // namespace liborvaniot_os_debug_sink
