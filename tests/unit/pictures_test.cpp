// The picture files as the resource compiler and the installer read them:
// bitmap and icon headers, row padding, colour tables and icon masks; the
// installer's artwork (the corner picture's background, which the backdrop
// floods from pixel (1, 1), and the logo on the band); the product's icons.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "tools/artgen/artwork.h"
#include "tools/icongen/designs.h"
#include "tools/pictures/bitmap_file.h"

namespace {

using namespace pictures;

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | (uint32_t{b.at(at + 1)} << 8);
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// A bitmap file read back the way a consumer reads it: from its headers,
// rows bottom-up and padded to whole 32-bit words, pixels from the high bits.
struct Decoded {
    int width = 0, height = 0, depth = 0;
    std::vector<Rgb> table;
    std::vector<uint8_t> index;  // top row first
    Rgb At(int x, int y) const { return table.at(index.at(static_cast<size_t>(y) * width + x)); }
};

Decoded DecodeBmp(const std::vector<uint8_t>& file) {
    Decoded d;
    d.width = static_cast<int>(U32(file, 18));
    d.height = static_cast<int>(U32(file, 22));
    d.depth = static_cast<int>(U16(file, 28));
    const size_t colours = U32(file, 46) ? U32(file, 46) : size_t{1} << d.depth;
    for (size_t i = 0; i < colours; ++i) {
        const size_t at = 14 + U32(file, 14) + 4 * i;
        d.table.push_back({file.at(at + 2), file.at(at + 1), file.at(at)});
    }
    const size_t stride = (static_cast<size_t>(d.width) * d.depth + 31) / 32 * 4;
    for (int y = 0; y < d.height; ++y) {
        const size_t row = U32(file, 10) + static_cast<size_t>(d.height - 1 - y) * stride;
        for (int x = 0; x < d.width; ++x) {
            const int bit = x * d.depth;
            const int value = file.at(row + bit / 8) >> (8 - d.depth - bit % 8);
            d.index.push_back(static_cast<uint8_t>(value & ((1 << d.depth) - 1)));
        }
    }
    return d;
}

IndexedImage Pattern(int w, int h, size_t paletteSize) {
    std::vector<Rgb> palette;
    for (size_t i = 0; i < paletteSize; ++i)
        palette.push_back({uint8_t(i), uint8_t(i * 2), uint8_t(i * 3)});
    IndexedImage image(w, h, palette, 0);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<uint8_t>((i * 7 + 1) % paletteSize);
    return image;
}

TEST(PictureFiles, BitmapHeadersTableAndPaddedBottomUpRows) {
    struct Case {
        int w, h, depth;
        size_t paletteSize;
        uint32_t stride;
    };
    for (const Case& c : {Case{3, 2, 4, 16, 4}, Case{9, 2, 4, 5, 8}, Case{5, 3, 8, 3, 8},
                          Case{33, 2, 1, 2, 8}, Case{130, 31, 8, 256, 132}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "@" +
                     std::to_string(c.depth));
        const IndexedImage image = Pattern(c.w, c.h, c.paletteSize);
        std::vector<uint8_t> file;
        ASSERT_EQ(EncodeBmp(image, c.depth, &file), "");
        const uint32_t table = 4u << c.depth;
        EXPECT_EQ(U16(file, 0), 0x4D42u);  // "BM"
        EXPECT_EQ(U32(file, 2), file.size());
        EXPECT_EQ(U32(file, 10), 14u + 40u + table);
        EXPECT_EQ(file.size(), 14u + 40u + table + c.stride * c.h);
        EXPECT_EQ(U32(file, 14), 40u);  // the classic header the resource compiler takes
        EXPECT_EQ(U16(file, 26), 1u);
        EXPECT_EQ(U32(file, 30), 0u);  // BI_RGB
        EXPECT_EQ(U32(file, 34), c.stride * c.h);

        const Decoded back = DecodeBmp(file);
        EXPECT_EQ(back.width, c.w);
        EXPECT_EQ(back.height, c.h);  // positive: bottom-up
        EXPECT_EQ(back.index, image.pixels);
        ASSERT_EQ(back.table.size(), size_t{1} << c.depth);
        for (size_t i = 0; i < back.table.size(); ++i)  // missing entries are black
            EXPECT_EQ(back.table[i], i < c.paletteSize ? image.palette[i] : Rgb{}) << i;
    }
}

TEST(PictureFiles, RefusesWhatTheFormatCannotHold) {
    std::vector<uint8_t> file;
    EXPECT_NE(EncodeBmp(Pattern(4, 4, 16), 24, &file), "");
    EXPECT_NE(EncodeBmp(Pattern(4, 4, 17), 4, &file), "");  // palette larger than the table
    IndexedImage keyed(4, 4, VgaPalette(), kBlack);
    keyed.Set(2, 2, 16);  // an index past the palette: a transparency key left in
    EXPECT_NE(EncodeBmp(keyed, 4, &file), "");
    EXPECT_NE(EncodeBmp(IndexedImage(0, 4, VgaPalette(), 0), 4, &file), "");
    IndexedImage shortPixels(4, 4, VgaPalette(), 0);
    shortPixels.pixels.pop_back();
    EXPECT_NE(EncodeBmp(shortPixels, 4, &file), "");

    EXPECT_NE(EncodeIco({}, &file), "");
    const IconImage noMask{IndexedImage(16, 16, VgaPalette(), 0), {}};
    EXPECT_NE(EncodeIco({noMask}, &file), "");
    EXPECT_NE(EncodeIco({IconImage{keyed, std::vector<bool>(16, false)}}, &file), "");
}

TEST(PictureFiles, IconDirectoryHeadersAndMasks) {
    constexpr uint8_t kKey = 16;
    std::vector<IconImage> images;
    for (int size : {32, 16}) {
        IndexedImage drawn(size, size, VgaPalette(), kBlue);
        drawn.Set(0, 0, kKey);                // top left clear
        drawn.Set(size - 1, size - 1, kKey);  // bottom right clear
        drawn.Set(1, 0, kYellow);
        images.push_back(SplitTransparency(drawn, kKey));
    }
    std::vector<uint8_t> ico;
    ASSERT_EQ(EncodeIco(images, &ico), "");
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u);
    EXPECT_EQ(U16(ico, 4), 2u);

    // 32 x 32: 16-byte colour rows, 4-byte mask rows; 16 x 16: 8-byte colour
    // rows and mask rows of 2 bytes padded to 4.
    const uint32_t wantBytes[] = {40 + 64 + 16 * 32 + 4 * 32, 40 + 64 + 8 * 16 + 4 * 16};
    uint32_t at = 6 + 2 * 16;
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const uint32_t size = images[i].image.width;
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico[entry], size);
        EXPECT_EQ(ico[entry + 1], size);
        EXPECT_EQ(ico[entry + 2], 16);
        EXPECT_EQ(U16(ico, entry + 4), 1u);
        EXPECT_EQ(U16(ico, entry + 6), 4u);
        EXPECT_EQ(U32(ico, entry + 8), wantBytes[i]);
        ASSERT_EQ(U32(ico, entry + 12), at);

        EXPECT_EQ(U32(ico, at), 40u);
        EXPECT_EQ(U32(ico, at + 4), size);
        EXPECT_EQ(U32(ico, at + 8), 2 * size);  // colour and mask rows
        EXPECT_EQ(U16(ico, at + 14), 4u);
        EXPECT_EQ(U32(ico, at + 20), wantBytes[i] - 40 - 64);
        const size_t colourRows = at + 40 + 64, stride = size / 2;
        const size_t maskRows = colourRows + stride * size;
        // Top left is the last stored row's first pixel: colour 0, mask bit set.
        EXPECT_EQ(ico[colourRows + stride * (size - 1)], (0 << 4) | kYellow);
        EXPECT_EQ(ico[maskRows + 4 * (size - 1)], 0x80);
        // Bottom right: the first stored row's last pixel.
        EXPECT_EQ(ico[colourRows + stride - 1], (kBlue << 4) | 0);
        EXPECT_EQ(ico[maskRows + size / 8 - 1], 0x01);
        EXPECT_EQ(ico[maskRows + 4 * 5 + 1], 0);  // opaque elsewhere, padding included
        at += wantBytes[i];
    }
    EXPECT_EQ(ico.size(), at);
}

// --- The pictures themselves ---------------------------------------------

std::vector<uint8_t> ArtFileNamed(const std::string& name) {
    std::vector<artgen::ArtFile> files;
    EXPECT_EQ(artgen::BuildArtwork(&files), "");
    for (const artgen::ArtFile& f : files) {
        if (f.name == name) return f.bytes;
    }
    ADD_FAILURE() << name << " not built";
    return {};
}

TEST(Artwork, BitmapSizesAndDepths) {
    struct Want {
        const char* name;
        int w, h, depth;
    };
    for (const Want& want : {Want{"setup.bmp", 120, 168, 4}, Want{"corner.bmp", 120, 168, 4},
                             Want{"logo.bmp", 130, 31, 8}}) {
        SCOPED_TRACE(want.name);
        const Decoded d = DecodeBmp(ArtFileNamed(want.name));
        EXPECT_EQ(d.width, want.w);
        EXPECT_EQ(d.height, want.h);
        EXPECT_EQ(d.depth, want.depth);
        // 16-colour pictures keep the system palette, which a 16-colour
        // display shows as it is.
        if (want.depth == 4) EXPECT_EQ(d.table, VgaPalette());
    }
}

// The backdrop flood-fills the corner picture from (1, 1) with FLOODFILLSURFACE:
// every pixel of the background colour that is connected to it, side by side.
TEST(Artwork, CornerBackgroundIsOneFloodFromPixelOneOne) {
    const Decoded d = DecodeBmp(ArtFileNamed("corner.bmp"));
    ASSERT_EQ(d.index.size(), static_cast<size_t>(artgen::kPanelWidth * artgen::kPanelHeight));
    EXPECT_EQ(d.At(1, 1), artgen::kCornerBackground);
    int entries = 0;
    for (const Rgb& c : d.table) entries += c == artgen::kCornerBackground;
    EXPECT_EQ(entries, 1) << "another table entry of the same colour would be flooded too";

    std::vector<bool> reached(d.index.size(), false);
    std::deque<std::pair<int, int>> queue{{1, 1}};
    reached[static_cast<size_t>(d.width + 1)] = true;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const std::pair<int, int> steps[] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& [nx, ny] : steps) {
            if (nx < 0 || ny < 0 || nx >= d.width || ny >= d.height) continue;
            const size_t i = static_cast<size_t>(ny) * d.width + nx;
            if (!reached[i] && d.At(nx, ny) == artgen::kCornerBackground) {
                reached[i] = true;
                queue.push_back({nx, ny});
            }
        }
    }
    size_t background = 0, subject = 0;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            const size_t i = static_cast<size_t>(y) * d.width + x;
            const bool border = x == 0 || y == 0 || x == d.width - 1 || y == d.height - 1;
            EXPECT_TRUE(reached[i] || !border) << "subject on the edge at " << x << "," << y;
            if (d.At(x, y) == artgen::kCornerBackground) {
                ++background;
                EXPECT_TRUE(reached[i]) << "background at " << x << "," << y << " is cut off";
                continue;
            }
            ++subject;
            // The subject is outlined in black where it meets the background,
            // so no teal inside it can touch the flood.
            const bool touches = (x > 0 && reached[i - 1]) || (x + 1 < d.width && reached[i + 1]) ||
                                 (y > 0 && reached[i - d.width]) ||
                                 (y + 1 < d.height && reached[i + d.width]);
            if (touches) EXPECT_EQ(d.At(x, y), VgaPalette()[kBlack]) << "edge at " << x << "," << y;
        }
    }
    EXPECT_GT(subject, background / 2) << "the picture should have a subject";
}

TEST(Artwork, LogoEdgesAreExactlyTheBand) {
    const Decoded d = DecodeBmp(ArtFileNamed("logo.bmp"));
    ASSERT_EQ(d.index.size(), static_cast<size_t>(artgen::kLogoWidth * artgen::kLogoHeight));
    size_t lettering = 0;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            if (x == 0 || y == 0 || x == d.width - 1 || y == d.height - 1)
                EXPECT_EQ(d.At(x, y), artgen::kBandColour) << x << "," << y;
            lettering += d.At(x, y) != artgen::kBandColour;
        }
    }
    EXPECT_GT(lettering, d.index.size() / 4);
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
            ASSERT_EQ(icon.image.width, size);
            ASSERT_EQ(icon.image.height, size);
            ASSERT_EQ(icon.transparent.size(), icon.image.pixels.size());
            EXPECT_TRUE(icon.transparent[0]);
            size_t clear = 0;
            for (size_t i = 0; i < icon.transparent.size(); ++i) {
                if (!icon.transparent[i]) continue;
                ++clear;
                EXPECT_EQ(icon.image.pixels[i], 0);
            }
            EXPECT_GT(clear, 0u);
            EXPECT_GT(icon.transparent.size() - clear, icon.transparent.size() / 4);
        }
    }
    IconImage icon;
    EXPECT_FALSE(icongen::DrawDesign("other", 32, &icon));
    EXPECT_FALSE(icongen::DrawDesign("quorvik", 48, &icon));
}

TEST(Artwork, WritesEveryFileWholeOrNamesTheOneItCannot) {
    char dir[] = "/tmp/pictures_testXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    ASSERT_EQ(artgen::WriteArtwork(dir), "");
    std::vector<artgen::ArtFile> files;
    ASSERT_EQ(artgen::BuildArtwork(&files), "");
    ASSERT_EQ(files.size(), 4u);
    for (const artgen::ArtFile& f : files) {
        const std::string path = std::string(dir) + "/" + f.name;
        std::vector<uint8_t> bytes(f.bytes.size() + 1);
        if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
            std::fclose(in);
        }
        EXPECT_EQ(bytes, f.bytes) << path;
        std::remove(path.c_str());
    }
    EXPECT_EQ(rmdir(dir), 0) << "something besides the four files was left behind";

    const std::string problem = artgen::WriteArtwork(std::string(dir) + "/absent");
    EXPECT_NE(problem.find("kestrova.ico"), std::string::npos) << problem;
}

}  // namespace
