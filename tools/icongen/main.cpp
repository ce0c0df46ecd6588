// icongen: draws one of the product's icons and writes it as an .ico with
// a 32x32 and a 16x16 image of 16 colours.
//
//   icongen DESIGN OUT.ico      DESIGN: quorvik | qvshell
#include <cstdio>
#include <string>
#include <vector>

#include "tools/icongen/designs.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: icongen quorvik|qvshell OUT.ico\n");
        return 2;
    }
    std::vector<pictures::IconImage> images;
    for (int size : {32, 16}) {
        pictures::IconImage icon;
        if (!icongen::DrawDesign(argv[1], size, &icon)) {
            std::fprintf(stderr, "icongen: unknown design '%s'\n", argv[1]);
            return 1;
        }
        images.push_back(icon);
    }
    std::vector<uint8_t> ico;
    std::string problem = pictures::EncodeIco(images, &ico);
    if (problem.empty()) problem = pictures::WriteWholeFile(argv[2], ico);
    if (!problem.empty()) {
        std::fprintf(stderr, "icongen: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}
