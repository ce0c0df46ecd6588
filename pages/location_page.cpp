#include "pages/location_page.h"

#include "pages/folder_browser.h"
#include "pages/pages.h"
#include "shell/command_line.h"
#include "shell/installer_messages.h"
#include "shell/page_helpers.h"
#include "shell/product_identity.h"

char ProgramPath[ProgramPathSize] = ".";

namespace {

const int ContinueId = IDOK;
const int ResetFolderId = 302;
const int PathEditId = 300;
const int PathEditLimit = ProgramPathSize - 1;

}  // namespace

void SetLocation(HWND page, const char* path, int driveMode) {
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    if (path != ProgramPath) lstrcpynA(ProgramPath, path, sizeof ProgramPath);
    SetDlgItemTextA(page, PathEditId, ProgramPath);
    SendDlgItemMessageA(page, FolderListId, WM_SETREDRAW, FALSE, 0);
    SendDlgItemMessageA(page, FolderListId, LB_RESETCONTENT, 0, 0);
    BrowserDriveMode = driveMode ? 1 : 0;
    if (BrowserDriveMode)
        FillDriveList(page);
    else
        FillFolderList(page, ProgramPath);
}

void ResetFolder(HWND page) {
    char folder[256];
    if (!FormatDefaultFolder(folder, sizeof folder, MakerName, ProductName)) return;
    if (lstrcmpA(folder, ProgramPath) == 0) return;
    lstrcpynA(ProgramPath, folder, sizeof ProgramPath);
    SetLocation(page, ProgramPath, FALSE);
}

int AcceptTypedPath(HWND page) {
    // Read whole: the edit box takes as many characters as ProgramPath
    // holds, so nothing typed is ever cut.
    char typed[ProgramPathSize];
    GetDlgItemTextA(page, PathEditId, typed, sizeof typed);
    PathVerdict verdict = CheckTypedPath(typed);
    if (verdict != PathAccepted) {
        char text[128];
        FormatRefusal(text, sizeof text, verdict);
        MessageBoxA(page, text, InstallerName, MB_ICONWARNING | MB_OK);
        return -1;
    }
    lstrcpynA(ProgramPath, typed, sizeof ProgramPath);
    SetLocation(page, ProgramPath, FALSE);
    return 1;
}

namespace {

BOOL OnLocationInit(HWND page) {
    PlacePage(page, TRUE);
    FitPagePicture(page);
    TemplatePageText(page, TRUE);
    TemplatePageText(page, FALSE);
    SendDlgItemMessageA(page, PathEditId, EM_LIMITTEXT, PathEditLimit, 0);
    // A folder given on the command line is offered first; Reset Folder
    // still returns to the default.
    if (CommandLineOptions.folder[0] != '\0')
        SetLocation(page, CommandLineOptions.folder, FALSE);
    else
        ResetFolder(page);
    return TRUE;
}

void OnLocationCommand(HWND page, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case ContinueId:
            if (AcceptTypedPath(page) == -1)
                SetFocus(GetDlgItem(page, PathEditId));
            else
                EndDialog(page, 1);
            break;
        case IDCANCEL:
            EndDialog(page, ShowAbortMessage(page));
            break;
        case ResetFolderId:
            ResetFolder(page);
            break;
        case FolderListId:
            if (HIWORD(wParam) == LBN_DBLCLK) OpenSelectedItem(page);
            break;
    }
}

}  // namespace

INT_PTR CALLBACK LocationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnLocationInit(page);
        case WM_COMMAND:
            OnLocationCommand(page, wParam);
            return TRUE;
        case WM_DRAWITEM:
            return DrawBrowserItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(
                StaticColourRule(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    return FALSE;
}
