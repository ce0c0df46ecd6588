// Screen pixels and screenshots.
#include <stdio.h>
#include <string.h>

#include "internal.h"

namespace {

const DWORD kSettleMs = 2000;
const DWORD kSettleStepMs = 100;

// A DIB section of the screen's rectangle, filled by BitBlt from the
// screen.  `bits` points at the first row in memory.
struct Grab {
    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ old;
    void* bits;
};

int GrabScreen(int x, int y, int width, int height, int bitCount, int topDown, Grab* grab) {
    memset(grab, 0, sizeof *grab);
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = (WORD)bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    if (!screen) return 0;
    grab->memory = CreateCompatibleDC(screen);
    grab->bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &grab->bits, NULL, 0);
    int ok = 0;
    if (grab->memory && grab->bitmap) {
        grab->old = SelectObject(grab->memory, grab->bitmap);
        ok = BitBlt(grab->memory, 0, 0, width, height, screen, x, y, SRCCOPY);
        GdiFlush();
    }
    ReleaseDC(NULL, screen);
    return ok;
}

void ReleaseGrab(Grab* grab) {
    if (grab->old) SelectObject(grab->memory, grab->old);
    if (grab->bitmap) DeleteObject(grab->bitmap);
    if (grab->memory) DeleteDC(grab->memory);
    memset(grab, 0, sizeof *grab);
}

int ValidName(const char* name) {
    if (!name[0]) return 0;
    for (const char* c = name; *c; ++c) {
        int ok = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                 *c == '_' || *c == '-' || *c == '.';
        if (!ok) return 0;
    }
    return 1;
}

}  // namespace

void DrvScreenSize(int* width, int* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

COLORREF DrvScreenPixel(int x, int y) {
    HDC screen = GetDC(NULL);
    if (!screen) return CLR_INVALID;
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return colour;
}

int DrvWaitPixel(int x, int y, COLORREF want, DWORD timeoutMs, COLORREF* seen) {
    timeoutMs = DrvBound(timeoutMs);
    DWORD start = GetTickCount();
    COLORREF colour = CLR_INVALID;
    for (;;) {
        DrvPollTick();
        colour = DrvScreenPixel(x, y);
        if (colour == want) break;
        if (DrvSince(start) >= timeoutMs) {
            DrvLog("pixel (%d, %d) is 0x%06lX, not 0x%06lX, after %lu ms", x, y, colour, want,
                   timeoutMs);
            break;
        }
        Sleep(25);
    }
    if (seen) *seen = colour;
    return colour == want;
}

int DrvCaptureScreen(int x, int y, int width, int height, DWORD* pixels) {
    Grab grab;
    if (!GrabScreen(x, y, width, height, 32, 1, &grab)) {
        ReleaseGrab(&grab);
        return 0;
    }
    const DWORD* bits = (const DWORD*)grab.bits;
    for (int i = 0; i < width * height; ++i) pixels[i] = bits[i] & 0xFFFFFF;
    ReleaseGrab(&grab);
    return 1;
}

namespace {

int SaveScreenshot(const char* name, DWORD settleMs) {
    if (!ValidName(name)) {
        DrvLog("screenshot name \"%s\" refused: letters, digits, _ - . only", name);
        return 0;
    }
    char path[MAX_PATH];
    int n = snprintf(path, sizeof path, "%s\\%s.bmp", DrvArtifactDir(), name);
    if (n < 0 || n >= (int)sizeof path) {
        DrvLog("screenshot path for \"%s\" too long", name);
        return 0;
    }
    int width = 0;
    int height = 0;
    DrvScreenSize(&width, &height);
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    DWORD imageSize = stride * (DWORD)height;
    // A window found a moment ago may still be painting: take the picture
    // once two grabs a little apart agree, or the last one after a while.
    Grab grab;
    if (!GrabScreen(0, 0, width, height, 24, 0, &grab)) {
        ReleaseGrab(&grab);
        DrvLog("could not read the screen for \"%s\"", name);
        return 0;
    }
    DWORD start = GetTickCount();
    int settled = 0;
    while (!settled && DrvSince(start) < settleMs) {
        DrvPause(kSettleStepMs);
        Grab next;
        if (!GrabScreen(0, 0, width, height, 24, 0, &next)) {
            ReleaseGrab(&next);
            break;
        }
        settled = memcmp(grab.bits, next.bits, imageSize) == 0;
        ReleaseGrab(&grab);
        grab = next;
    }
    if (!settled && settleMs) DrvLog("the screen kept changing; screenshot taken anyway");
    BITMAPFILEHEADER file;
    memset(&file, 0, sizeof file);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    BITMAPINFOHEADER header;
    memset(&header, 0, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom row first, as the DIB holds it
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageSize;

    int ok = 0;
    FILE* out = fopen(path, "wb");
    if (out) {
        ok = fwrite(&file, sizeof file, 1, out) == 1 &&
             fwrite(&header, sizeof header, 1, out) == 1 &&
             fwrite(grab.bits, 1, imageSize, out) == imageSize;
        ok = fclose(out) == 0 && ok;
    }
    ReleaseGrab(&grab);
    if (!ok) {
        DrvLog("could not write %s", path);
        return 0;
    }
    DrvLog("screenshot %s (%dx%d)", name, width, height);
    return 1;
}

}  // namespace

int DrvScreenshot(const char* name) { return SaveScreenshot(name, kSettleMs); }

int DrvScreenshotNow(const char* name) { return SaveScreenshot(name, 0); }
