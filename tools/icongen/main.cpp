// icongen: draws one of the product's icons and writes it as an .ico with
// a 32x32 and a 16x16 image of 16 colours.
//
//   icongen DESIGN OUT.ico      DESIGN: quorvik | qvshell
#include <cstdio>
#include <string>
#include <vector>

#include "tools/icongen/icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: icongen quorvik|qvshell OUT.ico\n");
    return 2;
  }
  std::vector<icongen::Canvas> images;
  for (int size : {32, 16}) {
    icongen::Canvas canvas(size);
    if (!icongen::DrawDesign(argv[1], size, canvas)) {
      std::fprintf(stderr, "icongen: unknown design '%s'\n", argv[1]);
      return 1;
    }
    images.push_back(canvas);
  }
  const std::vector<std::uint8_t> ico = icongen::WriteIco(images);
  const std::string temporary = std::string(argv[2]) + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  bool written = file != nullptr &&
                 std::fwrite(ico.data(), 1, ico.size(), file) == ico.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written || std::rename(temporary.c_str(), argv[2]) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "icongen: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
