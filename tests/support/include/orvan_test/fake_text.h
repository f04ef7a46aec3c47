// Text helpers of the recording fake: how wide strings and colours appear in recorded calls.
#pragma once

#include <string>
#include <string_view>

#include "orvan_wnd/wnd.h"

namespace orvan::fake {

// UTF-8 form of a wide string.
std::string Utf8(std::wstring_view text);

// A colour as recorded: the COLORREF value (red in the low byte) as "0x" and six hex digits.
std::string ColorText(wnd::COLORREF color);

}  // namespace orvan::fake
