// Stand-in for Linux's <sys/sysinfo.h> in the Windows build, answered from GlobalMemoryStatusEx,
// for the memory module's low-memory check until that module has Windows calls of its own.
#pragma once

#include <windows.h>

struct sysinfo {
    unsigned long long freeram = 0;
    unsigned int mem_unit = 1;
};

inline int sysinfo(struct sysinfo* info) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return -1;
    info->freeram = status.ullAvailPhys;
    info->mem_unit = 1;
    return 0;
}
