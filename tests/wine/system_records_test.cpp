// Shortcuts and registry records as the installer makes them, with the
// shared folders set the way an installation cannot easily set them: COM
// already initialised on the thread, a Windows folder with a blank, a
// Start menu so deep that no link path fits.  Every run gets a throwaway
// copy of the prefix (scripts/wine-scenario.sh).
#include <windows.h>

#include <shlobj.h>
#include <string.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/paths.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "pages/location_page.h"
#include "engine/payload_table.h"
#include "system/record_contents.h"
#include "system/registry_records.h"
#include "system/shortcuts.h"
#include "tests/wine/wine_test.h"

char ProgramPath[ProgramPathSize] = "C:\\Tools\\My Apps\\Quorvik";
char GroupName[GroupNameSize] = "Quorvik";
int createdFolderCount;

namespace {

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvik";

void MakeFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ok(file != INVALID_HANDLE_VALUE, "cannot make %s\n", path);
    CloseHandle(file);
}

// Loads a saved link and checks its three settings.
void CheckLink(const char* linkFile, const char* target, const char* folder,
               const char* description) {
    IShellLinkA* link;
    IPersistFile* file;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkFile, -1, wide, MAX_PATH);
    if (!ok(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&link))),
            "no shell link\n"))
        return;
    if (!ok(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))),
            "no IPersistFile\n")) {
        link->Release();
        return;
    }
    if (ok(SUCCEEDED(file->Load(wide, STGM_READ)), "cannot load %s\n", linkFile)) {
        char text[MAX_PATH];
        link->GetPath(text, sizeof text, NULL, SLGP_RAWPATH);
        ok(lstrcmpA(text, target) == 0, "%s: target %s, not %s\n", linkFile, text, target);
        link->GetWorkingDirectory(text, sizeof text);
        ok(lstrcmpA(text, folder) == 0, "%s: folder %s, not %s\n", linkFile, text, folder);
        link->GetDescription(text, sizeof text);
        ok(lstrcmpA(text, description) == 0, "%s: description %s\n", linkFile, text);
    }
    file->Release();
    link->Release();
}

// With COM already initialised (CoInitialize then gives S_FALSE) the rows
// are still made, and COM is still usable after.
void TestShortcutsWithComInitialised() {
    const struct {
        const char* caption;
        const char* folder;
        const char* file;
    } shortcuts[] = {
        {"Uninstall", WindowsDir, "Zelmunin.exe"}, {"Quorvik", ProgramPath, "Quorvik.exe"},
        {"Read Me", ProgramPath, "Qvreader.exe"},  {"Help", ProgramPath, "Quorvik.hlp"},
        {"Notes", ProgramPath, "Qvnotes.hlp"},
    };
    int created;
    CreateFolderChain(ProgramPath, SystemLeadByte, &created);
    char target[MAX_PATH];
    for (const auto& s : shortcuts) {
        JoinPath(target, sizeof target, s.folder, s.file, SystemLeadByte);
        MakeFile(target);
    }
    ok(CoInitialize(NULL) == S_OK, "COM not initialised for the test\n");
    ok(CreateShortcuts(NULL) == 1, "shortcuts refused with COM initialised\n");
    for (const auto& s : shortcuts) {
        char linkFile[MAX_PATH];
        JoinPath(target, sizeof target, s.folder, s.file, SystemLeadByte);
        LinkName(linkFile, sizeof linkFile, ProgramsMenuDir, GroupName, s.caption, SystemLeadByte);
        CheckLink(linkFile, target, s.folder, s.caption);
    }
    CoUninitialize();
}

// A Start menu of 240 characters: the group folder and Help.lnk (257) and
// Notes.lnk (258) fit, the other three links do not and are skipped, none
// saved under a cut name; the result is still 1.
void TestLinkPathsThatDoNotFit() {
    char deep[FolderSize] = "C:";
    for (int n = lstrlenA(deep); n < 240; n = lstrlenA(deep)) {
        deep[n++] = '\\';
        for (int i = 0; i < 60 && n < 240; ++i) deep[n++] = 'd';
        deep[n] = '\0';
        CreateDirectoryA(deep, NULL);
    }
    lstrcpyA(ProgramsMenuDir, deep);
    ok(CreateShortcuts(NULL) == 1, "shortcuts refused\n");
    char path[MAX_PATH];
    JoinPath(path, sizeof path, deep, "Quorvik\\*", SystemLeadByte);
    WIN32_FIND_DATAA data;
    int entries = 0;
    HANDLE find = FindFirstFileA(path, &data);
    if (ok(find != INVALID_HANDLE_VALUE, "no group folder in %s\n", deep)) {
        do ++entries;
        while (FindNextFileA(find, &data));
        FindClose(find);
    }
    ok(entries == 4, "%d entries in the group folder, not . .. Help.lnk Notes.lnk\n", entries);
    static const char* const Fitting[] = {"Help", "Notes"};
    for (const char* caption : Fitting) {
        LinkName(path, sizeof path, deep, GroupName, caption, SystemLeadByte);
        ok(GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES, "%s missing\n", path);
    }
}

void CheckText(HKEY root, const char* key, const char* name, const char* want) {
    HKEY handle;
    if (!ok(RegOpenKeyExA(root, key, 0, KEY_READ, &handle) == ERROR_SUCCESS, "no key %s\n", key))
        return;
    char data[MAX_PATH];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(handle, name, NULL, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    ok(rc == ERROR_SUCCESS && type == REG_SZ && size == strlen(want) + 1 &&
           memcmp(data, want, size) == 0,
       "%s \"%s\": rc %ld, type %lu, %lu bytes, not \"%s\"\n", key, name, rc, type, size, want);
}

void CheckNumber(const char* name, DWORD want) {
    DWORD data = 0, size = sizeof data, type = 0;
    LONG rc = RegGetValueA(HKEY_LOCAL_MACHINE, UninstallKey, name, RRF_RT_ANY, &type, &data, &size);
    ok(rc == ERROR_SUCCESS && type == REG_DWORD && data == want,
       "\"%s\": rc %ld, type %lu, %lu, not %lu\n", name, rc, type, data, want);
}

// What the scenarios cannot set up: a Windows folder with a blank (a
// quoted uninstall command), a second installation over the folders the
// first made, then one into another folder.  The records themselves are
// read back by the installation scenarios.
void TestRecords() {
    lstrcpyA(WindowsDir, "C:\\windows");
    createdFolderCount = 2;
    WriteRegistryRecords(NULL);
    lstrcpyA(WindowsDir, "C:\\My Windows");
    createdFolderCount = 0;
    WriteRegistryRecords(NULL);
    CheckText(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString",
              "\"C:\\My Windows\\Zelmunin.exe\"");
    CheckText(HKEY_LOCAL_MACHINE, UninstallKey, "QuietUninstallString",
              "\"C:\\My Windows\\Zelmunin.exe\" /S");
    CheckText(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayIcon",
              "C:\\Tools\\My Apps\\Quorvik\\Quorvik.exe");
    CheckText(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayVersion", "3.02");
    CheckText(HKEY_LOCAL_MACHINE, UninstallKey, "Publisher", "Halvenor");
    CheckText(HKEY_LOCAL_MACHINE, UninstallKey, "InstallLocation", "C:\\Tools\\My Apps\\Quorvik");
    CheckNumber("EstimatedSize", EstimatedSizeKb(PayloadTable, installCount));
    CheckNumber("NoModify", 1);
    CheckNumber("NoRepair", 1);
    CheckNumber("Created Folders", 2);
    // Another folder: what the first run made is no longer the product's.
    lstrcpyA(ProgramPath, "C:\\Other");
    createdFolderCount = 1;
    WriteRegistryRecords(NULL);
    CheckNumber("Created Folders", 1);
}

}  // namespace

int main() {
    ok(ComputeSharedFolders() == SharedFoldersReady, "no shared folders\n");
    TestShortcutsWithComInitialised();
    TestLinkPathsThatDoNotFit();
    TestRecords();
    return Summary("system_records");
}
