#include "uninstaller/uninstall_messages.h"

#include <windows.h>

#include "shell/install_log.h"
#include "shell/product_identity.h"
#include "system/record_contents.h"

int SilentRemoval;

namespace {

// The product name and the format's own text, with room to spare.
const int CaptionSize = sizeof ProductName + sizeof DisplayNameFormat;
// The longest text is the in-use one around a path of 259 characters.
const int TextSize = 512;

int Show(const char* text, UINT style) {
    LogLine("%s", text);
    if (SilentRemoval) return 0;
    char caption[CaptionSize];
    wsprintfA(caption, DisplayNameFormat, ProductName);
    return MessageBoxA(NULL, text, caption, style | MB_SETFOREGROUND);
}

// Each format holds one "%s" for the product name or a path that fits.
int ShowFormatted(const char* format, const char* value, UINT style) {
    char text[TextSize];
    wsprintfA(text, format, value);
    return Show(text, style);
}

}  // namespace

void ShowBadCommandLine() {
    Show(
        "Usage: Zelmunin [/S] [/LOG=file]\n\n/S\tremove without question or message\n"
        "/LOG=file\tappend a log of the removal to the file",
        MB_ICONERROR);
}

void ShowAnotherRunUnderWay() {
    ShowFormatted("An installation or removal of %s is under way. Try again when it has ended.",
                  ProductName, MB_ICONWARNING);
}

void ShowNotInstalled() { ShowFormatted("%s is not installed.", ProductName, MB_ICONERROR); }

void ShowDamagedRecord() {
    ShowFormatted("The record of the %s installation is damaged, so nothing has been removed.",
                  ProductName, MB_ICONERROR);
}

void ShowFolderReplaced(const char* folder) {
    ShowFormatted(
        "The folder\n\n%.259s\n\nis a link, or is no longer the one the installer made, so "
        "nothing has been removed.",
        folder, MB_ICONERROR);
}

void ShowFoldersMissing() {
    ShowFormatted("The Windows folders cannot be found, so %s has not been removed.", ProductName,
                  MB_ICONERROR);
}

int AskToRemove() {
    if (SilentRemoval) return 1;
    return ShowFormatted("Are you sure you want to remove %s and all of its components?",
                         ProductName, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

int AskRetryInUse(const char* path) {
    return ShowFormatted(
               "Unable to remove\n\n%.259s\n\nClose the program that is using it, then choose "
               "Retry.",
               path, MB_ICONWARNING | MB_RETRYCANCEL) == IDRETRY;
}

void ShowRemoved() { ShowFormatted("%s has been removed.", ProductName, MB_ICONINFORMATION); }

void ShowEntryKept() {
    ShowFormatted(
        "%s has been removed, but its entry in the list of installed programs could "
        "not be deleted.",
        ProductName, MB_ICONWARNING);
}
