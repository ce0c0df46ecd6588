// Painting of the backdrop: the band with the logo, the corner picture and
// the stage list, the title and the tagline.
#pragma once

#include <windows.h>

constexpr int LogoBitmapId = 202;
constexpr int CornerBitmapId = 201;

// The logo lives in a movable global block (and its palette beside it)
// from the creation of the backdrop until its destruction.
void LoadLogo(HINSTANCE instance, int bitmapId);
void FreeLogo();

void PaintBackdrop(HWND window);
