// Writers for the two picture formats the resource compiler takes:
// device-independent bitmap files and icon files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/pictures/image.h"

namespace pictures {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kIconDirSize = 6;
constexpr int kIconEntrySize = 16;

// Bytes in one stored row of `width` pixels: rows are padded to 4 bytes.
int StrideBytes(int width, int bitsPerPixel);

// A bitmap file: BITMAPFILEHEADER, the 40-byte BITMAPINFOHEADER, the
// palette as colour table (the header counts its entries when they are
// fewer than the depth allows), then the rows bottom-up: run-length coded
// (4 or 8 bits per pixel) when that is smaller, else uncompressed.
// bitsPerPixel is 1, 4 or 8.
// Returns an empty string on success, else what is wrong with the image.
std::string EncodeBmp(const IndexedImage& image, int bitsPerPixel, std::vector<uint8_t>* out);

// One image of an icon: `transparent` marks, per pixel, those the AND mask
// lets the background show through.
struct IconImage {
    IndexedImage image;
    std::vector<bool> transparent;
};

// Turns the pixels of `key` into transparent ones (colour 0 under them).
IconImage SplitTransparency(const IndexedImage& drawn, uint8_t key);

// An icon file of 4-bit images, each with its AND mask.
std::string EncodeIco(const std::vector<IconImage>& images, std::vector<uint8_t>* out);

// Writes the file whole under a temporary name first, then renames it, so
// that a failed run never leaves a cut-off picture that looks up to date to
// the build.  Returns an empty string on success, else a message naming it.
std::string WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace pictures
