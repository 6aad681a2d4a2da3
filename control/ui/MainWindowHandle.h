#pragma once

#include <windows.h>

namespace control::ui {

// The application's main window, owner of message boxes; null before it exists or on threads
// other than the one that made it.
HWND MainWindowHandle();
void SetMainWindowHandle(HWND hwnd);

}  // namespace control::ui
