#include "tools/icongen/designs.h"

#include <cstdint>

#include "tools/pictures/draw.h"

namespace icongen {

using namespace pictures;

namespace {

// Not a palette index: marks the pixels the mask leaves clear.
constexpr uint8_t kClear = 16;

// The pictures primitives, taking grid units.  A unit maps to the pixel it
// falls in (integer scaling), so edges stay sharp at 16 pixels.
struct Grid {
    Canvas& c;

    int Px(int units) const { return units * c.width / 32; }

    // Right and bottom are exclusive.
    void FillRect(int left, int top, int right, int bottom, uint8_t colour) {
        pictures::FillRect(c, Px(left), Px(top), Px(right) - Px(left), Px(bottom) - Px(top),
                           Solid(colour));
    }
    void FrameRect(int left, int top, int right, int bottom, uint8_t colour) {
        pictures::FrameRect(c, Px(left), Px(top), Px(right) - Px(left), Px(bottom) - Px(top),
                            colour);
    }
    void Line(int x0, int y0, int x1, int y1, uint8_t colour) {
        pictures::Line(c, Px(x0), Px(y0), Px(x1), Px(y1), colour);
    }
    // Scaled as a shape rather than pixel by pixel, so the small disc stays round.
    void Disc(int cx, int cy, int radius, uint8_t colour) {
        const double k = c.width / 32.0;
        FillEllipse(c, cx * k, cy * k, radius * k, radius * k, Solid(colour));
    }
};

// The product: a ruled note pad with a pencil across it.
void DrawQuorvik(Grid g) {
    g.FillRect(5, 3, 25, 31, kWhite);
    g.FillRect(5, 3, 25, 8, kTeal);
    g.FrameRect(5, 3, 25, 31, kBlack);
    for (int x = 8; x <= 22; x += 4) g.Line(x, 2, x, 5, kBlack);
    for (int y = 12; y <= 28; y += 4) g.Line(7, y, 22, y, kNavy);
    g.Line(10, 8, 10, 30, kRed);
    // Pencil: yellow body with a dark edge, bare wood and lead at the tip.
    g.Line(29, 9, 17, 21, kYellow);
    g.Line(30, 10, 18, 22, kYellow);
    g.Line(30, 11, 18, 23, kOlive);
    g.Line(28, 9, 16, 21, kOlive);
    g.Line(17, 22, 15, 24, kSilver);
    g.Line(14, 25, 14, 25, kBlack);
}

// The find extension: a magnifying glass over a page.
void DrawShell(Grid g) {
    g.FillRect(3, 2, 21, 28, kWhite);
    g.FrameRect(3, 2, 21, 28, kBlack);
    for (int y = 7; y <= 23; y += 4) g.Line(6, y, 17, y, kGray);
    g.Disc(17, 15, 9, kBlack);
    g.Disc(17, 15, 7, kAqua);
    g.Disc(14, 12, 2, kWhite);
    for (int d = 0; d <= 2; ++d) {
        g.Line(23 + d, 22, 30, 29 - d, kMaroon);
        g.Line(23, 22 + d, 30 - d, 29, kMaroon);
    }
    g.Line(23, 21, 24, 22, kBlack);
}

}  // namespace

bool DrawDesign(const std::string& name, int size, IconImage* icon) {
    if (size != 32 && size != 16) return false;
    void (*draw)(Grid) = name == "quorvik" ? DrawQuorvik : name == "qvshell" ? DrawShell : nullptr;
    if (draw == nullptr) return false;
    Canvas canvas(size, size, VgaPalette(), kClear);
    draw(Grid{canvas});
    *icon = SplitTransparency(canvas, kClear);
    return true;
}

}  // namespace icongen
