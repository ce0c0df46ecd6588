// Arithmetic of page placement and page texts, free of Windows calls.
#pragma once

#include <stddef.h>

// Width of the backdrop's left band; shifted pages centre in what is right
// of it.
constexpr int BandWidth = 150;

struct PagePosition {
    int x;
    int y;
};

// Where a page of the given size goes: centred on the screen, or centred in
// the part right of the band when shifted.  Divisions truncate toward zero,
// so a page wider than that part gets a negative x rounded toward zero.
PagePosition ComputePagePosition(int screenWidth, int screenHeight, int pageWidth, int pageHeight,
                                 int shifted);

// Where a message box of the given size goes so that it leaves the page at
// `page` (its left, top, width and height) in sight: just below it, centred
// on it, else just above it, kept inside the screen either way; centred on
// the screen, as the system would put it, when neither has room.
PagePosition PlaceBoxClearOfPage(int screenWidth, int screenHeight, PagePosition page,
                                 int pageWidth, int pageHeight, int boxWidth, int boxHeight);

// Replaces the one "%s" of a page text with the product name.  A text
// without "%s" comes back unchanged; a second "%s" is left as it stands.
// Returns 1, or 0 (and an empty result) when the result would not fit.
int FormatPageTemplate(char* out, size_t outSize, const char* text, const char* productName);
