// Removing what the installer put on disk: the product's files by their
// names in the payload table, the group's shortcuts, and the folders the
// installer made, each folder only when nothing else is left in it.
#pragma once

// Deletes every installed row's file from its folder, except the running
// uninstaller's own, whose path is kept in `runningProgram` (empty when
// the uninstaller runs from elsewhere).  A file that cannot be deleted is
// named with Retry and Cancel; returns 0 when the user cancels.
int RemoveProductFiles(char* runningProgram, int runningProgramSize);

// The shortcuts of the group, then the group's folder if it is empty.
// Returns 0 when the user cancels.
int RemoveShortcuts();

// The deepest `created` folders of ProgramPath, deepest first, as long as
// each is empty: a folder that still holds something keeps its parents.
void RemoveCreatedFolders(unsigned long created);
