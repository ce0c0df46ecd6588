// Drawing primitives on palette canvases.  Shapes are clipped at the
// canvas edges; coordinates are pixels with (0, 0) at the top left.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/pictures/image.h"

namespace pictures {

using Canvas = IndexedImage;

struct Point {
    int x;
    int y;
};

// What a shape is filled with: the colour index of each pixel it covers.
using Ink = std::function<uint8_t(int x, int y)>;

Ink Solid(uint8_t index);
// Ordered 4 x 4 dither: `level` pixels of every 16 take b, the rest a.
Ink Dither(uint8_t a, uint8_t b, int level);
// A linear gradient through the stops, from (x0, y0) to (x1, y1), dithered
// between neighbouring stops and held at the end stops beyond the ends.
Ink Gradient(std::vector<uint8_t> stops, int x0, int y0, int x1, int y1);

// Stops spread evenly round the circle about (cx, cy), clockwise from the
// right, the last running back into the first: the sheen of a disc.
Ink AngularGradient(std::vector<uint8_t> stops, double cx, double cy);

void FillRect(Canvas& c, int x, int y, int w, int h, const Ink& ink);
void FrameRect(Canvas& c, int x, int y, int w, int h, uint8_t colour);
// A raised (or, with the colours swapped, sunken) edge: light on the top
// and left, dark on the bottom and right.
void Bevel(Canvas& c, int x, int y, int w, int h, uint8_t light, uint8_t dark);
void Line(Canvas& c, int x0, int y0, int x1, int y1, uint8_t colour);
// Ellipses take the centre and radii in pixels.  A pixel belongs to an
// ellipse or polygon when its centre lies inside; an outline is the shape's
// own rim (its pixels with a side outside), so it covers the fill exactly.
void FillEllipse(Canvas& c, double cx, double cy, double rx, double ry, const Ink& ink);
// A disc with a round hole: pixels between the two radii.
void FillRing(Canvas& c, double cx, double cy, double outer, double inner, const Ink& ink);
void OutlineEllipse(Canvas& c, double cx, double cy, double rx, double ry, uint8_t colour);
void FillPolygon(Canvas& c, const std::vector<Point>& corners, const Ink& ink);
void OutlinePolygon(Canvas& c, const std::vector<Point>& corners, uint8_t colour);

// Text in the built-in 5 x 7 font, each font pixel drawn scale x scale.
// Letters are drawn in capitals; characters the font lacks leave a gap.
void DrawText(Canvas& c, int x, int y, const std::string& text, uint8_t colour, int scale = 1);
int TextWidth(const std::string& text, int scale = 1);
// The same, turned a quarter to the left: it reads from bottom to top,
// starting at (x, y), the bottom left of the first letter.
void DrawTextUp(Canvas& c, int x, int y, const std::string& text, uint8_t colour);

}  // namespace pictures
