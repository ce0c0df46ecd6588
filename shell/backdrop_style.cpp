#include "shell/backdrop_style.h"

#include <shellapi.h>

#include "shell/product_identity.h"

char TitleLine[64];
char TaglineLine[64];
LOGFONTA TitleFont;
LOGFONTA TaglineFont;
LOGFONTA StageFont;
LOGFONTA MeterFont;
COLORREF ColourTable[ColourEntryCount];
HIMAGELIST SystemImageList;

namespace {

const BYTE VariableRoman = 0x12;  // VARIABLE_PITCH | FF_ROMAN
const BYTE VariableSwiss = 0x22;  // VARIABLE_PITCH | FF_SWISS

void SetFace(LOGFONTA* font, const char* face) { lstrcpynA(font->lfFaceName, face, LF_FACESIZE); }

}  // namespace

void FormatBackdropLines() {
    wsprintfA(TitleLine, "%s v%s", ProductName, ProductVersion);
    wsprintfA(TaglineLine, "%s - %s", ProductName, ProductTagline);
}

void FetchSystemImageList() {
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    SystemImageList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

void PrepareFontsAndColours(int screenWidth, int screenHeight) {
    FontSize title = TitleFontSize(screenWidth, screenHeight, lstrlenA(TitleLine));
    ZeroMemory(&TitleFont, sizeof TitleFont);
    TitleFont.lfHeight = title.height;
    TitleFont.lfWidth = title.width;
    TitleFont.lfWeight = FW_BOLD;
    TitleFont.lfQuality = PROOF_QUALITY;
    TitleFont.lfPitchAndFamily = VariableRoman;
    SetFace(&TitleFont, "Times New Roman");

    // The other three are the title font with a few fields changed.
    FontSize tagline = TaglineFontSize(screenWidth, screenHeight, lstrlenA(TaglineLine));
    TaglineFont = TitleFont;
    TaglineFont.lfHeight = tagline.height;
    TaglineFont.lfWidth = tagline.width;
    TaglineFont.lfWeight = FW_NORMAL;
    SetFace(&TaglineFont, "Arial");

    StageFont = TitleFont;
    StageFont.lfHeight = -11;
    StageFont.lfWidth = 0;
    StageFont.lfPitchAndFamily = VariableSwiss;
    SetFace(&StageFont, "Ms Sans Serif");

    MeterFont = StageFont;
    MeterFont.lfHeight = -14;
    MeterFont.lfWeight = FW_NORMAL;

    for (int i = 0; i < ColourEntryCount; ++i) ColourTable[i] = FixedColours[i];
    ColourTable[ColourHighlightText] = GetSysColor(COLOR_HIGHLIGHTTEXT);
    ColourTable[ColourHighlight] = GetSysColor(COLOR_HIGHLIGHT);
    ColourTable[ColourWindowText] = GetSysColor(COLOR_WINDOWTEXT);
    ColourTable[ColourWindow] = GetSysColor(COLOR_WINDOW);
}
