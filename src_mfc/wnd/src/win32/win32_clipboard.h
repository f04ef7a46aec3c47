// Text onto the clipboard as CF_UNICODETEXT.
#pragma once

#include <string>

#include "win32_util.h"

namespace orvan::wnd::win32 {

// False when the clipboard could not be opened or would not take the text.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);

}  // namespace orvan::wnd::win32
