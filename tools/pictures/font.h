// The two fonts the pictures use: a small 5 x 7 font for labels and a bold
// display font for the product logo.
#pragma once

#include <string>
#include <vector>

namespace pictures {

constexpr int kSmallGlyphWidth = 5;
constexpr int kSmallGlyphHeight = 7;

// Seven rows of five characters, '#' for ink; nullptr when the font has no
// such character.  Lower-case letters are given their capitals.
const char* const* SmallGlyph(char ch);

// A display-font glyph: rows of '#' for ink on a grid of
// kLogoGridHeight rows (the baseline lies under row kLogoBaseline), each
// row as wide as the glyph.
constexpr int kLogoGridHeight = 12;
constexpr int kLogoBaseline = 10;
const std::vector<std::string>* LogoGlyph(char ch);

}  // namespace pictures
