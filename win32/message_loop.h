// The thread's message loop: the one place that knows about dialog navigation (Tab, Shift+Tab,
// Space on a button).
#pragma once

#include <windows.h>

namespace zentrovax {

// Runs until the window is closed and returns the exit code.
int RunMessageLoop(HWND window);
// Handles every message already queued as the loop would; false once the loop would end.
bool ProcessPendingMessages(HWND window);

}  // namespace zentrovax
