#include "win32_console.h"

#include <cstdio>

#include "win32_util.h"

namespace orvan::wnd::win32 {

namespace {

bool Usable(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void Reopen(DWORD which, FILE* stream) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    SetStdHandle(which, console);
    if (std::freopen("CONOUT$", "w", stream) != nullptr) std::setvbuf(stream, nullptr, _IONBF, 0);
}

}  // namespace

void UseParentConsoleForMissingOutput() {
    const bool error = Usable(STD_ERROR_HANDLE);
    const bool output = Usable(STD_OUTPUT_HANDLE);
    if (error && output) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from the desktop: nowhere to write
    if (!error) Reopen(STD_ERROR_HANDLE, stderr);
    if (!output) Reopen(STD_OUTPUT_HANDLE, stdout);
}

}  // namespace orvan::wnd::win32
