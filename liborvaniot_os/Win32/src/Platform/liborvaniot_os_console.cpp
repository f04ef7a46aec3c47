// Terminal checks, the console control handler and the shell's "open" on Windows.
#include "liborvaniot_os/liborvaniot_os_console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include <atomic>
#include <string>

namespace {

constexpr int kInterrupt = 2;  // SIGINT's number, which the handler's callers know
constexpr DWORD kCloseGraceMs = 4500;  // Windows ends the process 5 s after a close event

std::atomic<void (*)(int)> stop_handler{nullptr};
// Set once the program has wound down after a stop request, so that a close event may end it.
HANDLE wound_down = nullptr;

BOOL WINAPI on_console_event(DWORD event) {
    void (*handler)(int) = stop_handler.load();
    if (handler == nullptr) return FALSE;
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            handler(kInterrupt);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            // The process ends as soon as this returns: give the program the time to remove what it
            // added (the link-local address) first.
            handler(kInterrupt);
            if (wound_down != nullptr) WaitForSingleObject(wound_down, kCloseGraceMs);
            return TRUE;
        default:
            return FALSE;
    }
}

std::string to_utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size - 1));
    return bytes;
}

void enable_terminal_escapes(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return;
    SetConsoleMode(handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

std::wstring to_wide(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.data(), size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}

}  // namespace

int32_t liborvaniot_os_console_is_terminal(int fd) {
    return ::_isatty(fd) != 0 ? 1 : 0;
}

std::vector<std::string> liborvaniot_os_console_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        if (argc <= 1 || argv == nullptr) return {};
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(to_utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

void liborvaniot_os_console_prepare_streams() {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    enable_terminal_escapes(STD_OUTPUT_HANDLE);
    enable_terminal_escapes(STD_ERROR_HANDLE);
}

// Writes to a closed pipe fail with an error on Windows; there is no signal to ignore.
void liborvaniot_os_console_ignore_broken_pipe() {}

void liborvaniot_os_console_install_stop_handler(void (*handler)(int signal_number)) {
    if (wound_down == nullptr) wound_down = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wound_down != nullptr) ResetEvent(wound_down);
    stop_handler.store(handler);
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

void liborvaniot_os_console_restore_stop_handler() {
    if (stop_handler.exchange(nullptr) == nullptr) return;
    SetConsoleCtrlHandler(on_console_event, FALSE);
    if (wound_down != nullptr) SetEvent(wound_down);
}

int32_t liborvaniot_os_open_url(const char* url) {
    if (url == nullptr || *url == '\0') return -1;
    const std::wstring wide = to_wide(url);
    if (wide.empty()) return -1;
    // Values above 32 mean success; the shell hands the URL to the user's browser and returns.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32 ? 0 : 1;
}
