// Reading back a value of the product's records, as the installer (a second
// installation) and the uninstaller do.  A stored value need not hold its
// terminator, nor fit, nor have the type it should: each is checked here.
#pragma once

#include <windows.h>

// A REG_SZ value that fits `size` bytes with its terminator.  Returns 1, or
// 0 with `text` empty for anything else.
int ReadTextValue(HKEY key, const char* name, char* text, DWORD size);

// A REG_DWORD value, or 0 when there is none of that type.
DWORD ReadNumberValue(HKEY key, const char* name);
