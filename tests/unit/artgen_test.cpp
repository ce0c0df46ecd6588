// The picture files as the resource compiler and the installer read them:
// header layouts, row padding, colour tables, icon masks, and the corner
// picture's background, which the backdrop floods from pixel (1, 1).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "tools/artgen/bitmap_file.h"
#include "tools/artgen/pictures.h"

namespace artgen {
namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | (uint32_t{b.at(at + 1)} << 8);
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// A bitmap file read back the way a consumer reads it: from its headers.
struct Decoded {
    int width = 0, height = 0, depth = 0;
    std::vector<Rgb> table;
    std::vector<uint8_t> index;  // top row first
    Rgb At(int x, int y) const { return table.at(index.at(static_cast<size_t>(y) * width + x)); }
};

Decoded DecodeBmp(const std::vector<uint8_t>& file) {
    Decoded d;
    const size_t info = kFileHeaderSize;
    d.width = static_cast<int>(U32(file, info + 4));
    d.height = static_cast<int>(U32(file, info + 8));
    d.depth = static_cast<int>(U16(file, info + 14));
    const uint32_t used = U32(file, info + 32);
    const size_t colours = used ? used : size_t{1} << d.depth;
    for (size_t i = 0; i < colours; ++i) {
        const size_t at = info + U32(file, info) + 4 * i;
        d.table.push_back({file.at(at + 2), file.at(at + 1), file.at(at)});
    }
    const size_t bits = U32(file, 10);
    const int stride = StrideBytes(d.width, d.depth);
    for (int y = 0; y < d.height; ++y) {
        const size_t row = bits + static_cast<size_t>(d.height - 1 - y) * stride;
        for (int x = 0; x < d.width; ++x) {
            const int bit = x * d.depth;
            const uint8_t byte = file.at(row + bit / 8);
            d.index.push_back(
                static_cast<uint8_t>((byte >> (8 - d.depth - bit % 8)) & ((1 << d.depth) - 1)));
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

TEST(ArtgenBmp, RowsArePaddedToFourBytes) {
    EXPECT_EQ(StrideBytes(1, 4), 4);
    EXPECT_EQ(StrideBytes(8, 4), 4);
    EXPECT_EQ(StrideBytes(9, 4), 8);
    EXPECT_EQ(StrideBytes(120, 4), 60);
    EXPECT_EQ(StrideBytes(130, 8), 132);
    EXPECT_EQ(StrideBytes(16, 1), 4);
    EXPECT_EQ(StrideBytes(33, 1), 8);
}

TEST(ArtgenBmp, HeadersTableAndBottomUpRows) {
    struct Case {
        int w, h, depth;
        size_t paletteSize;
    };
    for (const Case& c :
         {Case{3, 2, 4, 16}, Case{5, 3, 8, 3}, Case{9, 2, 1, 2}, Case{130, 31, 8, 256}}) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "@" +
                     std::to_string(c.depth));
        const IndexedImage image = Pattern(c.w, c.h, c.paletteSize);
        std::vector<uint8_t> file;
        ASSERT_EQ(EncodeBmp(image, c.depth, &file), "");

        const uint32_t table = 4u << c.depth;
        const uint32_t stride = static_cast<uint32_t>(StrideBytes(c.w, c.depth));
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(U32(file, 2), file.size());
        EXPECT_EQ(U32(file, 6), 0u);
        EXPECT_EQ(U32(file, 10), 14u + 40u + table);
        EXPECT_EQ(file.size(), 14u + 40u + table + stride * c.h);
        EXPECT_EQ(U32(file, 14), 40u);  // classic header, not a V4/V5
        EXPECT_EQ(U32(file, 18), static_cast<uint32_t>(c.w));
        EXPECT_EQ(U32(file, 22), static_cast<uint32_t>(c.h));  // positive: bottom-up
        EXPECT_EQ(U16(file, 26), 1u);
        EXPECT_EQ(U16(file, 28), static_cast<uint32_t>(c.depth));
        EXPECT_EQ(U32(file, 30), 0u);  // BI_RGB
        EXPECT_EQ(U32(file, 34), stride * c.h);
        EXPECT_EQ(U32(file, 46), 0u);  // the whole table is in use

        // Table entries are blue, green, red, zero; missing ones are black.
        for (size_t i = 0; i < (size_t{1} << c.depth); ++i) {
            const size_t at = 54 + 4 * i;
            const Rgb want = i < c.paletteSize ? image.palette[i] : Rgb{};
            EXPECT_EQ(file[at], want.b);
            EXPECT_EQ(file[at + 1], want.g);
            EXPECT_EQ(file[at + 2], want.r);
            EXPECT_EQ(file[at + 3], 0);
        }
        const Decoded back = DecodeBmp(file);
        EXPECT_EQ(back.index, image.pixels);
        // The padding after each row is zero.
        for (int row = 0; row < c.h; ++row) {
            for (uint32_t pad = (c.w * c.depth + 7) / 8; pad < stride; ++pad) {
                EXPECT_EQ(file[U32(file, 10) + row * stride + pad], 0) << "row " << row;
            }
        }
    }
}

TEST(ArtgenBmp, TopLeftPixelIsHighNibbleOfLastStoredRow) {
    IndexedImage image(3, 2, VgaPalette(), kBlack);
    image.Set(0, 0, kWhite);
    image.Set(1, 0, kRed);
    std::vector<uint8_t> file;
    ASSERT_EQ(EncodeBmp(image, 4, &file), "");
    const size_t lastRow = U32(file, 10) + 4;
    EXPECT_EQ(file[lastRow], (kWhite << 4) | kRed);
    EXPECT_EQ(file[U32(file, 10)], 0);
}

TEST(ArtgenBmp, RefusesWhatTheFormatCannotHold) {
    std::vector<uint8_t> file;
    EXPECT_NE(EncodeBmp(Pattern(4, 4, 16), 24, &file), "");
    EXPECT_NE(EncodeBmp(Pattern(4, 4, 16), 3, &file), "");
    EXPECT_NE(EncodeBmp(Pattern(4, 4, 17), 4, &file), "");  // palette larger than the table
    IndexedImage keyed(4, 4, VgaPalette(), kBlack);
    keyed.Set(2, 2, 16);  // an index past the palette
    EXPECT_NE(EncodeBmp(keyed, 4, &file), "");
    EXPECT_NE(EncodeBmp(IndexedImage(0, 4, VgaPalette(), 0), 4, &file), "");
    IndexedImage shortPixels(4, 4, VgaPalette(), 0);
    shortPixels.pixels.pop_back();
    EXPECT_NE(EncodeBmp(shortPixels, 4, &file), "");
}

TEST(ArtgenIco, DirectoryEntriesAndMasks) {
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
    uint32_t wantOffset = 6 + 2 * 16;
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const int size = images[i].image.width;
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico[entry], size);
        EXPECT_EQ(ico[entry + 1], size);
        EXPECT_EQ(ico[entry + 2], 16);
        EXPECT_EQ(ico[entry + 3], 0);
        EXPECT_EQ(U16(ico, entry + 4), 1u);
        EXPECT_EQ(U16(ico, entry + 6), 4u);
        EXPECT_EQ(U32(ico, entry + 8), wantBytes[i]);
        EXPECT_EQ(U32(ico, entry + 12), wantOffset);

        const size_t at = wantOffset;
        EXPECT_EQ(U32(ico, at), 40u);
        EXPECT_EQ(U32(ico, at + 4), static_cast<uint32_t>(size));
        EXPECT_EQ(U32(ico, at + 8), static_cast<uint32_t>(2 * size));  // colour and mask rows
        EXPECT_EQ(U16(ico, at + 14), 4u);
        EXPECT_EQ(U32(ico, at + 20), wantBytes[i] - 40 - 64);

        const size_t colourRows = at + 40 + 64;
        const size_t stride = static_cast<size_t>(size) / 2;
        const size_t maskRows = colourRows + stride * size;
        // Top left is the last stored row's first pixel: colour 0, mask bit set.
        EXPECT_EQ(ico[colourRows + stride * (size - 1)], (0 << 4) | kYellow);
        EXPECT_EQ(ico[maskRows + 4 * (size - 1)], 0x80);
        // Bottom right: the first stored row's last pixel.
        EXPECT_EQ(ico[colourRows + stride - 1], (kBlue << 4) | 0);
        EXPECT_EQ(ico[maskRows + size / 8 - 1], 0x01);
        // Opaque everywhere else, padding included.
        EXPECT_EQ(ico[maskRows + 4 * 5 + 1], 0);
        wantOffset += wantBytes[i];
    }
    EXPECT_EQ(ico.size(), wantOffset);
}

TEST(ArtgenIco, RefusesImagesItCannotStore) {
    std::vector<uint8_t> ico;
    EXPECT_NE(EncodeIco({}, &ico), "");
    IconImage noMask{IndexedImage(16, 16, VgaPalette(), 0), {}};
    EXPECT_NE(EncodeIco({noMask}, &ico), "");
    IndexedImage keyLeft(16, 16, VgaPalette(), 0);
    keyLeft.Set(3, 3, 16);  // drawn with a key but never split
    EXPECT_NE(EncodeIco({IconImage{keyLeft, std::vector<bool>(256, false)}}, &ico), "");
}

std::vector<uint8_t> ArtFileNamed(const std::string& name) {
    std::vector<ArtFile> files;
    EXPECT_EQ(BuildArtwork(&files), "");
    for (const ArtFile& f : files) {
        if (f.name == name) return f.bytes;
    }
    ADD_FAILURE() << name << " not built";
    return {};
}

TEST(ArtgenArtwork, FilesSizesAndDepths) {
    std::vector<ArtFile> files;
    ASSERT_EQ(BuildArtwork(&files), "");
    ASSERT_EQ(files.size(), 4u);
    struct Want {
        const char* name;
        int w, h, depth;
    };
    for (const Want& want : {Want{"setup.bmp", 120, 168, 4}, Want{"corner.bmp", 120, 168, 4},
                             Want{"logo.bmp", 130, 31, 8}}) {
        SCOPED_TRACE(want.name);
        const std::vector<uint8_t> file = ArtFileNamed(want.name);
        const Decoded d = DecodeBmp(file);
        EXPECT_EQ(d.width, want.w);
        EXPECT_EQ(d.height, want.h);
        EXPECT_EQ(d.depth, want.depth);
        EXPECT_EQ(d.table.size(), size_t{1} << want.depth);
        EXPECT_EQ(U32(file, 14), 40u);
        if (want.depth == 4) EXPECT_EQ(d.table, VgaPalette());
    }

    const std::vector<uint8_t> ico = ArtFileNamed("kestrova.ico");
    ASSERT_GE(ico.size(), 38u);
    EXPECT_EQ(U16(ico, 4), 2u);
    const int sizes[] = {32, 16};
    for (size_t i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico[entry], sizes[i]);
        EXPECT_EQ(U16(ico, entry + 6), 4u);
        EXPECT_EQ(U16(ico, U32(ico, entry + 12) + 14), 4u);
    }
}

TEST(ArtgenArtwork, IconsHaveClearBackgroundAndASubject) {
    for (int size : {32, 16}) {
        SCOPED_TRACE(size);
        const IconImage icon = DrawIcon(size);
        ASSERT_EQ(icon.image.width, size);
        ASSERT_EQ(icon.image.height, size);
        EXPECT_TRUE(icon.transparent[0]);  // the top left corner shows the desktop
        size_t clear = 0;
        for (size_t i = 0; i < icon.transparent.size(); ++i) {
            if (icon.transparent[i]) {
                ++clear;
                EXPECT_EQ(icon.image.pixels[i], 0);  // so the XOR leaves the screen as it is
            }
        }
        EXPECT_GT(clear, 0u);
        EXPECT_GT(icon.transparent.size() - clear, icon.transparent.size() / 2);
    }
}

// The backdrop flood-fills the corner picture from (1, 1) with FLOODFILLSURFACE:
// every pixel of the background colour that is connected to it, side by side.
TEST(ArtgenArtwork, CornerBackgroundIsOneFloodFromPixelOneOne) {
    const Decoded d = DecodeBmp(ArtFileNamed("corner.bmp"));
    ASSERT_EQ(d.width, kPanelWidth);
    ASSERT_EQ(d.height, kPanelHeight);
    EXPECT_EQ(d.At(1, 1), kCornerBackground);
    int entries = 0;
    for (const Rgb& c : d.table) entries += c == kCornerBackground;
    EXPECT_EQ(entries, 1) << "another table entry of the same colour would be flooded too";

    std::vector<bool> reached(d.index.size(), false);
    std::deque<std::pair<int, int>> queue{{1, 1}};
    reached[static_cast<size_t>(1 * d.width + 1)] = true;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : steps) {
            const int nx = x + s[0], ny = y + s[1];
            if (nx < 0 || ny < 0 || nx >= d.width || ny >= d.height) continue;
            const size_t i = static_cast<size_t>(ny) * d.width + nx;
            if (!reached[i] && d.At(nx, ny) == kCornerBackground) {
                reached[i] = true;
                queue.push_back({nx, ny});
            }
        }
    }

    size_t background = 0, subject = 0;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            const size_t i = static_cast<size_t>(y) * d.width + x;
            if (d.At(x, y) == kCornerBackground) {
                ++background;
                EXPECT_TRUE(reached[i]) << "background at " << x << "," << y << " is cut off";
                continue;
            }
            ++subject;
            // The subject is outlined in black wherever it meets the
            // background, so teal inside it could never join the flood:
            // with the check above, no part of the subject is teal.
            const bool touches = (x > 0 && reached[i - 1]) || (x + 1 < d.width && reached[i + 1]) ||
                                 (y > 0 && reached[i - d.width]) ||
                                 (y + 1 < d.height && reached[i + d.width]);
            if (touches) EXPECT_EQ(d.At(x, y), VgaPalette()[kBlack]) << "edge at " << x << "," << y;
        }
    }
    // Every border pixel is background: the subject stands clear of the edges.
    for (int x = 0; x < d.width; ++x) {
        EXPECT_TRUE(reached[static_cast<size_t>(x)]);
        EXPECT_TRUE(reached[static_cast<size_t>(d.height - 1) * d.width + x]);
    }
    for (int y = 0; y < d.height; ++y) {
        EXPECT_TRUE(reached[static_cast<size_t>(y) * d.width]);
        EXPECT_TRUE(reached[static_cast<size_t>(y) * d.width + d.width - 1]);
    }
    EXPECT_GT(subject, background / 2) << "the picture should have a subject";
}

TEST(ArtgenArtwork, LogoBlendsIntoTheBand) {
    const Decoded d = DecodeBmp(ArtFileNamed("logo.bmp"));
    ASSERT_EQ(d.width, kLogoWidth);
    ASSERT_EQ(d.height, kLogoHeight);
    // Its edges are exactly the band's colour, so it has no visible frame.
    for (int x = 0; x < d.width; ++x) {
        EXPECT_EQ(d.At(x, 0), kBandColour) << x;
        EXPECT_EQ(d.At(x, d.height - 1), kBandColour) << x;
    }
    for (int y = 0; y < d.height; ++y) {
        EXPECT_EQ(d.At(0, y), kBandColour) << y;
        EXPECT_EQ(d.At(d.width - 1, y), kBandColour) << y;
    }
    size_t lettering = 0;
    for (size_t i = 0; i < d.index.size(); ++i) lettering += d.table[d.index[i]] != kBandColour;
    EXPECT_GT(lettering, d.index.size() / 4);
}

TEST(ArtgenArtwork, WritesTheFourFilesOrNamesTheOneItCannot) {
    char dir[] = "/tmp/artgen_testXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    ASSERT_EQ(WriteArtwork(dir), "");
    std::vector<ArtFile> files;
    ASSERT_EQ(BuildArtwork(&files), "");
    for (const ArtFile& f : files) {
        const std::string path = std::string(dir) + "/" + f.name;
        std::FILE* in = std::fopen(path.c_str(), "rb");
        ASSERT_NE(in, nullptr) << path;
        std::vector<uint8_t> bytes(f.bytes.size() + 1);
        EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), in), f.bytes.size());
        std::fclose(in);
        bytes.pop_back();
        EXPECT_EQ(bytes, f.bytes) << path;
        std::remove(path.c_str());
    }
    rmdir(dir);

    const std::string missing = std::string(dir) + "/absent";
    const std::string problem = WriteArtwork(missing);
    EXPECT_NE(problem.find("kestrova.ico"), std::string::npos) << problem;
}

}  // namespace
}  // namespace artgen
