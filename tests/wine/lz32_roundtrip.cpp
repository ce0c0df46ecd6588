// What the packer writes, the system's LZ32 expands the way the installer
// reads it: LZInit on an open file, LZRead in 32-byte reads until a short
// one, LZClose.
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>
#include <string.h>

#include "tests/wine/windows_units.h"

namespace {

void ExpectExpandsTo(const char* packed, const char* original) {
    const std::string want = FileText(original);
    std::string got;
    HANDLE file = CreateFileA(packed, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    INT h = LZInit(static_cast<HFILE>(reinterpret_cast<INT_PTR>(file)));
    if (!CHECK(h >= 0)) return;
    INT n;
    do {
        char block[32];
        n = LZRead(h, block, sizeof block);
        if (n > 0) got.append(block, n);
    } while (n == 32 && got.size() <= want.size());
    LZClose(h);
    if (!CHECK(n >= 0 && got == want))
        Log("  %s: %u bytes expanded (last read %d), %u wanted", packed, (unsigned)got.size(), n,
            (unsigned)want.size());
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
