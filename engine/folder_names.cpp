#include "engine/folder_names.h"

namespace {

const size_t GroupLimit = 40;

}  // namespace

int ForbiddenInName(unsigned char c) {
    return c < 0x20 || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
           c == '>' || c == '|';
}

int ShortensToNothing(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p)
        if (*p != '.' && *p != ' ') return 0;
    return 1;
}

int AcceptGroupName(const char* group, LeadBytePredicate isLead) {
    if (!isLead) isLead = SingleByteCodePage;
    if (!group) return 0;
    size_t length = 0;
    while (length <= GroupLimit && group[length] != '\0') ++length;
    if (length > GroupLimit || ShortensToNothing(group, group + length)) return 0;
    for (const char* p = group; *p; ++p) {
        if (isLead((unsigned char)p[0]) && p[1] != '\0')
            ++p;
        else if (*p == '\\' || ForbiddenInName((unsigned char)*p))
            return 0;
    }
    return 1;
}
