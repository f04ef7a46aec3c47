#include "win32_clipboard.h"

#include <cstring>

namespace orvan::wnd::win32 {

namespace {

// Another program may hold the clipboard for a moment.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 20;

bool OpenClipboardSoon(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(kOpenRetryMs);
    }
    return false;
}

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return false;
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboardSoon(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once the clipboard took the memory it is the clipboard's to free.
    const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!taken) GlobalFree(memory);
    return taken;
}

}  // namespace orvan::wnd::win32
