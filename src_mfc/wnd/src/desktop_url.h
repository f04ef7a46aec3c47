// The window layer's own way of opening a URL (the desktop's handler on Linux, the shell's "open"
// on Windows), used when no replacement was set with SetUrlOpener.
#pragma once

#include <string>

namespace orvan::wnd {

bool OpenWithDesktop(const std::string& url);

}  // namespace orvan::wnd
