// Arithmetic of the backdrop and of page placement and texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/backdrop_layout.h"
#include "shell/page_layout.h"

namespace {

const int TitleLength = 13;    // "Quorvik v3.02"
const int TaglineLength = 18;  // "Quorvik - Zintaro!"

TEST(BackdropFonts, FollowTheScreenSize) {
    FontSize title = TitleFontSize(640, 480, TitleLength);
    EXPECT_EQ(48, title.height);
    EXPECT_EQ(27, title.width);  // (640 - 140) / (13 + 5)

    title = TitleFontSize(1024, 768, TitleLength);
    EXPECT_EQ(76, title.height);
    EXPECT_EQ(49, title.width);  // 884 / 18 = 49.1

    title = TitleFontSize(1920, 1080, TitleLength);
    EXPECT_EQ(108, title.height);
    EXPECT_EQ(98, title.width);  // 1780 / 18 = 98.9, truncated
}

TEST(BackdropFonts, TaglineWidthIsTruncatedFromFloatingPoint) {
    // 640 / (18 x 1.5) = 23.7 and 1366 / 27 = 50.6, truncated.
    FontSize tagline = TaglineFontSize(640, 480, TaglineLength);
    EXPECT_EQ(26, tagline.height);
    EXPECT_EQ(23, tagline.width);
    EXPECT_EQ(50, TaglineFontSize(1366, 768, TaglineLength).width);
    // Odd lengths: 1.5 x 13 = 19.5, so 1024 / 19.5 = 52.5 -> 52, where an
    // integer product 19 would give 53.
    EXPECT_EQ(52, TaglineFontSize(1024, 768, 13).width);
}

// Below 180 pixels the corner picture starts above the top edge.
TEST(BackdropPlaces, CornerAboveTheTopOfAShortScreen) {
    EXPECT_EQ(-20, CornerPictureOrigin(160).y);
}

TEST(BackdropDib, ColourCountAndPixelOffset) {
    EXPECT_EQ(16, DibColourCount(4, 0));
    EXPECT_EQ(256, DibColourCount(8, 0));
    EXPECT_EQ(2, DibColourCount(1, 0));
    EXPECT_EQ(0, DibColourCount(24, 0));       // drawn directly, no palette
    EXPECT_EQ(40, DibColourCount(8, 40));      // the used-colours field wins
    EXPECT_EQ(5, DibColourCount(8, 0x30005));  // only its low 16 bits count
    EXPECT_EQ(40u + 1024u, DibPixelOffset(40, 256));
    EXPECT_EQ(40u, DibPixelOffset(40, 0));
}

// A resource block holding the shipped logo's shape: 130 x 31 pixels of 8
// bits, 256 colours; rows of 132 bytes.
struct LogoBlock {
    std::vector<unsigned char> bytes;
    LogoBlock() : bytes(40 + 1024 + 132 * 31, 0) {
        Put(0, 40);
        Put(4, 130);
        Put(8, 31);
        bytes[12] = 1;
        bytes[14] = 8;
    }
    void Put(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
    int Fits(size_t size) const {
        return DibFitsBlock(bytes.data(), static_cast<unsigned long>(size));
    }
    int Fits() const { return Fits(bytes.size()); }
};

TEST(BackdropDib, ALogoIsDrawnOnlyWhenItsHeaderFitsItsBlock) {
    LogoBlock logo;
    EXPECT_TRUE(logo.Fits());
    EXPECT_FALSE(logo.Fits(logo.bytes.size() - 1));  // last row one byte short
    EXPECT_FALSE(logo.Fits(39));
    EXPECT_FALSE(DibFitsBlock(nullptr, 100));

    LogoBlock bad;
    bad.Put(8, static_cast<uint32_t>(-31));  // top-down: 65,505 rows by its low 16 bits
    EXPECT_FALSE(bad.Fits());
    bad = LogoBlock();
    bad.Put(32, 65535);  // a colour table far beyond the block
    EXPECT_FALSE(bad.Fits());
    bad.Put(32, 0x10000 + 16);  // only the low 16 bits count: 16 colours
    EXPECT_TRUE(bad.Fits());
    bad = LogoBlock();
    bad.Put(0, static_cast<uint32_t>(logo.bytes.size() + 1));  // header larger than the block
    EXPECT_FALSE(bad.Fits());
    bad.Put(0, 0xFFFFFFF0u);  // and one that would wrap a 32-bit sum
    EXPECT_FALSE(bad.Fits());
    bad = LogoBlock();
    bad.Put(4, 0x10000 + 130);  // wider than the drawing's 16 bits can say
    EXPECT_FALSE(bad.Fits());
    bad = LogoBlock();
    bad.bytes[14] = 7;  // no such depth
    EXPECT_FALSE(bad.Fits());

    // Run-length coded: the stated image size must lie inside the block.
    bad = LogoBlock();
    bad.Put(16, 1);
    bad.Put(20, 132 * 31);
    EXPECT_TRUE(bad.Fits());
    bad.Put(20, 132 * 31 + 1);
    EXPECT_FALSE(bad.Fits());
    bad.Put(16, 3);  // bit fields: masks the drawing would read as pixels
    EXPECT_FALSE(bad.Fits());
}

TEST(PagePlacement, CentredOnTheScreenOrRightOfTheBand) {
    PagePosition p = ComputePagePosition(1024, 768, 300, 200, 0);
    EXPECT_EQ(362, p.x);
    EXPECT_EQ(284, p.y);
    p = ComputePagePosition(1024, 768, 300, 200, 1);
    EXPECT_EQ(437, p.x);  // (1024 - 300 + 150) / 2
    EXPECT_EQ(284, p.y);
    // Odd differences truncate.
    p = ComputePagePosition(1023, 767, 300, 200, 1);
    EXPECT_EQ(436, p.x);
    EXPECT_EQ(283, p.y);
}

TEST(PagePlacement, WiderThanTheScreenRoundsTowardZero) {
    // (640 - 800 + 150) / 2 = -5; (640 - 801 + 150) / 2 = -5.5 -> -5, not -6.
    EXPECT_EQ(-5, ComputePagePosition(640, 480, 800, 100, 1).x);
    EXPECT_EQ(-5, ComputePagePosition(640, 480, 801, 100, 1).x);
    EXPECT_EQ(-80, ComputePagePosition(640, 480, 801, 100, 0).x);  // -80.5
    EXPECT_EQ(-10, ComputePagePosition(640, 480, 100, 501, 0).y);  // -10.5
}

TEST(PageTemplate, SubstitutesTheProductNameOnce) {
    char out[220];
    ASSERT_EQ(1, FormatPageTemplate(out, sizeof out, "%s License Agreement", "Quorvik"));
    EXPECT_STREQ("Quorvik License Agreement", out);
    ASSERT_EQ(1, FormatPageTemplate(out, sizeof out, "Kestrova For Windows", "Quorvik"));
    EXPECT_STREQ("Kestrova For Windows", out);
    ASSERT_EQ(1, FormatPageTemplate(out, sizeof out, "a %s b %s", "Q"));
    EXPECT_STREQ("a Q b %s", out);
    ASSERT_EQ(1, FormatPageTemplate(out, sizeof out, "", "Q"));
    EXPECT_STREQ("", out);
}

TEST(PageTemplate, RefusesWhatWouldNotFitWithoutWritingPastTheEnd) {
    char out[12];
    std::memset(out, 'x', sizeof out);
    // "Quorvik abc": 11 characters + terminator fit exactly.
    ASSERT_EQ(1, FormatPageTemplate(out, 12, "%s abc", "Quorvik"));
    EXPECT_STREQ("Quorvik abc", out);
    char guarded[16];
    std::memset(guarded, 'x', sizeof guarded);
    EXPECT_EQ(0, FormatPageTemplate(guarded, 11, "%s abc", "Quorvik"));
    EXPECT_STREQ("", guarded);
    for (int i = 11; i < 16; ++i) EXPECT_EQ('x', guarded[i]);
    // No room even for the terminator, also for an empty text.
    char none[1] = {'x'};
    EXPECT_EQ(0, FormatPageTemplate(none, 0, "%s abc", "Quorvik"));
    EXPECT_EQ(0, FormatPageTemplate(none, 0, "", "Quorvik"));
    EXPECT_EQ('x', none[0]);
}

}  // namespace
