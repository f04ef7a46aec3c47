// The dialog that asks for one line of text (Window::PromptText) on Win32: a dialog template built
// in memory, so the program's resources need no entry for it.
#pragma once

#include <optional>
#include <string>

#include "win32_util.h"

namespace orvan::wnd::win32 {

// Modal over owner until OK with a text the check takes, or Cancel.
std::optional<std::wstring> RunTextPrompt(HWND owner, const TextPrompt& prompt);

// The dialog's controls, for tests that drive it.
inline constexpr int kPromptLabelId = 100;
inline constexpr int kPromptFieldId = 101;
inline constexpr int kPromptErrorId = 102;

}  // namespace orvan::wnd::win32
