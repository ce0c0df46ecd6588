// artgen OUTDIR
//
// Draws the installer's icon, panel pictures and logo and writes them into
// OUTDIR as kestrova.ico, setup.bmp, corner.bmp and logo.bmp.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "tools/artgen/artwork.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: artgen OUTDIR\n");
        return 2;
    }
    struct stat info;
    if (stat(argv[1], &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "artgen: %s is not a folder\n", argv[1]);
        return 1;
    }
    const std::string problem = artgen::WriteArtwork(argv[1]);
    if (!problem.empty()) {
        std::fprintf(stderr, "artgen: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}
