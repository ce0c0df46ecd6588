#include "uninstaller/record_checks.h"

#include "engine/folder_names.h"

namespace {

const size_t PathLimit = 260;

}  // namespace

int RemovableFolderLengths(const char* path, unsigned long created, size_t* lengths, int maxCount,
                           LeadBytePredicate isLead) {
    size_t chain[PathLimit];
    int count = FolderChainLengths(path, chain, (int)PathLimit, isLead);
    // The whole path with its closing backslash names the folder before it.
    if (count > 1 && EndsWithBackslash(path, isLead)) --count;
    int written = 0;
    for (int i = count - 1; i >= 0 && (unsigned long)written < created && written < maxCount; --i) {
        if (chain[i] <= 3) break;  // "X:\" itself
        lengths[written++] = chain[i];
    }
    return written;
}
