#include "pages/folder_browser.h"

#include <shellapi.h>

#include "engine/code_page.h"
#include "engine/paths.h"
#include "pages/browser_layout.h"
#include "pages/location_page.h"
#include "pages/shell_icons.h"
#include "shell/backdrop_style.h"
#include "shell/system_libraries.h"

int BrowserDriveMode;

namespace {

// The list's current folder in folder mode (the chain's last entry), or the
// selected drive in drive mode.
int CurrentIndex;
int IndentTable[IndentTableSize];

enum ItemKind {
    HeaderItem = 1,
    DriveItem = 2,
    FolderItem = 4,
};

const int HeaderHeight = 18;
const int NoIcon = -1;

// The header's, a folder's and the current folder's icons in the system
// image list, asked of the shell at every fill; the classic fixed places
// are the fallback.
struct BrowserIcons {
    int computer;
    int closedFolder;
    int openFolder;
};
BrowserIcons Icons = {15, 3, 4};

// Room for every root GetLogicalDriveStringsA can report: 26 of "X:\",
// each with its terminator, and the closing terminator.
const DWORD DriveStringsSize = 105;

// Any item's text: a folder name (at most 255 characters, or 259 bytes as
// the system reports them) or a component of ProgramPath.
const int ItemTextSize = ProgramPathSize;

HWND List(HWND page) { return GetDlgItem(page, FolderListId); }

int AddItem(HWND list, const char* text, ItemKind kind) {
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) SendMessageA(list, LB_SETITEMDATA, index, kind);
    return static_cast<int>(index);
}

int InsertItem(HWND list, int index, const char* text, ItemKind kind) {
    LRESULT at = SendMessageA(list, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text));
    if (at >= 0) SendMessageA(list, LB_SETITEMDATA, at, kind);
    return static_cast<int>(at);
}

void InsertHeader(HWND list, const char* text) {
    if (InsertItem(list, 0, text, HeaderItem) == 0)
        SendMessageA(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(HeaderHeight, 0));
}

void FinishFill(HWND list) {
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
}

int ListableFolder(const WIN32_FIND_DATAA& found) {
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(found.dwFileAttributes & hidden) && found.cFileName[0] != '.';
}

// A folder whose search pattern does not fit is shown without subfolders,
// like one that cannot be read.
void AddSubfolders(HWND list, const char* path) {
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, path, "*.*", SystemLeadByte)) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!ListableFolder(found)) continue;
        NormaliseNameCase(found.cFileName, SystemLeadByte);
        AddItem(list, found.cFileName, FolderItem);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The root, then one entry per component; returns the last entry's index.
int InsertChain(HWND list, const char* path) {
    char component[ItemTextSize];
    lstrcpynA(component, path, 4);  // the drive root, whatever follows
    int last = InsertItem(list, 1, component, DriveItem);
    size_t position = 3;
    int next = 2;
    while (NextChainComponent(path, &position, component, sizeof component, SystemLeadByte) == 1) {
        if (InsertItem(list, next, component, FolderItem) == next) last = next;
        ++next;
    }
    return last;
}

// Reads an item's text whole, or gives the empty string; never cuts it.
void ItemText(HWND list, int index, char* text, int size) {
    text[0] = '\0';
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length < 0 || length >= size) return;
    if (SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)) < 0) text[0] = '\0';
}

// Moves the page to `path` unless the path, or the search of its
// subfolders, would not fit; a refused step leaves everything as it was.
void StepTo(HWND page, const char* path, int driveMode) {
    char pattern[MAX_PATH];
    if (!driveMode && !JoinPath(pattern, sizeof pattern, path, "*.*", SystemLeadByte)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    SetLocation(page, path, driveMode);
}

void LookUpBrowserIcons() {
    Icons.computer = ShellComputerIcon(Icons.computer);
    Icons.closedFolder = ShellFolderIcon(FALSE, Icons.closedFolder);
    Icons.openFolder = ShellFolderIcon(TRUE, Icons.openFolder);
}

int DriveIcon(const char* root) {
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    if (!SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return NoIcon;
    return info.iIcon;
}

int ItemIcon(const DRAWITEMSTRUCT* item, const char* text) {
    switch (item->itemData) {
        case HeaderItem:
            return Icons.computer;
        case DriveItem:
            return DriveIcon(text);
        case FolderItem:
            return static_cast<int>(item->itemID) == CurrentIndex ? Icons.openFolder
                                                                  : Icons.closedFolder;
    }
    return NoIcon;
}

}  // namespace

void FillDriveList(HWND page) {
    HWND list = List(page);
    LookUpBrowserIcons();
    char roots[DriveStringsSize];
    DWORD length = GetLogicalDriveStringsA(DriveStringsSize, roots);
    // A failed or too long answer leaves the header alone in the list.
    if (length > 0 && length < DriveStringsSize) {
        roots[length] = '\0';
        for (char* root = roots; root < roots + length && *root; root += lstrlenA(root) + 1) {
            root[0] = DriveLetterShown(root[0]);
            AddItem(list, root, DriveItem);
        }
    }
    InsertHeader(list, "Drives");
    LRESULT found = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(ProgramPath));
    CurrentIndex = found > 0 ? static_cast<int>(found) : -1;
    SendMessageA(list, LB_SETCURSEL, CurrentIndex, 0);
    SetDriveIndents(IndentTable);
    FinishFill(list);
}

void FillFolderList(HWND page, const char* path) {
    HWND list = List(page);
    LookUpBrowserIcons();
    AddSubfolders(list, path);
    InsertHeader(list, "Folders");
    CurrentIndex = InsertChain(list, path);
    SendMessageA(list, LB_SETCURSEL, CurrentIndex, 0);
    SetChainIndents(IndentTable, CurrentIndex);
    FinishFill(list);
}

void OpenSelectedItem(HWND page) {
    HWND list = List(page);
    int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    if (selected < 0) return;
    char text[ItemTextSize];
    ItemText(list, selected, text, sizeof text);
    char path[ProgramPathSize];
    if (selected == 0) {
        lstrcpynA(path, ProgramPath, 4);
        StepTo(page, path, !BrowserDriveMode);
    } else if (BrowserDriveMode) {
        if (text[0]) StepTo(page, text, FALSE);
    } else if (selected > CurrentIndex) {
        if (JoinPath(path, sizeof path, ProgramPath, text, SystemLeadByte))
            StepTo(page, path, FALSE);
        else
            MessageBeep(MB_ICONWARNING);
    } else if (selected < CurrentIndex) {
        if (ChainEntryPath(path, sizeof path, ProgramPath, selected, SystemLeadByte))
            StepTo(page, path, FALSE);
    }
}

BOOL DrawBrowserItem(const DRAWITEMSTRUCT* item) {
    // An empty list that has the focus: no row to read, only the focus.
    if (item->itemID == static_cast<UINT>(-1)) {
        if (item->itemAction & ODA_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
        return TRUE;
    }
    const int index = static_cast<int>(item->itemID);
    char text[ItemTextSize];
    ItemText(item->hwndItem, index, text, sizeof text);
    const int length = lstrlenA(text);
    SIZE extent = {0, 0};
    GetTextExtentPointA(item->hDC, text, length, &extent);
    BrowserRowPlace place =
        PlaceBrowserRow(IndentLevel(IndentTable, index), item->rcItem.left, item->rcItem.top,
                        extent.cx, item->itemData == HeaderItem);
    RECT textRect = {place.textLeft, item->rcItem.top, place.textRight, item->rcItem.bottom};

    if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        int icon = ItemIcon(item, text);
        if (icon != NoIcon && SystemImageList)
            SystemFunctions.imageListDraw(SystemImageList, icon, item->hDC, place.iconX,
                                          place.iconY, ILD_NORMAL);
        const int selected = (item->itemState & ODS_SELECTED) != 0;
        SetTextColor(item->hDC, ColourTable[selected ? ColourHighlightText : ColourWindowText]);
        SetBkColor(item->hDC, ColourTable[selected ? ColourHighlight : ColourWindow]);
        ExtTextOutA(item->hDC, place.textX, place.textY, ETO_OPAQUE | ETO_CLIPPED, &textRect, text,
                    static_cast<UINT>(length), NULL);
    }
    if (item->itemAction & ODA_FOCUS) DrawFocusRect(item->hDC, &textRect);
    return TRUE;
}
