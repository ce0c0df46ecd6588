#include "tools/pictures/image.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace pictures {

const std::vector<Rgb>& VgaPalette() {
    static const std::vector<Rgb> palette = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return palette;
}

void RgbImage::Blend(int x, int y, Rgb colour, double coverage) {
    if (!Contains(x, y) || coverage <= 0.0) return;
    coverage = std::min(coverage, 1.0);
    Rgb& p = pixels[static_cast<size_t>(y) * width + x];
    auto mix = [coverage](uint8_t under, uint8_t over) {
        return static_cast<uint8_t>(std::lround(under + (over - under) * coverage));
    };
    p = {mix(p.r, colour.r), mix(p.g, colour.g), mix(p.b, colour.b)};
}

namespace {

uint32_t Key(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// Drops the low `shift` bits of each channel, keeping the middle of the
// range that the dropped bits covered.
Rgb Coarsen(Rgb c, int shift) {
    if (shift == 0) return c;
    auto q = [shift](uint8_t v) {
        return static_cast<uint8_t>(((v >> shift) << shift) | (1 << (shift - 1)));
    };
    return {q(c.r), q(c.g), q(c.b)};
}

}  // namespace

IndexedImage ReduceToPalette(const RgbImage& image, int maxColours) {
    const Rgb background = image.pixels.empty() ? Rgb{} : image.pixels[0];
    for (int shift = 0; shift < 8; ++shift) {
        IndexedImage out(image.width, image.height, {background}, 0);
        std::map<uint32_t, uint8_t> index{{Key(background), 0}};
        bool fits = true;
        for (size_t i = 0; i < image.pixels.size() && fits; ++i) {
            const Rgb c =
                image.pixels[i] == background ? background : Coarsen(image.pixels[i], shift);
            auto found = index.find(Key(c));
            if (found == index.end()) {
                if (static_cast<int>(out.palette.size()) >= maxColours) {
                    fits = false;
                    break;
                }
                found = index.emplace(Key(c), static_cast<uint8_t>(out.palette.size())).first;
                out.palette.push_back(c);
            }
            out.pixels[i] = found->second;
        }
        if (fits) return out;
    }
    // Only reached when maxColours is below 9 (two levels a channel plus the
    // background).
    return IndexedImage();
}

}  // namespace pictures
