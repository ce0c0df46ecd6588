// Removing the installer's registry records.  Only the keys the installer
// made are deleted, deepest first; their parents are the system's and stay.
#pragma once

// The class entry and the find extension.
void RemoveProductRecords();

// The uninstall entry: removed last, so that a removal that stops early can
// be run again from the list of installed programs.  Returns 1 once it is
// gone, 0 when it stays (something else has put a key below it, say).
int RemoveUninstallEntry();
