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

namespace {

unsigned long ReadLittle32(const unsigned char* p) {
    return static_cast<unsigned long>(p[0]) | (static_cast<unsigned long>(p[1]) << 8) |
           (static_cast<unsigned long>(p[2]) << 16) | (static_cast<unsigned long>(p[3]) << 24);
}

unsigned int ReadLittle16(const unsigned char* p) {
    return static_cast<unsigned int>(p[0]) | (static_cast<unsigned int>(p[1]) << 8);
}

const unsigned long MinimumHeaderSize = 40;
const unsigned long LargestSide = 0x7FFF;
const unsigned long UncompressedCoding = 0, Rle8Coding = 1, Rle4Coding = 2;

}  // namespace

int DibFitsBlock(const unsigned char* block, unsigned long size) {
    if (!block || size < MinimumHeaderSize) return 0;
    const unsigned long headerSize = ReadLittle32(block);
    // Signed fields, read as unsigned: a negative one is above LargestSide.
    const unsigned long width = ReadLittle32(block + 4);
    const unsigned long height = ReadLittle32(block + 8);
    const unsigned int depth = ReadLittle16(block + 14);
    const unsigned long coding = ReadLittle32(block + 16);
    const unsigned long imageSize = ReadLittle32(block + 20);
    const unsigned long usedColours = ReadLittle32(block + 32);
    if (headerSize < MinimumHeaderSize || headerSize > size) return 0;
    if (width == 0 || width > LargestSide || height == 0 || height > LargestSide) return 0;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return 0;
    // 64-bit sums: nothing a header says can wrap them.
    const unsigned long long pixelOffset =
        headerSize + 4ull * static_cast<unsigned long long>(DibColourCount(depth, usedColours));
    unsigned long long pixelBytes;
    if (coding == UncompressedCoding)
        pixelBytes = (static_cast<unsigned long long>(width) * depth + 31) / 32 * 4 * height;
    else if ((coding == Rle8Coding && depth == 8) || (coding == Rle4Coding && depth == 4))
        pixelBytes = imageSize;
    else
        return 0;
    return pixelBytes > 0 && pixelOffset + pixelBytes <= size;
}
