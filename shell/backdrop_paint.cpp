#include "shell/backdrop_paint.h"

#include "shell/backdrop_layout.h"
#include "shell/backdrop_style.h"
#include "shell/backdrop_window.h"
#include "shell/product_identity.h"
#include "shell/stage.h"

namespace {

HGLOBAL LogoBlock;
HPALETTE LogoPalette;

const int BandPenWidth = 150;

int LogoColourCount(const BITMAPINFOHEADER* header) {
    return DibColourCount(header->biBitCount, header->biClrUsed);
}

HPALETTE BuildLogoPalette(HGLOBAL logo) {
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(logo));
    if (!header) return NULL;
    int count = LogoColourCount(header);
    HPALETTE palette = NULL;
    if (count > 0) {
        HGLOBAL recordBlock =
            GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8 + 4 * static_cast<SIZE_T>(count));
        LOGPALETTE* record = recordBlock ? static_cast<LOGPALETTE*>(GlobalLock(recordBlock)) : NULL;
        if (record) {
            const RGBQUAD* colours = reinterpret_cast<const RGBQUAD*>(
                reinterpret_cast<const BYTE*>(header) + sizeof(BITMAPINFOHEADER));
            record->palVersion = 0x300;
            record->palNumEntries = static_cast<WORD>(count);
            for (int i = 0; i < count; ++i) {
                record->palPalEntry[i].peRed = colours[i].rgbRed;
                record->palPalEntry[i].peGreen = colours[i].rgbGreen;
                record->palPalEntry[i].peBlue = colours[i].rgbBlue;
                record->palPalEntry[i].peFlags = 0;
            }
            palette = CreatePalette(record);
            GlobalUnlock(recordBlock);
        }
        if (recordBlock) GlobalFree(recordBlock);
    }
    GlobalUnlock(logo);
    return palette;
}

void DrawDib(HDC dc, int x, int y, HGLOBAL dib, HPALETTE palette) {
    const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    if (!header) return;
    HPALETTE previous = NULL;
    if (palette) {
        previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    const int width = LOWORD(header->biWidth);
    const int height = LOWORD(header->biHeight);
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) +
                       DibPixelOffset(header->biSize, LogoColourCount(header));
    SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, bits,
                      reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (palette) {
        SelectPalette(dc, previous, TRUE);
        RealizePalette(dc);
    }
    GlobalUnlock(dib);
}

void PaintBand(HDC dc) {
    HPEN pen = CreatePen(PS_INSIDEFRAME, BandPenWidth, BandColour);
    SelectObject(dc, pen);
    MoveToEx(dc, BandPenWidth / 2, 0, NULL);
    LineTo(dc, BandPenWidth / 2, ScreenHeight);
    SelectObject(dc, GetStockObject(NULL_PEN));
    DeleteObject(pen);
}

// The corner picture's background takes the band colour by a flood fill
// from (1, 1), so the picture sits on the band without a box around it.
void PaintCornerPicture(HDC dc) {
    HBITMAP picture = LoadBitmapA(InstallerInstance, MAKEINTRESOURCEA(CornerBitmapId));
    if (!picture) return;
    HDC memory = CreateCompatibleDC(dc);
    HBRUSH brush = CreateSolidBrush(BandColour);
    HGDIOBJ oldBitmap = SelectObject(memory, picture);
    HGDIOBJ oldBrush = SelectObject(memory, brush);
    ExtFloodFill(memory, 1, 1, CornerSurfaceColour, FLOODFILLSURFACE);
    Point origin = CornerPictureOrigin(ScreenHeight);
    BitBlt(dc, origin.x, origin.y, 120, 168, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBrush);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(brush);
    DeleteObject(picture);
}

// Selects a new font made from `description`; the font it replaces is
// deleted unless it was the context's own.
void SelectNewFont(HDC dc, const LOGFONTA* description, HFONT* ownFont) {
    HFONT font = CreateFontIndirectA(description);
    HGDIOBJ replaced = SelectObject(dc, font);
    if (*ownFont) DeleteObject(replaced);
    *ownFont = font;
}

void PaintTitle(HDC dc, HFONT* ownFont) {
    SelectNewFont(dc, &TitleFont, ownFont);
    Point origin = TitleOrigin(ScreenWidth, ScreenHeight);
    int length = lstrlenA(TitleLine);
    for (int k = 0; k < 4; ++k) {
        SetTextColor(dc, ColourTable[ColourTitleFirst + k]);
        TextOutA(dc, origin.x + k, origin.y + k, TitleLine, length);
    }
}

void PaintTagline(HDC dc, HFONT* ownFont) {
    SelectNewFont(dc, &TaglineFont, ownFont);
    int length = lstrlenA(TaglineLine);
    SIZE extent;
    GetTextExtentPointA(dc, TaglineLine, length, &extent);
    Point origin = TaglineOrigin(ScreenWidth, ScreenHeight, extent.cx, extent.cy);
    for (int k = 0; k < 3; ++k) {
        SetTextColor(dc, ColourTable[ColourTaglineFirst + k]);
        TextOutA(dc, origin.x + k, origin.y + k, TaglineLine, length);
    }
}

void PaintStageList(HDC dc, HFONT* ownFont) {
    SelectNewFont(dc, &StageFont, ownFont);
    for (int i = 0; i < StageCount; ++i) {
        const StageLine& line = StageLines[i];
        SetTextColor(dc,
                     ColourTable[(StageMask & line.bit) ? ColourStageCurrent : ColourStageOther]);
        TextOutA(dc, line.x, line.y, line.text, lstrlenA(line.text));
    }
}

void PaintStageLabel(HDC dc, HFONT* ownFont) {
    HGDIOBJ replaced = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (*ownFont) DeleteObject(replaced);
    *ownFont = NULL;
    char label[32];
    wsprintfA(label, "%s:", InstallerName);
    SetTextColor(dc, StageLabelColour);
    TextOutA(dc, 10, 100, label, lstrlenA(label));
}

}  // namespace

void LoadLogo(HINSTANCE instance, int bitmapId) {
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(bitmapId), MAKEINTRESOURCEA(2));
    if (!resource) return;
    DWORD size = SizeofResource(instance, resource);
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* data = loaded ? LockResource(loaded) : NULL;
    // A header that claims more than the resource holds leaves the band
    // bare rather than drawing from beyond it.
    if (!data || !DibFitsBlock(static_cast<const unsigned char*>(data), size)) return;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* copy = block ? GlobalLock(block) : NULL;
    if (!copy) {
        if (block) GlobalFree(block);
        return;
    }
    CopyMemory(copy, data, size);
    GlobalUnlock(block);
    LogoBlock = block;
    LogoPalette = BuildLogoPalette(LogoBlock);
}

void FreeLogo() {
    if (LogoPalette) DeleteObject(LogoPalette);
    if (LogoBlock) GlobalFree(LogoBlock);
    LogoPalette = NULL;
    LogoBlock = NULL;
}

void PaintBackdrop(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    PaintBand(dc);
    if (LogoBlock) DrawDib(dc, 10, 10, LogoBlock, LogoPalette);
    PaintCornerPicture(dc);
    HFONT ownFont = NULL;
    PaintTitle(dc, &ownFont);
    PaintTagline(dc, &ownFont);
    PaintStageList(dc, &ownFont);
    PaintStageLabel(dc, &ownFont);
    RestoreDC(dc, saved);
    EndPaint(window, &paint);
}
