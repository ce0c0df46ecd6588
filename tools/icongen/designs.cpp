#include "tools/icongen/icon.h"

namespace icongen {

namespace {

// The product: a ruled note pad with a pencil across it.
void DrawQuorvik(Canvas& c) {
  c.FillRect(5, 3, 25, 31, kWhite);
  c.FillRect(5, 3, 25, 8, kTeal);
  c.FrameRect(5, 3, 25, 31, kBlack);
  for (int x = 8; x <= 22; x += 4) c.Line(x, 2, x, 5, kBlack);
  for (int y = 12; y <= 28; y += 4) c.Line(7, y, 22, y, kNavy);
  c.Line(10, 8, 10, 30, kRed);
  // Pencil: yellow body with a dark edge, bare wood and lead at the tip.
  c.Line(29, 9, 17, 21, kYellow);
  c.Line(30, 10, 18, 22, kYellow);
  c.Line(30, 11, 18, 23, kOlive);
  c.Line(28, 9, 16, 21, kOlive);
  c.Line(17, 22, 15, 24, kSilver);
  c.Line(14, 25, 14, 25, kBlack);
}

// The find extension: a magnifying glass over a page.
void DrawShell(Canvas& c) {
  c.FillRect(3, 2, 21, 28, kWhite);
  c.FrameRect(3, 2, 21, 28, kBlack);
  for (int y = 7; y <= 23; y += 4) c.Line(6, y, 17, y, kGrey);
  c.Disc(17, 15, 9, kBlack);
  c.Disc(17, 15, 7, kAqua);
  c.Disc(14, 12, 2, kWhite);
  for (int d = 0; d <= 2; ++d) {
    c.Line(23 + d, 22, 30, 29 - d, kMaroon);
    c.Line(23, 22 + d, 30 - d, 29, kMaroon);
  }
  c.Line(23, 21, 24, 22, kBlack);
}

}  // namespace

bool DrawDesign(const std::string& name, int size, Canvas& canvas) {
  canvas = Canvas(size);
  if (name == "quorvik") {
    DrawQuorvik(canvas);
    return true;
  }
  if (name == "qvshell") {
    DrawShell(canvas);
    return true;
  }
  return false;
}

}  // namespace icongen
