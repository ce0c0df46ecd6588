#include "shell/silent_install.h"

#include <windows.h>

#include "engine/copy_engine.h"
#include "engine/payload_table.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "pages/location_page.h"
#include "shell/command_line.h"
#include "shell/exit_codes.h"
#include "shell/install_log.h"
#include "shell/installer_messages.h"
#include "shell/product_identity.h"
#include "system/registry_records.h"
#include "system/shortcuts.h"

namespace {

int Fail(const char* text) {
    ShowFailure(NULL, text);
    ShowAbortMessage(NULL);
    return ExitFailed;
}

// What the location and group pages would have settled on.
int ChooseFolderAndGroup() {
    const InstallOptions& options = CommandLineOptions;
    if (options.folder[0] != '\0')
        lstrcpynA(ProgramPath, options.folder, sizeof ProgramPath);
    else if (!FormatDefaultFolder(ProgramPath, sizeof ProgramPath, MakerName, ProductName))
        return 0;
    lstrcpynA(GroupName, options.group[0] != '\0' ? options.group : ProductName, sizeof GroupName);
    return 1;
}

int ProgramsFolderExists() {
    DWORD attributes = GetFileAttributesA(ProgramsMenuDir);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int RunSilentInstall() {
    if (!ChooseFolderAndGroup()) return Fail(OpenDestinationFailed);
    LogLine("Installing %s %s into %s, group %s", ProductName, ProductVersion, ProgramPath,
            GroupName);
    SharedFoldersResult folders = ComputeSharedFolders();
    if (folders != SharedFoldersReady)
        return Fail(folders == SharedFoldersNoTemp ? OpenSourceFailed : OpenDestinationFailed);

    copyIndex = 0;
    int copied = StageFiles(NULL);
    while (copied == 1 && copyIndex < installCount) copied = CopyOneFile(NULL);
    if (copied == -1) {
        ShowAbortMessage(NULL);
        return ExitFailed;
    }
    RemoveStagedFiles(NULL);

    if (!ProgramsFolderExists()) return Fail(StartMenuMissing);
    if (!CreateShortcuts(NULL)) return Fail(ShortcutsFailed);
    WriteRegistryRecords(NULL);
    LogLine("%s was successfully Installed.", ProductName);
    return ExitInstalled;
}
