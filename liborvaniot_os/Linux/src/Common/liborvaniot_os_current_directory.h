// The directory the process runs in, as wide text for the start-up log.
#pragma once

#include <string>

// false when it cannot be read (removed under the program, say).
bool liborvaniot_os_read_current_directory(std::wstring* out);
