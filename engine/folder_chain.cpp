#include "engine/folder_chain.h"

#include <windows.h>

namespace {

const int kPathBufferSize = 260;

// Copies path with its terminator; 0 when it does not fit.  Never reads
// further into path than the buffer could hold.
int CopyBounded(char* dest, int destSize, const char* path) {
    for (int i = 0; i < destSize; ++i) {
        dest[i] = path[i];
        if (path[i] == '\0') return 1;
    }
    dest[0] = '\0';
    return 0;
}

}  // namespace

int CreateFolderChain(const char* path, LeadBytePredicate isLead) {
    char buffer[kPathBufferSize];
    size_t lengths[kPathBufferSize];
    if (!path || !CopyBounded(buffer, kPathBufferSize, path)) return 0;
    int count = FolderChainLengths(buffer, lengths, kPathBufferSize, isLead);
    if (count == 0) return 0;
    for (int i = 0; i < count; ++i) {
        // Cut the buffer at this folder's end for the request, then mend it.
        char kept = buffer[lengths[i]];
        buffer[lengths[i]] = '\0';
        CreateDirectoryA(buffer, NULL);
        buffer[lengths[i]] = kept;
    }
    return 1;
}
