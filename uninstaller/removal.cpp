#include "uninstaller/removal.h"

#include <windows.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/payload_table.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "pages/location_page.h"
#include "shell/install_log.h"
#include "uninstaller/record_checks.h"
#include "uninstaller/uninstall_messages.h"

namespace {

HeldFolders ProgramFolders;
HeldFolders GroupFolders;
char GroupFolder[MAX_PATH];

// A folder that is not there has nothing to remove in it.
int HeldOrGone(const char* path, int options, HeldFolders* held) {
    FolderWalkResult walk = HoldFolderChain(path, options, SystemLeadByte, held, NULL);
    return walk == FolderHeld || walk == FolderMissing;
}

// A file that is not there any more is as good as removed; any other
// failure (in use, no access) is the user's to resolve or to give up on.
int DeleteAsking(const char* path) {
    for (;;) {
        if (DeleteFileA(path)) {
            LogLine("Removed %s", path);
            return 1;
        }
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 1;
        if (!AskRetryInUse(path)) return 0;
    }
}

// The identity of the file the system opened under `path`: the same file
// under another spelling of its path (short names, case) gives the same.
int FileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    BOOL ok = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return ok;
}

int IsRunningProgram(const char* path) {
    char own[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, own, sizeof own);
    BY_HANDLE_FILE_INFORMATION a, b;
    if (length == 0 || length >= sizeof own || !FileIdentity(own, &a) || !FileIdentity(path, &b))
        return 0;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

const char* HoldRemovalFolders() {
    // The install folder must still be the one the installer made and kept
    // for the administrators; the group lies in a folder of the system's.
    if (!HeldOrGone(ProgramPath, CheckKeepers, &ProgramFolders)) return ProgramPath;
    if (!JoinPath(GroupFolder, sizeof GroupFolder, ProgramsMenuDir, GroupName, SystemLeadByte) ||
        !HeldOrGone(GroupFolder, WalkExisting, &GroupFolders)) {
        ReleaseFoldersFrom(&ProgramFolders, 0);
        return GroupFolder;
    }
    return NULL;
}

int RemoveProductFiles(char* runningProgram, int runningProgramSize) {
    runningProgram[0] = '\0';
    for (int i = 0; i < installCount; ++i) {
        const PayloadPlace& row = PayloadPlaces[i];
        char path[MAX_PATH];
        // Every folder was accepted at under 260 characters; a name that
        // does not fit behind it was never installed there either.
        if (!JoinPath(path, sizeof path, PayloadFolderPath(RowFolder(row.flags)), row.fileName,
                      SystemLeadByte))
            continue;
        if (IsRunningProgram(path)) {
            lstrcpynA(runningProgram, path, runningProgramSize);
            continue;
        }
        if (!DeleteAsking(path)) return 0;
    }
    return 1;
}

int RemoveShortcuts(int createdGroup) {
    for (int i = 0; i < shortcutCount; ++i) {
        char link[MAX_PATH];
        if (LinkName(link, sizeof link, ProgramsMenuDir, GroupName,
                     PayloadPlaces[i].shortcutCaption, SystemLeadByte) &&
            !DeleteAsking(link))
            return 0;
    }
    ReleaseFoldersFrom(&GroupFolders, lstrlenA(GroupFolder));
    if (createdGroup && RemoveDirectoryA(GroupFolder)) LogLine("Removed %s", GroupFolder);
    return 1;
}

void RemoveCreatedFolders(unsigned long created) {
    size_t lengths[ProgramPathSize];
    int count =
        RemovableFolderLengths(ProgramPath, created, lengths, ProgramPathSize, SystemLeadByte);
    for (int i = 0; i < count; ++i) {
        char folder[ProgramPathSize];
        lstrcpynA(folder, ProgramPath, static_cast<int>(lengths[i]) + 1);
        // Ours, and every folder above it is still held.
        ReleaseFoldersFrom(&ProgramFolders, lengths[i]);
        // A folder already gone (deleted by hand) leaves its parent to try;
        // one that still holds something keeps its parents too.
        if (RemoveDirectoryA(folder))
            LogLine("Removed %s", folder);
        else if (GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES)
            return;
    }
}
