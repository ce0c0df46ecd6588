// Zelmunin, the Quorvik uninstall program: reads what the installer
// recorded, asks once (not at all with /S), and removes exactly what the
// installer made, the uninstall record last so that a removal cut short
// can be run again.
#include <windows.h>

#include "engine/shared_folders.h"
#include "shell/command_line.h"
#include "shell/system_libraries.h"
#include "uninstaller/installation_record.h"
#include "uninstaller/record_removal.h"
#include "uninstaller/removal.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/uninstall_messages.h"

namespace {

const int RemovedCode = 0;
const int NotRemovedCode = 1;
const int BadCommandLineCode = 2;

int Uninstall() {
    if (!ParseUninstallOptions(SkipProgramName(GetCommandLineA()), &SilentRemoval)) {
        ShowBadCommandLine();
        return BadCommandLineCode;
    }
    if (ComputeSharedFolders() != SharedFoldersReady) {
        ShowFoldersMissing();
        return NotRemovedCode;
    }
    unsigned long createdFolders;
    int createdGroup;
    switch (ReadInstallation(&createdFolders, &createdGroup)) {
        case InstallationMissing:
            ShowNotInstalled();
            return NotRemovedCode;
        case InstallationDamaged:
            ShowDamagedRecord();
            return NotRemovedCode;
        case InstallationFound:
            break;
    }
    // No changes nothing, which is what the user asked for.
    if (!AskToRemove()) return RemovedCode;

    const char* replaced = HoldRemovalFolders();
    if (replaced) {
        ShowFolderReplaced(replaced);
        return NotRemovedCode;
    }
    char runningProgram[MAX_PATH];
    if (!RemoveProductFiles(runningProgram, sizeof runningProgram) ||
        !RemoveShortcuts(createdGroup))
        return NotRemovedCode;
    RemoveCreatedFolders(createdFolders);
    RemoveProductRecords();
    if (runningProgram[0] != '\0') RemoveRunningProgram(runningProgram);
    if (!RemoveUninstallEntry()) {
        ShowEntryKept();
        return NotRemovedCode;
    }
    ShowRemoved();
    return RemovedCode;
}

}  // namespace

// No C runtime: the uninstaller needs none of its start-up work.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    RestrictLibrarySearch();
    ExitProcess(static_cast<UINT>(Uninstall()));
}
