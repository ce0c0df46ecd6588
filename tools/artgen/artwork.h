// The installer's pictures, each drawn by one function, and the set of
// files that the build embeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/pictures/bitmap_file.h"
#include "tools/pictures/image.h"

namespace artgen {

using pictures::IconImage;
using pictures::IndexedImage;
using pictures::Rgb;

constexpr int kPanelWidth = 120;  // bitmaps 200 and 201
constexpr int kPanelHeight = 168;
constexpr int kLogoWidth = 130;  // bitmap 202
constexpr int kLogoHeight = 31;

// The backdrop's band; the logo sits on it.
constexpr Rgb kBandColour{32, 8, 104};
// The corner picture's background, which the backdrop floods with the band
// colour from pixel (1, 1).  It is the palette's teal.
constexpr Rgb kCornerBackground{0, 128, 128};

IndexedImage DrawSetupPicture();   // bitmap 200: the boxed product and its disc
IndexedImage DrawCornerPicture();  // bitmap 201: a computer running the installer
IndexedImage DrawLogo();           // bitmap 202: the product name, 8 bits per pixel
IconImage DrawIcon(int size);      // icon 100, 32 or 16 pixels square

struct ArtFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Encodes all four files.  Returns an empty string on success.
std::string BuildArtwork(std::vector<ArtFile>* files);

// Writes them into `dir`, which must exist.  Returns an empty string on
// success, else a message naming the file that could not be written.
std::string WriteArtwork(const std::string& dir);

}  // namespace artgen
