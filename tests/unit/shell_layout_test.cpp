// The backdrop's font sizes and its check of the logo bitmap.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "shell/backdrop_layout.h"

namespace {

// Title "Quorvik v3.02" (13), tagline "Quorvik - Zintaro!" (18).  The tagline
// width is truncated from floating point: with the odd length 13, 1024 / 19.5
// is 52.5 -> 52, where an integer product 19 would give 53.
TEST(BackdropFonts, FollowTheScreenSize) {
    const int cases[][7] = {
        // width, height, length: title height and width, tagline height and width
        {640, 480, 18, 48, 21, 26, 23},     // 500 / 23; 640 / 27 = 23.7
        {1024, 768, 13, 76, 49, 42, 52},    // 884 / 18 = 49.1
        {1920, 1080, 13, 108, 98, 60, 98},  // 1780 / 18 = 98.9; 1920 / 19.5 = 98.5
    };
    for (const auto& [width, height, length, titleHeight, titleWidth, lineHeight, lineWidth] :
         cases) {
        const FontSize title = TitleFontSize(width, height, length);
        const FontSize tagline = TaglineFontSize(width, height, length);
        EXPECT_EQ(titleHeight, title.height) << width;
        EXPECT_EQ(titleWidth, title.width) << width;
        EXPECT_EQ(lineHeight, tagline.height) << width;
        EXPECT_EQ(lineWidth, tagline.width) << width;
    }
}

// A block of the shipped logo's shape: 130 x 31 pixels of 8 bits, 256 colours.
constexpr unsigned long kLogoBytes = 40 + 1024 + 132 * 31;

TEST(BackdropDib, ALogoIsDrawnOnlyWhenItsHeaderFitsItsBlock) {
    using Edits = std::vector<std::pair<size_t, uint32_t>>;
    const std::tuple<Edits, unsigned long, bool> cases[] = {
        {{}, kLogoBytes, true},
        {{}, kLogoBytes - 1, false},  // last row one byte short
        {{}, 39, false},
        {{{8, static_cast<uint32_t>(-31)}}, kLogoBytes, false},  // top-down: 65,505 rows
        {{{32, 65535}}, kLogoBytes, false},          // a colour table far beyond the block
        {{{0, kLogoBytes + 1}}, kLogoBytes, false},  // header larger than the block
        {{{0, 0xFFFFFFF0u}}, kLogoBytes, false},     // and one that would wrap a 32-bit sum
        {{{4, 0x10000 + 130}}, kLogoBytes, false},   // wider than 16 bits can say
        {{{14, 7}}, kLogoBytes, false},              // no such depth
        // Run-length coded: the stated image size must lie inside the block;
        // bit fields would be masks the drawing reads as pixels.
        {{{16, 1}, {20, 132 * 31 + 1}}, kLogoBytes, false},
        {{{16, 3}, {20, 132 * 31}}, kLogoBytes, false},
    };
    for (const auto& [changes, size, fits] : cases) {
        std::vector<unsigned char> block(kLogoBytes, 0);
        Edits edits = {{0, 40}, {4, 130}, {8, 31}, {12, 1}, {14, 8}};
        edits.insert(edits.end(), changes.begin(), changes.end());
        for (const auto& [at, value] : edits)
            for (int i = 0; i < 4; ++i)
                block[at + i] = static_cast<unsigned char>(value >> (8 * i));
        EXPECT_EQ(fits, DibFitsBlock(block.data(), size) != 0)
            << "field at " << (changes.empty() ? 0 : changes.back().first) << ", size " << size;
    }
    EXPECT_FALSE(DibFitsBlock(nullptr, 100));
}

}  // namespace
