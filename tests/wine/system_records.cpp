// Shortcuts and registry records as the installer makes them, in states an
// installation cannot easily reach: COM already initialised on the thread,
// a group name no folder can hold, a Start menu so deep that some links do
// not fit, a Windows folder with a blank, a second installation.
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>

#include "engine/code_page.h"
#include "engine/copy_engine.h"
#include "engine/folder_chain.h"
#include "engine/shared_folders.h"
#include "pages/group_page.h"
#include "pages/location_page.h"
#include "system/registry_records.h"
#include "system/shortcuts.h"
#include "tests/wine/windows_units.h"

namespace {

const char ProductKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvik";

// The group folder's entries, "." and ".." included.
int GroupEntries(const char* programs, const char* group) {
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\%s\\*", programs, group);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    int count = find == INVALID_HANDLE_VALUE ? 0 : 1;
    while (count && FindNextFileA(find, &data)) ++count;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return count;
}

// With COM already initialised (CoInitialize then gives S_FALSE) every
// shortcut is still made, each to its file.
void TestShortcutsWithComInitialised() {
    char target[MAX_PATH], link[MAX_PATH];
    int created;
    CreateFolderChain(ProgramPath, SystemLeadByte, &created);
    for (const char* file : {"Quorvik.exe", "Qvreader.exe", "Quorvik.hlp", "Qvnotes.hlp"}) {
        snprintf(target, sizeof target, "%s\\%s", ProgramPath, file);
        CHECK(PlantFile(target, 1, "x"));
    }
    CHECK(CoInitialize(NULL) == S_OK);
    CHECK(CreateShortcuts(NULL) == 1);
    const char* const rows[][2] = {{"Quorvik", "Quorvik.exe"}, {"Read Me", "Qvreader.exe"},
                                   {"Help", "Quorvik.hlp"},    {"Notes", "Qvnotes.hlp"}};
    for (const auto& row : rows) {
        snprintf(link, sizeof link, "%s\\Quorvik\\%s.lnk", ProgramsMenuDir, row[0]);
        snprintf(target, sizeof target, "%s\\%s", ProgramPath, row[1]);
        ExpectShortcut(link, target, ProgramPath, row[0]);
    }
    CHECK_EQ_INT(GroupEntries(ProgramsMenuDir, "Quorvik"), 2 + 5);
    CoUninitialize();
}

// A name that no folder can hold: nothing is made, and that is no failure
// (a missing shortcut is passed over without a word).
void TestGroupNoFolderCanHold() {
    lstrcpyA(GroupName, "Bad|Name");
    CHECK(CreateShortcuts(NULL) == 1);
    CHECK_EQ_INT(GroupEntries(ProgramsMenuDir, "Bad|Name"), 0);
    lstrcpyA(GroupName, "Quorvik");
}

// A Start menu of 240 characters: the group folder, Help.lnk (257) and
// Notes.lnk (258) fit; the other three do not and are skipped, none saved
// under a cut name.
void TestLinkPathsThatDoNotFit() {
    char deep[FolderSize] = "C:";
    for (int n = 2; n < 240;) {
        deep[n++] = '\\';
        for (int i = 0; i < 60 && n < 240; ++i) deep[n++] = 'd';
        deep[n] = '\0';
        CreateDirectoryA(deep, NULL);
    }
    lstrcpyA(ProgramsMenuDir, deep);
    CHECK(CreateShortcuts(NULL) == 1);
    CHECK_EQ_INT(GroupEntries(deep, "Quorvik"), 2 + 2);
    char link[MAX_PATH];
    for (const char* caption : {"Help", "Notes"}) {
        snprintf(link, sizeof link, "%s\\Quorvik\\%s.lnk", deep, caption);
        CHECK(FileExists(link));
    }
}

// A Windows folder with a blank quotes the uninstall commands; a second
// installation into the same folder, which finds its folders made, keeps
// the first one's count; one into another folder counts its own.
void TestRecords() {
    lstrcpyA(WindowsDir, "C:\\windows");
    createdFolderCount = 2;
    WriteRegistryRecords(NULL);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "Created Folders", 2);
    lstrcpyA(WindowsDir, "C:\\My Windows");
    createdFolderCount = 0;
    WriteRegistryRecords(NULL);
    ExpectRegText(HKEY_LOCAL_MACHINE, ProductKey, "UninstallString",
                  "\"C:\\My Windows\\Zelmunin.exe\"");
    ExpectRegText(HKEY_LOCAL_MACHINE, ProductKey, "QuietUninstallString",
                  "\"C:\\My Windows\\Zelmunin.exe\" /S");
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "Created Folders", 2);
    lstrcpyA(ProgramPath, "C:\\Other");
    createdFolderCount = 1;
    WriteRegistryRecords(NULL);
    ExpectRegText(HKEY_LOCAL_MACHINE, ProductKey, "Program Path", "C:\\Other");
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "Created Folders", 1);
}

}  // namespace

void TestSystemRecords(void) {
    lstrcpyA(ProgramPath, "C:\\Tools\\My Apps\\Quorvik");
    lstrcpyA(GroupName, "Quorvik");
    REQUIRE(ComputeSharedFolders() == SharedFoldersReady);
    TestShortcutsWithComInitialised();
    TestGroupNoFolderCanHold();
    TestLinkPathsThatDoNotFit();
    TestRecords();
}
