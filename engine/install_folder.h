// The install folder, ProgramPath, made ready for the copy: put in the form
// the uninstaller will read back, refused where another user could take
// it, made, and held until the program ends.
#pragma once

#include "engine/folder_chain.h"

// The folders of ProgramPath, held from the copy until the program ends.
extern HeldFolders InstallFolders;

// Folds ProgramPath (FoldDotNames), checks it as the uninstaller checks
// its record (AcceptInstallFolder), then makes and holds each folder of it,
// refusing links and folders other users could change.  `created` receives
// how many of its deepest folders this call made.  Returns NULL, or why the
// folder is refused, for the log.
const char* PrepareInstallFolder(int* created);
