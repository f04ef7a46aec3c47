#include "output_text.h"

#include <cstdint>
#include <cstdio>

#include "device_rows/local_text.h"
#include "device_rows/row_text.h"

namespace orvan_scan {

namespace {

constexpr wchar_t kReplacement = ORVAN_UXClass::kReplacementCharacter;

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Each well-formed character, with malformed bytes already U+FFFD.
template <typename Keep>
std::string Cleaned(std::string_view bytes, Keep keep) {
    std::wstring text = ORVAN_UXClass::WideFromLocal(bytes);
    for (wchar_t& c : text) {
        if (IsControl(c) && !keep(c)) c = kReplacement;
    }
    return ORVAN_UXClass::LocalFromWide(text);
}

struct Range {
    uint32_t first;
    uint32_t last;
};

// The common East Asian wide blocks and emoji.
constexpr Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
};
constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF},
    {0x200B, 0x200F}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F},
};

template <size_t N>
bool In(const Range (&ranges)[N], uint32_t c) {
    for (const Range& r : ranges) {
        if (c >= r.first && c <= r.last) return true;
    }
    return false;
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
    return ORVAN_UXClass::LocalFromWide(ORVAN_UXClass::VisibleText(ORVAN_UXClass::WideFromLocal(bytes)));
}

size_t DisplayWidth(std::string_view utf8) {
    size_t width = 0;
    for (const char32_t c : ORVAN_UXClass::CodePointsFromLocal(utf8)) {
        const auto value = static_cast<uint32_t>(c);
        if (In(kZeroWidth, value)) continue;
        width += In(kWide, value) ? 2 : 1;
    }
    return width;
}

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (const char32_t c : ORVAN_UXClass::CodePointsFromLocal(bytes)) {
        switch (c) {
            case U'"':
                out += "\\\"";
                continue;
            case U'\\':
                out += "\\\\";
                continue;
            case U'\n':
                out += "\\n";
                continue;
            case U'\r':
                out += "\\r";
                continue;
            case U'\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        if (IsControl(c) || c == 0x2028 || c == 0x2029) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += ORVAN_UXClass::LocalFromCodePoints(std::u32string_view(&c, 1));
        }
    }
    return out + "\"";
}

std::string CsvField(std::string_view bytes) {
    const std::string text = ORVAN_UXClass::SpreadsheetSafe(
        Cleaned(bytes, [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; }));
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace orvan_scan
