// The dialog that asks for one line of text (Window::PromptText) on Qt.
#pragma once

#include <optional>
#include <string>

#include "orvan_wnd/wnd.h"

class QWidget;

namespace orvan::wnd::qt {

// Modal over parent until OK with a text the check takes, or Cancel.
std::optional<std::wstring> RunTextPrompt(QWidget* parent, const TextPrompt& prompt);

}  // namespace orvan::wnd::qt
