// The installer as built carries the payload its table describes: every
// row's resource exists, is packedSize bytes, says unpackedSize in its
// header, and LZ32 expands it to the product file byte for byte.
//
//   wine_payload_resources INSTALLER PRODUCT_DIR      (Linux paths)
#include <windows.h>
#include <lzexpand.h>

#include <stdio.h>
#include <string.h>

#include "engine/payload_table.h"
#include "tests/wine/wine_test.h"

namespace {

unsigned int HeaderLength(const BYTE* data) {
    return data[10] | (data[11] << 8) | (data[12] << 16) | ((unsigned int)data[13] << 24);
}

int WriteFileWhole(const char* path, const void* data, DWORD size) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    BOOL done = WriteFile(f, data, size, &written, NULL);
    CloseHandle(f);
    return done && written == size;
}

// Expands `packed` through LZ32 in 32-byte reads and compares with `product`.
void CheckExpansion(const char* packed, const char* product, const char* name) {
    HANDLE f = CreateFileA(product, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (!ok(f != INVALID_HANDLE_VALUE, "%s: cannot open the product file %s\n", name, product))
        return;
    OFSTRUCT ofs;
    INT h = LZOpenFileA((LPSTR)packed, &ofs, OF_READ);
    ok(h >= 0, "%s: LZOpenFileA = %d\n", name, h);
    DWORD offset = 0;
    int same = 1;
    INT n = 0;
    while (h >= 0) {
        char got[32], want[32];
        n = LZRead(h, got, sizeof got);
        if (n < 0) break;
        DWORD read = 0;
        ReadFile(f, want, n, &read, NULL);
        if (read != (DWORD)n || memcmp(got, want, n) != 0) same = 0;
        offset += n;
        if (n < 32) break;
    }
    if (h >= 0) LZClose(h);
    char extra;
    DWORD more = 0;
    ReadFile(f, &extra, 1, &more, NULL);
    CloseHandle(f);
    ok(n >= 0, "%s: LZRead failed with %d\n", name, n);
    ok(same && more == 0, "%s: expansion differs from the product file (at %lu bytes)\n", name,
       offset);
}

}  // namespace

int main(int argc, char** argv) {
    char installer[MAX_PATH], products[MAX_PATH];
    if (argc != 3 || !HostPathToWindows(argv[1], installer, sizeof installer) ||
        !HostPathToWindows(argv[2], products, sizeof products))
        return Usage("INSTALLER PRODUCT_DIR");
    HMODULE module = LoadLibraryExA(installer, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!ok(module != NULL, "cannot load %s\n", installer)) return Summary("payload_resources");

    ok(PayloadRowCount == 8 && installCount == 8 && shortcutCount == 5,
       "rows %d, installCount %d, shortcutCount %d\n", PayloadRowCount, installCount,
       shortcutCount);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (int i = 0; i < PayloadRowCount; ++i) {
        const PayloadEntry& row = PayloadTable[i];
        HRSRC resource = FindResourceA(module, row.resourceName, MAKEINTRESOURCEA(10));
        if (!ok(resource != NULL, "%s: no resource %s\n", row.fileName, row.resourceName)) continue;
        DWORD size = SizeofResource(module, resource);
        const BYTE* data = (const BYTE*)LockResource(LoadResource(module, resource));
        ok(size == row.packedSize, "%s: resource has %lu bytes, table says %u\n", row.fileName,
           size, row.packedSize);
        if (!ok(size >= 14 && memcmp(data,
                                     "SZDD\x88\xF0\x27\x33"
                                     "A",
                                     9) == 0,
                "%s: not an SZDD stream of mode 'A'\n", row.fileName))
            continue;
        ok(data[9] == (BYTE)row.fileName[strlen(row.fileName) - 1], "%s: header names '%c'\n",
           row.fileName, data[9]);
        ok(HeaderLength(data) == row.unpackedSize, "%s: header says %u, table %u\n", row.fileName,
           HeaderLength(data), row.unpackedSize);
        char packed[MAX_PATH], product[MAX_PATH];
        snprintf(packed, sizeof packed, "%spayload-%d.sz", temp, i);
        snprintf(product, sizeof product, "%s\\%s", products, row.fileName);
        if (ok(WriteFileWhole(packed, data, size), "cannot write %s\n", packed))
            CheckExpansion(packed, product, row.fileName);
        DeleteFileA(packed);
    }
    FreeLibrary(module);
    return Summary("payload_resources");
}
