// The folder list's arithmetic, free of Windows calls: the indent of each
// row, where a row's icon and text go, and the paths that the chain of the
// current folder stands for.
#pragma once

#include <stddef.h>

#include "engine/paths.h"

// Levels of the first 500 rows.  Every row beyond them is a subfolder of the
// current folder, so it takes the level of the table's last entry.
constexpr int IndentTableSize = 500;
constexpr int IndentStep = 8;  // pixels per level

// Drive mode: the header at level 0, every drive at 1.
void SetDriveIndents(int* table);
// Folder mode: the header and the chain down to currentIndex at their own
// index, everything after at currentIndex + 1.
void SetChainIndents(int* table, int currentIndex);
// The level of row `index` (not negative), never read from outside the table.
int IndentLevel(const int* table, int index);

struct BrowserRowPlace {
    int iconX, iconY;
    int textLeft, textRight;  // the rectangle painted behind the text
    int textX, textY;         // where the text starts
};
// The header's icon sits one pixel below the row's top.
BrowserRowPlace PlaceBrowserRow(int level, int rowLeft, int rowTop, int textWidth, int isHeader);

// The components of a path after its drive root, one per call: `*position`
// starts at 3 and moves past each backslash.  Returns 1 with the next
// component in `out` (empty between two backslashes in a row), 0 at the end
// of the path (a last backslash ends it without a component of its own),
// and -1 when the component does not fit `outSize`.
int NextChainComponent(const char* path, size_t* position, char* out, size_t outSize,
                       LeadBytePredicate isLead);

// The folder that chain entry `entry` (1 is the drive root) stands for: the
// path up to and including its entry-th backslash, that backslash dropped
// unless only the drive root is left.  Returns 1, or 0 with `out` empty when
// the path has fewer backslashes or the result would not fit.
int ChainEntryPath(char* out, size_t outSize, const char* path, int entry,
                   LeadBytePredicate isLead);

// A drive letter as the list shows it: lower-case letters made upper-case.
char DriveLetterShown(char letter);
