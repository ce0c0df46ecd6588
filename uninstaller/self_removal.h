// The uninstaller's own file: the system does not delete a program while it
// runs, so it is moved out of the Windows folder and deleted at the next
// restart.
#pragma once

// Moves `path` (the running program) into a new folder in the temporary
// folder that only administrators may write to, and marks the file and that
// folder for deletion at the next restart.  Where the move is not possible
// (the temporary folder on another drive), the file is deleted at once if
// the system allows it, else marked for deletion where it is.
void RemoveRunningProgram(const char* path);
