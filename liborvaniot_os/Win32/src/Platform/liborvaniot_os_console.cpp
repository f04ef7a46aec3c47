// Terminal checks, the console control handler and the shell's "open" on Windows.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os/liborvaniot_os_console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

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

// The console and its code page belong to whoever opened it, usually the user's shell, which goes
// on after this program: what prepare_streams changes is noted first and put back at the end.
struct console_output {
    HANDLE handle = nullptr;
    DWORD mode = 0;
    bool is_console = false;
};

struct console_before {
    UINT code_page = 0;  // 0: not changed
    console_output streams[2];
};

console_before before;
std::atomic<bool> streams_prepared{false};
std::atomic<bool> streams_restored{false};

console_output console_of(DWORD which) {
    console_output out;
    out.handle = GetStdHandle(which);
    out.is_console = out.handle != nullptr && out.handle != INVALID_HANDLE_VALUE && GetConsoleMode(out.handle, &out.mode);
    return out;
}

void restore_streams() {
    if (!streams_prepared.load() || streams_restored.exchange(true)) return;
    std::fflush(stdout);
    std::fflush(stderr);
    // In reverse: when both streams are one console, the first one's mode is the one it had.
    for (int i = 1; i >= 0; --i) {
        if (before.streams[i].is_console) SetConsoleMode(before.streams[i].handle, before.streams[i].mode);
    }
    if (before.code_page != 0) SetConsoleOutputCP(before.code_page);
}

// Runs before the default handling of Ctrl+C, which ends the process without the exit handlers;
// where the program installed its own stop handler, that one comes first and the program ends
// through its exit path instead.
BOOL WINAPI restore_on_console_event(DWORD) {
    restore_streams();
    return FALSE;
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
    if (streams_prepared.exchange(true)) return;
    // Both noted before either changes: they may be the same console.
    before.streams[0] = console_of(STD_OUTPUT_HANDLE);
    before.streams[1] = console_of(STD_ERROR_HANDLE);
    if (!before.streams[0].is_console && !before.streams[1].is_console) return;
    const UINT code_page = GetConsoleOutputCP();
    if (code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) before.code_page = code_page;
    for (const console_output& stream : before.streams) {
        if (stream.is_console) {
            SetConsoleMode(stream.handle, stream.mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        }
    }
    std::atexit(restore_streams);
    SetConsoleCtrlHandler(restore_on_console_event, TRUE);
}

void liborvaniot_os_console_restore_streams() {
    restore_streams();
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
    // The shell may hand the URL on through COM (browsers registered as handlers are), which must
    // be initialised on the calling thread first. A thread that has COM in the other model already
    // uses it as it is.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // Values above 32 mean success; the shell hands the URL to the user's browser and returns.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (SUCCEEDED(com)) CoUninitialize();
    if (result > 32) return 0;
    // 0 is the shell's "out of memory or resources", which must not read as success.
    return result == 0 ? SE_ERR_OOM : static_cast<int32_t>(result);
}

std::string liborvaniot_os_open_url_failure(int32_t status) {
    if (status < 0) return "the shell could not be asked to open it";
    switch (status) {
        case SE_ERR_NOASSOC:
        case SE_ERR_ASSOCINCOMPLETE: return "no program is set to open such links (choose a default browser)";
        case SE_ERR_FNF:
        case SE_ERR_PNF: return "the program set to open such links was not found";
        case SE_ERR_ACCESSDENIED: return "access to the program set to open such links was denied";
        case SE_ERR_OOM: return "the system is out of memory or resources";
        case SE_ERR_SHARE: return "the program set to open such links is in use (sharing violation)";
        case SE_ERR_DLLNOTFOUND: return "a library the program set to open such links needs was not found";
        case ERROR_BAD_FORMAT: return "the program set to open such links is not a valid Windows program";
        case SE_ERR_DDETIMEOUT:
        case SE_ERR_DDEFAIL:
        case SE_ERR_DDEBUSY: return "the program set to open such links did not answer";
        default: return "the shell refused it (error " + std::to_string(status) + ")";
    }
}
