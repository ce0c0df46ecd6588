#include "shell/installer_messages.h"

#include "shell/command_line.h"
#include "shell/install_log.h"
#include "shell/product_identity.h"

int ShowAbortMessage(HWND owner) {
    char text[256];
    wsprintfA(text,
              "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - %s!",
              SupportAddress);
    ShowMessage(owner, text, MB_ICONWARNING);
    return 0;
}

void ShowFailure(HWND owner, const char* text) { ShowMessage(owner, text, MB_ICONERROR); }

int ShowMessage(HWND owner, const char* text, UINT style) {
    LogLine("%s", text);
    if (CommandLineOptions.silent) return 0;
    return MessageBoxA(owner, text, InstallerName, style);
}
