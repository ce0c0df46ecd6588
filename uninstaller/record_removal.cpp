#include "uninstaller/record_removal.h"

#include <windows.h>

#include "system/record_contents.h"

namespace {

// Keys under `parentPath`, each deleted only when it has no subkey left:
// a key that something else has added to is not the installer's alone.
void DeleteRecordKeys(HKEY root, const char* parentPath, const RecordKey* keys, int count) {
    HKEY parent;
    if (RegOpenKeyExA(root, parentPath, 0, KEY_ALL_ACCESS, &parent) != ERROR_SUCCESS) return;
    for (int i = 0; i < count; ++i) {
        char path[RecordBufferSize];
        if (ComposeRecordKey(path, sizeof path, keys[i])) RegDeleteKeyA(parent, path);
    }
    RegCloseKey(parent);
}

}  // namespace

void RemoveProductRecords() {
    static const RecordKey ClassKeys[] = {ServerKey, ClassKey};
    static const RecordKey FindExtensionKeys[] = {IconKey, MenuKey, FindExtensionKey};
    DeleteRecordKeys(HKEY_CLASSES_ROOT, ClassParentKey, ClassKeys, 2);
    DeleteRecordKeys(HKEY_LOCAL_MACHINE, FindExtensionParentKey, FindExtensionKeys, 3);
}

int RemoveUninstallEntry() {
    char path[RecordBufferSize];
    HKEY parent;
    if (!ComposeRecordKey(path, sizeof path, UninstallEntryKey) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallParentKey, 0, KEY_ALL_ACCESS, &parent) !=
            ERROR_SUCCESS)
        return 0;
    LONG status = RegDeleteKeyA(parent, path);
    RegCloseKey(parent);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
