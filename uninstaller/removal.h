// Removing what the installer put on disk: the product's files by their
// names in the payload table, the group's shortcuts, and the folders the
// installer made, each folder only when nothing else is left in it.
#pragma once

// Holds the install folder and the group's folder, with every folder above
// them, before anything in them is deleted, so that no name used later can
// lead elsewhere.  Returns NULL, or the folder that is a link or junction,
// or that users other than the administrators could have replaced (then
// nothing is held).  A folder already gone is no refusal.
const char* HoldRemovalFolders();

// Deletes every installed row's file from its folder, except the running
// uninstaller's own, whose path is kept in `runningProgram` (empty when
// the uninstaller runs from elsewhere).  A file that cannot be deleted is
// named with Retry and Cancel; returns 0 when the user cancels.
int RemoveProductFiles(char* runningProgram, int runningProgramSize);

// The shortcuts of the group, then the group's folder if the installer
// made it (`createdGroup`) and it is empty.  Returns 0 when the user cancels.
int RemoveShortcuts(int createdGroup);

// The deepest `created` folders of ProgramPath, deepest first, as long as
// each is empty: a folder that still holds something keeps its parents.
void RemoveCreatedFolders(unsigned long created);
