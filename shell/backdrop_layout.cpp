#include "shell/backdrop_layout.h"

const ColourRef FixedColours[ColourEntryCount] = {
    0x000080, 0x0000A0, 0x0000C0, 0x0000FF,  // title layers
    0x800000, 0xA00000, 0xFF0000,            // tagline layers
    0,        0,        0,        0,         // system colours, read at start
    0xFFF820,                                // the current stage
    0xE88420,                                // every other stage
};

const StageLine StageLines[StageCount] = {
    {1, "- License Agreement", 10, 120},   {2, "- Program Location", 10, 138},
    {4, "- Installing Files", 10, 156},    {8, "- Program Group", 10, 174},
    {16, "- Creating Shortcuts", 10, 192}, {32, "- View Read Me", 10, 210},
    {64, "- Finished", 10, 228},
};

FontSize TitleFontSize(int screenWidth, int screenHeight, int titleLength) {
    FontSize f;
    f.height = screenHeight / 10;
    f.width = (screenWidth - 140) / (titleLength + 5);
    return f;
}

FontSize TaglineFontSize(int screenWidth, int screenHeight, int taglineLength) {
    FontSize f;
    f.height = screenHeight / 18;
    // Computed in floating point and truncated, unlike the other sizes.
    f.width = static_cast<int>(screenWidth / (taglineLength * 1.5));
    return f;
}

Point TitleOrigin(int screenWidth, int screenHeight) {
    Point p;
    p.x = screenWidth / 32 + 140;
    p.y = screenHeight / 24 - 20;
    return p;
}

Point TaglineOrigin(int screenWidth, int screenHeight, int textWidth, int textHeight) {
    Point p;
    p.x = screenWidth - textWidth - 32;
    p.y = screenHeight - textHeight - 16;
    return p;
}

Point CornerPictureOrigin(int screenHeight) {
    Point p;
    p.x = 15;
    p.y = screenHeight - 180;
    return p;
}

int DibColourCount(unsigned int bitsPerPixel, unsigned int usedColours) {
    unsigned int used = usedColours & 0xFFFF;
    if (used != 0) return static_cast<int>(used);
    switch (bitsPerPixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

unsigned int DibPixelOffset(unsigned int headerSize, int colourCount) {
    return headerSize + 4u * static_cast<unsigned int>(colourCount);
}
