// The product's shortcuts in its Start-menu group, made through the shell's
// shell-link object.
#pragma once

#include <windows.h>

// 1 when CreateShortcuts made the group's folder, 0 when it was there.
extern int groupFolderCreated;

// Makes the group folder under ProgramsMenuDir and one shortcut for each of
// the payload table's first shortcutCount rows.  Returns 1 once COM could be
// had and every row was tried (a single shortcut that fails is passed
// over), 0 when COM could not be initialised or the group's folder is
// reached through a link, and nothing was tried.
int CreateShortcuts(HWND page);
