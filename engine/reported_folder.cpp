#include "engine/reported_folder.h"

int AcceptSystemFolder(char* out, size_t outSize, const char* raw, size_t rawSize,
                       unsigned long reported, LeadBytePredicate isLead) {
    if (outSize == 0) return 0;
    out[0] = '\0';
    if (reported == 0 || reported >= rawSize || reported >= outSize) return 0;
    if (raw[reported] != '\0') return 0;
    for (unsigned long i = 0; i <= reported; ++i) out[i] = raw[i];
    NormaliseNameCase(out, isLead);
    return 1;
}
