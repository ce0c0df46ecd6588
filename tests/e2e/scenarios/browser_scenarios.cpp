// The folder list of the location page: what it lists, where each
// double-click leads, and how its rows are drawn.
#include "walkthrough.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

namespace {

const int PathEdit = 300;
const int FolderList = 301;
const int ResetButton = 302;

enum Kind { HeaderKind = 1, DriveKind = 2, FolderKind = 4 };

struct Row {
    const char* text;
    int kind;
};

void MakeFolder(const char* path, DWORD attributes) {
    CHECK(CreateDirectoryA(path, NULL));
    if (!attributes) return;
    CHECK(SetFileAttributesA(path, attributes));
    // Wine keeps these attributes in extended attributes, which not every
    // file system under a prefix holds (the virtual machine's does not):
    // there the folder could not be told from any other, so it goes.
    if ((GetFileAttributesA(path) & attributes) != attributes) {
        DrvLog("%s: this file system keeps no hidden or system attribute", path);
        CHECK(RemoveDirectoryA(path));
    }
}

// Waits until ProgramPath, as the edit box shows it, is `expected`.
int WaitLocation(HWND page, const char* expected) {
    char text[300] = "";
    DWORD start = GetTickCount();
    while (GetTickCount() - start < DrvBound(DRV_WAIT)) {
        if (DrvGetItemText(page, PathEdit, text, sizeof text) && strcmp(text, expected) == 0)
            return 1;
        DrvPause(50);
    }
    return CHECK_EQ_STR(text, expected);
}

// The whole list, item by item, and which item is selected.
void ExpectList(HWND list, const Row* rows, int count, int selected) {
    CHECK_EQ_INT(DrvListCount(list), count);
    for (int i = 0; i < count && i < DrvListCount(list); ++i) {
        char text[300];
        CHECK(DrvListText(list, i, text, sizeof text));
        CHECK_EQ_STR(text, rows[i].text);
        CHECK_EQ_INT(DrvListData(list, i), rows[i].kind);
    }
    CHECK_EQ_INT(DrvListSelection(list), selected);
}

// The index of the item with that text, or -1.
int FindItem(HWND list, const char* wanted) {
    char text[300];
    for (int i = 0; i < DrvListCount(list); ++i)
        if (DrvListText(list, i, text, sizeof text) && strcmp(text, wanted) == 0) return i;
    return -1;
}

// Double-clicks an item and waits for the location it leads to.
void Open(HWND page, int index, const char* expected) {
    DrvDoubleClickListItem(DrvControl(page, FolderList), index);
    WaitLocation(page, expected);
    DrvPause(200);
}

HIMAGELIST SystemIcons(const char* path, int* icon) {
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    HIMAGELIST images = (HIMAGELIST)SHGetFileInfoA(path, 0, &info, sizeof info,
                                                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    if (icon) *icon = info.iIcon;
    return images;
}

// The icons the shell names for a folder, an open folder and the computer.
struct ShellIcons {
    int closedFolder, openFolder, computer;
};
ShellIcons AskShellIcons() {
    ShellIcons icons = {-1, -1, -1};
    SHFILEINFOA info;
    const UINT byAttributes = SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
    if (SHGetFileInfoA("x", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, byAttributes))
        icons.closedFolder = info.iIcon;
    if (SHGetFileInfoA("C:\\windows", 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON))
        icons.openFolder = info.iIcon;
    LPITEMIDLIST computer = NULL;
    if (SUCCEEDED(SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer)) &&
        SHGetFileInfoA((LPCSTR)computer, 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        icons.computer = info.iIcon;
    CoTaskMemFree(computer);
    CHECK(icons.closedFolder != icons.openFolder);
    return icons;
}

// The row's icon at its level's indent (the header's one pixel down).
void CheckRowIcon(HWND list, int index, int level, int icon) {
    RECT row;
    REQUIRE(DrvListItemRect(list, index, &row));
    int x = row.left + level * 8 + 1;
    int y = row.top + (index == 0 ? 1 : 0);
    HIMAGELIST images = SystemIcons("C:\\", NULL);
    if (!DrvScreenShowsImage(images, icon, x, y, row.bottom - y, GetSysColor(COLOR_WINDOW)))
        CHECK(!"row icon as drawn at its level");
}

// A selected row is highlighted behind its text alone: not behind the
// indent or the icon, nor right of the text.
void CheckHighlightBehindTextOnly(HWND list, int index, int level) {
    RECT row;
    REQUIRE(DrvListItemRect(list, index, &row));
    int iconX = row.left + level * 8 + 1;
    int middle = (row.top + row.bottom) / 2;
    CHECK_EQ_INT(DrvScreenPixel(iconX + 21, middle), GetSysColor(COLOR_HIGHLIGHT));
    CHECK_EQ_INT(DrvScreenPixel(iconX + 18, middle), GetSysColor(COLOR_WINDOW));
    CHECK_EQ_INT(DrvScreenPixel(row.left, middle), GetSysColor(COLOR_WINDOW));
    CHECK_EQ_INT(DrvScreenPixel(row.right - 2, middle), GetSysColor(COLOR_WINDOW));
}

}  // namespace

// A walk through the list with the mouse alone: into folders, up the chain,
// to the drives and back, and Reset Folder at the end.
SCENARIO(browser_walk) {
    MakeFolder("C:\\Browse", 0);
    MakeFolder("C:\\Browse\\beta", 0);
    MakeFolder("C:\\Browse\\Alpha", 0);
    MakeFolder("C:\\Browse\\GAMMA", 0);
    MakeFolder("C:\\Browse\\PROGRAM FILES", 0);
    MakeFolder("C:\\Browse\\PROGRAM FILES\\Inner", 0);
    MakeFolder("C:\\Browse\\.dotted", 0);
    MakeFolder("C:\\Browse\\Hidden", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder("C:\\Browse\\System", FILE_ATTRIBUTE_SYSTEM);
    CloseHandle(CreateFileA("C:\\Browse\\a file", GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));

    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToLocation(p);
    REQUIRE(page);
    HWND list = DrvControl(page, FolderList);

    // The default folder does not exist: the header and its chain only.
    const Row byDefault[] = {{"Folders", HeaderKind},
                             {"C:\\", DriveKind},
                             {"Halvenor", FolderKind},
                             {"Quorvik", FolderKind}};
    ExpectList(list, byDefault, 4, 3);
    RECT header, row;
    CHECK(DrvListItemRect(list, 0, &header) && DrvListItemRect(list, 1, &row));
    CHECK_EQ_INT(header.bottom - header.top, 18);
    CHECK(row.bottom - row.top != 18);  // the others keep the list's height

    // The drive root at level 1, its subfolders at level 2.
    Open(page, 1, "C:\\");
    CHECK_EQ_INT(DrvListSelection(list), 1);
    int browse = FindItem(list, "Browse");
    REQUIRE(browse > 1);
    char text[300];

    Open(page, browse, "C:\\Browse");
    const Row inBrowse[] = {{"Folders", HeaderKind},      {"C:\\", DriveKind},
                            {"Browse", FolderKind},       {"Alpha", FolderKind},
                            {"Beta", FolderKind},         {"Gamma", FolderKind},
                            {"Program Files", FolderKind}};
    ExpectList(list, inBrowse, 7, 2);
    int driveIcon = 0;
    SystemIcons("C:\\", &driveIcon);
    ShellIcons icons = AskShellIcons();
    CheckRowIcon(list, 0, 0, icons.computer);
    CheckRowIcon(list, 1, 1, driveIcon);
    CheckRowIcon(list, 2, 2, icons.openFolder);
    CheckRowIcon(list, 3, 3, icons.closedFolder);
    CheckRowIcon(list, 6, 3, icons.closedFolder);
    CheckHighlightBehindTextOnly(list, 2, 2);
    DrvScreenshot("location-folders");

    // Into a folder named in capitals on disk, shown and entered as typed
    // by the list.
    Open(page, 6, "C:\\Browse\\Program Files");
    const Row inProgramFiles[] = {{"Folders", HeaderKind},
                                  {"C:\\", DriveKind},
                                  {"Browse", FolderKind},
                                  {"Program Files", FolderKind},
                                  {"Inner", FolderKind}};
    ExpectList(list, inProgramFiles, 5, 3);
    CheckRowIcon(list, 2, 2, icons.closedFolder);  // only the current one is open
    CheckRowIcon(list, 4, 4, icons.closedFolder);

    // The current folder's own entry changes nothing.
    DrvDoubleClickListItem(list, 3);
    DrvPause(500);
    CHECK(DrvGetItemText(page, PathEdit, text, sizeof text));
    CHECK_EQ_STR(text, "C:\\Browse\\Program Files");
    CHECK_EQ_INT(DrvListCount(list), 5);

    // Up the chain, then down again for the header.
    Open(page, 2, "C:\\Browse");
    ExpectList(list, inBrowse, 7, 2);
    Open(page, 6, "C:\\Browse\\Program Files");

    // The header: drive mode, with the folder's drive selected ...
    Open(page, 0, "C:\\");
    CHECK(DrvListText(list, 0, text, sizeof text));
    CHECK_EQ_STR(text, "Drives");
    int count = DrvListCount(list);
    int zDrive = -1;
    for (int i = 1; i < count; ++i) {
        CHECK(DrvListText(list, i, text, sizeof text));
        CHECK_EQ_INT(DrvListData(list, i), DriveKind);
        if (strcmp(text, "Z:\\") == 0) zDrive = i;
    }
    CHECK(DrvListText(list, DrvListSelection(list), text, sizeof text));
    CHECK_EQ_STR(text, "C:\\");
    CheckRowIcon(list, 0, 0, icons.computer);
    CheckRowIcon(list, DrvListSelection(list), 1, driveIcon);
    DrvScreenshot("location-drives");
    // ... and again: folder mode at that drive's root.
    Open(page, 0, "C:\\");
    CHECK(DrvListText(list, 0, text, sizeof text));
    CHECK_EQ_STR(text, "Folders");
    CHECK_EQ_INT(DrvListSelection(list), 1);

    // Another drive, chosen in drive mode, opens at its root.
    Open(page, 0, "C:\\");
    REQUIRE(zDrive > 0);
    Open(page, zDrive, "Z:\\");
    CHECK(DrvListText(list, 1, text, sizeof text));
    CHECK_EQ_STR(text, "Z:\\");

    // Reset Folder brings the default back to the edit box and the list.
    DrvClick(page, ResetButton);
    WaitLocation(page, DefaultFolder);
    DrvPause(200);
    ExpectList(list, byDefault, 4, 3);

    DrvClick(page, IDCANCEL);
    ExpectAbortAndExit(p);
}

// More subfolders than the indent table has rows, a folder name of 255
// characters, and a step that would not fit ProgramPath.
SCENARIO(browser_limits) {
    MakeFolder("C:\\Many", 0);
    char path[MAX_PATH];
    for (int i = 0; i < 520; ++i) {
        wsprintfA(path, "C:\\Many\\F%03d", i);
        MakeFolder(path, 0);
    }
    WCHAR wide[300] = L"\\\\?\\C:\\Many\\";
    int at = lstrlenW(wide);
    for (int i = 0; i < 255; ++i) wide[at + i] = L'l';
    wide[at + 255] = 0;
    CHECK(CreateDirectoryW(wide, NULL));
    char longName[256];
    memset(longName, 'l', 255);
    longName[255] = '\0';
    longName[0] = 'L';  // as the list shows it

    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToLocation(p);
    REQUIRE(page);
    HWND list = DrvControl(page, FolderList);
    Open(page, 1, "C:\\");
    int many = FindItem(list, "Many");
    REQUIRE(many > 1);
    char text[300];
    Open(page, many, "C:\\Many");

    // Header, root, Many, 520 numbered folders, then the long name.
    const int count = 3 + 520 + 1;
    CHECK_EQ_INT(DrvListCount(list), count);
    CHECK(DrvListText(list, count - 2, text, sizeof text));
    CHECK_EQ_STR(text, "F519");
    CHECK(DrvListText(list, count - 1, text, sizeof text));
    CHECK_EQ_STR(text, longName);

    // Rows past the indent table's 500 are drawn at the subfolders' level.
    SendMessageA(list, LB_SETTOPINDEX, count - 1, 0);
    DrvPause(300);
    ShellIcons icons = AskShellIcons();
    CheckRowIcon(list, count - 2, 3, icons.closedFolder);
    CheckRowIcon(list, count - 1, 3, icons.closedFolder);
    DrvScreenshot("location-beyond-500");

    // C:\Many\ and 255 characters do not fit: the step is refused and
    // nothing changes, nothing is cut.
    DrvDoubleClickListItem(list, count - 1);
    DrvPause(500);
    CHECK(DrvGetItemText(page, PathEdit, text, sizeof text));
    CHECK_EQ_STR(text, "C:\\Many");
    CHECK_EQ_INT(DrvListCount(list), count);
    CHECK(DrvIsVisible(page));

    // Still usable afterwards: up to the root.
    Open(page, 1, "C:\\");
    DrvClick(page, IDCANCEL);
    ExpectAbortAndExit(p);
}

// Every GDI object a paint makes is released in it.  A process has room
// for 65,536 of them under Wine, so a paint that kept even one would run
// out within these repaints, and the backdrop or the list would come out
// wrong.  Wine's GetGuiResources always says 0, so this is the proof.
SCENARIO(repaint_endurance) {
    const int BackdropPaints = 66000;
    const int ListPaints = 20000;  // four rows drawn in each
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToLocation(p);
    REQUIRE(page);
    HWND backdrop = DrvWaitWindow(p, "Kestrova", "Kestrova", DRV_WAIT);
    REQUIRE(backdrop);
    HWND list = DrvControl(page, FolderList);
    DrvScreenshot("before");  // waits for the screen to settle

    int width, height;
    DrvScreenSize(&width, &height);
    static DWORD before[640 * 480], after[640 * 480];
    REQUIRE(width * height <= 640 * 480);
    CHECK(DrvCaptureScreen(0, 0, width, height, before));
    DWORD start = GetTickCount();
    // A paint makes all its objects whatever it has to cover, so each is
    // asked for directly, with nothing to cover, and done when the send
    // returns.
    for (int i = 0; i < BackdropPaints; ++i) SendMessageA(backdrop, WM_PAINT, 0, 0);
    for (int i = 0; i < ListPaints; ++i) SendMessageA(list, WM_PAINT, 0, 0);
    DrvLog("%d paints of the backdrop and %d of the list in %lu ms", BackdropPaints, ListPaints,
           GetTickCount() - start);
    // Still painting afterwards.  Minimised and restored, as around the
    // read-me viewer, the backdrop must paint itself anew ...
    ShowWindow(backdrop, SW_MINIMIZE);
    ShowWindow(backdrop, SW_RESTORE);
    DrvScreenshot("after");
    CHECK(DrvCaptureScreen(0, 0, width, height, after));
    RECT pageRect;
    CHECK(DrvWindowRect(page, &pageRect));
    int differ = 0;
    for (int i = 0; i < width * height; ++i) {
        int x = i % width, y = i / width;
        int onPage = x >= pageRect.left && y >= pageRect.top && y < pageRect.bottom;
        if (!onPage && before[i] != after[i] && differ++ == 0)
            DrvLog("first difference at (%d, %d): %06lX, was %06lX", x, y, after[i], before[i]);
    }
    CHECK_EQ_INT(differ, 0);
    // ... and the list draws a new listing.
    Open(page, 1, "C:\\");
    CheckHighlightBehindTextOnly(list, 1, 1);
    CheckRowIcon(list, 3, 2, AskShellIcons().closedFolder);

    DrvClick(page, IDCANCEL);
    ExpectAbortAndExit(p);
}
