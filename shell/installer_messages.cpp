#include "shell/installer_messages.h"

#include "shell/product_identity.h"

int ShowAbortMessage(HWND owner) {
    char text[256];
    wsprintfA(text,
              "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - %s!",
              SupportAddress);
    MessageBoxA(owner, text, InstallerName, MB_ICONWARNING);
    return 0;
}

void ShowFailure(HWND owner, const char* text) {
    MessageBoxA(owner, text, InstallerName, MB_ICONERROR);
}
