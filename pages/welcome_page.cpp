// The first page: it runs before the backdrop is shown and decides whether
// the installer goes on at all.
#include "pages/pages.h"
#include "shell/page_helpers.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            PlacePage(page, FALSE);
            TemplatePageText(page, FALSE);
            return TRUE;
        case WM_COMMAND:
            // A button click or the system close command ends the page with
            // that id; Cancel (2) ends the installer, anything else goes on.
            if (HIWORD(wParam) == 0) EndDialog(page, LOWORD(wParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(
                StaticColourRule(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    }
    return FALSE;
}
