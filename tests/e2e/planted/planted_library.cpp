// A library planted beside the installer under a system library's name, as
// a downloads folder might hold one.  Loading it leaves a marker file next
// to it, so a test can tell whether the installer ever loaded it.  Its
// exports only make a static import resolvable; they always fail.
#include <windows.h>

static void LeaveMarker(HINSTANCE self) {
    char path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    lstrcatA(path, ".loaded");
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMarker(self);
    return TRUE;
}

extern "C" __declspec(dllexport) INT WINAPI LZInit(INT) { return -1; }
extern "C" __declspec(dllexport) INT WINAPI LZRead(INT, LPSTR, INT) { return -1; }
extern "C" __declspec(dllexport) void WINAPI LZClose(INT) {}
