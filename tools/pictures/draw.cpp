#include "tools/pictures/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/pictures/font.h"

namespace pictures {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Thresholds of the 4 x 4 ordered dither; each value appears once, so a
// level of n lights exactly n pixels of every cell.
const int kBayer[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

uint8_t DitherPick(uint8_t a, uint8_t b, int level, int x, int y) {
    return kBayer[y & 3][x & 3] < level ? b : a;
}

bool InsideEllipse(double px, double py, double cx, double cy, double rx, double ry) {
    const double dx = (px - cx) / rx;
    const double dy = (py - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// Even-odd rule on the pixel's centre.
bool InsidePolygon(const std::vector<Point>& pts, double px, double py) {
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const double xi = pts[i].x, yi = pts[i].y, xj = pts[j].x, yj = pts[j].y;
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) {
            inside = !inside;
        }
    }
    return inside;
}

}  // namespace

Ink Solid(uint8_t index) {
    return [index](int, int) { return index; };
}

Ink Dither(uint8_t a, uint8_t b, int level) {
    return [=](int x, int y) { return DitherPick(a, b, level, x, y); };
}

Ink Gradient(std::vector<uint8_t> stops, int x0, int y0, int x1, int y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = std::max(dx * dx + dy * dy, 1.0);
    return [=](int x, int y) -> uint8_t {
        if (stops.size() < 2) return stops.empty() ? 0 : stops[0];
        double t = ((x - x0) * dx + (y - y0) * dy) / length2;
        t = std::clamp(t, 0.0, 1.0) * static_cast<double>(stops.size() - 1);
        const size_t segment = std::min(static_cast<size_t>(t), stops.size() - 2);
        const int level = static_cast<int>(std::lround((t - segment) * 16.0));
        return DitherPick(stops[segment], stops[segment + 1], level, x, y);
    };
}

Ink AngularGradient(std::vector<uint8_t> stops, double cx, double cy) {
    return [=](int x, int y) -> uint8_t {
        if (stops.empty()) return 0;
        const double turn = std::atan2(y + 0.5 - cy, x + 0.5 - cx) / (2 * kPi);
        const double t = (turn < 0 ? turn + 1 : turn) * static_cast<double>(stops.size());
        const size_t segment = std::min(static_cast<size_t>(t), stops.size() - 1);
        const int level = static_cast<int>(std::lround((t - segment) * 16.0));
        return DitherPick(stops[segment], stops[(segment + 1) % stops.size()], level, x, y);
    };
}

void FillRect(Canvas& c, int x, int y, int w, int h, const Ink& ink) {
    for (int py = std::max(y, 0); py < std::min(y + h, c.height); ++py) {
        for (int px = std::max(x, 0); px < std::min(x + w, c.width); ++px) {
            c.Set(px, py, ink(px, py));
        }
    }
}

void FrameRect(Canvas& c, int x, int y, int w, int h, uint8_t colour) {
    Bevel(c, x, y, w, h, colour, colour);
}

void Bevel(Canvas& c, int x, int y, int w, int h, uint8_t light, uint8_t dark) {
    Line(c, x, y + h - 1, x + w - 1, y + h - 1, dark);
    Line(c, x + w - 1, y, x + w - 1, y + h - 1, dark);
    Line(c, x, y, x + w - 2, y, light);
    Line(c, x, y, x, y + h - 2, light);
}

void Line(Canvas& c, int x0, int y0, int x1, int y1, uint8_t colour) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        c.Set(x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void FillEllipse(Canvas& c, double cx, double cy, double rx, double ry, const Ink& ink) {
    for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y) {
        for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x) {
            if (c.Contains(x, y) && InsideEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry)) {
                c.Set(x, y, ink(x, y));
            }
        }
    }
}

void FillRing(Canvas& c, double cx, double cy, double outer, double inner, const Ink& ink) {
    FillEllipse(c, cx, cy, outer, outer, [&](int x, int y) {
        return InsideEllipse(x + 0.5, y + 0.5, cx, cy, inner, inner) ? c.At(x, y) : ink(x, y);
    });
}

void OutlineEllipse(Canvas& c, double cx, double cy, double rx, double ry, uint8_t colour) {
    auto inside = [&](int x, int y) { return InsideEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry); };
    for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y) {
        for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x) {
            if (inside(x, y) && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                                 !inside(x, y + 1))) {
                c.Set(x, y, colour);
            }
        }
    }
}

void FillPolygon(Canvas& c, const std::vector<Point>& corners, const Ink& ink) {
    if (corners.size() < 3) return;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            if (InsidePolygon(corners, x + 0.5, y + 0.5)) c.Set(x, y, ink(x, y));
        }
    }
}

void OutlinePolygon(Canvas& c, const std::vector<Point>& corners, uint8_t colour) {
    if (corners.size() < 3) return;
    auto inside = [&](int x, int y) { return InsidePolygon(corners, x + 0.5, y + 0.5); };
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            if (inside(x, y) && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                                 !inside(x, y + 1))) {
                c.Set(x, y, colour);
            }
        }
    }
}

void DrawText(Canvas& c, int x, int y, const std::string& text, uint8_t colour, int scale) {
    for (char ch : text) {
        if (const char* const* rows = SmallGlyph(ch)) {
            for (int gy = 0; gy < kSmallGlyphHeight; ++gy) {
                for (int gx = 0; gx < kSmallGlyphWidth; ++gx) {
                    if (rows[gy][gx] == '#') {
                        FillRect(c, x + gx * scale, y + gy * scale, scale, scale, Solid(colour));
                    }
                }
            }
        }
        x += (kSmallGlyphWidth + 1) * scale;
    }
}

int TextWidth(const std::string& text, int scale) {
    if (text.empty()) return 0;
    return static_cast<int>(text.size()) * (kSmallGlyphWidth + 1) * scale - scale;
}

void DrawTextUp(Canvas& c, int x, int y, const std::string& text, uint8_t colour) {
    for (char ch : text) {
        if (const char* const* rows = SmallGlyph(ch)) {
            for (int gy = 0; gy < kSmallGlyphHeight; ++gy) {
                for (int gx = 0; gx < kSmallGlyphWidth; ++gx) {
                    if (rows[gy][gx] == '#') c.Set(x + gy, y - gx, colour);
                }
            }
        }
        y -= kSmallGlyphWidth + 1;
    }
}

}  // namespace pictures
