// What the driver's files share and scenarios do not see.
#pragma once

#include "driver.h"

void DrvNoteMessageBoxes(DrvProcess* p);
void DrvLogWindows(DrvProcess* p);
int DrvIsRunning(DrvProcess* p);
const char* DrvArtifactDir(void);
// What `draw` leaves on a canvas filled with `background`, one 0x00RRGGBB
// a pixel as DrvCapture gives them; empty when no canvas can be made.
std::vector<DWORD> Drawn(int width, int height, DWORD background,
                         const std::function<void(HDC)>& draw);
