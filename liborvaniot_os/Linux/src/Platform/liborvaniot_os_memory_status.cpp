// Available memory on Linux: sysinfo is cheap enough for every allocation, but counts only free
// pages, so a low figure is confirmed with MemAvailable, which includes the page cache the kernel
// can reclaim.
#include "liborvaniot_os_memory_status.h"

#include <sys/sysinfo.h>

#include <fstream>
#include <string>

namespace liborvaniot_os_memory_status {

bool available_physical_memory(uint64_t* bytes) {
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        *bytes = static_cast<uint64_t>(info.freeram) * info.mem_unit;
        if (*bytes >= kLowMemory) return true;
    }
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") {
            *bytes = kilobytes * 1024;
            return true;
        }
    }
    return false;
}

}  // namespace liborvaniot_os_memory_status
