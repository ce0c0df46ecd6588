// wine_units.exe: every group of checks in one run, under wine64 in
// a throwaway prefix (nothing needs cleaning up).
#include "windows_units.h"

#include <stdio.h>

#include "pages/location_page.h"

// Decided by the location page and the backdrop; no meter is painted.
LOGFONTA MeterFont;
char ProgramPath[ProgramPathSize];

int MakeWorkFolder(const char* name, char* out, int size) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return snprintf(out, size, "%s%s\\", temp, name) < size && CreateDirectoryA(out, NULL);
}

int main() {
    TestFolderChain();
    TestCopyFaults();
    return Summary("Windows units");
}
