// The screen: pixels, images of the system's image lists, screenshots.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "internal.h"

std::vector<DWORD> Drawn(int width, int height, DWORD background,
                         const std::function<void(HDC)>& draw) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD* bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
    std::vector<DWORD> pixels;
    if (bitmap) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        std::fill(bits, bits + width * height, background);
        draw(dc);
        GdiFlush();
        for (int i = 0; i < width * height; ++i) pixels.push_back(bits[i] & 0xFFFFFF);
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return pixels;
}

COLORREF DrvPixel(int x, int y) {
    DWORD pixel = 0;
    return DrvCapture(x, y, 1, 1, &pixel) ? RGB(pixel >> 16, pixel >> 8, pixel) : CLR_INVALID;
}

int DrvCapture(int x, int y, int width, int height, DWORD* pixels) {
    HDC screen = GetDC(NULL);
    BOOL copied = FALSE;
    const std::vector<DWORD> shot = Drawn(width, height, 0, [&](HDC dc) {
        copied = BitBlt(dc, 0, 0, width, height, screen, x, y, SRCCOPY);
    });
    ReleaseDC(NULL, screen);
    if (copied) std::copy(shot.begin(), shot.end(), pixels);
    return copied;
}

int DrvShowsImage(HIMAGELIST images, int index, int x, int y, int rows, COLORREF background) {
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    rows = std::min(rows, height);
    const DWORD bare =
        GetRValue(background) << 16 | GetGValue(background) << 8 | GetBValue(background);
    const std::vector<DWORD> image = Drawn(
        width, rows, bare, [&](HDC dc) { ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL); });
    // An empty image would match any bare background.
    int drawn = std::count(image.begin(), image.end(), bare) < (long)image.size();
    std::vector<DWORD> seen(image.size());
    int same = drawn && DrvCapture(x, y, width, rows, seen.data());
    for (int i = 0; same && i < width * rows; ++i) {
        if (seen[i] == image[i]) continue;
        Log("image %d at (%d, %d): pixel (%d, %d) is %06lX, not %06lX", index, x, y, i % width,
            i / width, seen[i], image[i]);
        same = 0;
    }
    if (!drawn) Log("image %d of the list is empty: nothing to compare", index);
    return drawn && same;
}

int DrvScreenshot(const char* name, DWORD settleMs) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const DWORD size = (DWORD)(width * height) * 4;
    std::vector<DWORD> pixels(width * height), last;
    int ok = DrvCapture(0, 0, width, height, pixels.data());
    for (DWORD start = GetTickCount(); ok && pixels != last && GetTickCount() - start < settleMs;) {
        last = pixels;
        DrvPause(100);
        ok = DrvCapture(0, 0, width, height, pixels.data());
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
