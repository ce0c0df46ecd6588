// The process entry: make library loading safe, make sure no other run of
// the installer is under way, create the backdrop (the welcome page runs
// inside its creation) and run the only message loop.
#include <windows.h>

#include "shell/backdrop_window.h"
#include "shell/product_identity.h"
#include "shell/system_libraries.h"

namespace {

// Exit code when a system library or function cannot be had.
const int MissingSystemCode = 3;
// Exit code when another run of the installer is under way.
const int AlreadyRunningCode = 4;

// Two runs share the staged names in the temporary folder and would delete
// each other's files.  The name lives in the session's own namespace, so a
// user of another session cannot hold it; one that exists but may not be
// opened (access denied) was made by someone else first, and counts as a
// run under way too.  The handle stays open until the process ends.
const char InstanceMutexName[] = "Local\\Kestrova.Quorvik.Setup";

int AnotherRunIsUnderWay() {
    HANDLE mutex = CreateMutexA(NULL, FALSE, InstanceMutexName);
    DWORD error = GetLastError();
    if (!mutex) return error == ERROR_ACCESS_DENIED;
    return error == ERROR_ALREADY_EXISTS;
}

int ReportAlreadyRunning() {
    char text[64];
    wsprintfA(text, "%s is already running.", InstallerName);
    MessageBoxA(NULL, text, InstallerName, MB_ICONWARNING);
    return AlreadyRunningCode;
}

int ReportMissingSystemPart(const char* missing) {
    char text[160];
    wsprintfA(text, "A part of Windows that %s needs is missing:\n%.64s", InstallerName, missing);
    MessageBoxA(NULL, text, InstallerName, MB_ICONERROR);
    return MissingSystemCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    RestrictLibrarySearch();
    if (AnotherRunIsUnderWay()) return ReportAlreadyRunning();
    char missing[64];
    if (!LoadSystemFunctions(missing, sizeof missing)) return ReportMissingSystemPart(missing);

    HWND window = CreateBackdropWindow(instance);
    if (!window) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// No C runtime: the installer needs none of its start-up work.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT)));
}
