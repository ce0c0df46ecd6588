// The folder list of the program location page (control 301): in folder
// mode the chain of the current folder and its subfolders, in drive mode
// every drive.  A double-click moves the page through SetLocation, so the
// edit box, ProgramPath and the list always change together.
#pragma once

#include <windows.h>

constexpr int FolderListId = 301;

// Folder mode (0) or drive mode (1); written by SetLocation before a fill.
extern int BrowserDriveMode;

// Both fill a list that SetLocation has emptied with its redrawing off, and
// switch the redrawing back on and the arrow cursor back when done.
void FillDriveList(HWND page);
void FillFolderList(HWND page, const char* path);

// LBN_DBLCLK of the list.
void OpenSelectedItem(HWND page);

// WM_DRAWITEM of the list; always TRUE.
BOOL DrawBrowserItem(const DRAWITEMSTRUCT* item);
