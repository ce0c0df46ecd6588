// The .ico writer: directory, bitmap headers, bottom-up rows of 4-bit
// pixels and the transparency mask, each padded to whole 32-bit words.
#include <gtest/gtest.h>

#include <vector>

#include "tools/icongen/icon.h"

namespace icongen {
namespace {

unsigned U16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return d.at(at) | (d.at(at + 1) << 8);
}
std::uint32_t U32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return U16(d, at) | (static_cast<std::uint32_t>(U16(d, at + 2)) << 16);
}

TEST(IconFile, DirectoryDescribesEachImage) {
  const std::vector<std::uint8_t> ico = WriteIco({Canvas(32), Canvas(16)});
  EXPECT_EQ(U16(ico, 0), 0u);
  EXPECT_EQ(U16(ico, 2), 1u);
  EXPECT_EQ(U16(ico, 4), 2u);
  // header + palette + colour rows + mask rows
  const std::uint32_t sizes[] = {40 + 64 + 32 * 16 + 32 * 4, 40 + 64 + 16 * 8 + 16 * 4};
  std::uint32_t offset = 6 + 2 * 16;
  for (int i = 0; i < 2; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const unsigned size = i == 0 ? 32 : 16;
    EXPECT_EQ(ico[entry], size);
    EXPECT_EQ(ico[entry + 1], size);
    EXPECT_EQ(ico[entry + 2], 16);
    EXPECT_EQ(U16(ico, entry + 4), 1u);
    EXPECT_EQ(U16(ico, entry + 6), 4u);
    EXPECT_EQ(U32(ico, entry + 8), sizes[i]);
    EXPECT_EQ(U32(ico, entry + 12), offset);
    // The bitmap header: twice the height (colour and mask), 4 bits.
    EXPECT_EQ(U32(ico, offset), 40u);
    EXPECT_EQ(U32(ico, offset + 4), size);
    EXPECT_EQ(U32(ico, offset + 8), size * 2);
    EXPECT_EQ(U16(ico, offset + 14), 4u);
    EXPECT_EQ(U32(ico, offset + 20), sizes[i] - 40 - 64);
    offset += sizes[i];
  }
  EXPECT_EQ(ico.size(), offset);
}

TEST(IconFile, PixelsGoBottomRowFirstWithTheirMask) {
  Canvas canvas(16);
  canvas.Set(0, 0, kRed);     // top left
  canvas.Set(1, 0, kBlue);
  canvas.Set(15, 15, kWhite); // bottom right
  canvas.Set(16, 0, kRed);    // outside: ignored
  const std::vector<std::uint8_t> ico = WriteIco({canvas});
  const std::size_t image = U32(ico, 6 + 12);
  const std::size_t palette = image + 40;
  EXPECT_EQ(ico[palette + 4 * kRed + 2], 255);  // red in the red byte
  EXPECT_EQ(ico[palette + 4 * kRed + 0], 0);
  const std::size_t colours = palette + 64;
  const std::size_t topRow = colours + 15 * 8;
  EXPECT_EQ(ico[topRow], (kRed << 4) | kBlue);
  EXPECT_EQ(ico[colours + 7], kWhite);  // bottom row, last pixel
  const std::size_t mask = colours + 16 * 8;
  EXPECT_EQ(ico[mask + 15 * 4], 0x3F);      // top row: two opaque pixels
  EXPECT_EQ(ico[mask + 15 * 4 + 1], 0xFF);
  EXPECT_EQ(ico[mask + 0], 0xFF);           // bottom row: last opaque
  EXPECT_EQ(ico[mask + 1], 0xFE);
  EXPECT_EQ(ico[mask + 2], 0);              // padding
  EXPECT_EQ(ico[mask + 3], 0);
}

TEST(IconFile, DrawingScalesFromTheUnitGrid) {
  Canvas small(16);
  small.FillRect(0, 0, 16, 8, kGreen);
  EXPECT_EQ(small.At(7, 3), kGreen);
  EXPECT_EQ(small.At(8, 3), kTransparent);
  EXPECT_EQ(small.At(7, 4), kTransparent);
  Canvas large(32);
  large.Line(0, 0, 31, 31, kBlack);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(large.At(i, i), kBlack);
  EXPECT_EQ(large.At(1, 0), kTransparent);
}

TEST(IconFile, DesignsExistAtBothSizesAndLeaveCornersClear) {
  for (const char* name : {"quorvik", "qvshell"}) {
    for (int size : {32, 16}) {
      Canvas canvas(size);
      ASSERT_TRUE(DrawDesign(name, size, canvas));
      EXPECT_EQ(canvas.Size(), size);
      int opaque = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) opaque += canvas.At(x, y) != kTransparent;
      EXPECT_GT(opaque, size * size / 4) << name << size;
      EXPECT_EQ(canvas.At(0, size - 1), kTransparent);
      EXPECT_EQ(canvas.At(size - 1, 0), kTransparent);
    }
  }
  Canvas canvas(32);
  EXPECT_FALSE(DrawDesign("other", 32, canvas));
}

}  // namespace
}  // namespace icongen
