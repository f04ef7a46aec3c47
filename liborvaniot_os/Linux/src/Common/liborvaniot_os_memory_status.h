// How much physical memory the system could still hand out, for the allocation wrappers' warning.
#pragma once

#include <cstdint>

namespace liborvaniot_os_memory_status {

// Below this the allocation wrappers warn and pause.
inline constexpr uint64_t kLowMemory = 4194304;

// Available physical memory in bytes; false when the system does not tell.
bool available_physical_memory(uint64_t* bytes);

}  // namespace liborvaniot_os_memory_status
