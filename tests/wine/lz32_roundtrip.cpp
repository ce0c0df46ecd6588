// What the packer writes, the system's LZ32 expands the way the installer
// reads it: LZOpenFileA, LZRead in 32-byte reads until a short one, LZClose.
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>
#include <string.h>

#include "tests/wine/windows_units.h"

namespace {

void ExpectExpandsTo(const char* packed, const char* original) {
    static char want[8 << 20], got[(8 << 20) + 64];
    int wantSize = ReadTextFile(original, want, sizeof want);
    OFSTRUCT info;
    INT h = LZOpenFileA((LPSTR)packed, &info, OF_READ);
    if (!CHECK(wantSize >= 0 && wantSize < (int)sizeof want - 1 && h >= 0)) return;
    int total = 0, n;
    do {
        n = LZRead(h, got + total, 32);
        total += n > 0 ? n : 0;
    } while (n == 32 && total <= wantSize);
    LZClose(h);
    if (!CHECK(n >= 0 && total == wantSize && memcmp(got, want, total) == 0))
        Log("  %s: %d bytes expanded (last read %d), %d wanted", packed, total, n, wantSize);
}

}  // namespace

void TestLz32RoundTrip(const char* samples) {
    char pattern[MAX_PATH], packed[MAX_PATH], original[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*.sz", samples);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    int count = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        snprintf(packed, sizeof packed, "%s\\%s", samples, found.cFileName);
        lstrcpyA(original, packed);
        original[strlen(original) - 3] = '\0';
        ExpectExpandsTo(packed, original);
        ++count;
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    CHECK(count >= 10);
}
