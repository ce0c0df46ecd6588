// The folders that the installing page works out when it opens and that
// the later steps read: the Windows folder, the temporary folder, the
// ShellNew folder and the Start menu's Programs folder.
#pragma once

#include <windows.h>

#include "engine/paths.h"

constexpr int FolderSize = MAX_PATH;

extern char WindowsDir[FolderSize];
extern char TempDir[FolderSize];
extern char ShellNewDir[FolderSize];
extern char ProgramsMenuDir[FolderSize];

// Fills all four.  Returns 1, or 0 when the system gave no usable folder or
// a composed one would not fit; then none of them may be used.
int ComputeSharedFolders();
