// The program location page: it decides ProgramPath, the folder that the
// product's program files go to.
#pragma once

#include <windows.h>

#include "pages/location_rules.h"

// "." until the page opens, which never equals the default folder, so the
// page's first reset always fills the edit box.
extern char ProgramPath[ProgramPathSize];

// Makes `path` the page's location: ProgramPath, the edit box and the
// folder list (in drive mode a drive root) all show it.
void SetLocation(HWND page, const char* path, int driveMode);
void ResetFolder(HWND page);
int AcceptTypedPath(HWND page);
