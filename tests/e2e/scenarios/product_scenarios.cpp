// The product files themselves are real programs and libraries: each
// starts and ends cleanly under the platform.
#include "walkthrough.h"

#include <shellapi.h>
#include <stdio.h>

namespace {

// Starts a product program, waits for its main window and closes it.
void RunAndClose(const DrvContext* ctx, const char* name, const char* caption) {
    char path[MAX_PATH];
    REQUIRE(ProductFilePath(ctx, name, path, sizeof path));
    DrvProcess* p = DrvStartProgram(path, NULL, NULL);
    REQUIRE(p);
    HWND main = DrvWaitWindow(p, caption, NULL, DRV_WAIT);
    REQUIRE(main);
    DrvScreenshot(name);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ExpectExit(p, 0);
}

}  // namespace

SCENARIO(product_programs) {
    RunAndClose(ctx, "Quorvik.exe", "Untitled - Quorvik");
    RunAndClose(ctx, "Qvreader.exe", "Quorvik 3.02 Read Me");

    char path[MAX_PATH];
    REQUIRE(ProductFilePath(ctx, "Qvtips.dll", path, sizeof path));
    HMODULE tips = LoadLibraryA(path);
    REQUIRE(tips);
    typedef int(WINAPI * TipCount)(void);
    TipCount count = (TipCount)(void*)GetProcAddress(tips, "QvGetTipCount");
    CHECK(count != NULL && GetProcAddress(tips, "QvGetTip") != NULL);
    if (count) CHECK(count() > 0);
    FreeLibrary(tips);

    // The registry points at "Qvshell.dll,0": its first icon.
    REQUIRE(ProductFilePath(ctx, "Qvshell.dll", path, sizeof path));
    HMODULE shell = LoadLibraryA(path);
    REQUIRE(shell);
    CHECK(GetProcAddress(shell, "DllGetClassObject") != NULL);
    CHECK(GetProcAddress(shell, "DllCanUnloadNow") != NULL);
    FreeLibrary(shell);
    HICON icon = ExtractIconA(GetModuleHandleA(NULL), path, 0);
    CHECK(icon != NULL && icon != (HICON)1);
    if (icon) DestroyIcon(icon);
}
