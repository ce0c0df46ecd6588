// Places of the shell's own icons in the system image list.  They are asked
// of the shell: the classic fixed places (3 and 4 for a folder, 15 for the
// computer) hold them on Windows, but a system that fills its list on
// demand may have nothing there.  Each takes the fixed place to fall back on.
#pragma once

#include <windows.h>

// A folder's icon (open: as shown for the folder one is in).
int ShellFolderIcon(int open, int fallback);
int ShellComputerIcon(int fallback);
