#include "system_snapshot.h"

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <iterator>

#include "driver.h"

namespace {

// By value: the list it grows may move the string it was given.
void AddFolder(Snapshot* s, const std::string folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const DWORD a = found.dwFileAttributes;
        s->push_back(folder + name + (a & FILE_ATTRIBUTE_DIRECTORY ? "\\" : ""));
        // The profile's Desktop, Documents and the like are Wine's links to
        // the Linux home folder: not on drive C: at all.
        if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
            AddFolder(s, s->back());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

void AddKey(Snapshot* s, HKEY root, const std::string& key) {
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    const std::string path = (root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\") + key + "\\";
    s->push_back(path);
    // Counted first, which saves a call a key: in the PE32's emulated guest
    // every registry call is slow, and there are thousands of class keys.
    DWORD keys = 0, values = 0;
    RegQueryInfoKeyA(k, NULL, NULL, NULL, &keys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    for (DWORD i = 0; i < values; ++i) {
        char name[256], line[512];
        BYTE data[4096] = {};
        DWORD nameSize = sizeof name, type = 0, size = sizeof data - 1;
        RegEnumValueA(k, i, name, &nameSize, NULL, &type, data, &size);
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            snprintf(line, sizeof line, ":%s = %lu:%s", name, type, (char*)data);
        else
            snprintf(line, sizeof line, ":%s = %lu:%lu bytes %02X%02X%02X%02X", name, type, size,
                     data[0], data[1], data[2], data[3]);
        s->push_back(path + line);
    }
    for (DWORD i = 0; i < keys; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(k, i, name, &nameSize, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
            AddKey(s, root, key + "\\" + name);
    }
    RegCloseKey(k);
}

}  // namespace

Snapshot TakeSnapshot() {
    Snapshot s;
    AddFolder(&s, "C:\\");
    AddKey(&s, HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    AddKey(&s, HKEY_CLASSES_ROOT, "CLSID");
    AddKey(&s, HKEY_LOCAL_MACHINE,
           "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static");
    std::sort(s.begin(), s.end());
    Log("snapshot: %u lines", (unsigned)s.size());
    return s;
}

int CompareSnapshots(const Snapshot& before, const Snapshot& after) {
    Snapshot missing, added;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(missing));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    for (const std::string& line : missing) Log("  missing: %s", line.c_str());
    for (const std::string& line : added) Log("  added:   %s", line.c_str());
    return (int)(missing.size() + added.size());
}
