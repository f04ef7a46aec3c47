#include <algorithm>
#include <array>

#include "device_output.h"
#include "output_text.h"

namespace orvan_scan {

namespace {

constexpr size_t kColumns = 5;
constexpr std::array<std::string_view, kColumns> kHeadings{"Model", "MAC", "IP", "System Name", "Location"};
constexpr std::string_view kGap = "  ";

std::array<std::string, kColumns> Cells(const FoundDevice& device) {
    const ORVAN_UXClass::DeviceReport& row = device.row;
    return {TerminalText(row.model), TerminalText(row.mac), TerminalText(row.address), TerminalText(row.name),
            TerminalText(row.location)};
}

void AppendLine(std::string& out, const std::array<std::string, kColumns>& cells,
                const std::array<size_t, kColumns>& widths) {
    std::string line;
    for (size_t c = 0; c < kColumns; ++c) {
        if (c > 0) line += kGap;
        line += cells[c];
        if (c + 1 < kColumns) line.append(widths[c] - DisplayWidth(cells[c]), ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + "\n";
}

}  // namespace

std::string TableText(const std::vector<FoundDevice>& devices) {
    if (devices.empty()) return {};
    std::array<std::string, kColumns> heading;
    std::array<size_t, kColumns> widths{};
    for (size_t c = 0; c < kColumns; ++c) {
        heading[c] = kHeadings[c];
        widths[c] = kHeadings[c].size();
    }
    std::vector<std::array<std::string, kColumns>> rows;
    rows.reserve(devices.size());
    for (const FoundDevice& device : devices) {
        rows.push_back(Cells(device));
        for (size_t c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], DisplayWidth(rows.back()[c]));
    }
    std::string out;
    AppendLine(out, heading, widths);
    for (const auto& row : rows) AppendLine(out, row, widths);
    return out;
}

}  // namespace orvan_scan
