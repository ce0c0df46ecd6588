#include "tools/pictures/bitmap_file.h"

#include <cerrno>
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
// mask rows).
void PutInfoHeader(std::vector<uint8_t>* out, int width, int storedHeight, int bitsPerPixel,
                   uint32_t imageBytes) {
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(storedHeight));
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0);  // pixels per metre, x and y: unspecified
    Put32(out, 0);
    Put32(out, 0);  // colours used: the full table
    Put32(out, 0);  // important colours: all
}

void PutColourTable(std::vector<uint8_t>* out, const std::vector<Rgb>& palette, int bitsPerPixel) {
    const size_t entries = size_t{1} << bitsPerPixel;
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

}  // namespace

int StrideBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

std::string EncodeBmp(const IndexedImage& image, int bitsPerPixel, std::vector<uint8_t>* out) {
    const std::string problem = Check(image, bitsPerPixel);
    if (!problem.empty()) return problem;
    const uint32_t tableBytes = 4u << bitsPerPixel;
    const uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    const uint32_t imageBytes =
        static_cast<uint32_t>(StrideBytes(image.width, bitsPerPixel)) * image.height;
    out->clear();
    out->push_back('B');
    out->push_back('M');
    Put32(out, offBits + imageBytes);
    Put32(out, 0);  // two reserved words
    Put32(out, offBits);
    PutInfoHeader(out, image.width, image.height, bitsPerPixel, imageBytes);
    PutColourTable(out, image.palette, bitsPerPixel);
    PutRows(out, image, bitsPerPixel);
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
        PutInfoHeader(&blob, image.width, image.height * 2, kDepth, xorBytes + andBytes);
        PutColourTable(&blob, image.palette, kDepth);
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
