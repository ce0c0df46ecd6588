#include "tools/pictures/bitmap_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace pictures {

namespace {

void Put16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string Check(const IndexedImage& image, int bitsPerPixel) {
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) {
        return "unsupported depth of " + std::to_string(bitsPerPixel) + " bits per pixel";
    }
    if (image.width <= 0 || image.height <= 0 || image.width > 0x7FFF || image.height > 0x7FFF) {
        return "bad size " + std::to_string(image.width) + " x " + std::to_string(image.height);
    }
    if (image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
        return "pixel count does not match the size";
    }
    const size_t tableSize = size_t{1} << bitsPerPixel;
    if (image.palette.empty() || image.palette.size() > tableSize) {
        return "palette of " + std::to_string(image.palette.size()) + " colours for " +
               std::to_string(bitsPerPixel) + " bits per pixel";
    }
    for (uint8_t index : image.pixels) {
        if (index >= image.palette.size()) {
            return "pixel index " + std::to_string(index) + " outside the palette";
        }
    }
    return "";
}

// BITMAPINFOHEADER; an icon image states twice its height (colour rows and
// mask rows).  `usedColours` 0 means the full table of the depth.
void PutInfoHeader(std::vector<uint8_t>* out, int width, int storedHeight, int bitsPerPixel,
                   uint32_t coding, uint32_t imageBytes, uint32_t usedColours) {
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(storedHeight));
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(bitsPerPixel));
    Put32(out, coding);
    Put32(out, imageBytes);
    Put32(out, 0);  // pixels per metre, x and y: unspecified
    Put32(out, 0);
    Put32(out, usedColours);
    Put32(out, 0);  // important colours: all
}

void PutColourTable(std::vector<uint8_t>* out, const std::vector<Rgb>& palette, size_t entries) {
    for (size_t i = 0; i < entries; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        out->push_back(c.b);
        out->push_back(c.g);
        out->push_back(c.r);
        out->push_back(0);
    }
}

// Pixel rows, bottom row first; pixels fill each byte from its high bits.
void PutRows(std::vector<uint8_t>* out, const IndexedImage& image, int bitsPerPixel) {
    const int stride = StrideBytes(image.width, bitsPerPixel);
    const int perByte = 8 / bitsPerPixel;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < image.width; ++x) {
            const int shift = 8 - bitsPerPixel * (x % perByte + 1);
            row[static_cast<size_t>(x / perByte)] |= static_cast<uint8_t>(image.At(x, y) << shift);
        }
        out->insert(out->end(), row.begin(), row.end());
    }
}

// Run-length coding.  A coded run is a count and one byte: 8-bit pixels
// repeat that byte, 4-bit ones alternate its high and low halves, so a
// two-colour dither codes as well as a flat area.  An absolute run is 0, a
// count of 3 to 255, then the pixels packed as in a plain row and padded
// to a 16-bit word.  0, 0 ends a row; 0, 1 ends the bitmap.
constexpr int kLongestRun = 255;

size_t AbsoluteRunBytes(int pixels, int bitsPerPixel) {
    const size_t bytes = (static_cast<size_t>(pixels) * bitsPerPixel + 7) / 8;
    return 2 + ((bytes + 1) & ~size_t{1});
}

// How many pixels from `x` one coded run can cover.
int CodedRunLength(const uint8_t* row, int x, int width, int bitsPerPixel) {
    int n = 1;
    while (x + n < width && n < kLongestRun &&
           row[x + n] == row[x + (bitsPerPixel == 4 ? n % 2 : 0)])
        ++n;
    return n;
}

// One row in the fewest bytes: from the row's end back, the cheapest coding
// of each remaining stretch, then the choices read forwards.
void PutCodedRow(std::vector<uint8_t>* out, const uint8_t* row, int width, int bitsPerPixel) {
    std::vector<size_t> cost(static_cast<size_t>(width) + 1, 0);
    std::vector<int> take(static_cast<size_t>(width), 0);  // negative: absolute
    for (int x = width - 1; x >= 0; --x) {
        cost[x] = SIZE_MAX;
        const int coded = CodedRunLength(row, x, width, bitsPerPixel);
        auto consider = [&](size_t bytes, int n) {
            if (bytes < cost[x]) {
                cost[x] = bytes;
                take[x] = n;
            }
        };
        for (int n = 1; n <= coded; ++n) consider(2 + cost[x + n], n);
        for (int n = 3; n <= std::min(kLongestRun, width - x); ++n)
            consider(AbsoluteRunBytes(n, bitsPerPixel) + cost[x + n], -n);
    }
    for (int x = 0; x < width;) {
        const int n = take[x] < 0 ? -take[x] : take[x];
        if (take[x] > 0) {
            out->push_back(static_cast<uint8_t>(n));
            const bool pair = bitsPerPixel == 4;
            const uint8_t second = pair && n > 1 ? row[x + 1] : 0;
            out->push_back(static_cast<uint8_t>(pair ? row[x] << 4 | second : row[x]));
        } else {
            const size_t end = out->size() + AbsoluteRunBytes(n, bitsPerPixel);
            out->push_back(0);
            out->push_back(static_cast<uint8_t>(n));
            for (int i = 0; i < n; ++i) {
                if (bitsPerPixel == 8)
                    out->push_back(row[x + i]);
                else if (i % 2 == 0)
                    out->push_back(static_cast<uint8_t>(row[x + i] << 4));
                else
                    out->back() |= row[x + i];
            }
            out->resize(end, 0);
        }
        x += n;
    }
}

void PutCodedRows(std::vector<uint8_t>* out, const IndexedImage& image, int bitsPerPixel) {
    for (int y = image.height - 1; y >= 0; --y) {
        PutCodedRow(out, &image.pixels[static_cast<size_t>(y) * image.width], image.width,
                    bitsPerPixel);
        out->insert(out->end(), {0, 0});
    }
    out->insert(out->end(), {0, 1});
}

}  // namespace

int StrideBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

std::string EncodeBmp(const IndexedImage& image, int bitsPerPixel, std::vector<uint8_t>* out) {
    const std::string problem = Check(image, bitsPerPixel);
    if (!problem.empty()) return problem;
    std::vector<uint8_t> rows;
    PutRows(&rows, image, bitsPerPixel);
    uint32_t coding = 0;  // BI_RGB
    if (bitsPerPixel != 1) {
        std::vector<uint8_t> coded;
        PutCodedRows(&coded, image, bitsPerPixel);
        if (coded.size() < rows.size()) {
            rows.swap(coded);
            coding = bitsPerPixel == 8 ? 1 : 2;  // BI_RLE8, BI_RLE4
        }
    }
    const size_t fullTable = size_t{1} << bitsPerPixel;
    const size_t entries = image.palette.size();
    const uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * static_cast<uint32_t>(entries);
    const uint32_t imageBytes = static_cast<uint32_t>(rows.size());
    out->clear();
    out->push_back('B');
    out->push_back('M');
    Put32(out, offBits + imageBytes);
    Put32(out, 0);  // two reserved words
    Put32(out, offBits);
    PutInfoHeader(out, image.width, image.height, bitsPerPixel, coding, imageBytes,
                  entries == fullTable ? 0 : static_cast<uint32_t>(entries));
    PutColourTable(out, image.palette, entries);
    out->insert(out->end(), rows.begin(), rows.end());
    return "";
}

IconImage SplitTransparency(const IndexedImage& drawn, uint8_t key) {
    IconImage icon{drawn, std::vector<bool>(drawn.pixels.size(), false)};
    for (size_t i = 0; i < drawn.pixels.size(); ++i) {
        if (drawn.pixels[i] == key) {
            icon.transparent[i] = true;
            icon.image.pixels[i] = 0;
        }
    }
    return icon;
}

std::string EncodeIco(const std::vector<IconImage>& images, std::vector<uint8_t>* out) {
    constexpr int kDepth = 4;
    if (images.empty() || images.size() > 0xFFFF) return "an icon needs at least one image";
    std::vector<std::vector<uint8_t>> blobs;
    for (const IconImage& icon : images) {
        const IndexedImage& image = icon.image;
        std::string problem = Check(image, kDepth);
        if (problem.empty() && (image.width > 256 || image.height > 256)) {
            problem = "icon image larger than 256 pixels";
        }
        if (problem.empty() && icon.transparent.size() != image.pixels.size()) {
            problem = "mask size does not match the image";
        }
        if (!problem.empty()) return problem;

        const int maskStride = StrideBytes(image.width, 1);
        const uint32_t xorBytes =
            static_cast<uint32_t>(StrideBytes(image.width, kDepth)) * image.height;
        const uint32_t andBytes = static_cast<uint32_t>(maskStride) * image.height;
        std::vector<uint8_t> blob;
        PutInfoHeader(&blob, image.width, image.height * 2, kDepth, 0, xorBytes + andBytes, 0);
        PutColourTable(&blob, image.palette, size_t{1} << kDepth);
        PutRows(&blob, image, kDepth);
        for (int y = image.height - 1; y >= 0; --y) {
            std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
            for (int x = 0; x < image.width; ++x) {
                if (icon.transparent[static_cast<size_t>(y) * image.width + x]) {
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
            blob.insert(blob.end(), row.begin(), row.end());
        }
        blobs.push_back(std::move(blob));
    }

    out->clear();
    Put16(out, 0);  // reserved
    Put16(out, 1);  // type: icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = kIconDirSize + kIconEntrySize * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IndexedImage& image = images[i].image;
        out->push_back(static_cast<uint8_t>(image.width & 0xFF));  // 256 is written as 0
        out->push_back(static_cast<uint8_t>(image.height & 0xFF));
        out->push_back(1 << kDepth);  // colour count
        out->push_back(0);
        Put16(out, 1);  // planes
        Put16(out, kDepth);
        Put32(out, static_cast<uint32_t>(blobs[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(blobs[i].size());
    }
    for (const std::vector<uint8_t>& blob : blobs)
        out->insert(out->end(), blob.begin(), blob.end());
    return "";
}

std::string WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string partial = path + ".part";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return "cannot create " + path + ": " + std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        return "cannot write " + path;
    }
    return "";
}

}  // namespace pictures
