// Stands in for the read-me viewer: records the current folder and the
// command line it was started with (into readme-probe.txt in the temporary
// folder), then shows a window under the viewer's title until it is closed,
// so that a scenario can also see the installer wait for it.
#include <windows.h>

#include <stdio.h>

static LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH] = "", record[2 * MAX_PATH + 600];
    GetCurrentDirectoryA(sizeof folder, folder);
    snprintf(record, sizeof record, "folder=%s\ncommand=%s\n", folder, GetCommandLineA());
    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    lstrcatA(path, "readme-probe.txt");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(file, record, lstrlenA(record), &written, NULL);
    CloseHandle(file);

    WNDCLASSA type = {};
    type.lpfnWndProc = ProbeProc;
    type.hInstance = instance;
    type.lpszClassName = "ReadmeProbe";
    RegisterClassA(&type);
    CreateWindowA("ReadmeProbe", "Quorvik 3.02 Read Me", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                  300, 200, NULL, NULL, instance, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
