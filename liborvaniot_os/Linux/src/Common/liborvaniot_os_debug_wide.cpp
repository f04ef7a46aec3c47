// The wide-character log call. Formats follow the convention of the rest of the program, where %s and
// %c in a wide format take wide arguments; the text is written as UTF-8.
#include <cstdarg>
#include <cstdint>
#include <cwchar>
#include <string>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os_debug_sink.h"

namespace {

constexpr size_t kWideCapacity = 14336;
constexpr char kTooLong[] = "\nerror !! MAX_DBG_MSG_NULL_SIZE\n";

// Both used only while the log lock is held.
wchar_t wide_buffer[kWideCapacity] GUARDED_BY(liborvaniot_os_debug_mx);
char utf8_buffer[MAX_DBG_MSG_NULL_SIZE * 4] GUARDED_BY(liborvaniot_os_debug_mx);

bool is_flag_or_width(wchar_t c) {
    return c == L'-' || c == L'+' || c == L' ' || c == L'#' || c == L'0' || c == L'.' || c == L'*' ||
           c == L'$' || (c >= L'1' && c <= L'9');
}

// The C library reads %s and %c in a wide format as narrow; rewrite them so that a plain %s takes a
// wide text, %hs a narrow one, and %S the narrow one too.
std::wstring to_library_format(const wchar_t* format) {
    std::wstring out;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        out.push_back(*p);
        if (*p != L'%') continue;
        ++p;
        if (*p == L'%') {
            out.push_back(*p);
            continue;
        }
        while (*p != L'\0' && is_flag_or_width(*p)) out.push_back(*p++);
        std::wstring length;
        while (*p != L'\0' && std::wcschr(L"hljztLqw", *p) != nullptr) length.push_back(*p++);
        if (*p == L'\0') break;
        const wchar_t conversion = *p;
        if (conversion == L's' || conversion == L'c') {
            out += (length == L"h") ? L"" : L"l";
            out.push_back(conversion);
        } else if (conversion == L'S' || conversion == L'C') {
            out.push_back(conversion == L'S' ? L's' : L'c');
        } else {
            out += length;
            out.push_back(conversion);
        }
    }
    return out;
}

size_t put_utf8(uint32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// wchar_t holds UTF-32 on Linux and UTF-16 on Windows, where a character beyond U+FFFF is a pair of
// surrogates. Anything that is not a Unicode scalar value (a lone surrogate) becomes U+FFFD.
size_t to_utf8(const wchar_t* text, size_t length, char* out) {
    size_t n = 0;
    for (size_t i = 0; i < length; ++i) {
        auto c = static_cast<uint32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            const bool high = c >= 0xD800 && c <= 0xDBFF;
            const auto next = i + 1 < length ? static_cast<uint32_t>(text[i + 1]) : 0u;
            if (high && next >= 0xDC00 && next <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            }
        }
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        n += put_utf8(c, out + n);
    }
    return n;
}

}  // namespace

void liborvaniot_os_debug_safe_printfW(const wchar_t* format, ...) {
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_debug_mx)) return;
    constexpr const char* kCaller = "liborvaniot_os_debug_safe_printfW";
    plock_guard held(liborvaniot_os_debug_mx, kCaller, __LINE__);

    const std::wstring library_format = to_library_format(format);
    va_list args;
    va_start(args, format);
    // A result below zero means the text did not fit the buffer (or could not be formatted at all).
    const int formatted = std::vswprintf(wide_buffer, kWideCapacity, library_format.c_str(), args);
    va_end(args);

    if (formatted < 0 || formatted >= MAX_DBG_MSG_NULL_SIZE) {
        liborvaniot_os_debug_sink::write_message(kTooLong, sizeof(kTooLong) - 1);
    } else {
        // An embedded zero from the arguments ends the text, as it would for any wide string.
        const size_t text_length = ::wcsnlen(wide_buffer, static_cast<size_t>(formatted));
        const size_t length = to_utf8(wide_buffer, text_length, utf8_buffer);
        wide_buffer[text_length] = L'\0';
        liborvaniot_os_debug_sink::write_wide_message(wide_buffer, utf8_buffer, length);
    }
}
