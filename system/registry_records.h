// The product's records in the registry: its uninstall entry, the class
// of its shell find-extension library, and that library as a find
// extension.  Best effort: nothing is reported.
#pragma once

#include <windows.h>

void WriteRegistryRecords(HWND backdrop);
