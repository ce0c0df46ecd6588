#include "system/shortcuts.h"

#include <shlobj.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/paths.h"
#include "engine/payload_table.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "shell/install_log.h"

int groupFolderCreated;

namespace {

const int ShortcutPathSize = MAX_PATH;

// Every failure in here is silent: that one shortcut is missing.
void CreateShortcut(const char* target, const char* workingFolder, const char* linkFile,
                    const char* description) {
    IShellLinkA* link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    link->SetPath(target);
    link->SetWorkingDirectory(workingFolder);
    link->SetDescription(description);
    IPersistFile* file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        // A path that does not convert whole is not saved under a cut name.
        WCHAR widePath[ShortcutPathSize];
        HRESULT saved = E_FAIL;
        if (MultiByteToWideChar(CP_ACP, 0, linkFile, -1, widePath, ShortcutPathSize) > 0)
            saved = file->Save(widePath, TRUE);
        LogLine(SUCCEEDED(saved) ? "Shortcut %s to %s" : "Shortcut not made: %s to %s", linkFile,
                target);
        file->Release();
    }
    link->Release();
}

// The shortcut points at the file where the copy put it and works in that
// folder.  A path that does not fit is skipped, never cut.
void CreateRowShortcut(const PayloadEntry& row) {
    const char* folder = PayloadFolderPath(RowFolder(row.flags));
    char target[ShortcutPathSize];
    char linkFile[ShortcutPathSize];
    if (!JoinPath(target, sizeof target, folder, row.fileName, SystemLeadByte) ||
        !LinkName(linkFile, sizeof linkFile, ProgramsMenuDir, GroupName, row.shortcutCaption,
                  SystemLeadByte))
        return;
    CreateShortcut(target, folder, linkFile, row.shortcutCaption);
}

}  // namespace

int CreateShortcuts(HWND) {
    // Only this one level: ProgramsMenuDir exists.  An existing group is
    // used as it is, and one that cannot be made shows as missing shortcuts.
    // The group's folders are walked before it is made, so that no link
    // above it can take the request elsewhere, and stay held while the
    // shortcuts are saved by name; a link takes them nowhere.
    char groupFolder[ShortcutPathSize];
    HeldFolders held;
    held.count = 0;
    groupFolderCreated = 0;
    if (JoinPath(groupFolder, sizeof groupFolder, ProgramsMenuDir, GroupName, SystemLeadByte)) {
        FolderWalkResult walk =
            HoldFolderChain(groupFolder, WalkExisting, SystemLeadByte, &held, NULL);
        if (walk == FolderMissing) {
            // Made with the folders above it still held, then walked again.
            groupFolderCreated = CreateDirectoryA(groupFolder, NULL) ? 1 : 0;
            HeldFolders above = held;
            walk = HoldFolderChain(groupFolder, WalkExisting, SystemLeadByte, &held, NULL);
            ReleaseFoldersFrom(&above, 0);
        }
        if (walk == FolderLinked) {
            LogLine("Group folder refused: %s: %s", groupFolder, FolderWalkReason(walk));
            return 0;
        }
    }

    // S_FALSE: COM was already initialised on this thread and is usable;
    // it too is balanced by CoUninitialize.
    if (FAILED(CoInitialize(NULL))) {
        ReleaseFoldersFrom(&held, 0);
        return 0;
    }
    for (int i = 0; i < shortcutCount; ++i) CreateRowShortcut(PayloadTable[i]);
    CoUninitialize();
    ReleaseFoldersFrom(&held, 0);
    return 1;
}
