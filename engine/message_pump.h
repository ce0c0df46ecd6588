// Keeps the installing page repainting while a phase works, and gives each
// phase its steady minimum time.
#pragma once

#include <windows.h>

// Polls and dispatches the page's own messages for `duration` ms.  It never
// sleeps and polls at least once, even for 0.  Without a page it returns
// at once.
void PumpMessages(HWND page, DWORD duration);
