// In-memory pictures: a palette image (what the bitmap and icon files
// hold) and a true-colour image used where a picture is smoothed before it
// is reduced to a palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pictures {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

// The sixteen colours that every display can show, in the order of the
// system's default 4-bit palette.
enum Vga : uint8_t {
    kBlack,
    kMaroon,
    kGreen,
    kOlive,
    kNavy,
    kPurple,
    kTeal,
    kSilver,
    kGray,
    kRed,
    kLime,
    kYellow,
    kBlue,
    kFuchsia,
    kAqua,
    kWhite,
};
const std::vector<Rgb>& VgaPalette();

// Pixels are palette indices, row-major, top row first.  While drawing a
// canvas may hold indices outside the palette (an icon's transparency key,
// for instance); the file writers refuse them.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;

    IndexedImage() = default;
    IndexedImage(int w, int h, std::vector<Rgb> pal, uint8_t fill)
        : width(w), height(h), palette(std::move(pal)), pixels(static_cast<size_t>(w) * h, fill) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Out-of-range writes are clipped, so shapes may overhang the edges.
    void Set(int x, int y, uint8_t index) {
        if (Contains(x, y)) pixels[static_cast<size_t>(y) * width + x] = index;
    }
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    RgbImage(int w, int h, Rgb fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Mixes colour over the pixel; coverage 0 leaves it, 1 replaces it.
    void Blend(int x, int y, Rgb colour, double coverage);
};

// Reduces a true-colour image to at most maxColours palette entries.  The
// colour of pixel (0, 0) is kept exact (it is the background the picture
// must blend into); other colours lose precision only when there are too
// many to fit.
IndexedImage ReduceToPalette(const RgbImage& image, int maxColours);

}  // namespace pictures
