// Available memory on Windows: GlobalMemoryStatusEx, whose figure already counts the standby pages
// the system can reuse.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_memory_status.h"

#include <windows.h>

namespace liborvaniot_os_memory_status {

bool available_physical_memory(uint64_t* bytes) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return false;
    *bytes = status.ullAvailPhys;
    return true;
}

}  // namespace liborvaniot_os_memory_status
