// Standard error of a windowed program: Windows gives a GUI program started from a console no
// standard handles, so its messages (and "Ok." at the end) would be lost. It borrows the console
// of the program that started it when it has none of its own.
#pragma once

namespace orvan::wnd::win32 {

// Leaves standard handles that exist (redirected to a file or pipe) as they are.
void UseParentConsoleForMissingOutput();

}  // namespace orvan::wnd::win32
