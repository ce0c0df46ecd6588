// Fonts, colours and strings of the backdrop and the meter, prepared once
// when the backdrop is created.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "shell/backdrop_layout.h"

extern char TitleLine[64];    // "Quorvik v3.02"
extern char TaglineLine[64];  // "Quorvik - Zintaro!"
extern LOGFONTA TitleFont;
extern LOGFONTA TaglineFont;
extern LOGFONTA StageFont;
extern LOGFONTA MeterFont;
extern COLORREF ColourTable[ColourEntryCount];
extern HIMAGELIST SystemImageList;

void FormatBackdropLines();
void FetchSystemImageList();
void PrepareFontsAndColours(int screenWidth, int screenHeight);
