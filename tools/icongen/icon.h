// 16-colour icons drawn from code and written as .ico files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace icongen {

// The standard 16-colour palette, by index.
enum Colour : int {
  kTransparent = -1,
  kBlack = 0, kMaroon, kGreen, kOlive, kNavy, kPurple, kTeal, kSilver,
  kGrey, kRed, kLime, kYellow, kBlue, kFuchsia, kAqua, kWhite,
};

// A square image of palette indexes; kTransparent pixels show the desktop.
// Drawing takes coordinates on a 32-unit grid, scaled to the image size,
// so one drawing serves both the 32x32 and the 16x16 image.
class Canvas {
 public:
  explicit Canvas(int size);

  int Size() const { return size_; }
  int At(int x, int y) const { return pixels_[y * size_ + x]; }
  void Set(int x, int y, int colour);  // pixel units; outside is ignored

  void FillRect(int left, int top, int right, int bottom, int colour);
  void FrameRect(int left, int top, int right, int bottom, int colour);
  void Line(int x0, int y0, int x1, int y1, int colour);
  void Disc(int cx, int cy, int radius, int colour);

 private:
  int Scale(int units) const { return units * size_ / 32; }

  int size_;
  std::vector<int> pixels_;
};

// The .ico file: a directory of the images, then each image as a 4-bit
// device-independent bitmap (colour rows, then the 1-bit mask, both bottom
// row first and padded to 4 bytes).
std::vector<std::uint8_t> WriteIco(const std::vector<Canvas>& images);

// The named design at the given size; false for an unknown name.
bool DrawDesign(const std::string& name, int size, Canvas& canvas);

}  // namespace icongen
