// The message boxes that every part of the installer shares.
#pragma once

#include <windows.h>

// "Installation Aborted!" with the support address, owned by the page that
// ends the installation.  Returns 0, the end code of that page.
int ShowAbortMessage(HWND owner);

// Every box the installer shows goes through here: its text is logged, and
// a silent run shows nothing (and answers 0).  The caption is the
// installer's name.
int ShowMessage(HWND owner, const char* text, UINT style);

// A failure that ends the installation: the text with the installer's
// caption and the error icon.
void ShowFailure(HWND owner, const char* text);
