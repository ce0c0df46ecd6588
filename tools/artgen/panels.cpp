// Bitmaps 200 and 201 and icon 100: 16-colour pictures drawn with the
// palette canvas primitives.
#include <string>
#include <vector>

#include "tools/artgen/artwork.h"
#include "tools/pictures/draw.h"

namespace artgen {

using namespace pictures;

namespace {

// ---------------------------------------------------------------------------
// The boxed product and its disc (bitmap 200, icon 100)

// A box seen from the front right: its front face, and how far its back
// edges lie right of and above the front ones.
struct BoxShape {
    int x, y, w, h;
    int dx, dy;
};

std::vector<Point> BoxTop(const BoxShape& b) {
    return {{b.x, b.y}, {b.x + b.dx, b.y + b.dy}, {b.x + b.w + b.dx, b.y + b.dy}, {b.x + b.w, b.y}};
}

std::vector<Point> BoxSide(const BoxShape& b) {
    return {{b.x + b.w, b.y},
            {b.x + b.w + b.dx, b.y + b.dy},
            {b.x + b.w + b.dx, b.y + b.h + b.dy},
            {b.x + b.w, b.y + b.h}};
}

void OutlineBox(Canvas& c, const BoxShape& b) {
    OutlinePolygon(c, BoxTop(b), kBlack);
    OutlinePolygon(c, BoxSide(b), kBlack);
    FrameRect(c, b.x, b.y, b.w + 1, b.h + 1, kBlack);
}

// The product's emblem: a kestrel flying across a setting sun.
void DrawEmblem(Canvas& c, int cx, int cy, int r) {
    FillEllipse(c, cx, cy, r, r, Gradient({kYellow, kYellow, kRed, kMaroon}, 0, cy - r, 0, cy + r));
    OutlineEllipse(c, cx, cy, r, r, kMaroon);
    // Wings raised at the wrists, tail fanned below the body.
    const std::vector<Point> kestrel = {{cx + 25, cy - 2},  {cx + 12, cy - 12}, {cx + 4, cy - 5},
                                        {cx + 1, cy - 8},   {cx - 1, cy - 8},   {cx - 4, cy - 5},
                                        {cx - 12, cy - 12}, {cx - 25, cy - 2},  {cx - 12, cy - 8},
                                        {cx - 5, cy - 1},   {cx - 2, cy + 6},   {cx + 2, cy + 6},
                                        {cx + 5, cy - 1},   {cx + 12, cy - 8}};
    FillPolygon(c, kestrel, Solid(kBlack));
}

void DrawProductBox(Canvas& c, const BoxShape& b) {
    FillPolygon(c, BoxTop(b), Gradient({kAqua, kBlue}, 0, b.y + b.dy, 0, b.y));
    FillPolygon(c, BoxSide(b), Gradient({kNavy, kBlack}, 0, b.y, 0, b.y + b.h));
    DrawTextUp(c, b.x + b.w + b.dx / 2 - 3, b.y + b.h - 8, "Quorvik 3.02", kSilver);

    FillRect(c, b.x, b.y, b.w, b.h, Gradient({kBlue, kNavy, kBlack}, 0, b.y, 0, b.y + b.h));
    const int cx = b.x + b.w / 2;
    const int nameX = cx - TextWidth("QUORVIK") / 2;
    DrawText(c, nameX + 1, b.y + 9, "QUORVIK", kBlack);
    DrawText(c, nameX, b.y + 8, "QUORVIK", kWhite);
    DrawText(c, cx - TextWidth("3.02") / 2, b.y + 18, "3.02", kYellow);
    DrawEmblem(c, cx, b.y + b.h * 52 / 100, 19);

    const int labelY = b.y + b.h - 14;
    FillRect(c, b.x, labelY, b.w, 14, Gradient({kWhite, kSilver}, 0, labelY, 0, labelY + 14));
    DrawText(c, cx - TextWidth("HALVENOR") / 2, labelY + 3, "HALVENOR", kNavy);
    OutlineBox(c, b);
}

// A compact disc standing face on, with the rainbow sheen of its surface.
void DrawDisc(Canvas& c, double cx, double cy, double r) {
    const double hole = r * 0.16, hub = r * 0.36;
    FillRing(c, cx, cy, r, hole,
             AngularGradient({kSilver, kWhite, kSilver, kSilver, kAqua, kFuchsia, kSilver, kSilver,
                              kWhite, kSilver, kSilver, kYellow, kAqua, kSilver},
                             cx, cy));
    FillRing(c, cx, cy, hub, hole, Solid(kSilver));
    OutlineEllipse(c, cx, cy, hub, hub, kGray);
    OutlineEllipse(c, cx, cy, hole + 1, hole + 1, kGray);
    OutlineEllipse(c, cx, cy, r, r, kBlack);
}

// ---------------------------------------------------------------------------
// A desktop computer running the installer (bitmap 201)

// A miniature of the installer's own page: title bar, picture, text and a
// progress bar, with the buttons below.
void DrawWizardWindow(Canvas& c, int x, int y, int w, int h) {
    FillRect(c, x, y, w, h, Solid(kSilver));
    Bevel(c, x, y, w, h, kWhite, kBlack);
    FillRect(c, x + 2, y + 2, w - 4, 6, Gradient({kNavy, kBlue}, x + 2, 0, x + w - 3, 0));
    FillRect(c, x + w - 8, y + 3, 4, 4, Solid(kSilver));
    Bevel(c, x + w - 8, y + 3, 4, 4, kWhite, kGray);
    FillRect(c, x + 4, y + 3, 14, 1, Solid(kWhite));
    FillRect(c, x + 4, y + 5, 9, 1, Solid(kWhite));

    const int top = y + 11;
    const int panelH = h - 15;
    FillRect(c, x + 4, top, 14, panelH, Gradient({kBlue, kNavy}, 0, top, 0, top + panelH));
    FillEllipse(c, x + 11, top + panelH / 2.0, 4.5, 4.5, Solid(kYellow));
    Bevel(c, x + 3, top - 1, 16, panelH + 2, kGray, kWhite);

    const int textX = x + 22;
    const int textW = w - 26;
    FillRect(c, textX, top + 1, textW, 2, Solid(kGray));
    FillRect(c, textX, top + 5, textW * 2 / 3, 2, Solid(kGray));
    const int barY = top + 10;
    FillRect(c, textX, barY, textW, 6, Solid(kWhite));
    Bevel(c, textX, barY, textW, 6, kGray, kWhite);
    for (int block = 0; block < (textW - 3) * 2 / 3 / 4; ++block) {
        FillRect(c, textX + 2 + block * 4, barY + 2, 3, 2, Solid(kNavy));
    }

    const int buttonY = y + h - 10;
    for (int button = 0; button < 2; ++button) {
        const int bx = x + w - 4 - (button + 1) * 17;
        FillRect(c, bx, buttonY, 15, 7, Solid(kSilver));
        Bevel(c, bx, buttonY, 15, 7, kWhite, kBlack);
        FillRect(c, bx + 4, buttonY + 3, 7, 1, Solid(kBlack));
    }
}

void DrawMonitor(Canvas& c, int x, int y, int w, int h) {
    const int neckW = w / 4;
    FillRect(c, x + (w - neckW) / 2, y + h, neckW, 5,
             Gradient({kSilver, kGray}, 0, y + h, 0, y + h + 5));
    FrameRect(c, x + (w - neckW) / 2, y + h - 1, neckW, 6, kBlack);

    FillRect(c, x, y, w, h, Gradient({kWhite, kSilver, kSilver, kSilver}, x, y, x + w, y + h));
    Bevel(c, x + 1, y + 1, w - 2, h - 2, kWhite, kGray);
    FrameRect(c, x, y, w, h, kBlack);

    const int sx = x + 7, sy = y + 6, sw = w - 14, sh = h - 19;
    Bevel(c, sx - 1, sy - 1, sw + 2, sh + 2, kGray, kWhite);
    FillRect(c, sx, sy, sw, sh, Gradient({kBlue, kNavy}, sx, sy, sx + sw, sy + sh));
    FrameRect(c, sx, sy, sw, sh, kBlack);
    DrawWizardWindow(c, sx + 6, sy + 4, sw - 12, sh - 8);

    FillRect(c, x + w - 14, y + h - 8, 3, 2, Solid(kLime));
    FillRect(c, x + 8, y + h - 8, 16, 2, Solid(kGray));
}

void DrawSystemUnit(Canvas& c, int x, int y, int w, int h) {
    FillRect(c, x, y, w, h, Gradient({kWhite, kSilver, kSilver, kGray}, 0, y, 0, y + h));
    Bevel(c, x + 1, y + 1, w - 2, h - 2, kWhite, kGray);
    FrameRect(c, x, y, w, h, kBlack);
    // Disc drive and floppy slot on the right, power button on the left.
    const int bayX = x + w - 46;
    FillRect(c, bayX, y + 5, 38, 6, Solid(kSilver));
    Bevel(c, bayX, y + 5, 38, 6, kGray, kWhite);
    FillRect(c, bayX + 3, y + 7, 24, 2, Solid(kBlack));
    FillRect(c, bayX, y + 13, 38, 6, Solid(kSilver));
    Bevel(c, bayX, y + 13, 38, 6, kGray, kWhite);
    FillRect(c, bayX + 8, y + 15, 22, 1, Solid(kBlack));
    FillRect(c, bayX + 31, y + 16, 3, 2, Solid(kGray));
    FillRect(c, x + 8, y + 8, 6, 6, Solid(kSilver));
    Bevel(c, x + 8, y + 8, 6, 6, kWhite, kBlack);
    FillRect(c, x + 18, y + 10, 2, 2, Solid(kLime));
    FillRect(c, x + 18, y + 14, 2, 2, Solid(kRed));
}

// A keyboard seen from above and in front: narrower at the back.
void DrawKeyboard(Canvas& c, int x, int y, int w, int h) {
    const std::vector<Point> outline = {{x + 6, y}, {x + w - 6, y}, {x + w, y + h}, {x, y + h}};
    const int frontY = y + h - 2;  // the front edge, in shade
    FillPolygon(c, outline, [frontY](int, int py) { return py >= frontY ? kGray : kSilver; });
    OutlinePolygon(c, outline, kBlack);
    const int rows = 4;
    for (int row = 0; row < rows; ++row) {
        const int ky = y + 3 + row * (h - 6) / rows;
        const int inset = 6 - row * 6 / rows;
        for (int kx = x + inset + 3; kx + 3 < x + w - inset - 2; kx += 5) {
            FillRect(c, kx, ky, 4, 2, Solid(kGray));
            FillRect(c, kx, ky, 4, 1, Solid(kWhite));
        }
    }
    FillRect(c, x + w / 2 - 14, y + h - 6, 28, 2, Solid(kGray));
}

}  // namespace

IndexedImage DrawSetupPicture() {
    Canvas c(kPanelWidth, kPanelHeight, VgaPalette(), kWhite);
    const int floorY = 128;
    FillRect(c, 0, 0, kPanelWidth, floorY, Gradient({kWhite, kSilver}, 0, 0, 0, floorY));
    FillRect(c, 0, floorY, kPanelWidth, kPanelHeight - floorY,
             Gradient({kSilver, kGray}, 0, floorY, 0, kPanelHeight));
    FillEllipse(c, 60, 146, 56, 10, Dither(kSilver, kGray, 10));  // shadow on the floor
    DrawProductBox(c, {8, 34, 68, 104, 18, -12});
    DrawDisc(c, 93, 139, 22);
    return c;
}

IndexedImage DrawCornerPicture() {
    // Nothing but the background may be teal: the backdrop floods that
    // colour from (1, 1), and it must neither run into the computer nor
    // miss a patch of background enclosed by it.
    Canvas c(kPanelWidth, kPanelHeight, VgaPalette(), kTeal);
    DrawSystemUnit(c, 8, 110, 104, 24);
    DrawMonitor(c, 14, 34, 92, 71);
    DrawKeyboard(c, 6, 140, 108, 18);
    return c;
}

IconImage DrawIcon(int size) {
    // Not a palette index: marks the pixels the icon's mask leaves clear.
    constexpr uint8_t kClear = 16;
    Canvas c(size, size, VgaPalette(), kClear);
    const bool large = size >= 32;
    const BoxShape b = large ? BoxShape{2, 8, 18, 22, 8, -6} : BoxShape{0, 4, 9, 11, 4, -3};
    // Flat colours: dithering turns to noise at this size.
    FillPolygon(c, BoxTop(b), Solid(kAqua));
    FillPolygon(c, BoxSide(b), Solid(kNavy));
    FillRect(c, b.x, b.y, b.w, b.h, Solid(kBlue));
    const double sunX = b.x + b.w / 2.0, sunY = b.y + b.h * 0.45, sunR = b.w * 0.32;
    FillEllipse(c, sunX, sunY, sunR, sunR, Solid(kYellow));
    if (large) {
        OutlineEllipse(c, sunX, sunY, sunR, sunR, kRed);
        FillRect(c, b.x, b.y + b.h - 4, b.w, 4, Solid(kSilver));
    }
    OutlineBox(c, b);

    const double discR = large ? 8.5 : 4.5;
    const double discCentre = size - discR - (large ? 1 : 0);
    FillRing(c, discCentre, discCentre, discR, large ? 1.6 : 1.0,
             AngularGradient({kSilver, kWhite, kSilver, kAqua, kSilver, kWhite, kSilver, kYellow},
                             discCentre, discCentre));
    OutlineEllipse(c, discCentre, discCentre, discR, discR, kBlack);
    if (large) OutlineEllipse(c, discCentre, discCentre, 3, 3, kGray);
    return SplitTransparency(c, kClear);
}

}  // namespace artgen
