#include "system/registry_records.h"

#include "engine/code_page.h"
#include "engine/copy_engine.h"
#include "engine/payload_table.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "pages/location_page.h"
#include "shell/install_log.h"
#include "shell/product_identity.h"
#include "system/record_contents.h"
#include "system/record_values.h"
#include "system/shortcuts.h"

namespace {

const int UninstallerRow = 0;  // the first row: the uninstaller
const int ProgramRow = 1;      // the product's program, whose icon the list shows

const char DisplayNameValue[] = "DisplayName";
const char UninstallStringValue[] = "UninstallString";
const char QuietUninstallStringValue[] = "QuietUninstallString";
// What the system's list of installed programs shows beside the name.
const char DisplayIconValue[] = "DisplayIcon";
const char DisplayVersionValue[] = "DisplayVersion";
const char PublisherValue[] = "Publisher";
const char InstallLocationValue[] = "InstallLocation";
const char EstimatedSizeValue[] = "EstimatedSize";
const char InstallDateValue[] = "InstallDate";
const char VersionMajorValue[] = "VersionMajor";
const char VersionMinorValue[] = "VersionMinor";
const char NoModifyValue[] = "NoModify";
const char NoRepairValue[] = "NoRepair";
const char ThreadingModelValue[] = "ThreadingModel";
const char DefaultValue[] = "";

// The terminator is stored with the text.
void SetText(HKEY key, const char* valueName, const char* text) {
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   lstrlenA(text) + 1);
}

void SetNumber(HKEY key, const char* valueName, DWORD number) {
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
}

// A second installation into the same folder makes none of its folders; the
// ones the first made are still the product's, so their count is kept.
DWORD CreatedFoldersToRecord(HKEY entry) {
    DWORD created = static_cast<DWORD>(createdFolderCount);
    char recorded[ProgramPathSize];
    if (!ReadTextValue(entry, ProgramPathValue, recorded, sizeof recorded) ||
        lstrcmpiA(recorded, ProgramPath) != 0)
        return created;
    DWORD earlier = ReadNumberValue(entry, CreatedFoldersValue);
    return earlier > created ? earlier : created;
}

// Likewise a group the first installation made stays the product's when a
// second one finds it there.
DWORD CreatedGroupToRecord(HKEY entry) {
    char recorded[GroupNameSize];
    if (groupFolderCreated || !ReadTextValue(entry, ProgramGroupValue, recorded, sizeof recorded) ||
        lstrcmpiA(recorded, GroupName) != 0)
        return static_cast<DWORD>(groupFolderCreated);
    return ReadNumberValue(entry, CreatedGroupValue) ? 1 : 0;
}

// The details beyond name and command that the list of installed programs
// shows, and what the uninstaller needs to find the folders it may remove.
void WriteListDetails(HKEY entry, DWORD createdFolders, DWORD createdGroup) {
    char icon[MAX_PATH];
    if (JoinPath(icon, sizeof icon, ProgramPath, PayloadTable[ProgramRow].fileName, SystemLeadByte))
        SetText(entry, DisplayIconValue, icon);
    SetText(entry, DisplayVersionValue, ProductVersion);
    SetNumber(entry, VersionMajorValue, ProductVersionMajor);
    SetNumber(entry, VersionMinorValue, ProductVersionMinor);
    // The local day, as YYYYMMDD: what the list of installed programs shows.
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    wsprintfA(date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    SetText(entry, InstallDateValue, date);
    SetText(entry, PublisherValue, MakerName);
    SetText(entry, InstallLocationValue, ProgramPath);
    SetNumber(entry, EstimatedSizeValue, EstimatedSizeKb(PayloadTable, installCount));
    SetNumber(entry, NoModifyValue, 1);
    SetNumber(entry, NoRepairValue, 1);
    SetNumber(entry, CreatedFoldersValue, createdFolders);
    SetNumber(entry, CreatedGroupValue, createdGroup);
}

// A parent key, only ever opened: the installer adds keys of its own and
// none of the system's.  Its path names the records in the log.
struct RecordParent {
    HKEY key;
    const char* path;
};

RecordParent OpenParent(HKEY root, const char* path) {
    RecordParent parent = {NULL, path};
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &parent.key) != ERROR_SUCCESS)
        parent.key = NULL;
    return parent;
}

// Makes the record's key below its parent, or opens it when it exists.
// NULL when its path does not fit or the key cannot be had.
HKEY MakeRecordKey(const RecordParent& parent, RecordKey which) {
    char path[RecordBufferSize];
    char noClass[] = "";
    HKEY key;
    if (!ComposeRecordKey(path, sizeof path, which) ||
        RegCreateKeyExA(parent.key, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS) {
        LogLine("Record not written: %s\\%s", parent.path, path);
        return NULL;
    }
    LogLine("Record %s\\%s", parent.path, path);
    return key;
}

// A key that holds a single default value.
void WriteDefaultRecord(const RecordParent& parent, RecordKey which, const char* text) {
    HKEY key = MakeRecordKey(parent, which);
    if (!key) return;
    SetText(key, DefaultValue, text);
    RegCloseKey(key);
}

void WriteUninstallEntry() {
    RecordParent parent = OpenParent(HKEY_LOCAL_MACHINE, UninstallParentKey);
    if (!parent.key) return;
    HKEY entry = MakeRecordKey(parent, UninstallEntryKey);
    if (entry) {
        const DWORD createdFolders = CreatedFoldersToRecord(entry);
        const DWORD createdGroup = CreatedGroupToRecord(entry);
        // "%s" gives way to the product name, so this always holds the text.
        char displayName[sizeof ProductName + sizeof DisplayNameFormat];
        wsprintfA(displayName, DisplayNameFormat, ProductName);
        SetText(entry, DisplayNameValue, displayName);
        char command[RecordBufferSize];
        if (ComposeUninstallCommand(command, sizeof command, WindowsDir,
                                    PayloadTable[UninstallerRow].fileName, SystemLeadByte))
            SetText(entry, UninstallStringValue, command);
        if (ComposeQuietUninstallCommand(command, sizeof command, WindowsDir,
                                         PayloadTable[UninstallerRow].fileName, SystemLeadByte))
            SetText(entry, QuietUninstallStringValue, command);
        SetText(entry, ProgramPathValue, ProgramPath);
        SetText(entry, ProgramGroupValue, GroupName);
        WriteListDetails(entry, createdFolders, createdGroup);
        RegCloseKey(entry);
    }
    RegCloseKey(parent.key);
}

// The server key is tried even when the class key could not be made.
void WriteClassEntry() {
    RecordParent parent = OpenParent(HKEY_CLASSES_ROOT, ClassParentKey);
    if (!parent.key) return;
    WriteDefaultRecord(parent, ClassKey, ProductName);
    HKEY server = MakeRecordKey(parent, ServerKey);
    if (server) {
        SetText(server, DefaultValue, ServerLibrary);
        SetText(server, ThreadingModelValue, ThreadingModel);
        RegCloseKey(server);
    }
    RegCloseKey(parent.key);
}

// Each key is tried whether or not the one above it could be made.
void WriteFindExtension() {
    RecordParent parent = OpenParent(HKEY_LOCAL_MACHINE, FindExtensionParentKey);
    if (!parent.key) return;
    WriteDefaultRecord(parent, FindExtensionKey, ClassIdentifier);
    WriteDefaultRecord(parent, MenuKey, MenuText);
    WriteDefaultRecord(parent, IconKey, IconLocation);
    RegCloseKey(parent.key);
}

}  // namespace

void WriteRegistryRecords(HWND) {
    WriteUninstallEntry();
    WriteClassEntry();
    WriteFindExtension();
}
