// The program group page, the shortcuts it has made and the registry
// records of the finish sequence, read back through the system.
#include "installed_records.h"
#include "walkthrough.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

namespace {

const int GroupField = 500;
const int ResetGroup = 501;
const int Continue = 2000;

void MakeFolder(const char* parent, const char* name) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", parent, name);
    CHECK(CreateDirectoryA(path, NULL));
}

HWND FieldEdit(HWND page) {
    return FindWindowExA(DrvControl(page, GroupField), NULL, "Edit", NULL);
}

}  // namespace

// The whole installation with its default answers: the group page lists
// the Start menu's folders, the shortcuts and records are read back.
SCENARIO(install_whole) {
    char programs[MAX_PATH];
    ProgramsFolder(programs);
    MakeFolder(programs, "Zeta");
    MakeFolder(programs, "alpha");
    MakeFolder(programs, "quorvik");  // the product's name in other letter case
    MakeFolder(programs, ".dotted");
    char file[MAX_PATH];
    snprintf(file, sizeof file, "%s\\notes.txt", programs);
    CloseHandle(CreateFileA(file, GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));

    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND installing = WalkToInstalling(p, NULL);
    REQUIRE(installing);
    HWND page = WaitForGroupPage(p, installing);
    REQUIRE(page);
    HWND field = DrvControl(page, GroupField);
    char text[300], previous[300] = "";
    int count = DrvComboCount(field), selected = DrvComboSelection(field);
    int alpha = 0, zeta = 0;
    for (int i = 0; i < count; ++i) {
        CHECK(DrvComboText(field, i, text, sizeof text));
        CHECK(lstrcmpiA(previous, text) <= 0);  // sorted
        CHECK(text[0] != '.' && strcmp(text, "notes.txt") != 0);
        alpha += strcmp(text, "alpha") == 0;
        zeta += strcmp(text, "Zeta") == 0;
        strcpy(previous, text);
    }
    CHECK(alpha == 1 && zeta == 1);
    CHECK(selected >= 0 && DrvComboText(field, selected, text, sizeof text));
    CHECK_EQ_STR(text, "quorvik");
    CHECK(DrvGetItemText(page, GroupField, text, sizeof text));
    CHECK_EQ_STR(text, "Quorvik");
    DrvScreenshot("5-group");

    FinishWithGroup(p, page, "Quorvik");
    CHECK_EQ_INT(DrvMessageBoxCount(), 3);

    // The existing folder is used, in its own letter case on disk.
    ExpectShortcuts("quorvik", DefaultFolder);
    ExpectUninstallRecord(DefaultFolder, "Quorvik");
    ExpectClassRecord();
    // A fresh system has no find-extension parent key: that group is
    // passed over, never made.
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, FindExtensionsKey));
}

// The group page's rules: an empty name, Reset Group, the 40-character
// limit, Enter, and a listed folder with a longer name, cut.
SCENARIO(group_page_rules) {
    char programs[MAX_PATH];
    ProgramsFolder(programs);
    char longName[64];
    memset(longName, 'G', 45);
    longName[45] = '\0';
    MakeFolder(programs, longName);

    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WaitForGroupPage(p, WalkToInstalling(p, NULL));
    REQUIRE(page);
    HWND edit = FieldEdit(page);
    REQUIRE(edit);

    DrvSetText(edit, "");
    DrvClick(page, Continue);
    EXPECT_MESSAGE_BOX(p, "Kestrova", "Group may not be empty!", MB_ICONWARNING, IDOK);
    DrvPause(300);
    CHECK(DrvIsVisible(page) && DrvIsEnabled(DrvControl(page, Continue)));

    DrvSetText(edit, "Something Else");
    DrvClick(page, ResetGroup);
    DrvPause(300);
    char text[300];
    CHECK(DrvGetText(edit, text, sizeof text));
    CHECK_EQ_STR(text, "Quorvik");

    // Forty characters typed stay whole; a forty-first is refused.
    DrvSetText(edit, "");
    DrvTypeChars(edit, "0123456789012345678901234567890123456789X");
    DrvPause(500);
    CHECK(DrvGetText(edit, text, sizeof text));
    CHECK_EQ_STR(text, "0123456789012345678901234567890123456789");

    // Enter is IDOK, which the page ignores.
    DrvPressKey(page, VK_RETURN);
    DrvPause(500);
    CHECK(DrvIsVisible(page));
    CHECK_EQ_INT(DrvMessageBoxCount(), 1);

    // The long folder chosen from the list is taken cut to 40 characters.
    HWND field = DrvControl(page, GroupField);
    int index = (int)SendMessageA(field, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)longName);
    REQUIRE(index >= 0);
    SendMessageA(field, CB_SETCURSEL, index, 0);
    char cut[41];
    memcpy(cut, longName, 40);
    cut[40] = '\0';
    FinishWithGroup(p, page, cut);
    ExpectShortcuts(cut, DefaultFolder);
    ExpectUninstallRecord(DefaultFolder, cut);
}

SCENARIO(group_page_escape) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WaitForGroupPage(p, WalkToInstalling(p, NULL));
    REQUIRE(page);
    DrvPressKey(page, VK_ESCAPE);
    ExpectAbortAndExit(p);
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
}

// The records are best effort, group by group: without the uninstall parent
// the other two groups are still written, and with the find-extension
// parent made beforehand that group is written too.  A group name that no
// folder can have is still reported as created.  A second installation
// then leaves the records naming its folder and group.
SCENARIO(records_best_effort) {
    CHECK(RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallKey) == ERROR_SUCCESS);
    HKEY made;
    CHECK(RegCreateKeyExA(HKEY_LOCAL_MACHINE, FindExtensionsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                          &made, NULL) == ERROR_SUCCESS);
    RegCloseKey(made);

    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WaitForGroupPage(p, WalkToInstalling(p, NULL));
    REQUIRE(page);
    DrvSetItemText(page, GroupField, "Bad|Name");
    FinishWithGroup(p, page, "Bad|Name");
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    ExpectClassRecord();
    ExpectFindExtensionRecord();

    // Again, with the uninstall parent back, into another folder and group.
    CHECK(RegCreateKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &made,
                          NULL) == ERROR_SUCCESS);
    RegCloseKey(made);
    p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    page = WaitForGroupPage(p, WalkToInstalling(p, "C:\\Second"));
    REQUIRE(page);
    DrvSetItemText(page, GroupField, "Second Group");
    FinishWithGroup(p, page, "Second Group");
    ExpectUninstallRecord("C:\\Second", "Second Group");
    ExpectShortcuts("Second Group", "C:\\Second");
}

namespace {

void RemoveTree(const char* folder) {
    char from[MAX_PATH + 1];
    snprintf(from, sizeof from - 1, "%s", folder);
    from[strlen(from) + 1] = '\0';  // a list of one, ended by two terminators
    SHFILEOPSTRUCTA remove;
    ZeroMemory(&remove, sizeof remove);
    remove.wFunc = FO_DELETE;
    remove.pFrom = from;
    remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    CHECK(SHFileOperationA(&remove) == 0);
}

}  // namespace

// Without any Programs folder the group page is never shown: its message,
// then the abort message.
SCENARIO(group_no_start_menu) {
    char folder[MAX_PATH];
    const int Folders[] = {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS};
    for (int csidl : Folders)
        if (SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, folder) == S_OK)
            RemoveTree(folder);
    CHECK(SHGetFolderPathA(NULL, CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, folder) != S_OK);

    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND installing = WalkToInstalling(p, NULL);
    REQUIRE(installing);
    CHECK(DrvWaitWindowGone(installing, 60000));
    DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
    REQUIRE(box);
    CHECK_EQ_STR(box->text, "Unable to locate the Start Menu!");
    CHECK_EQ_INT(box->icon, MB_ICONERROR);
    HWND page = FindWindowA("#32770", GroupCaption);
    CHECK(page != NULL && !IsWindowVisible(page));  // made, never shown
    DrvAnswerMessageBox(box, IDOK);
    ExpectAbortAndExit(p);
    CHECK_EQ_INT(DrvMessageBoxCount(), 2);
}
