#include "product/common/text.h"

int CopyText(char* buffer, int size, const char* text) {
    if (size <= 0) return 0;
    buffer[0] = '\0';
    return AppendText(buffer, size, text);
}

int AppendText(char* buffer, int size, const char* text) {
    const int used = lstrlenA(buffer);
    const int length = lstrlenA(text);
    if (used + length >= size) return 0;
    for (int i = 0; i <= length; ++i) buffer[used + i] = text[i];
    return 1;
}

int SiblingPath(HMODULE module, const char* name, char* path, int size) {
    if (size <= 0) return 0;
    const DWORD length = GetModuleFileNameA(module, path, static_cast<DWORD>(size));
    // A full buffer means the name was cut.
    if (length == 0 || length >= static_cast<DWORD>(size)) {
        path[0] = '\0';
        return 0;
    }
    int folderEnd = 0;
    for (int i = 0; path[i] != '\0'; ++i)
        if (path[i] == '\\' || path[i] == '/') folderEnd = i + 1;
    path[folderEnd] = '\0';
    if (!AppendText(path, size, name)) {
        path[0] = '\0';
        return 0;
    }
    return 1;
}
