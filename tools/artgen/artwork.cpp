#include "tools/artgen/artwork.h"

namespace artgen {

using namespace pictures;

std::string BuildArtwork(std::vector<ArtFile>* files) {
    files->clear();
    std::vector<uint8_t> bytes;
    std::string problem = EncodeIco({DrawIcon(32), DrawIcon(16)}, &bytes);
    if (!problem.empty()) return "kestrova.ico: " + problem;
    files->push_back({"kestrova.ico", bytes});
    struct Bitmap {
        const char* name;
        IndexedImage image;
        int depth;
    };
    const Bitmap bitmaps[] = {{"setup.bmp", DrawSetupPicture(), 4},
                              {"corner.bmp", DrawCornerPicture(), 4},
                              {"logo.bmp", DrawLogo(), 8}};
    for (const Bitmap& bitmap : bitmaps) {
        problem = EncodeBmp(bitmap.image, bitmap.depth, &bytes);
        if (!problem.empty()) return std::string(bitmap.name) + ": " + problem;
        files->push_back({bitmap.name, bytes});
    }
    return "";
}

std::string WriteArtwork(const std::string& dir) {
    std::vector<ArtFile> files;
    std::string problem = BuildArtwork(&files);
    if (!problem.empty()) return problem;
    for (const ArtFile& file : files) {
        problem = WriteWholeFile(dir + "/" + file.name, file.bytes);
        if (!problem.empty()) return problem;
    }
    return "";
}

}  // namespace artgen
