#include "engine/progress_meter.h"

#include "engine/message_pump.h"
#include "shell/backdrop_style.h"

ProgressState Progress = {0.0f, 0, 0, 0, 0, StagingColour};
HWND meterWindow;
WNDPROC meterOldProc;

namespace {

const DWORD FakeStepPause = 10;
const DWORD ReadStepPause = 25;

void RepaintMeter() {
    // No meter in a silent run; a null window would repaint every window.
    if (!meterWindow) return;
    InvalidateRect(meterWindow, NULL, TRUE);
    UpdateWindow(meterWindow);
}

void PaintMeter(HWND meter) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(meter, &paint);
    RECT client;
    GetClientRect(meter, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    ClampProgress(&Progress);
    const int edge = BarEdge(width, Progress.fraction);
    char text[16];
    int length = wsprintfA(text, "%d%%", Progress.percent);

    HFONT font = CreateFontIndirectA(&MeterFont);
    SelectObject(dc, font);
    SIZE extent;
    GetTextExtentPointA(dc, text, length, &extent);
    const int x = (width - extent.cx) / 2;
    const int y = (height - extent.cy) / 2;

    // Two opaque outputs cover the client area; each draws the text clipped
    // to its part, so the text changes colour where the bar's edge runs
    // through it.
    RECT todo = {edge, 0, width, height};
    SetTextColor(dc, Progress.colour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &todo, text, length, NULL);

    RECT done = {0, 0, edge, height};
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    SetBkColor(dc, Progress.colour);
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &done, text, length, NULL);

    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    EndPaint(meter, &paint);
}

LRESULT CALLBACK MeterProc(HWND meter, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintMeter(meter);
            return 0;
        case WM_ERASEBKGND:
            return 1;
    }
    return CallWindowProcA(meterOldProc, meter, message, wParam, lParam);
}

}  // namespace

void AttachMeter(HWND page, int controlId) {
    meterWindow = GetDlgItem(page, controlId);
    meterOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(meterWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MeterProc)));
}

void DetachMeter() {
    if (meterWindow && meterOldProc)
        SetWindowLongPtrA(meterWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(meterOldProc));
}

void MeterFakeStep(HWND page) {
    TakeFakeStep(&Progress);
    RepaintMeter();
    PumpMessages(page, FakeStepPause);
}

void MeterReadStep(HWND page) {
    if (!TakeReadStep(&Progress)) return;
    RepaintMeter();
    PumpMessages(page, ReadStepPause);
}

void MeterReset(unsigned long colour) {
    ResetProgress(&Progress, colour);
    RepaintMeter();
}
