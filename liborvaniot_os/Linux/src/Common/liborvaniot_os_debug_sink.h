// Where diagnostics end up: standard error (or the program's choice), one write per message, text
// unchanged.
#pragma once

#include <cstddef>

namespace liborvaniot_os_debug_sink {

// Writes the bytes as one message. A short write (a full pipe, a signal) is completed by further
// writes so that nothing is lost; a message is never split on purpose.
void write_message(const char* text, size_t length);

}  // namespace liborvaniot_os_debug_sink
