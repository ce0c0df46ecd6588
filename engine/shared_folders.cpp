#include "engine/shared_folders.h"

#include <shlobj.h>

#include "engine/code_page.h"
#include "engine/reported_folder.h"
#include "pages/location_page.h"

char WindowsDir[FolderSize];
char TempDir[FolderSize];
char ShellNewDir[FolderSize];
char ProgramsMenuDir[FolderSize];

namespace {

// The shell's Programs folder for all users, else the user's own.  Only
// S_OK counts: S_FALSE names a folder that does not exist.
int ShellProgramsFolder(char* out) {
    static const int Folders[] = {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS};
    for (int csidl : Folders) {
        char folder[MAX_PATH];
        folder[0] = '\0';
        if (SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, folder) == S_OK &&
            folder[0] != '\0') {
            lstrcpynA(out, folder, FolderSize);
            return 1;
        }
    }
    return 0;
}

}  // namespace

SharedFoldersResult ComputeSharedFolders() {
    char raw[FolderSize];
    DWORD tempLength = GetTempPathA(sizeof raw, raw);
    if (!AcceptSystemFolder(TempDir, sizeof TempDir, raw, sizeof raw, tempLength, SystemLeadByte))
        return SharedFoldersNoTemp;
    UINT windowsLength = GetWindowsDirectoryA(raw, sizeof raw);
    if (!AcceptSystemFolder(WindowsDir, sizeof WindowsDir, raw, sizeof raw, windowsLength,
                            SystemLeadByte) ||
        !JoinPath(ShellNewDir, sizeof ShellNewDir, WindowsDir, "ShellNew", SystemLeadByte))
        return SharedFoldersNoWindows;
    if (ShellProgramsFolder(ProgramsMenuDir) ||
        JoinPath(ProgramsMenuDir, sizeof ProgramsMenuDir, WindowsDir, "Start Menu\\Programs",
                 SystemLeadByte))
        return SharedFoldersReady;
    return SharedFoldersNoWindows;
}

const char* PayloadFolderPath(PayloadFolder folder) {
    switch (folder) {
        case RowInWindowsFolder:
            return WindowsDir;
        case RowInShellNewFolder:
            return ShellNewDir;
        case RowInInstallFolder:
            break;
    }
    return ProgramPath;
}
