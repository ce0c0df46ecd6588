// What the driver's files share and scenarios do not see.
#pragma once

#include "driver.h"

// Notes the process's new message boxes (message_boxes.cpp).
void DrvNoteMessageBoxes(DrvProcess* p);
void DrvLogWindows(DrvProcess* p);
int DrvIsRunning(DrvProcess* p);
const char* DrvArtifactDir(void);
// A 32-bit top-down DIB section selected into a memory DC.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD* bits;
};
int OpenCanvas(Canvas* c, int width, int height);
void CloseCanvas(Canvas* c);
