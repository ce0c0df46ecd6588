#include "system_snapshot.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Snapshot {
    int count, used, incomplete;
    int lines[65536];  // offsets into text
    char text[4 << 20];
};

namespace {

__attribute__((format(printf, 2, 3))) void Add(Snapshot* s, const char* format, ...) {
    int room = (int)sizeof s->text - s->used;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(s->text + s->used, room, format, args);
    va_end(args);
    if (n < 0 || n >= room || s->count == (int)(sizeof s->lines / sizeof s->lines[0])) {
        s->incomplete = 1;
        return;
    }
    s->lines[s->count++] = s->used;
    s->used += n + 1;
}

void AddFolder(Snapshot* s, const char* folder) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const DWORD a = found.dwFileAttributes;
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
        int n = snprintf(path, sizeof path, "%s%s%s", folder, found.cFileName,
                         a & FILE_ATTRIBUTE_DIRECTORY ? "\\" : "");
        if (n >= (int)sizeof path) s->incomplete = 1;
        Add(s, "%s", path);
        // The profile's Desktop, Documents and the like are Wine's links to
        // the Linux home folder: not on drive C: at all.
        if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
            AddFolder(s, path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void AddKey(Snapshot* s, HKEY root, const char* key) {
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    const char* rootName = root == HKEY_CLASSES_ROOT ? "HKCR" : "HKLM";
    Add(s, "%s\\%s\\", rootName, key);
    // Counted first, which saves a call a key: in the PE32's emulated guest
    // every registry call is slow, and there are thousands of class keys.
    DWORD keys = 0, values = 0;
    if (RegQueryInfoKeyA(k, NULL, NULL, NULL, &keys, NULL, NULL, &values, NULL, NULL, NULL, NULL) !=
        ERROR_SUCCESS)
        s->incomplete = 1;
    char name[256];
    BYTE data[4096];
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameSize = sizeof name, type = 0, size = sizeof data - 1;
        if (RegEnumValueA(k, i, name, &nameSize, NULL, &type, data, &size) != ERROR_SUCCESS) {
            s->incomplete = 1;
            continue;
        }
        data[size] = 0;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            Add(s, "%s\\%s\\:%s = %lu:%s", rootName, key, name, type, (char*)data);
        else
            Add(s, "%s\\%s\\:%s = %lu:%lu bytes %02X%02X%02X%02X", rootName, key, name, type, size,
                data[0], data[1], data[2], data[3]);
    }
    for (DWORD i = 0; i < keys; ++i) {
        DWORD nameSize = sizeof name;
        char sub[1024];
        if (RegEnumKeyExA(k, i, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS ||
            snprintf(sub, sizeof sub, "%s\\%s", key, name) >= (int)sizeof sub)
            s->incomplete = 1;
        else
            AddKey(s, root, sub);
    }
    RegCloseKey(k);
}

const char* g_text;  // of the snapshot being sorted

int ByText(const void* a, const void* b) {
    return strcmp(g_text + *(const int*)a, g_text + *(const int*)b);
}

}  // namespace

Snapshot* TakeSnapshot() {
    Snapshot* s = (Snapshot*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Snapshot));
    if (!s) return NULL;
    AddFolder(s, "C:\\");
    AddKey(s, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    AddKey(s, HKEY_CLASSES_ROOT, "CLSID");
    AddKey(s, HKEY_LOCAL_MACHINE,
           "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static");
    Log("snapshot: %d lines%s", s->count, s->incomplete ? ", incomplete" : "");
    if (s->incomplete) {
        FreeSnapshot(s);
        return NULL;
    }
    g_text = s->text;
    qsort(s->lines, s->count, sizeof s->lines[0], ByText);
    return s;
}

void FreeSnapshot(Snapshot* s) {
    if (s) HeapFree(GetProcessHeap(), 0, s);
}

int CompareSnapshots(const Snapshot* before, const Snapshot* after) {
    int i = 0, j = 0, differ = 0;
    while (i < before->count || j < after->count) {
        const char* a = i < before->count ? before->text + before->lines[i] : NULL;
        const char* b = j < after->count ? after->text + after->lines[j] : NULL;
        int order = !a ? 1 : !b ? -1 : strcmp(a, b);
        if (order < 0) Log("  missing: %s", a);
        if (order > 0) Log("  added:   %s", b);
        differ += order != 0;
        i += order <= 0;
        j += order >= 0;
    }
    return differ;
}
