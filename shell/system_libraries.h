// The few functions the installer takes from libraries that are not among
// the system's known DLLs.  They are loaded by full path from the system
// folder, never found by the search order, so that a planted lz32.dll or
// comctl32.dll beside the installer (a downloads folder) cannot run inside
// it.  Each pointer keeps the system header's own type, so the calling
// convention comes from the header on every target.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <lzexpand.h>

struct SystemFunctionTable {
    decltype(&LZInit) lzInit;
    decltype(&LZRead) lzRead;
    decltype(&LZClose) lzClose;
    decltype(&ImageList_Draw) imageListDraw;
    decltype(&ImageList_GetImageCount) imageListCount;
};

extern SystemFunctionTable SystemFunctions;

// Restricts every later library load of the process, including those the
// shell and COM make for the installer, to the system folder where the
// system offers that.  Older systems lack it; there the current folder is
// at least taken out of the search order.
void RestrictLibrarySearch();

// Fills SystemFunctions.  Returns 1, or 0 with the name of what could not
// be had in `missing` (a library or a function).
int LoadSystemFunctions(char* missing, int missingSize);
