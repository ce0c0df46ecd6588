#include "shell/backdrop_window.h"

#include "pages/pages.h"
#include "shell/backdrop_paint.h"
#include "shell/backdrop_style.h"
#include "shell/page_chain.h"
#include "shell/page_helpers.h"
#include "shell/product_identity.h"

HINSTANCE InstallerInstance;
HWND BackdropWindow;
int ScreenWidth;
int ScreenHeight;

namespace {

// Handed out by WM_GETICON for the program's whole life: loading one per
// query would leak a handle each time the system asks.
HICON BackdropSmallIcon;

const UINT ChainTimer = 1;
const UINT ChainTimerDelay = 100;

// Runs inside WM_CREATE, before the window is first shown.  Returns 0 when
// the user cancelled the welcome page.
int PrepareBackdrop(HWND window) {
    BackdropWindow = window;
    INT_PTR welcome = DialogBoxParamA(InstallerInstance, MAKEINTRESOURCEA(WelcomeTemplate), window,
                                      WelcomePageProc, 0);
    if (welcome == IDCANCEL) {
        DestroyWindow(window);
        return 0;
    }
    FormatBackdropLines();
    FetchSystemImageList();
    PrepareFontsAndColours(ScreenWidth, ScreenHeight);
    LoadLogo(InstallerInstance, LogoBitmapId);
    SetTimer(window, ChainTimer, ChainTimerDelay, NULL);
    return 1;
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return PrepareBackdrop(window) ? 0 : -1;
        case WM_PAINT:
            PaintBackdrop(window);
            return 0;
        case WM_TIMER:
            // Killed before the chain runs, so the chain runs exactly once.
            KillTimer(window, ChainTimer);
            RunPageChain(window);
            return 0;
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(BackdropSmallIcon);
        case WM_DESTROY:
            FreeLogo();
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateBackdropWindow(HINSTANCE instance) {
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_BYTEALIGNWINDOW;
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(InstallerIconId));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = InstallerName;
    if (!RegisterClassA(&windowClass)) return NULL;

    ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    InstallerInstance = instance;
    BackdropSmallIcon = LoadSmallIcon(InstallerIconId);
    return CreateWindowExA(WS_EX_APPWINDOW, InstallerName, InstallerName, WS_POPUP, 0, 0,
                           ScreenWidth, ScreenHeight, NULL, NULL, instance, NULL);
}
