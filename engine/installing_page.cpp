// The installing page: it works out the shared folders, then its timers run
// the copy phases; it has no buttons and cannot be cancelled.
#include "engine/copy_engine.h"
#include "engine/progress_meter.h"
#include "engine/shared_folders.h"
#include "pages/pages.h"
#include "shell/installer_messages.h"
#include "shell/page_helpers.h"

namespace {

const int MeterId = 405;
const int SourceLabelId = 401;
const int DestinationLabelId = 404;
const COLORREF LabelColour = 0x800000;  // dark blue

BOOL OnInstallingInit(HWND page) {
    PlacePage(page, TRUE);
    FitPagePicture(page);
    TemplatePageText(page, TRUE);
    AttachMeter(page, MeterId);
    SharedFoldersResult folders = ComputeSharedFolders();
    if (folders != SharedFoldersReady) {
        // Nothing has been staged yet, and nothing will be.
        ShowFailure(page,
                    folders == SharedFoldersNoTemp ? OpenSourceFailed : OpenDestinationFailed);
        EndPageAfterFailure(page);
        return TRUE;
    }
    SetTimer(page, StagingTimer, PhaseDelay, NULL);
    return TRUE;
}

void OnInstallingTimer(HWND page, WPARAM timer) {
    switch (LOWORD(timer)) {
        case StagingTimer:
            StagePayload(page);
            break;
        case CopyingTimer:
            CopyNextFile(page);
            break;
        case RemovingTimer:
            RemoveStaged(page);
            break;
    }
}

// The file labels are dark blue on the button face; the note is dark blue
// on the window colour.  Everything else keeps the system colours.
INT_PTR OnInstallingStaticColour(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    int background;
    if (id == SourceLabelId || id == DestinationLabelId)
        background = COLOR_BTNFACE;
    else if (id == PageNoteId)
        background = COLOR_WINDOW;
    else
        return FALSE;
    SetTextColor(dc, LabelColour);
    SetBkColor(dc, GetSysColor(background));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(background));
}

}  // namespace

INT_PTR CALLBACK InstallingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInstallingInit(page);
        case WM_TIMER:
            OnInstallingTimer(page, wParam);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return OnInstallingStaticColour(reinterpret_cast<HDC>(wParam),
                                            reinterpret_cast<HWND>(lParam));
        case WM_RESTORE_METER:
            DetachMeter();
            return TRUE;
    }
    return FALSE;
}
