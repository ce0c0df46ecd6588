// wine_units.exe SAMPLES: every group of checks in one run, under wine64 in
// a throwaway prefix (nothing needs cleaning up).
#include "windows_units.h"

#include <stdio.h>

#include "pages/location_page.h"

// What the location page and the backdrop would have decided; no meter is
// painted.
LOGFONTA MeterFont;
char ProgramPath[ProgramPathSize];

int MakeWorkFolder(const char* name, char* out, int size) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return snprintf(out, size, "%s%s\\", temp, name) < size && CreateDirectoryA(out, NULL);
}

int main(int argc, char** argv) {
    char samples[MAX_PATH];
    if (argc != 2 || !HostPath(argv[1], samples, sizeof samples)) {
        printf("usage: wine_units.exe LZ32_SAMPLES_FOLDER\n");
        return 2;
    }
    TestFolderChain();
    TestLz32RoundTrip(samples);
    TestCopyFaults();
    return Summary("Windows units");
}
