#include "pages/group_page.h"

#include "engine/code_page.h"
#include "engine/folder_names.h"
#include "engine/paths.h"
#include "engine/shared_folders.h"
#include "pages/pages.h"
#include "pages/shell_icons.h"
#include "shell/backdrop_style.h"
#include "shell/command_line.h"
#include "shell/installer_messages.h"
#include "shell/page_helpers.h"
#include "shell/page_layout.h"
#include "shell/product_identity.h"
#include "shell/stage.h"
#include "shell/system_libraries.h"
#include "system/shortcuts.h"

char GroupName[GroupNameSize];
const char StartMenuMissing[] = "Unable to locate the Start Menu!";
const char ShortcutsFailed[] = "Unable To Create Shortcuts!";
const char GroupNameRefused[] =
    "Group invalid!\n\nA group is one or more folder names separated by backslashes.";

namespace {

const int ContinueId = 2000;
const int ResetGroupId = 501;
const int GroupFieldId = 500;
const int GroupNameLimit = GroupNameSize - 1;

// The classic place of a program group's icon in the system's small-icon
// list; a system that fills the list on demand may hold nothing there yet,
// and then the shell's folder icon stands in.
const int GroupIconPlace = 19;
int GroupIcon = GroupIconPlace;
const int IconLeft = 2;
const int TextLeft = 20;
const int TextMargin = 4;

// Any folder name the search reports (up to 259 bytes) fits whole.
const int ItemTextSize = MAX_PATH;

HWND GroupField(HWND page) { return GetDlgItem(page, GroupFieldId); }

int ListGroupFolders(HWND page) {
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, ProgramsMenuDir, "*.*", SystemLeadByte)) return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    HWND field = GroupField(page);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            SendMessageA(field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return 1;
}

// `name` into the field, with the listed folder of that name selected.
void SetGroup(HWND page, const char* name) {
    lstrcpynA(GroupName, name, sizeof GroupName);
    HWND field = GroupField(page);
    LRESULT match = SendMessageA(field, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(GroupName));
    SendMessageA(field, CB_SETCURSEL, match, 0);
    // The given spelling, whatever the case of a matching folder.
    SetDlgItemTextA(page, GroupFieldId, GroupName);
}

void SetDefaultGroup(HWND page) { SetGroup(page, ProductName); }

// A longer name, which only a listed folder can put into the field, is
// taken cut after its 40th character, so a folder of the cut name is made.
// A name the uninstaller could not take back from the record (one that
// leaves the Programs folder with "..", or no folder can have) is refused
// here, where the user can still change it.
int ReadGroupName(HWND page) {
    GetDlgItemTextA(page, GroupFieldId, GroupName, sizeof GroupName);
    if (GroupName[0] == '\0') {
        MessageBoxA(page, "Group may not be empty!", InstallerName, MB_ICONWARNING);
        return 0;
    }
    if (!AcceptGroupName(GroupName, SystemLeadByte)) {
        MessageBoxA(page, GroupNameRefused, InstallerName, MB_ICONWARNING);
        return 0;
    }
    return 1;
}

BOOL DrawGroupItem(const DRAWITEMSTRUCT* item) {
    const LONG left = item->rcItem.left;
    if (item->itemID == static_cast<UINT>(-1)) {
        if (item->itemAction & ODA_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
        return TRUE;
    }
    char text[ItemTextSize];
    text[0] = '\0';
    LRESULT length = SendMessageA(item->hwndItem, CB_GETLBTEXTLEN, item->itemID, 0);
    if (length >= 0 && length < ItemTextSize &&
        SendMessageA(item->hwndItem, CB_GETLBTEXT, item->itemID, reinterpret_cast<LPARAM>(text)) <
            0)
        text[0] = '\0';
    const int textLength = lstrlenA(text);
    SIZE extent = {0, 0};
    GetTextExtentPointA(item->hDC, text, textLength, &extent);
    RECT textRect = {left + TextLeft, item->rcItem.top, left + TextLeft + extent.cx + TextMargin,
                     item->rcItem.bottom};
    if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        if (SystemImageList)
            SystemFunctions.imageListDraw(SystemImageList, GroupIcon, item->hDC, left + IconLeft,
                                          item->rcItem.top, ILD_NORMAL);
        const int selected = (item->itemState & ODS_SELECTED) != 0;
        SetTextColor(item->hDC, ColourTable[selected ? ColourHighlightText : ColourWindowText]);
        SetBkColor(item->hDC, ColourTable[selected ? ColourHighlight : ColourWindow]);
        ExtTextOutA(item->hDC, textRect.left + 2, textRect.top + 1, ETO_OPAQUE | ETO_CLIPPED,
                    &textRect, text, static_cast<UINT>(textLength), NULL);
    }
    if (item->itemAction & ODA_FOCUS) DrawFocusRect(item->hDC, &textRect);
    return TRUE;
}

// The system centres a message box on the screen, which is where the page
// stands: the success box would hide the group just chosen.  It is moved
// clear of the page as it is shown.
HHOOK BoxHook;
HWND BoxPage;

LRESULT CALLBACK MoveBoxClearOfPage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && BoxPage) {
        HWND box = reinterpret_cast<HWND>(wParam);
        RECT pageRect, boxRect;
        if (GetWindowRect(BoxPage, &pageRect) && GetWindowRect(box, &boxRect)) {
            PagePosition pagePosition = {pageRect.left, pageRect.top};
            PagePosition at = PlaceBoxClearOfPage(
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), pagePosition,
                pageRect.right - pageRect.left, pageRect.bottom - pageRect.top,
                boxRect.right - boxRect.left, boxRect.bottom - boxRect.top);
            SetWindowPos(box, NULL, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        BoxPage = NULL;  // the box's own later activations are left alone
    }
    return CallNextHookEx(BoxHook, code, wParam, lParam);
}

void ShowSuccessClearOfPage(HWND page) {
    BoxPage = page;
    BoxHook = SetWindowsHookExA(WH_CBT, MoveBoxClearOfPage, NULL, GetCurrentThreadId());
    MessageBoxA(page, "Shortcuts Created Successfully!", GroupName, MB_ICONINFORMATION);
    if (BoxHook) UnhookWindowsHookEx(BoxHook);
    BoxHook = NULL;
    BoxPage = NULL;
}

BOOL OnGroupInit(HWND page) {
    PlacePage(page, TRUE);
    FitPagePicture(page);
    TemplatePageText(page, TRUE);
    TemplatePageText(page, FALSE);
    if (!ListGroupFolders(page)) {
        ShowFailure(page, StartMenuMissing);
        EndDialog(page, ShowAbortMessage(page));
        return TRUE;
    }
    SendDlgItemMessageA(page, GroupFieldId, CB_LIMITTEXT, GroupNameLimit, 0);
    if (!SystemImageList || SystemFunctions.imageListCount(SystemImageList) <= GroupIconPlace)
        GroupIcon = ShellFolderIcon(FALSE, GroupIconPlace);
    // A group given on the command line is offered first; Reset Group
    // still returns to the product's name.
    if (CommandLineOptions.group[0] != '\0')
        SetGroup(page, CommandLineOptions.group);
    else
        SetDefaultGroup(page);
    return TRUE;
}

void OnContinue(HWND page) {
    if (!ReadGroupName(page)) return;
    SetStage(StageShortcuts);
    // Never enabled again: both outcomes end the page.
    EnableWindow(GetDlgItem(page, ContinueId), FALSE);
    if (CreateShortcuts(page)) {
        ShowSuccessClearOfPage(page);
        EndDialog(page, 1);
    } else {
        ShowFailure(page, ShortcutsFailed);
        EndDialog(page, ShowAbortMessage(page));
    }
}

void OnGroupCommand(HWND page, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDCANCEL:
            EndDialog(page, ShowAbortMessage(page));
            break;
        case ResetGroupId:
            SetDefaultGroup(page);
            break;
        case ContinueId:
            OnContinue(page);
            break;
    }
}

}  // namespace

INT_PTR CALLBACK GroupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnGroupInit(page);
        case WM_COMMAND:
            OnGroupCommand(page, wParam);
            return TRUE;
        case WM_DRAWITEM:
            return DrawGroupItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(
                StaticColourRule(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    return FALSE;
}
