// How the status pages write the record's values: MAC, battery voltage and state, report times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ORVAN_UXClass {

// The shown text of a value nothing is known about.
inline constexpr wchar_t kUnknownText[] = L"?";

// Wide form of plain ASCII text.
std::wstring WideFromAscii(std::string_view text);

// "[0x" + 16 upper-case hex digits + "]".
std::wstring MacText(uint64_t mac);
// Volts with one decimal ("3.8" for 3.75).
std::wstring VoltText(double volt);
// "LOW" for 0, "OK" for 1, "?" for anything else.
std::wstring BatteryText(int32_t battStatus);
// Local time as "YYYY-MM-DD hh:mm:ss", or nothing when the time cannot be converted or its year
// has other than four digits (the text must stay a 19-character date and time).
std::optional<std::string> LocalTimeText(int64_t seconds);

}  // namespace ORVAN_UXClass
