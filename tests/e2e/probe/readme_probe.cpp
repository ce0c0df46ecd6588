// Stands in for the read-me viewer: records its folder and command line in
// readme-probe.txt in the temporary folder, then shows a window under the
// viewer's title until closed, so that the installer's wait for it shows.
#include <windows.h>

#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
    // A message box is such a window, and closing it ends the program.
    MessageBoxA(NULL, "The read-me viewer's stand-in.", "Quorvik 3.02 Read Me", MB_OK);
    return 0;
}
