#include <algorithm>
#include <vector>

#include "device_output.h"
#include "output_text.h"

namespace orvan_scan {

namespace {

using Cells = std::vector<std::string>;

constexpr std::string_view kHeadings[] = {"Model", "MAC", "IP", "System Name", "Location"};
constexpr std::string_view kNoteHeading = "Note";
constexpr std::string_view kGap = "  ";

// What a reader must know before opening the device's page: "" when nothing.
std::string Note(const FoundDevice& device) {
    std::string note;
    if (!device.reachable) note = "not reachable from here";
    if (device.devices_at_ip > 1) {
        note += (note.empty() ? "" : "; ") + std::string("IP shared by ") + std::to_string(device.devices_at_ip) +
                " devices";
    }
    return note;
}

Cells RowCells(const FoundDevice& device, bool with_note) {
    const ORVAN_UXClass::DeviceReport& row = device.row;
    Cells cells{TerminalText(row.model), TerminalText(row.mac), TerminalText(row.address), TerminalText(row.name),
                TerminalText(row.location)};
    if (with_note) cells.push_back(Note(device));
    return cells;
}

void AppendLine(std::string& out, const Cells& cells, const std::vector<size_t>& widths) {
    std::string line;
    for (size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) line += kGap;
        line += cells[c];
        if (c + 1 < cells.size()) line.append(widths[c] - DisplayWidth(cells[c]), ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + "\n";
}

}  // namespace

std::string TableText(const std::vector<FoundDevice>& devices) {
    if (devices.empty()) return {};
    const bool with_note =
        std::any_of(devices.begin(), devices.end(), [](const FoundDevice& d) { return !Note(d).empty(); });
    Cells heading(std::begin(kHeadings), std::end(kHeadings));
    if (with_note) heading.emplace_back(kNoteHeading);
    std::vector<size_t> widths;
    for (const std::string& cell : heading) widths.push_back(cell.size());
    std::vector<Cells> rows;
    rows.reserve(devices.size());
    for (const FoundDevice& device : devices) {
        rows.push_back(RowCells(device, with_note));
        for (size_t c = 0; c < widths.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(rows.back()[c]));
    }
    std::string out;
    AppendLine(out, heading, widths);
    for (const Cells& row : rows) AppendLine(out, row, widths);
    return out;
}

}  // namespace orvan_scan
