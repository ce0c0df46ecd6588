// The message boxes that every part of the installer shares.
#pragma once

#include <windows.h>

// "Installation Aborted!" with the support address, owned by the page that
// ends the installation.  Returns 0, the end code of that page.
int ShowAbortMessage(HWND owner);

// A failure that ends the installation: the text with the installer's
// caption and the error icon.
void ShowFailure(HWND owner, const char* text);
