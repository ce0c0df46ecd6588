// A library planted beside the installer under a system library's name, as
// a downloads folder might hold one.  Loading it leaves a marker file next
// to it, so a test can tell whether the installer ever loaded it.  Its
// exports only make a static import resolvable; they always fail.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    char path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (reason != DLL_PROCESS_ATTACH || n == 0 || n >= MAX_PATH) return TRUE;
    lstrcatA(path, ".loaded");
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    return TRUE;
}

extern "C" __declspec(dllexport) INT WINAPI LZInit(INT) { return -1; }
extern "C" __declspec(dllexport) INT WINAPI LZRead(INT, LPSTR, INT) { return -1; }
extern "C" __declspec(dllexport) void WINAPI LZClose(INT) {}
