// What the driver's files share and scenarios do not see.
#ifndef KESTROVA_E2E_INTERNAL_H
#define KESTROVA_E2E_INTERNAL_H

#include <windows.h>

#include "driver.h"

// One look at every running started process: notes its new visible
// top-level windows and message boxes.  Every wait calls it between two
// sleeps.
void DrvPollTick(void);

// Notes the process's new windows (windows.cpp) and message boxes
// (msgbox.cpp).
void DrvNoteWindows(DrvProcess* p);
void DrvNoteMessageBoxes(DrvProcess* p);

// Logs the process's visible top-level windows with class and caption.
void DrvLogWindows(DrvProcess* p);

// Milliseconds since `start`, safe across the tick counter's wrap.
inline DWORD DrvSince(DWORD start) { return GetTickCount() - start; }

#endif
