// Device-supplied texts made safe for each output. Devices choose their bytes: broken UTF-8 always
// becomes U+FFFD, and what a terminal would act on (control characters, escape sequences) never
// reaches one unescaped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvan_scan {

// UTF-8 for a terminal line, as the finder's list shows it: broken sequences, control characters
// (C0, DEL, C1; line breaks and tabs included) and direction overrides become U+FFFD.
std::string TerminalText(std::string_view bytes);

// Columns the UTF-8 text takes on a terminal: East Asian wide characters take two, combining marks
// none, everything else one.
size_t DisplayWidth(std::string_view utf8);

// A JSON string literal, quotes included: broken sequences become U+FFFD; quotes, backslashes,
// control characters and the two Unicode line separators are escaped.
std::string JsonString(std::string_view bytes);

// One CSV field (RFC 4180): broken sequences and control characters other than tab, CR and LF become
// U+FFFD; a field a spreadsheet would run as a formula gets a leading "'"; a field holding a comma, a
// quote, CR or LF is quoted, with its quotes doubled.
std::string CsvField(std::string_view bytes);

}  // namespace orvan_scan
