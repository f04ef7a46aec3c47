#include "device_rows/row_text.h"

#include <string>

namespace ORVAN_UXClass {

namespace {

template <typename Char>
std::basic_string<Char> SpreadsheetSafeCell(std::basic_string_view<Char> cell) {
    std::basic_string<Char> out;
    if (!cell.empty()) {
        switch (cell.front()) {
            case '=':
            case '+':
            case '-':
            case '@':
            case '\t':
            case '\r':
                out += static_cast<Char>('\'');
                break;
            default:
                break;
        }
    }
    out += cell;
    return out;
}

}  // namespace

std::string SpreadsheetSafe(std::string_view cell) {
    return SpreadsheetSafeCell(cell);
}

std::wstring SpreadsheetSafe(std::wstring_view cell) {
    return SpreadsheetSafeCell(cell);
}

std::wstring TabSeparatedRow(std::span<const std::wstring> cells) {
    std::wstring line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i != 0) line += L'\t';
        line += SpreadsheetSafe(cells[i]);
    }
    return line;
}

std::optional<uint32_t> AddressOrder(std::wstring_view dotted) {
    uint32_t value = 0;
    size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part != 0) {
            if (pos >= dotted.size() || dotted[pos] != L'.') return std::nullopt;
            ++pos;
        }
        uint32_t byte = 0;
        size_t digits = 0;
        for (; pos < dotted.size() && dotted[pos] >= L'0' && dotted[pos] <= L'9' && digits < 4;
             ++pos, ++digits) {
            byte = byte * 10 + static_cast<uint32_t>(dotted[pos] - L'0');
        }
        if (digits == 0 || digits > 3 || byte > 255) return std::nullopt;
        value = (value << 8) | byte;
    }
    if (pos != dotted.size()) return std::nullopt;
    return value;
}

}  // namespace ORVAN_UXClass
