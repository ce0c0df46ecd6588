// The backdrop's geometry and colours, as numbers: nothing here touches the
// screen, so the arithmetic is tested natively.
#pragma once

typedef unsigned long ColourRef;  // 0x00BBGGRR, as the GDI takes it

constexpr ColourRef RgbColour(int r, int g, int b) {
    return static_cast<ColourRef>(r) | (static_cast<ColourRef>(g) << 8) |
           (static_cast<ColourRef>(b) << 16);
}

constexpr ColourRef BandColour = 0x680820;           // RGB 32, 8, 104
constexpr ColourRef CornerSurfaceColour = 0x808000;  // the corner picture's background
constexpr ColourRef StageLabelColour = 0xFFACB0;

// The colour table.  Entries 7 to 10 are the system's list colours and are
// read at start; the rest are fixed.
enum ColourEntry {
    ColourTitleFirst = 0,    // 0..3: title layers, dark red to red
    ColourTaglineFirst = 4,  // 4..6: tagline layers, dark blue to blue
    ColourHighlightText = 7,
    ColourHighlight = 8,
    ColourWindowText = 9,
    ColourWindow = 10,
    ColourStageCurrent = 11,
    ColourStageOther = 12,
    ColourEntryCount = 13,
};
extern const ColourRef FixedColours[ColourEntryCount];  // 7..10 are 0 here

struct FontSize {
    int height;
    int width;
};

// The title line fills the screen's width beside the band; the tagline is
// sized to the screen as well.  titleLength and taglineLength are the
// lengths of the formatted lines.
FontSize TitleFontSize(int screenWidth, int screenHeight, int titleLength);
FontSize TaglineFontSize(int screenWidth, int screenHeight, int taglineLength);

struct Point {
    int x;
    int y;
};
Point TitleOrigin(int screenWidth, int screenHeight);
Point TaglineOrigin(int screenWidth, int screenHeight, int textWidth, int textHeight);
Point CornerPictureOrigin(int screenHeight);

// Stage list: one line per stage bit, from bit 0 in list order.
constexpr int StageCount = 7;
struct StageLine {
    unsigned int bit;
    const char* text;
    int x;
    int y;
};
extern const StageLine StageLines[StageCount];
// The rectangle that holds the list; SetStage repaints exactly this.
constexpr int StageAreaLeft = 0, StageAreaTop = 120, StageAreaRight = 150, StageAreaBottom = 244;

// Device-independent bitmaps as stored in a resource: a 40-byte header,
// the colour table, then the pixel rows.
int DibColourCount(unsigned int bitsPerPixel, unsigned int usedColours);
unsigned int DibPixelOffset(unsigned int headerSize, int colourCount);

// Whether the bitmap in a resource of `size` bytes can be drawn without a
// read past its end, whatever its header claims: a header of at least 40
// bytes inside the block, a positive width and height of at most 32,767
// (the drawing takes their low 16 bits), a depth of 1, 4, 8, 16, 24 or 32
// bits, and the colour table and every pixel row (uncompressed) or the
// stated image size (run-length coded) inside the block.  Other codings are
// refused.
int DibFitsBlock(const unsigned char* block, unsigned long size);
