// The folders that the installing page works out when it opens and that
// the later steps read: the Windows folder, the temporary folder, the
// ShellNew folder and the Start menu's Programs folder.
#pragma once

#include <windows.h>

#include "engine/paths.h"
#include "engine/payload_table.h"

constexpr int FolderSize = MAX_PATH;

extern char WindowsDir[FolderSize];
extern char TempDir[FolderSize];
extern char ShellNewDir[FolderSize];
extern char ProgramsMenuDir[FolderSize];

enum SharedFoldersResult {
    SharedFoldersReady = 1,
    // No usable temporary folder: nothing can be staged (a source fault).
    SharedFoldersNoTemp = 0,
    // No usable Windows folder, or one too long for the folders made from
    // it: the files bound for it have no destination.
    SharedFoldersNoWindows = -1,
};

// Fills all four.  Unless the result is SharedFoldersReady, none of them
// may be used.
SharedFoldersResult ComputeSharedFolders();

// The folder that RowFolder names: one of the above, or ProgramPath.
const char* PayloadFolderPath(PayloadFolder folder);
