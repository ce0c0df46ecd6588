// The pictures as the resource compiler reads them, and what the installer relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "shell/backdrop_layout.h"
#include "shell/page_layout.h"
#include "tools/artgen/artwork.h"
#include "tools/icongen/designs.h"
#include "tools/pictures/bitmap_file.h"

namespace {

using namespace pictures;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t U16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

// A bitmap from its 40-byte header at `at`: the colour table, then rows
// bottom-up, padded to 32-bit words, pixels from the high bits, or coded in
// runs.  An icon's image states twice its height: mask rows follow.
struct Decoded {
    int width = 0, height = 0, depth = 0;
    uint32_t coding = 0;
    size_t end = 0;  // just past the rows that the header announces
    std::vector<Rgb> table;
    std::vector<uint8_t> index;  // top row first
    std::vector<bool> clear;     // the mask, for an icon
    Rgb At(int x, int y) const { return table.at(index.at(static_cast<size_t>(y) * width + x)); }
};

// Runs of 8-bit pixels (coding 1) or alternating 4-bit pairs (coding 2):
// every pixel must be set once, and each row and the bitmap ended.
void DecodeRuns(const Bytes& file, size_t at, Decoded* d) {
    d->index.assign(static_cast<size_t>(d->width) * d->height, 0xFF);
    const int depth = d->depth;
    int x = 0, y = d->height - 1;
    auto put = [&](int pair, int i) {
        const int value = depth == 8 ? pair : (i % 2 ? pair & 15 : pair >> 4);
        ASSERT_TRUE(x < d->width && y >= 0) << "a run beyond the bitmap";
        d->index[static_cast<size_t>(y) * d->width + x++] = static_cast<uint8_t>(value);
    };
    while (at < d->end) {
        const int count = file.at(at), code = file.at(at + 1);
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(code, i);
        } else if (code == 0) {
            EXPECT_EQ(x, d->width) << "row " << y << " ended early";
            x = 0, --y;
        } else if (code == 1) {
            break;
        } else {
            ASSERT_GE(code, 3) << "a delta leaves pixels unset";
            for (int i = 0; i < code; ++i) put(file.at(at + (depth == 8 ? i : i / 2)), i);
            at += ((depth == 8 ? code : (code + 1) / 2) + 1) & ~1;
        }
    }
    EXPECT_EQ(std::tuple(at, y), std::tuple(d->end, -1)) << "the bitmap's end";
}

Decoded DecodeDib(const Bytes& file, size_t at, bool icon) {
    Decoded d;
    EXPECT_EQ(U32(file, at), 40u);
    EXPECT_EQ(U16(file, at + 12), 1u);  // planes
    d.width = static_cast<int>(U32(file, at + 4));
    d.height = static_cast<int>(U32(file, at + 8)) / (icon ? 2 : 1);
    d.depth = static_cast<int>(U16(file, at + 14));
    d.coding = U32(file, at + 16);
    const size_t colours = U32(file, at + 32) ? U32(file, at + 32) : size_t{1} << d.depth;
    for (size_t i = 0; i < colours; ++i) {
        const size_t entry = at + 40 + 4 * i;
        d.table.push_back({file.at(entry + 2), file.at(entry + 1), file.at(entry)});
    }
    const size_t pixels = at + 40 + 4 * colours;
    d.end = pixels + U32(file, at + 20);
    if (d.coding != 0) {
        EXPECT_FALSE(icon);
        EXPECT_EQ(d.coding, d.depth == 8 ? 1u : 2u);
        DecodeRuns(file, pixels, &d);
        return d;
    }
    const size_t stride = (static_cast<size_t>(d.width) * d.depth + 31) / 32 * 4;
    const size_t maskStride = (static_cast<size_t>(d.width) + 31) / 32 * 4;
    const size_t mask = pixels + stride * d.height;
    EXPECT_EQ(d.end, mask + (icon ? maskStride * d.height : 0)) << "the stated image size";
    for (int y = 0; y < d.height; ++y) {
        const size_t row = pixels + static_cast<size_t>(d.height - 1 - y) * stride;
        const size_t maskRow = mask + static_cast<size_t>(d.height - 1 - y) * maskStride;
        for (int x = 0; x < d.width; ++x) {
            const int bit = x * d.depth;
            const int value = file.at(row + bit / 8) >> (8 - d.depth - bit % 8);
            d.index.push_back(static_cast<uint8_t>(value & ((1 << d.depth) - 1)));
            if (icon) d.clear.push_back((file.at(maskRow + x / 8) >> (7 - x % 8)) & 1);
        }
    }
    return d;
}

Decoded DecodeBmp(const Bytes& file) {
    EXPECT_EQ(U16(file, 0), 0x4D42u);  // "BM"
    EXPECT_EQ(U32(file, 2), file.size());
    const Decoded d = DecodeDib(file, 14, false);
    EXPECT_EQ(U32(file, 10), 14 + 40 + 4 * d.table.size());
    EXPECT_EQ(d.end, file.size());
    return d;
}

Bytes ArtFile(const std::string& name) {
    std::vector<artgen::ArtFile> files;
    EXPECT_EQ(artgen::BuildArtwork(&files), "");
    for (const artgen::ArtFile& f : files)
        if (f.name == name) return f.bytes;
    ADD_FAILURE() << name << " not built";
    return {};
}

// The installer's pictures read back exactly as drawn, coded in runs; the
// 16-colour ones keep the system palette, which a 16-colour display shows.
TEST(PictureFiles, ReadBackAsDrawn) {
    const std::tuple<const char*, IndexedImage, int> cases[] = {
        {"setup.bmp", artgen::DrawSetupPicture(), 4},
        {"corner.bmp", artgen::DrawCornerPicture(), 4},
        {"logo.bmp", artgen::DrawLogo(), 8}};
    for (const auto& [name, image, depth] : cases) {
        const Decoded d = DecodeBmp(ArtFile(name));
        EXPECT_EQ(std::tuple(d.depth, d.coding), std::tuple(depth, depth == 8 ? 1u : 2u)) << name;
        EXPECT_EQ(std::tuple(d.index, d.table), std::tuple(image.pixels, image.palette)) << name;
        if (depth == 4) EXPECT_EQ(d.table, VgaPalette()) << name;
    }
    // Made-up images at the coder's limits: runs longer than 255 pixels in
    // both codings, an odd width, and noise, which stays plain.
    IndexedImage wide(600, 3, std::vector<Rgb>(200, Rgb{1, 2, 3}), 7);
    IndexedImage dither(31, 4, VgaPalette(), kWhite);
    IndexedImage noise(16, 16, std::vector<Rgb>(256), 0);
    uint32_t seed = 1;
    for (uint8_t& p : noise.pixels)
        p = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    for (int x = 0; x < 600; ++x) wide.Set(x, 1, static_cast<uint8_t>(x * 7 % 200));
    for (int x = 0; x < 31; ++x) dither.Set(x, 2, (x % 2) ? kNavy : kAqua);
    for (const auto& [image, depth, coding] :
         {std::tuple(wide, 8, 1u), std::tuple(dither, 4, 2u), std::tuple(noise, 8, 0u)}) {
        Bytes file;
        ASSERT_EQ(EncodeBmp(image, depth, &file), "");
        const Decoded d = DecodeBmp(file);
        EXPECT_EQ(std::tuple(d.index, d.coding), std::tuple(image.pixels, coding)) << image.width;
    }
    // The icon file's two images follow its directory one after another.
    const Bytes ico = ArtFile("kestrova.ico");
    ASSERT_EQ(std::tuple(U32(ico, 0), U16(ico, 4)), std::tuple(0x00010000u, 2u));  // type: icon
    size_t next = 6 + 16 * 2;
    int widths = 0;
    for (size_t entry = 6; entry < 6 + 16 * 2; entry += 16) {
        EXPECT_EQ(U32(ico, entry + 12), next);
        const Decoded d = DecodeDib(ico, next, true);
        next += U32(ico, entry + 8);
        EXPECT_EQ(d.end, next);
        EXPECT_EQ(std::tuple(ico.at(entry), ico.at(entry + 1)), std::tuple(d.width, d.height));
        const IconImage drawn = artgen::DrawIcon(d.width);
        EXPECT_EQ(std::tuple(d.index, d.clear), std::tuple(drawn.image.pixels, drawn.transparent));
        widths += d.width;
    }
    EXPECT_EQ(ico.size(), next);
    EXPECT_EQ(widths, 32 + 16);
}

// The backdrop floods the corner picture from (1, 1) (FLOODFILLSURFACE: the
// background colour, side by side), so the background must be one table
// entry, all of it reached from (1, 1), and nothing else of that colour.
TEST(Artwork, CornerBackgroundIsOneFloodFromPixelOneOne) {
    const Decoded d = DecodeBmp(ArtFile("corner.bmp"));
    ASSERT_EQ(d.At(1, 1), artgen::kCornerBackground);
    EXPECT_EQ(std::count(d.table.begin(), d.table.end(), artgen::kCornerBackground), 1);
    std::vector<bool> reached(d.index.size(), false);
    std::vector<std::pair<int, int>> todo{{1, 1}};
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        const size_t i = static_cast<size_t>(y) * d.width + x;
        if (x < 0 || y < 0 || x >= d.width || y >= d.height || reached[i] ||
            d.At(x, y) != artgen::kCornerBackground)
            continue;
        reached[i] = true;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    size_t background = 0;
    for (size_t i = 0; i < d.index.size(); ++i) {
        if (d.table[d.index[i]] != artgen::kCornerBackground) continue;
        ++background;
        EXPECT_TRUE(reached[i]) << "cut off at " << i % d.width << "," << i / d.width;
    }
    EXPECT_GT(d.index.size() - background, background / 2) << "the picture should have a subject";
}

// Every icon: a clear top-left corner, colour 0 under each clear pixel (so
// the XOR leaves the desktop as it is) and a subject over most of it.
TEST(Artwork, IconsHaveClearBackgroundAndASubject) {
    for (const char* name : {"kestrova", "quorvik", "qvshell"}) {
        for (int size : {32, 16}) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(size));
            IconImage icon = artgen::DrawIcon(size);
            if (std::string(name) != "kestrova")
                ASSERT_TRUE(icongen::DrawDesign(name, size, &icon));
            EXPECT_TRUE(icon.transparent[0]);
            size_t opaque = 0;
            for (size_t i = 0; i < icon.transparent.size(); ++i) {
                opaque += !icon.transparent[i];
                if (icon.transparent[i]) EXPECT_EQ(icon.image.pixels[i], 0) << "at " << i;
            }
            EXPECT_GT(opaque, icon.transparent.size() / 4);
        }
    }
}

// Title "Quorvik v3.02" (13), tagline "Quorvik - Zintaro!" (18).  The tagline
// width is truncated from floating point: with the odd length 13, 1024 / 19.5
// is 52.5 -> 52, where an integer product 19 would give 53.
TEST(BackdropFonts, FollowTheScreenSize) {
    const int cases[][7] = {
        // width, height, length: title height and width, tagline height and width
        {640, 480, 18, 48, 21, 26, 23},   // 500 / 23; 640 / 27 = 23.7
        {1024, 768, 13, 76, 49, 42, 52},  // 884 / 18 = 49.1
    };
    for (const auto& c : cases) {
        const FontSize title = TitleFontSize(c[0], c[1], c[2]);
        const FontSize line = TaglineFontSize(c[0], c[1], c[2]);
        EXPECT_EQ(std::vector<int>(c + 3, c + 7),
                  std::vector<int>({title.height, title.width, line.height, line.width}))
            << c[0];
    }
}

// The backdrop draws the logo on a band of its colour, and only when the
// header of the block it gets (the file without its file header) fits it.
TEST(Logo, EdgesAreExactlyTheBandAndItIsDrawnOnlyWhenItsHeaderFitsItsBlock) {
    const Bytes logo = ArtFile("logo.bmp");
    const Decoded d = DecodeBmp(logo);
    size_t lettering = 0;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            if (x == 0 || y == 0 || x == d.width - 1 || y == d.height - 1)
                EXPECT_EQ(d.At(x, y), artgen::kBandColour) << x << "," << y;
            lettering += d.At(x, y) != artgen::kBandColour;
        }
    }
    EXPECT_GT(lettering, d.index.size() / 4);
    const unsigned long whole = static_cast<unsigned long>(logo.size() - 14);
    const std::tuple<size_t, uint32_t, unsigned long, bool> cases[] = {
        {0, 40, whole, true},       // the header's own size: unchanged
        {0, 40, whole - 1, false},  // the runs one byte short
        {0, 40, 39, false},
        {8, static_cast<uint32_t>(-31), whole, false},  // top-down: 65,505 rows
        {32, 65535, whole, false},                      // a colour table far beyond the block
        {0, whole + 1, whole, false},                   // header larger than the block
        {0, 0xFFFFFFF0u, whole, false},                 // and one that would wrap a 32-bit sum
        {4, 0x10000 + 130, whole, false},               // wider than 16 bits can say
        {14, 7, whole, false},                          // no such depth
        {16, 0, whole, false},                          // plain rows would be larger than the runs
        // 4-bit runs need 4 bits; bit fields would be masks read as pixels.
        {16, 2, whole, false},
        {16, 3, whole, false},
    };
    for (const auto& [at, value, size, fits] : cases) {
        Bytes block(logo.begin() + 14, logo.end());
        for (int i = 0; i < 4; ++i) block[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        EXPECT_EQ(fits, DibFitsBlock(block.data(), size) != 0)
            << "field at " << at << ", size " << size;
    }
    EXPECT_FALSE(DibFitsBlock(nullptr, 100));
}

}  // namespace

// The group page's success box (257x106) beside a 512x208 page.
TEST(BoxPlacement, KeepsThePageInSight) {
    const std::tuple<int, int, PagePosition, int, int> cases[] = {
        {1024, 768, {331, 280}, 458, 496},  // below, centred on the page
        {640, 480, {100, 300}, 227, 186},   // too low: above
        {640, 300, {64, 46}, 191, 97},      // neither: the screen's centre
        {600, 480, {300, 100}, 343, 316},   // kept inside the screen's right edge
    };
    for (const auto& [width, height, page, x, y] : cases) {
        const PagePosition at = PlaceBoxClearOfPage(width, height, page, 512, 208, 257, 106);
        EXPECT_EQ(std::pair(x, y), std::pair(at.x, at.y)) << width << "x" << height;
    }
}
