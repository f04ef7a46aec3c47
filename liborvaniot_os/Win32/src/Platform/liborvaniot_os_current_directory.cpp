// The current directory from GetCurrentDirectoryW, which is wide text already.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_current_directory.h"

#include <windows.h>

bool liborvaniot_os_read_current_directory(std::wstring* out) {
    // The first call gives the size the path needs (terminating zero included); the directory may
    // change between the calls, so a second shortfall is an error rather than a loop.
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return false;
    out->assign(needed, L'\0');
    const DWORD written = GetCurrentDirectoryW(needed, out->data());
    if (written == 0 || written >= needed) return false;
    out->resize(written);
    return true;
}
