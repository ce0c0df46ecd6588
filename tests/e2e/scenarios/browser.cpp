// The folder list of the location page: what it lists, where each
// double-click leads, how its rows are drawn, and its limits.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "installer_steps.h"

namespace {

enum Kind { Header = 1, Drive = 2, Sub = 4 };

// In folder mode the header comes first, then the drive, then folders.
void ExpectList(HWND list, const std::vector<std::string>& rows, int selected) {
    char text[300];
    CHECK_EQ_INT(DrvListCount(list), rows.size());
    for (int i = 0; i < (int)rows.size() && i < DrvListCount(list); ++i) {
        CHECK(DrvListText(list, i, text, sizeof text));
        CHECK_EQ_STR(text, rows[i].c_str());
        CHECK_EQ_INT(SendMessageA(list, LB_GETITEMDATA, i, 0), i > 1 ? Sub : i ? Drive : Header);
    }
    CHECK_EQ_INT(SendMessageA(list, LB_GETCURSEL, 0, 0), selected);
}

int FindItem(HWND list, const char* wanted) {
    char text[300];
    for (int i = 0; i < DrvListCount(list); ++i)
        if (DrvListText(list, i, text, sizeof text) && strcmp(text, wanted) == 0) return i;
    return -1;
}

void Open(HWND page, int index, const char* expected) {
    char text[300] = "";
    DrvDoubleClickListItem(DrvItem(page, FolderList), index);
    if (!CHECK(DrvWaitFor(DRV_WAIT, expected, [&] {
            return DrvItemText(page, PathEdit, text, sizeof text) && !strcmp(text, expected);
        })))
        Log("  the location is \"%s\"", text);
    DrvPause(200);
}

// The icons the shell gives a closed folder, an open one, the computer and drive C:.
struct Icons {
    HIMAGELIST list;
    int closed, open, computer, drive;
};

Icons ShellIcons() {
    Icons icons = {NULL, -1, -1, -1, -1};
    SHFILEINFOA info;
    const UINT small = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    icons.list = (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof info, small);
    icons.drive = info.iIcon;
    if (SHGetFileInfoA("x", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       small | SHGFI_USEFILEATTRIBUTES))
        icons.closed = info.iIcon;
    if (SHGetFileInfoA("C:\\windows", 0, &info, sizeof info, small | SHGFI_OPENICON))
        icons.open = info.iIcon;
    LPITEMIDLIST computer = NULL;
    if (SUCCEEDED(SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer)) &&
        SHGetFileInfoA((LPCSTR)computer, 0, &info, sizeof info, small | SHGFI_PIDL))
        icons.computer = info.iIcon;
    CoTaskMemFree(computer);
    CHECK(icons.closed != icons.open);
    return icons;
}

// The row's icon at its level's indent (the header's one pixel down).
void ExpectRowIcon(HWND list, int index, int level, int icon) {
    RECT row;
    REQUIRE(DrvListItemRect(list, index, &row));
    int y = row.top + (index == 0 ? 1 : 0);
    CHECK(DrvShowsImage(ShellIcons().list, icon, row.left + level * 8 + 1, y, row.bottom - y,
                        GetSysColor(COLOR_WINDOW)));
}

void MakeFolders() {
    const char* const names[] = {"",       "beta",    "Alpha",
                                 "GAMMA",  ".dotted", "PROGRAM FILES",
                                 "Hidden", "System",  "PROGRAM FILES\\Inner"};
    char path[MAX_PATH];
    for (const char* name : names) {
        snprintf(path, sizeof path, "C:\\Browse\\%s", name);
        CHECK(CreateDirectoryA(path, NULL));
    }
    CHECK(SetFileAttributesA("C:\\Browse\\Hidden", FILE_ATTRIBUTE_HIDDEN) &&
          SetFileAttributesA("C:\\Browse\\System", FILE_ATTRIBUTE_SYSTEM));
    CHECK(PlantFile("C:\\Browse\\a file", 1, "x"));
    CHECK(CreateDirectoryA("C:\\Many", NULL));
    CHECK(CreateDirectoryW((L"\\\\?\\C:\\Many\\" + std::wstring(255, L'l')).c_str(), NULL));
}

}  // namespace

SCENARIO(browser) {
    MakeFolders();
    DrvProcess* p = DrvStart(ctx->installer, NULL);
    HWND page = WalkTo(p, LocationCaption);
    REQUIRE(page);
    HWND list = DrvItem(page, FolderList);
    const Icons icons = ShellIcons();
    char text[300];

    // The default folder does not exist: the header and its chain only.
    const std::vector<std::string> byDefault = {"Folders", "C:\\", "Halvenor", "Quorvik"};
    ExpectList(list, byDefault, 3);
    RECT header, row;
    CHECK(DrvListItemRect(list, 0, &header) && DrvListItemRect(list, 1, &row));
    CHECK_EQ_INT(header.bottom - header.top, 18);
    CHECK(row.bottom - row.top != 18);  // the others keep the list's height

    Open(page, 1, "C:\\");
    int browse = FindItem(list, "Browse");
    REQUIRE(browse > 1);
    Open(page, browse, "C:\\Browse");
    const std::vector<std::string> inBrowse = {"Folders", "C:\\",  "Browse",       "Alpha",
                                               "Beta",    "Gamma", "Program Files"};
    ExpectList(list, inBrowse, 2);
    ExpectRowIcon(list, 0, 0, icons.computer);
    ExpectRowIcon(list, 1, 1, icons.drive);
    ExpectRowIcon(list, 2, 2, icons.open);
    ExpectRowIcon(list, 6, 3, icons.closed);
    // The selected row is highlighted behind its text alone.
    REQUIRE(DrvListItemRect(list, 2, &row));
    const int iconX = row.left + 2 * 8 + 1, middle = (row.top + row.bottom) / 2;
    CHECK_EQ_INT(DrvPixel(iconX + 21, middle), GetSysColor(COLOR_HIGHLIGHT));
    CHECK_EQ_INT(DrvPixel(iconX + 18, middle), GetSysColor(COLOR_WINDOW));
    CHECK_EQ_INT(DrvPixel(row.left, middle), GetSysColor(COLOR_WINDOW));
    CHECK_EQ_INT(DrvPixel(row.right - 2, middle), GetSysColor(COLOR_WINDOW));
    DrvScreenshot("location-folders");

    // Named in capitals on disk, shown and entered as the list writes it;
    // only the current folder is open.
    Open(page, 6, "C:\\Browse\\Program Files");
    ExpectList(list, {"Folders", "C:\\", "Browse", "Program Files", "Inner"}, 3);
    ExpectRowIcon(list, 2, 2, icons.closed);
    ExpectRowIcon(list, 4, 4, icons.closed);
    // The current folder's own entry changes nothing; up the chain.
    DrvDoubleClickListItem(list, 3);
    DrvPause(500);
    CHECK_EQ_INT(DrvListCount(list), 5);
    Open(page, 2, "C:\\Browse");
    ExpectList(list, inBrowse, 2);

    // The header: drive mode with the folder's drive selected, then again
    // folder mode at that drive's root; another drive opens at its root.
    Open(page, 0, "C:\\");
    CHECK_EQ_INT(FindItem(list, "Drives"), 0);
    int zDrive = FindItem(list, "Z:\\");
    CHECK(DrvListText(list, (int)SendMessageA(list, LB_GETCURSEL, 0, 0), text, sizeof text));
    CHECK_EQ_STR(text, "C:\\");
    CHECK_EQ_INT(SendMessageA(list, LB_GETITEMDATA, zDrive, 0), Drive);
    ExpectRowIcon(list, 0, 0, icons.computer);
    DrvScreenshot("location-drives");
    Open(page, 0, "C:\\");
    CHECK_EQ_INT(FindItem(list, "Folders"), 0);
    Open(page, 0, "C:\\");
    REQUIRE(zDrive > 0);
    Open(page, zDrive, "Z:\\");
    DrvClick(page, ResetFolderButton);
    DrvPause(300);
    ExpectList(list, byDefault, 3);

    // Header, root, Many and the long name, drawn whole; "C:\Many\" and
    // 255 characters do not fit ProgramPath: refused, nothing cut.
    Open(page, 1, "C:\\");
    Open(page, FindItem(list, "Many"), "C:\\Many");
    ExpectList(list, {"Folders", "C:\\", "Many", "L" + std::string(254, 'l')}, 2);
    ExpectRowIcon(list, 3, 3, icons.closed);
    DrvDoubleClickListItem(list, 3);
    DrvPause(500);
    EXPECT_TEXT(DrvItem(page, PathEdit), "C:\\Many");
    CHECK_EQ_INT(DrvListCount(list), 4);
    Open(page, 1, "C:\\");
    DrvClick(page, IDCANCEL);
    ExpectAbortAndExit(p);
}
