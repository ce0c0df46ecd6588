// Zelmunin, the Quorvik uninstall program: reads what the installer
// recorded, asks once (not at all with /S), and removes exactly what the
// installer made, the uninstall record last so that a removal cut short
// can be run again.
#include <windows.h>

#include "engine/shared_folders.h"
#include "shell/command_line.h"
#include "shell/install_log.h"
#include "shell/machine_lock.h"
#include "shell/product_identity.h"
#include "shell/system_libraries.h"
#include "uninstaller/installation_record.h"
#include "uninstaller/record_removal.h"
#include "uninstaller/removal.h"
#include "uninstaller/self_removal.h"
#include "uninstaller/uninstall_messages.h"

namespace {

// The codes of the system's own installer, which deployment tools know.
const int RemovedCode = 0;
const int NotInstalledCode = 1605;
const int CancelledCode = 1602;  // No to the question, or Cancel at a file in use
const int FailedCode = 1603;     // any failure, a refused record included
const int BadCommandLineCode = 1639;

int Uninstall(const char* arguments) {
    if (!TakeMachineLock()) {
        if (!MentionsSilent(arguments)) ShowAnotherRunUnderWay();
        return ExitAnotherRunUnderWay;
    }
    UninstallOptions options;
    int parsed = ParseUninstallOptions(arguments, &options);
    SilentRemoval = options.silent;
    if (!parsed || (options.logPath[0] != '\0' && !OpenInstallLog(options.logPath))) {
        ShowBadCommandLine();
        return BadCommandLineCode;
    }
    LogLine("%s removal, options: %.900s", ProductName, arguments);
    if (ComputeSharedFolders() != SharedFoldersReady) {
        ShowFoldersMissing();
        return FailedCode;
    }
    unsigned long createdFolders;
    int createdGroup;
    switch (ReadInstallation(&createdFolders, &createdGroup)) {
        case InstallationMissing:
            ShowNotInstalled();
            return NotInstalledCode;
        case InstallationDamaged:
            ShowDamagedRecord();
            return FailedCode;
        case InstallationFound:
            break;
    }
    if (!AskToRemove()) return CancelledCode;

    const char* replaced = HoldRemovalFolders();
    if (replaced) {
        ShowFolderReplaced(replaced);
        return FailedCode;
    }
    char runningProgram[MAX_PATH];
    if (!RemoveProductFiles(runningProgram, sizeof runningProgram) ||
        !RemoveShortcuts(createdGroup))
        // Unattended, a file in use is no one's choice: the removal failed.
        return SilentRemoval ? FailedCode : CancelledCode;
    RemoveCreatedFolders(createdFolders);
    RemoveProductRecords();
    if (runningProgram[0] != '\0') RemoveRunningProgram(runningProgram);
    if (!RemoveUninstallEntry()) {
        ShowEntryKept();
        return FailedCode;
    }
    ShowRemoved();
    return RemovedCode;
}

}  // namespace

// No C runtime: the uninstaller needs none of its start-up work.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    RestrictLibrarySearch();
    char own[MAX_PATH];
    DWORD ownLength = GetModuleFileNameA(NULL, own, sizeof own);
    int code = Uninstall(
        SkipProgramName(GetCommandLineA(), ownLength > 0 && ownLength < sizeof own ? own : NULL));
    LogLine("Exit code %d", code);
    CloseInstallLog();
    ExitProcess(static_cast<UINT>(code));
}
