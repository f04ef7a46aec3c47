// Where diagnostics end up: standard error (or the program's choice), one write per message, text
// unchanged; on Windows also the debugger's output channel.
#pragma once

#include <cstddef>

namespace liborvaniot_os_debug_sink {

// Writes the bytes as one message. A short write (a full pipe, a signal) is completed by further
// writes so that nothing is lost; a message is never split on purpose.
void write_message(const char* text, size_t length);

// Writes a message formatted as wide text: wide is its zero-terminated form for channels that take
// wide text, utf8 the same text as UTF-8 for the byte streams.
void write_wide_message(const wchar_t* wide, const char* utf8, size_t utf8_length);

}  // namespace liborvaniot_os_debug_sink
