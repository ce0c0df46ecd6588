// Bitmap 202: the product name in polished gold, set in the display font on
// the band's blue so that it sits on the band without a visible edge.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/artgen/artwork.h"
#include "tools/pictures/font.h"

namespace artgen {

using namespace pictures;

namespace {

// A grey-level mask: 0 is empty, 1 fully covered.  Reads outside it are 0.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<double> cover;

    Mask(int w, int h) : width(w), height(h), cover(static_cast<size_t>(w) * h, 0.0) {}
    double At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0;
        return cover[static_cast<size_t>(y) * width + x];
    }
    void Set(int x, int y, double v) { cover[static_cast<size_t>(y) * width + x] = v; }
};

int GlyphWidth(const std::vector<std::string>& glyph) { return static_cast<int>(glyph[0].size()); }

// The word in the display font, one mask pixel per grid cell, letters one
// cell apart.  Characters the font lacks are left out.
Mask SetInLogoFont(const std::string& word) {
    int width = 0;
    for (char ch : word) {
        if (const auto* glyph = LogoGlyph(ch)) width += GlyphWidth(*glyph) + 1;
    }
    Mask mask(std::max(width - 1, 1), kLogoGridHeight);
    int left = 0;
    for (char ch : word) {
        const auto* glyph = LogoGlyph(ch);
        if (!glyph) continue;
        for (int row = 0; row < kLogoGridHeight; ++row) {
            for (int col = 0; col < GlyphWidth(*glyph); ++col) {
                if ((*glyph)[static_cast<size_t>(row)][static_cast<size_t>(col)] == '#') {
                    mask.Set(left + col, row, 1.0);
                }
            }
        }
        left += GlyphWidth(*glyph) + 1;
    }
    return mask;
}

// Doubles a two-level mask, filling the inside corner of every diagonal
// step so that slopes and curves stay smooth (the "scale2x" rule).
Mask ScaleUp(const Mask& in) {
    Mask out(in.width * 2, in.height * 2);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            const double p = in.At(x, y);
            const double up = in.At(x, y - 1), down = in.At(x, y + 1);
            const double left = in.At(x - 1, y), right = in.At(x + 1, y);
            const bool corner = up != down && left != right;
            out.Set(2 * x, 2 * y, corner && left == up ? up : p);
            out.Set(2 * x + 1, 2 * y, corner && up == right ? right : p);
            out.Set(2 * x, 2 * y + 1, corner && down == left ? left : p);
            out.Set(2 * x + 1, 2 * y + 1, corner && right == down ? down : p);
        }
    }
    return out;
}

// Halves a mask by averaging each 2 x 2 block: edges come out shaded.
Mask ScaleDown(const Mask& in) {
    Mask out(in.width / 2, in.height / 2);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const double sum = in.At(2 * x, 2 * y) + in.At(2 * x + 1, 2 * y) +
                               in.At(2 * x, 2 * y + 1) + in.At(2 * x + 1, 2 * y + 1);
            out.Set(x, y, sum / 4.0);
        }
    }
    return out;
}

// Every pixel takes the strongest cover around it, diagonals a little
// weaker so that the grown edge stays round.
Mask Grow(const Mask& in) {
    Mask out(in.width, in.height);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            double v = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    v = std::max(v, in.At(x + dx, y + dy) * (dx != 0 && dy != 0 ? 0.7 : 1.0));
                }
            }
            out.Set(x, y, v);
        }
    }
    return out;
}

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](uint8_t u, uint8_t v) {
        return static_cast<uint8_t>(std::lround(u + (v - u) * t));
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Polished gold from the cap line (0) to the baseline (1): pale to bright
// in the upper half, then a darker lower half that lightens again towards
// the foot, as if it mirrored a lit floor.
Rgb GoldAt(double t) {
    const Rgb pale{255, 252, 214}, bright{255, 214, 72}, deep{196, 106, 8}, foot{255, 178, 48};
    if (t < 0.5) return Mix(pale, bright, t / 0.5);
    return Mix(deep, foot, (t - 0.5) / 0.5);
}

// Mixes `colour` into the image through the mask placed at (left, top).
void Stamp(RgbImage& image, const Mask& mask, int left, int top, Rgb colour, double strength) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.Blend(x, y, colour, strength * mask.At(x - left, y - top));
        }
    }
}

}  // namespace

IndexedImage DrawLogo() {
    // The grid is drawn at twice its size: up to four times with smoothed
    // steps, then down by two, which shades the edges.
    const Mask letters = ScaleDown(ScaleUp(ScaleUp(SetInLogoFont("Quorvik"))));
    const Mask rim = Grow(letters);
    const int left = (kLogoWidth - letters.width) / 2 - 1;
    const int top = 2;
    const int baseline = top + 2 * kLogoBaseline;

    RgbImage image(kLogoWidth, kLogoHeight, kBandColour);
    Stamp(image, rim, left + 2, top + 2, Rgb{8, 0, 40}, 0.85);  // drop shadow
    Stamp(image, rim, left, top, Rgb{72, 28, 0}, 1.0);          // dark rim
    for (int y = 0; y < kLogoHeight; ++y) {
        const double t = std::clamp((y - top) / static_cast<double>(baseline - top), 0.0, 1.0);
        const Rgb gold = GoldAt(t);
        for (int x = 0; x < kLogoWidth; ++x) image.Blend(x, y, gold, letters.At(x - left, y - top));
    }
    return ReduceToPalette(image, 256);
}

}  // namespace artgen
