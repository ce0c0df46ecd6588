#include "shell/page_helpers.h"

#include "shell/backdrop_window.h"
#include "shell/page_layout.h"
#include "shell/product_identity.h"

namespace {

const COLORREF NoteColour = 0x800000;  // dark blue
const int TemplateTextSize = 200;      // a page text of at most 198 characters
const int TemplatedSize = 220;         // with the product name in it

}  // namespace

BOOL PlacePage(HWND page, int shifted) {
    RECT r;
    GetWindowRect(page, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    PagePosition p = ComputePagePosition(ScreenWidth, ScreenHeight, width, height, shifted);
    return MoveWindow(page, p.x, p.y, width, height, FALSE);
}

// A picture control sizes itself to its bitmap, frame included, and then
// draws the bitmap into what the frame leaves: two pixels short each way,
// so the picture would be squeezed or cut.
void FitPagePicture(HWND page) {
    for (HWND control = GetWindow(page, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        if ((style & SS_TYPEMASK) != SS_BITMAP) continue;
        HGDIOBJ picture =
            reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP size;
        if (!picture || !GetObjectA(picture, sizeof size, &size)) continue;
        RECT r = {0, 0, size.bmWidth, size.bmHeight};
        AdjustWindowRectEx(&r, style, FALSE,
                           static_cast<DWORD>(GetWindowLongA(control, GWL_EXSTYLE)));
        SetWindowPos(control, NULL, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TemplatePageText(HWND page, int wholeCaption) {
    HWND target = wholeCaption ? page : GetDlgItem(page, PageNoteId);
    char text[TemplateTextSize] = "";
    char templated[TemplatedSize];
    // No text, or one that filled the buffer and may have been cut, keeps
    // the template as it stands rather than showing a part of it.
    int length = GetWindowTextA(target, text, sizeof text);
    if (length > 0 && length < TemplateTextSize - 1 &&
        FormatPageTemplate(templated, sizeof templated, text, ProductName))
        SetWindowTextA(target, templated);
    if (wholeCaption)
        SendMessageA(page, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadSmallIcon(InstallerIconId)));
}

HBRUSH StaticColourRule(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != PageNoteId) return NULL;
    SetTextColor(dc, NoteColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

HICON LoadSmallIcon(int iconId) {
    return static_cast<HICON>(LoadImageA(InstallerInstance, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}
