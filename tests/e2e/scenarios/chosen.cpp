// An installation with the user's own choices, the pages' rules, the
// read-me viewer and the removal.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "installer_steps.h"

namespace {

const char ChosenFolder[] = "C:\\Tools\\My Apps\\Quorvik";
const std::string LongName(45, 'G');  // too long for a group

// Typed, then Continue (or Enter in the edit box): refused with `reason`,
// and the page stays with the text untouched and the focus in the box.
void ExpectRefusal(DrvProcess* p, HWND page, const char* typed, const char* reason, int enter) {
    char expected[256];
    DrvSetText(DrvItem(page, PathEdit), typed);
    if (enter)
        DrvPressKey(page, VK_RETURN);
    else
        DrvClick(page, IDOK);
    snprintf(expected, sizeof expected, "Path invalid!\n\n%s", reason);
    EXPECT_MESSAGE_BOX(p, "Kestrova", expected, MB_ICONWARNING, IDOK);
    DrvPause(200);
    CHECK(IsWindowVisible(page));
    EXPECT_TEXT(DrvItem(page, PathEdit), typed);
    CHECK(DrvFocus(page) == DrvItem(page, PathEdit));
}

// Start menu folders for the list's rules: sorted, no files or dotted
// names, the product's name in other case, a name too long for a group.
void PrepareStartMenu() {
    char programs[MAX_PATH], path[MAX_PATH];
    ProgramsFolder(programs);
    const char* const folders[] = {"Zeta", "alpha", "quorvik", ".dotted", LongName.c_str()};
    for (const char* name : folders) {
        snprintf(path, sizeof path, "%s\\%s", programs, name);
        CHECK(CreateDirectoryA(path, NULL));
    }
    snprintf(path, sizeof path, "%s\\notes.txt", programs);
    CHECK(PlantFile(path, 1, "x"));
}

// Returns the group chosen: the long folder from the list, cut to 40.
void ChooseGroup(DrvProcess* p, HWND page, char* group) {
    HWND field = DrvItem(page, GroupField);
    HWND edit = FindWindowExA(field, NULL, "Edit", NULL);
    char text[300], previous[300] = "";
    REQUIRE(edit);
    EXPECT_TEXT(DrvItem(page, GroupField), "Tools");
    int count = (int)SendMessageA(field, CB_GETCOUNT, 0, 0), named = 0;
    for (int i = 0; i < count; ++i) {
        CHECK(DrvComboText(field, i, text, sizeof text));
        CHECK(lstrcmpiA(previous, text) <= 0 && text[0] != '.' && strcmp(text, "notes.txt"));
        named += !strcmp(text, "alpha") + !strcmp(text, "Zeta");
        strcpy(previous, text);
    }
    CHECK_EQ_INT(named, 2);
    // Reset Group: the product's name in its own case, the list's item in its.
    DrvClick(page, ResetGroupButton);
    DrvPause(300);
    EXPECT_TEXT(edit, "Quorvik");
    int selected = (int)SendMessageA(field, CB_GETCURSEL, 0, 0);
    CHECK(DrvComboText(field, selected, text, sizeof text));
    CHECK_EQ_STR(text, "quorvik");

    DrvSetText(edit, "");
    DrvClick(page, ContinueButton);
    EXPECT_MESSAGE_BOX(p, "Kestrova", "Group may not be empty!", MB_ICONWARNING, IDOK);
    DrvPause(300);
    CHECK(IsWindowVisible(page) && IsWindowEnabled(DrvItem(page, ContinueButton)));
    ExpectStageLit(8);
    DrvSetText(edit, "..\\StartUp");  // beyond the Programs folder
    DrvClick(page, ContinueButton);
    EXPECT_MESSAGE_BOX(p, "Kestrova",
                       "Group invalid!\n\nA group is one or more folder names separated by "
                       "backslashes.",
                       MB_ICONWARNING, IDOK);
    DrvSetText(edit, "");
    // Forty characters typed stay whole, a forty-first is refused; Enter
    // is IDOK, which the page ignores.
    DrvTypeChars(edit, "0123456789012345678901234567890123456789X");
    // The characters are posted: a slow machine may still be taking them.
    DrvWaitFor(2000, "forty characters in the field",
               [&] { return SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) == 40; });
    DrvPressKey(page, VK_RETURN);
    DrvPause(500);
    EXPECT_TEXT(edit, "0123456789012345678901234567890123456789");
    CHECK(IsWindowVisible(page));
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), 4);

    int index = (int)SendMessageA(field, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)LongName.c_str());
    REQUIRE(index >= 0);
    SendMessageA(field, CB_SETCURSEL, index, 0);
    lstrcpynA(group, LongName.c_str(), 41);
}

// Yes to the read-me question starts the viewer (a stand-in that records
// how it was started) from the install folder by its full name: a bare
// command line would start C:\Tools\My.exe.  The closing message waits,
// the backdrop minimised, until the viewer is closed.
void ViewReadMe(const DrvContext* ctx, DrvProcess* p) {
    char standIn[MAX_PATH], viewer[MAX_PATH];
    REQUIRE(ProductFile(ctx, "..\\planted\\ReadmeProbe.exe", standIn, sizeof standIn));
    snprintf(viewer, sizeof viewer, "%s\\Qvreader.exe", ChosenFolder);
    REQUIRE(CopyFileA(standIn, viewer, FALSE));
    EXPECT_MESSAGE_BOX(p, "Kestrova", FinishQuestion, MB_ICONQUESTION, IDYES);
    HWND shown = NULL;
    CHECK(DrvWaitFor(DRV_WAIT, "the read-me viewer",
                     [&] { return (shown = FindWindowA(NULL, "Quorvik 3.02 Read Me")) != NULL; }));
    REQUIRE(shown);
    DrvPause(1000);
    CHECK_EQ_INT(DrvMessageBoxCount(ClosingText), 0);
    HWND backdrop = FindWindowA("Kestrova", "Kestrova");
    CHECK(backdrop && IsIconic(backdrop));
    PostMessageA(shown, WM_CLOSE, 0, 0);
    // Its icon is not checked: without a window manager the restored
    // backdrop can cover the box, and icons are told from the screen.
    DrvMessageBox* box = DrvWaitMessageBox(p);
    REQUIRE(box);
    CHECK_EQ_STR(box->text, ClosingText);
    DrvAnswer(box, IDOK);
    ExpectExit(p, 0);
    GetTempPathA(sizeof viewer, viewer);
    lstrcatA(viewer, "readme-probe.txt");
    CHECK_EQ_STR(FileText(viewer).c_str(),
                 "folder=C:\\Tools\\My Apps\\Quorvik\n"
                 "command=C:\\Tools\\My Apps\\Quorvik\\Qvreader.exe\n");
}

}  // namespace

SCENARIO(install_chosen) {
    char planted[MAX_PATH], group[41], text[300];
    CHECK(CreateDirectoryA("C:\\Tools", NULL));
    REQUIRE(ProductFile(ctx, "Qvreader.exe", planted, sizeof planted));
    CHECK(CopyFileA(planted, "C:\\Tools\\My.exe", FALSE));
    PrepareStartMenu();

    DrvProcess* p = DrvStart(ctx->installer, "/G=Tools /D=C:\\Some Where\\Quorvik");
    HWND page = WalkTo(p, LocationCaption);
    REQUIRE(page);
    EXPECT_TEXT(DrvItem(page, PathEdit), "C:\\Some Where\\Quorvik");
    DrvClick(page, ResetFolderButton);
    CHECK(DrvWaitFor(DRV_WAIT, "the default folder", [&] {
        return DrvItemText(page, PathEdit, text, sizeof text) && !strcmp(text, DefaultFolder);
    }));
    // The page's part of a refusal, by a click and by Enter (the rules are unit-tested).
    ExpectRefusal(p, page, "", "Path may not be empty!", 0);
    ExpectRefusal(p, page, "C:", "Missing : or \\ in drive.", 1);
    // ProgramPath is the default again, so Reset Folder leaves a typed
    // text alone.
    DrvSetText(DrvItem(page, PathEdit), "D:\\Elsewhere");
    DrvClick(page, ResetFolderButton);
    DrvPause(300);
    EXPECT_TEXT(DrvItem(page, PathEdit), "D:\\Elsewhere");
    DrvSetText(DrvItem(page, PathEdit), ChosenFolder);
    DrvClick(page, IDOK);
    REQUIRE(page = WaitForGroupPage(p, DrvWaitWindow(p, InstallingCaption, "#32770")));
    ChooseGroup(p, page, group);
    DrvClick(page, ContinueButton);
    EXPECT_MESSAGE_BOX(p, group, ShortcutsCreated, MB_ICONINFORMATION, IDOK);
    CheckInstalledFiles(ctx, ChosenFolder);
    ViewReadMe(ctx, p);
    ExpectShortcuts(group, ChosenFolder);
    ExpectUninstallEntry(ctx, ChosenFolder, group, 2);

    // Removed by what the group's shortcut starts: the two folders the
    // installer made go, the one that was there stays.
    Uninstall(ctx, IDYES, Removed, MB_ICONINFORMATION, 0);
    ExpectProductGone(ChosenFolder, group);
    CHECK(!FolderExists("C:\\Tools\\My Apps") && FolderExists("C:\\Tools"));
}
