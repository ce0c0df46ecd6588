#include "tools/icongen/icon.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace icongen {

namespace {

const std::uint8_t kPalette[16][3] = {  // red, green, blue
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::size_t RowBytes(int pixels, int bitsPerPixel) {
  return ((static_cast<std::size_t>(pixels) * bitsPerPixel + 31) / 32) * 4;
}

std::vector<std::uint8_t> ImageData(const Canvas& image) {
  const int size = image.Size();
  std::vector<std::uint8_t> out;
  Put32(out, 40);        // header size
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size * 2));  // colour + mask
  Put16(out, 1);         // planes
  Put16(out, 4);         // bits per pixel
  Put32(out, 0);         // no compression
  const std::size_t colourRow = RowBytes(size, 4);
  const std::size_t maskRow = RowBytes(size, 1);
  Put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * size));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 16);        // colours used
  Put32(out, 0);
  for (const auto& rgb : kPalette) {
    out.push_back(rgb[2]);
    out.push_back(rgb[1]);
    out.push_back(rgb[0]);
    out.push_back(0);
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(colourRow, 0);
    for (int x = 0; x < size; ++x) {
      const int colour = image.At(x, y);
      const unsigned index = colour == kTransparent ? 0u : unsigned(colour);
      row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index : index << 4);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskRow, 0);
    for (int x = 0; x < size; ++x)
      if (image.At(x, y) == kTransparent)
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

Canvas::Canvas(int size)
    : size_(size), pixels_(static_cast<std::size_t>(size) * size,
                           kTransparent) {
  if (size <= 0 || size > 255) throw std::invalid_argument("icon size");
}

void Canvas::Set(int x, int y, int colour) {
  if (x < 0 || y < 0 || x >= size_ || y >= size_) return;
  pixels_[y * size_ + x] = colour;
}

void Canvas::FillRect(int left, int top, int right, int bottom, int colour) {
  for (int y = Scale(top); y < Scale(bottom); ++y)
    for (int x = Scale(left); x < Scale(right); ++x) Set(x, y, colour);
}

void Canvas::FrameRect(int left, int top, int right, int bottom,
                       int colour) {
  const int l = Scale(left), t = Scale(top);
  const int r = Scale(right) - 1, b = Scale(bottom) - 1;
  for (int x = l; x <= r; ++x) {
    Set(x, t, colour);
    Set(x, b, colour);
  }
  for (int y = t; y <= b; ++y) {
    Set(l, y, colour);
    Set(r, y, colour);
  }
}

void Canvas::Line(int x0, int y0, int x1, int y1, int colour) {
  int x = Scale(x0), y = Scale(y0);
  const int tx = Scale(x1), ty = Scale(y1);
  const int dx = std::abs(tx - x), dy = -std::abs(ty - y);
  const int sx = x < tx ? 1 : -1, sy = y < ty ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    Set(x, y, colour);
    if (x == tx && y == ty) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void Canvas::Disc(int cx, int cy, int radius, int colour) {
  // Measured in units, then mapped, so the 16-pixel disc keeps its shape.
  for (int y = 0; y < size_; ++y)
    for (int x = 0; x < size_; ++x) {
      const int ux = (2 * x + 1) * 32 / size_ - 2 * cx;  // doubled units
      const int uy = (2 * y + 1) * 32 / size_ - 2 * cy;
      if (ux * ux + uy * uy <= 4 * radius * radius) Set(x, y, colour);
    }
}

std::vector<std::uint8_t> WriteIco(const std::vector<Canvas>& images) {
  if (images.empty() || images.size() > 0xFFFF)
    throw std::invalid_argument("icon image count");
  std::vector<std::vector<std::uint8_t>> data;
  for (const Canvas& image : images) data.push_back(ImageData(image));

  std::vector<std::uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // icon
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset =
      static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].Size()));
    out.push_back(static_cast<std::uint8_t>(images[i].Size()));
    out.push_back(16);  // colours
    out.push_back(0);
    Put16(out, 1);      // planes
    Put16(out, 4);      // bits per pixel
    Put32(out, static_cast<std::uint32_t>(data[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(data[i].size());
  }
  for (const auto& image : data) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace icongen
