// A device's row as one line of text and its address as a number: what a row copied to the
// clipboard reads, and the order of addresses (10.0.0.9 before 10.0.0.10) wherever rows are sorted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ORVAN_UXClass {

// The cells joined by tabs, in order, each made safe for a spreadsheet as below: a copied row is
// mostly pasted into one. Cells hold no tab or line break (device texts are shown with control
// characters replaced), so the line splits back into the same cells.
std::wstring TabSeparatedRow(std::span<const std::wstring> cells);

// A cell that a spreadsheet would run as a formula - it begins with "=", "+", "-", "@", a tab or a
// carriage return, and device names are whatever a host on the network sends - gets a leading "'",
// which spreadsheets show as plain text. Other cells are returned unchanged.
std::string SpreadsheetSafe(std::string_view cell);
std::wstring SpreadsheetSafe(std::wstring_view cell);

// The dotted-decimal IPv4 address as a number in host order ("10.0.0.9" -> 0x0A000009); nothing
// for a text that is not four decimal bytes.
std::optional<uint32_t> AddressOrder(std::wstring_view dotted);

}  // namespace ORVAN_UXClass
