// Opening a URL with the shell's "open" (the default browser for http and https).
// clang-format off
#include "win32_util.h"  // the system headers shellapi.h needs first
#include <shellapi.h>
// clang-format on

#include "desktop_url.h"

namespace orvan::wnd {

namespace {

// scheme ":" rest, with a scheme of letters, digits, '+', '-' and '.' that starts with a letter, and
// nothing that is not printable: anything else the shell would take for a file or program to run.
bool LooksLikeUrl(const std::string& url) {
    const size_t colon = url.find(':');
    if (colon == std::string::npos || colon < 2 || colon + 1 >= url.size()) return false;
    const auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!isAlpha(url[0])) return false;
    for (size_t i = 1; i < colon; ++i) {
        const char c = url[i];
        if (!isAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
    }
    return true;
}

}  // namespace

bool OpenWithDesktop(const std::string& url) {
    if (!LooksLikeUrl(url)) return false;
    const std::wstring wide = win32::Widen(url);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values above 32 mean success.
    return result > 32;
}

}  // namespace orvan::wnd
