// The touches every page shares when it opens: its place on the screen, its
// picture, the product name in its texts, the small icon and the colour of
// its note.
#pragma once

#include <windows.h>

// Control that holds a page's explanatory text.
constexpr int PageNoteId = 600;

BOOL PlacePage(HWND page, int shifted);

// Sizes the page's picture, if it has one, so that the whole bitmap shows
// inside its sunken frame.
void FitPagePicture(HWND page);

// Puts the product name into the page's caption (and gives the page the
// small icon) or into its note, control 600.
void TemplatePageText(HWND page, int wholeCaption);

// WM_CTLCOLORSTATIC: the note is dark blue on the button face; NULL lets
// every other static keep the system colours.
HBRUSH StaticColourRule(HDC dc, HWND control);

// A new small icon of the installer's icon on every call.
HICON LoadSmallIcon(int iconId);

constexpr int InstallerIconId = 100;
