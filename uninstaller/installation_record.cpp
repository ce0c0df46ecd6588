#include "uninstaller/installation_record.h"

#include <windows.h>

#include "engine/code_page.h"
#include "engine/folder_names.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "pages/location_page.h"
#include "system/record_contents.h"
#include "system/record_values.h"

// The names the rest of the removal works with, as the installer had them.
char ProgramPath[ProgramPathSize];
char GroupName[GroupNameSize];

namespace {

HKEY OpenUninstallEntry() {
    char name[RecordBufferSize];
    HKEY parent, entry;
    if (!ComposeRecordKey(name, sizeof name, UninstallEntryKey) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallParentKey, 0, KEY_READ, &parent) !=
            ERROR_SUCCESS)
        return NULL;
    LONG status = RegOpenKeyExA(parent, name, 0, KEY_READ, &entry);
    RegCloseKey(parent);
    return status == ERROR_SUCCESS ? entry : NULL;
}

}  // namespace

InstallationState ReadInstallation(unsigned long* createdFolders, int* createdGroup) {
    *createdFolders = 0;
    *createdGroup = 0;
    HKEY entry = OpenUninstallEntry();
    if (!entry) return InstallationMissing;
    // One byte more than either name may have: a longer one is refused by
    // the checks below instead of being cut to a name that passes them.
    char path[ProgramPathSize + 1];
    char group[GroupNameSize + 1];
    int read = ReadTextValue(entry, ProgramPathValue, path, sizeof path) &&
               ReadTextValue(entry, ProgramGroupValue, group, sizeof group);
    *createdFolders = ReadNumberValue(entry, CreatedFoldersValue);
    *createdGroup = ReadNumberValue(entry, CreatedGroupValue) == 1;
    RegCloseKey(entry);
    // An earlier installer recorded the path as typed: "C:\Apps\..\Quorvik"
    // names the folder C:\Quorvik, which is what the checks must see.
    if (!read || !FoldDotNames(path, SystemLeadByte) ||
        !AcceptInstallFolder(path, WindowsDir, SystemLeadByte) ||
        !AcceptGroupName(group, SystemLeadByte))
        return InstallationDamaged;
    lstrcpyA(ProgramPath, path);
    lstrcpyA(GroupName, group);
    return InstallationFound;
}
