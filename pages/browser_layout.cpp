#include "pages/browser_layout.h"

namespace {

const int DriveRootLength = 3;
const int IconCell = 20;   // from the icon's left to the text rectangle
const int TextMargin = 4;  // the rectangle's width beyond the text
const int TextIndent = 2;  // the text inside its rectangle
const int TextDrop = 1;    // the text below the row's top

LeadBytePredicate OrSingleByte(LeadBytePredicate isLead) {
    return isLead ? isLead : SingleByteCodePage;
}

// Length of the character at `p`: two for a lead byte with a byte after it.
size_t CharLength(const char* p, LeadBytePredicate isLead) {
    return isLead(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

}  // namespace

void SetDriveIndents(int* table) {
    table[0] = 0;
    for (int i = 1; i < IndentTableSize; ++i) table[i] = 1;
}

void SetChainIndents(int* table, int currentIndex) {
    for (int i = 0; i < IndentTableSize; ++i) table[i] = i <= currentIndex ? i : currentIndex + 1;
}

int IndentLevel(const int* table, int index) {
    return table[index < IndentTableSize ? index : IndentTableSize - 1];
}

BrowserRowPlace PlaceBrowserRow(int level, int rowLeft, int rowTop, int textWidth, int isHeader) {
    BrowserRowPlace place;
    place.iconX = level * IndentStep + rowLeft + 1;
    place.iconY = isHeader ? rowTop + 1 : rowTop;
    place.textLeft = place.iconX + IconCell;
    place.textRight = place.iconX + IconCell + TextMargin + textWidth;
    place.textX = place.textLeft + TextIndent;
    place.textY = rowTop + TextDrop;
    return place;
}

int NextChainComponent(const char* path, size_t* position, char* out, size_t outSize,
                       LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (outSize > 0) out[0] = '\0';
    size_t at = *position;
    // The drive root is never walked: a shorter path has no components.
    for (size_t i = 0; i < at; ++i)
        if (path[i] == '\0') return 0;
    if (path[at] == '\0') return 0;
    size_t length = 0;
    while (path[at + length] != '\0' && path[at + length] != '\\')
        length += CharLength(path + at + length, isLead);
    if (length >= outSize) return -1;
    for (size_t i = 0; i < length; ++i) out[i] = path[at + i];
    out[length] = '\0';
    *position = at + length + (path[at + length] == '\\' ? 1 : 0);
    return 1;
}

int ChainEntryPath(char* out, size_t outSize, const char* path, int entry,
                   LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (outSize == 0) return 0;
    out[0] = '\0';
    if (entry < 1) return 0;
    size_t end = 0;  // just past the entry-th backslash
    int seen = 0;
    for (size_t i = 0; path[i] != '\0' && seen < entry; i += CharLength(path + i, isLead)) {
        if (path[i] == '\\') {
            ++seen;
            end = i + 1;
        }
    }
    if (seen < entry) return 0;
    size_t length = end > static_cast<size_t>(DriveRootLength) ? end - 1 : end;
    if (length >= outSize) return 0;
    for (size_t i = 0; i < length; ++i) out[i] = path[i];
    out[length] = '\0';
    return 1;
}

char DriveLetterShown(char letter) {
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
}
