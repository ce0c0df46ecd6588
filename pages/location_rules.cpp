#include "pages/location_rules.h"

namespace {

int CopyPieces(char* out, size_t outSize, const char* const* pieces, int count) {
    if (outSize == 0) return 0;
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        for (const char* p = pieces[i]; *p; ++p) {
            if (used + 1 >= outSize) {
                out[0] = '\0';
                return 0;
            }
            out[used++] = *p;
        }
    }
    out[used] = '\0';
    return 1;
}

}  // namespace

PathVerdict CheckTypedPath(const char* text) {
    if (text[0] == '\0') return PathEmpty;
    if (text[1] != ':' || text[2] != '\\') return PathWithoutDrive;
    if (text[3] == '\0') return PathIsDriveRoot;
    return PathAccepted;
}

int FormatRefusal(char* out, size_t outSize, PathVerdict verdict) {
    const char* reason;
    switch (verdict) {
        case PathEmpty:
            reason = "Path may not be empty!";
            break;
        case PathWithoutDrive:
            reason = "Missing : or \\ in drive.";
            break;
        case PathIsDriveRoot:
            reason = "Path may not be a root drive...";
            break;
        default:
            return 0;
    }
    const char* pieces[] = {"Path invalid!\n\n", reason};
    return CopyPieces(out, outSize, pieces, 2);
}

int FormatDefaultFolder(char* out, size_t outSize, const char* makerName, const char* productName) {
    const char* pieces[] = {"C:\\", makerName, "\\", productName};
    return CopyPieces(out, outSize, pieces, 4);
}
