// What the driver's files share and scenarios do not see.
#pragma once

#include "driver.h"

// Notes the process's new message boxes (message_boxes.cpp).
void DrvNoteMessageBoxes(DrvProcess* p);
// Logs the process's visible top-level windows.
void DrvLogWindows(DrvProcess* p);
const char* DrvArtifactDir(void);
