#include "device_rows/local_text.h"

#include <cstdint>

namespace ORVAN_UXClass {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool IsCharacter(uint32_t value) {
    return value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

// Where wchar_t has 16 bits (Windows), characters beyond U+FFFF take a surrogate pair.
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(uint32_t value) {
    return value >= 0xD800 && value <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t value) {
    return value >= 0xDC00 && value <= 0xDFFF;
}

void AppendCharacter(std::wstring& text, uint32_t value) {
    if (kWideIsUtf16 && value > 0xFFFF) {
        value -= 0x10000;
        text += static_cast<wchar_t>(0xD800 | (value >> 10));
        text += static_cast<wchar_t>(0xDC00 | (value & 0x3FF));
    } else {
        text += static_cast<wchar_t>(value);
    }
}

// Length of the sequence that starts with lead, 0 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::wstring WideFromLocal(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = SequenceLength(lead);
        bool whole = length > 0 && i + length <= bytes.size();
        uint32_t value = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            whole = IsContinuation(next);
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong three- and four-byte forms and surrogates are not characters either.
        const uint32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
        if (whole && value >= smallest && IsCharacter(value)) {
            AppendCharacter(text, value);
            i += length;
        } else {
            text += kReplacementCharacter;
            ++i;
        }
    }
    return text;
}

std::string LocalFromWide(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t value = static_cast<uint32_t>(text[i]);
        if (kWideIsUtf16 && IsHighSurrogate(value) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
            value = 0x10000 + ((value - 0xD800) << 10) + (static_cast<uint32_t>(text[i + 1]) - 0xDC00);
            ++i;
        }
        if (!IsCharacter(value)) value = kReplacementCharacter;
        if (value < 0x80) {
            bytes += static_cast<char>(value);
        } else if (value < 0x800) {
            bytes += static_cast<char>(0xC0 | (value >> 6));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else if (value < 0x10000) {
            bytes += static_cast<char>(0xE0 | (value >> 12));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (value >> 18));
            bytes += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (value & 0x3F));
        }
    }
    return bytes;
}

std::wstring VisibleText(std::wstring text) {
    for (wchar_t& c : text) {
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        const bool bidi = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        if (control || bidi) c = kReplacementCharacter;
    }
    return text;
}

}  // namespace ORVAN_UXClass
