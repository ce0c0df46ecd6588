#include "uninstaller/self_removal.h"

#include <windows.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/paths.h"
#include "engine/shared_folders.h"

namespace {

const char AsideFileName[] = "Zelmunin.exe";
const int FolderAttempts = 16;

// A folder of our own, made now under a name no one used before: nothing
// planted in the shared temporary folder can stand in for it, and with the
// installer's permissions no other user can put anything into it.
int MakeAsideFolder(char* folder, int size) {
    FolderSecurity security;
    if (!BuildFolderSecurity(&security)) return 0;
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < FolderAttempts; ++attempt) {
        char name[24];
        wsprintfA(name, "Zelmunin-%08lX", static_cast<unsigned long>(seed + attempt * 7919u));
        if (!JoinPath(folder, size, TempDir, name, SystemLeadByte)) return 0;
        if (CreateDirectoryA(folder, &security.attributes)) return 1;
    }
    return 0;
}

}  // namespace

void RemoveRunningProgram(const char* path) {
    char folder[MAX_PATH];
    char aside[MAX_PATH];
    if (MakeAsideFolder(folder, sizeof folder)) {
        if (JoinPath(aside, sizeof aside, folder, AsideFileName, SystemLeadByte) &&
            MoveFileExA(path, aside, 0)) {
            // The file first: a folder is only deleted once it is empty.
            MoveFileExA(aside, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
            MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
            return;
        }
        RemoveDirectoryA(folder);
    }
    if (!DeleteFileA(path)) MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}
