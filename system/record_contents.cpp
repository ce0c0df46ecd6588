#include "system/record_contents.h"

#include "shell/product_identity.h"

namespace {

int Refuse(char* out, size_t outSize) {
    if (outSize > 0) out[0] = '\0';
    return 0;
}

int CopyPieces(char* out, size_t outSize, const char* const* pieces, int count) {
    if (outSize == 0) return 0;
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        for (const char* p = pieces[i]; *p; ++p) {
            if (used + 1 >= outSize) return Refuse(out, outSize);
            out[used++] = *p;
        }
    }
    out[used] = '\0';
    return 1;
}

// Walks characters, so that the second byte of a two-byte character is
// never taken for a blank.
int HoldsBlank(const char* path, LeadBytePredicate isLead) {
    for (size_t i = 0; path[i] != '\0'; ++i) {
        if (path[i] == ' ') return 1;
        if (isLead((unsigned char)path[i]) && path[i + 1] != '\0') ++i;
    }
    return 0;
}

}  // namespace

int ComposeRecordKey(char* out, size_t outSize, RecordKey key) {
    // Each key below a parent extends the one before it.
    const char* const classPieces[] = {ClassIdentifier, ServerSuffix};
    const char* const productPieces[] = {ProductName, MenuSuffix, IconSuffix};
    switch (key) {
        case UninstallEntryKey:
        case FindExtensionKey:
            return CopyPieces(out, outSize, productPieces, 1);
        case ClassKey:
            return CopyPieces(out, outSize, classPieces, 1);
        case ServerKey:
            return CopyPieces(out, outSize, classPieces, 2);
        case MenuKey:
            return CopyPieces(out, outSize, productPieces, 2);
        case IconKey:
            return CopyPieces(out, outSize, productPieces, 3);
    }
    return Refuse(out, outSize);
}

int ComposeUninstallCommand(char* out, size_t outSize, const char* windowsDir, const char* fileName,
                            LeadBytePredicate isLead) {
    if (!JoinPath(out, outSize, windowsDir, fileName, isLead)) return 0;
    if (!HoldsBlank(out, isLead ? isLead : SingleByteCodePage)) return 1;
    size_t length = 0;
    while (out[length] != '\0') ++length;
    // Two quotation marks and the terminator.
    if (length + 3 > outSize) return Refuse(out, outSize);
    out[length + 2] = '\0';
    out[length + 1] = '"';
    for (size_t i = length; i > 0; --i) out[i] = out[i - 1];
    out[0] = '"';
    return 1;
}

unsigned long EstimatedSizeKb(const PayloadEntry* rows, int installCount) {
    // The build keeps the installed bytes below 2^31, so the sum and the
    // rounding fit in 32 bits.
    unsigned long total = 0;
    for (int i = 0; i < installCount; ++i) total += rows[i].unpackedSize;
    return (total + 1023) / 1024;
}

int ComposeQuietUninstallCommand(char* out, size_t outSize, const char* windowsDir,
                                 const char* fileName, LeadBytePredicate isLead) {
    char path[RecordBufferSize];
    if (!JoinPath(path, sizeof path, windowsDir, fileName, isLead)) return Refuse(out, outSize);
    const char* const pieces[] = {"\"", path, "\" /S"};
    return CopyPieces(out, outSize, pieces, 3);
}
