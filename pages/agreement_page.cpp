// The licence agreement: the installation goes on only when the user agrees.
#include "pages/pages.h"
#include "shell/installer_messages.h"
#include "shell/page_helpers.h"

namespace {

const int AgreementTextId = 200;
// The agreement is stored without a terminating zero; it is copied whole
// into this buffer and terminated here, never handed over raw.
char AgreementText[32768];

void ShowAgreementText(HWND page) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
    HRSRC resource = FindResourceA(instance, "AGREEMENT", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return;
    HGLOBAL loaded = LoadResource(instance, resource);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : NULL;
    DWORD size = SizeofResource(instance, resource);
    if (!data || size >= sizeof AgreementText) return;
    CopyMemory(AgreementText, data, size);
    AgreementText[size] = '\0';
    SendDlgItemMessageA(page, AgreementTextId, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(AgreementText));
}

}  // namespace

INT_PTR CALLBACK AgreementPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            PlacePage(page, TRUE);
            TemplatePageText(page, TRUE);
            ShowAgreementText(page);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK)
                EndDialog(page, 1);
            else if (LOWORD(wParam) == IDCANCEL)
                EndDialog(page, ShowAbortMessage(page));
            return TRUE;
    }
    return FALSE;
}
