#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/artgen/pictures.h"

namespace artgen {

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
        // Written whole under a temporary name first, so that a failed run
        // never leaves a cut-off picture that looks up to date to the build.
        const std::string path = dir + "/" + file.name;
        const std::string partial = path + ".part";
        std::FILE* f = std::fopen(partial.c_str(), "wb");
        if (!f) return "cannot create " + path + ": " + std::strerror(errno);
        const bool written =
            std::fwrite(file.bytes.data(), 1, file.bytes.size(), f) == file.bytes.size();
        const bool closed = std::fclose(f) == 0;
        if (!written || !closed || std::rename(partial.c_str(), path.c_str()) != 0) {
            std::remove(partial.c_str());
            return "cannot write " + path;
        }
    }
    return "";
}

}  // namespace artgen
