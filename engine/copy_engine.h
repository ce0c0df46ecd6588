// The three phases of the installing page, each started by a timer of the
// page: staging the packed files in the temporary folder, expanding them
// into place one per tick, and removing the staged copies.
#pragma once

#include <windows.h>

enum CopyTimer {
    StagingTimer = 1,
    CopyingTimer = 2,
    RemovingTimer = 3,
};
constexpr UINT PhaseDelay = 100;

// Sent by the engine to its own page on every way out: the meter gets its
// own window procedure back before the dialog goes.
constexpr UINT WM_RESTORE_METER = WM_USER + 1;

// The failures that end the installing page, each shown with ShowFailure.
extern const char OpenSourceFailed[];
extern const char OpenDestinationFailed[];
extern const char ReadSourceFailed[];
extern const char WriteDestinationFailed[];

// The file operations of the expansion: the system's, unless a test puts in
// fakes (a short write, a failed write, a failed close), since on a real
// disk one such failure seldom comes without the others.
struct ExpansionFileTable {
    decltype(&WriteFile) writeFile;
    decltype(&CloseHandle) closeHandle;
};
extern ExpansionFileTable ExpansionFiles;

// Index of the next row to expand; -1 once a failure has ended the page.
extern int copyIndex;

// How many of the deepest folders of ProgramPath the copy made itself
// (PrepareInstallFolder), for the uninstall record.
extern int createdFolderCount;

// The work of each phase, without the timers that pace the page: a silent
// run (page NULL) calls them one after the other.  StageFiles first makes
// the install folder ready; CopyOneFile expands the row at copyIndex and
// advances it.  Both return 1, or -1 once the failure has been shown.
int StageFiles(HWND page);
int CopyOneFile(HWND page);
void RemoveStagedFiles(HWND page);

// The page's timer steps, each of which starts the next.
void StagePayload(HWND page);
void CopyNextFile(HWND page);
void RemoveStaged(HWND page);

// Ends the page after a failure that has been reported: the meter is
// detached, the abort message shown, and the page ends with 0.
void EndPageAfterFailure(HWND page);
