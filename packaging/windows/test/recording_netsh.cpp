// Stands in for netsh.exe in the installer test's Wine prefix (Wine's own does nothing with
// firewall rules): appends its command line to netsh-calls.txt beside itself and succeeds.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::wstring log(path);
    log.resize(log.find_last_of(L'\\') + 1);
    log += L"netsh-calls.txt";
    FILE* out = _wfopen(log.c_str(), L"ab");
    if (out == nullptr) return 1;
    const wchar_t* line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);
    std::fprintf(out, "%s\n", text.c_str());
    return std::fclose(out) == 0 ? 0 : 1;
}
