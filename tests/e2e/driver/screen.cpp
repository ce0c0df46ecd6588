// The screen: pixels, images of the system's image lists, screenshots.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include <utility>
#include <vector>

#include "internal.h"

int OpenCanvas(Canvas* c, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    c->dc = CreateCompatibleDC(NULL);
    c->bitmap = CreateDIBSection(c->dc, &info, DIB_RGB_COLORS, (void**)&c->bits, NULL, 0);
    c->old = c->bitmap ? SelectObject(c->dc, c->bitmap) : NULL;
    return c->bitmap != NULL;
}

void CloseCanvas(Canvas* c) {
    if (c->old) SelectObject(c->dc, c->old);
    if (c->bitmap) DeleteObject(c->bitmap);
    DeleteDC(c->dc);
}

COLORREF DrvPixel(int x, int y) {
    HDC screen = GetDC(NULL);
    COLORREF colour = screen ? GetPixel(screen, x, y) : CLR_INVALID;
    if (screen) ReleaseDC(NULL, screen);
    return colour;
}

int DrvCapture(int x, int y, int width, int height, DWORD* pixels) {
    Canvas c;
    HDC screen = GetDC(NULL);
    int ok =
        OpenCanvas(&c, width, height) && BitBlt(c.dc, 0, 0, width, height, screen, x, y, SRCCOPY);
    GdiFlush();
    for (int i = 0; ok && i < width * height; ++i) pixels[i] = c.bits[i] & 0xFFFFFF;
    ReleaseDC(NULL, screen);
    CloseCanvas(&c);
    return ok;
}

int DrvShowsImage(HIMAGELIST images, int index, int x, int y, int rows, COLORREF background) {
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    if (rows > height) rows = height;
    static DWORD seen[64 * 64];
    Canvas c;
    if (width <= 0 || rows <= 0 || width * rows > 64 * 64 || !OpenCanvas(&c, width, height))
        return 0;
    const DWORD bare =
        GetRValue(background) << 16 | GetGValue(background) << 8 | GetBValue(background);
    for (int i = 0; i < width * height; ++i) c.bits[i] = bare;
    ImageList_Draw(images, index, c.dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    // An empty image would match any bare background.
    int drawn = 0, same = DrvCapture(x, y, width, rows, seen);
    for (int i = 0; i < width * rows; ++i) drawn |= (c.bits[i] & 0xFFFFFF) != bare;
    for (int i = 0; drawn && same && i < width * rows; ++i) {
        if (seen[i] == (c.bits[i] & 0xFFFFFF)) continue;
        Log("image %d at (%d, %d): pixel (%d, %d) is %06lX, not %06lX", index, x, y, i % width,
            i / width, seen[i], c.bits[i] & 0xFFFFFF);
        same = 0;
    }
    if (!drawn) Log("image %d of the list is empty: nothing to compare", index);
    CloseCanvas(&c);
    return drawn && same;
}

int DrvScreenshot(const char* name, DWORD settleMs) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const DWORD size = (DWORD)(width * height) * 4;
    std::vector<DWORD> pixels(width * height), next(width * height);
    int ok = DrvCapture(0, 0, width, height, pixels.data());
    for (DWORD start = GetTickCount(); ok && GetTickCount() - start < settleMs;) {
        DrvPause(100);
        ok = DrvCapture(0, 0, width, height, next.data());
        int settled = pixels == next;
        std::swap(pixels, next);
        if (settled) break;
    }
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s.bmp", DrvArtifactDir(), name);
    FILE* out = ok ? fopen(path, "wb") : NULL;
    if (out) {
        // 32 bits a pixel, top row first: a negative height.
        BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32, BI_RGB, size, 0, 0, 0, 0};
        BITMAPFILEHEADER file = {0x4D42, (DWORD)(sizeof file + sizeof header) + size, 0, 0,
                                 (DWORD)(sizeof file + sizeof header)};
        ok = fwrite(&file, sizeof file, 1, out) == 1 &&
             fwrite(&header, sizeof header, 1, out) == 1 &&
             fwrite(pixels.data(), size, 1, out) == 1;
        ok = fclose(out) == 0 && ok;
    }
    Log(out && ok ? "screenshot %s" : "could not save the screenshot %s", name);
    return out && ok;
}
