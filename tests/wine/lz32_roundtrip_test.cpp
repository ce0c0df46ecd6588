// What szdd packs, the system's LZ32 expands: every NAME.sz in the sample
// folder is expanded the way the installer does it (LZOpenFileA, LZRead in
// 32-byte reads until a short one, LZClose) and compared with NAME.
//
//   wine_lz32_roundtrip SAMPLE_DIR      (a Linux path)
#include <windows.h>
#include <lzexpand.h>

#include <stdio.h>
#include <string.h>

#include "tests/wine/wine_test.h"

namespace {

int ReadWhole(const char* path, char** data, DWORD* size) {
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    *size = GetFileSize(f, NULL);
    if (*size == INVALID_FILE_SIZE) *size = 0;
    *data = (char*)HeapAlloc(GetProcessHeap(), 0, *size + 1);
    DWORD got = 0;
    BOOL ok = ReadFile(f, *data, *size, &got, NULL);
    CloseHandle(f);
    return ok && got == *size;
}

void CheckSample(const char* packed, const char* original) {
    char* want = NULL;
    DWORD wantSize = 0;
    if (!ok(ReadWhole(original, &want, &wantSize), "cannot read %s\n", original)) return;
    OFSTRUCT ofs;
    INT h = LZOpenFileA((LPSTR)packed, &ofs, OF_READ);
    if (!ok(h >= 0, "LZOpenFileA(%s) = %d\n", packed, h)) return;
    char* got = (char*)HeapAlloc(GetProcessHeap(), 0, wantSize + 64);
    DWORD total = 0;
    INT n;
    do {
        char block[32];
        n = LZRead(h, block, sizeof block);
        if (n < 0) break;
        if (total + (DWORD)n <= wantSize + 32) memcpy(got + total, block, n);
        total += n;
    } while (n == 32 && total <= wantSize + 32);
    LZClose(h);
    ok(n >= 0, "%s: LZRead failed with %d\n", packed, n);
    ok(total == wantSize, "%s: expanded to %lu bytes, want %lu\n", packed, total, wantSize);
    ok(total != wantSize || memcmp(got, want, wantSize) == 0, "%s: bytes differ\n", packed);
    HeapFree(GetProcessHeap(), 0, got);
    HeapFree(GetProcessHeap(), 0, want);
}

}  // namespace

int main(int argc, char** argv) {
    char dir[MAX_PATH];
    if (argc != 2 || !HostPathToWindows(argv[1], dir, sizeof dir)) return Usage("SAMPLE_DIR");
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*.sz", dir);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    int samples = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            char packed[MAX_PATH], original[MAX_PATH];
            snprintf(packed, sizeof packed, "%s\\%s", dir, found.cFileName);
            snprintf(original, sizeof original, "%s", packed);
            original[strlen(original) - 3] = '\0';
            CheckSample(packed, original);
            ++samples;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    ok(samples >= 11, "found %d samples in %s\n", samples, dir);
    return Summary("lz32_roundtrip");
}
