#include "pages/shell_icons.h"

#include <shellapi.h>
#include <shlobj.h>

int ShellFolderIcon(int open, int fallback) {
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    DWORD_PTR found;
    if (open) {
        // Asked by attributes alone the shell may give the closed one, so
        // the open one is asked of a real folder that every system has.
        char windows[MAX_PATH];
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        if (length == 0 || length >= sizeof windows) return fallback;
        found = SHGetFileInfoA(windows, 0, &info, sizeof info,
                               SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    } else {
        // By attributes alone, without touching the disk.
        found = SHGetFileInfoA("Folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                               SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    }
    return found ? info.iIcon : fallback;
}

int ShellComputerIcon(int fallback) {
    LPITEMIDLIST computer = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer)) || !computer)
        return fallback;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    DWORD_PTR found = SHGetFileInfoA(reinterpret_cast<LPCSTR>(computer), 0, &info, sizeof info,
                                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    CoTaskMemFree(computer);
    return found ? info.iIcon : fallback;
}
