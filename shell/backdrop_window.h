// The full-screen window behind the pages, and the values that the rest of
// the installer reads from it.
#pragma once

#include <windows.h>

extern HINSTANCE InstallerInstance;
extern HWND BackdropWindow;
extern int ScreenWidth;
extern int ScreenHeight;

// Declares the window class and creates the window; the welcome page runs
// inside the creation.  Returns the window, or NULL when the class could
// not be declared, the window could not be made or the user cancelled.
HWND CreateBackdropWindow(HINSTANCE instance);
