#include "engine/folder_names.h"

namespace {

const size_t GroupLimit = 40;
const size_t PathLimit = 260;

int Lead(LeadBytePredicate isLead, const char* p) {
    return isLead((unsigned char)p[0]) && p[1] != '\0';
}

// Length of `text` without the backslashes, dots and blanks at its end that
// the system ignores when it looks a folder up.  Only single-byte
// characters count: the last byte of a two-byte character stays.
size_t SignificantLength(const char* text, LeadBytePredicate isLead) {
    size_t length = 0;
    size_t significant = 0;
    for (const char* p = text; *p; ++p, ++length) {
        if (Lead(isLead, p)) {
            ++p;
            ++length;
            significant = length + 1;
        } else if (*p != '\\' && *p != '.' && *p != ' ') {
            significant = length + 1;
        }
    }
    return significant;
}

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c; }

// Case-insensitive for ASCII letters only; a two-byte character must match
// byte for byte.
int SameFolder(const char* a, const char* b, LeadBytePredicate isLead) {
    size_t length = SignificantLength(a, isLead);
    if (length == 0 || length != SignificantLength(b, isLead)) return 0;
    for (size_t i = 0; i < length; ++i) {
        if (Lead(isLead, a + i)) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return 0;
            ++i;
        } else if (FoldCase(a[i]) != FoldCase(b[i])) {
            return 0;
        }
    }
    return 1;
}

// Every name between backslashes after the drive's "X:\" must be a name a
// folder can have; one backslash may end the path.
int NamesAreSound(const char* path, LeadBytePredicate isLead) {
    const char* name = path + 3;
    const char* p = name;
    for (;;) {
        if (*p == '\0' || *p == '\\') {
            if (ShortensToNothing(name, p)) return 0;
            if (*p == '\0' || p[1] == '\0') return 1;
            name = ++p;
        } else if (Lead(isLead, p)) {
            p += 2;
        } else if (ForbiddenInName((unsigned char)*p)) {
            return 0;
        } else {
            ++p;
        }
    }
}

// Length of `text` up to `limit`; `limit` itself when it is longer.
size_t BoundedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

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
    if (length > GroupLimit) return 0;
    const char* name = group;
    for (const char* p = group;; ++p) {
        if (*p == '\0' || *p == '\\') {
            if (ShortensToNothing(name, p)) return 0;
            if (*p == '\0') return 1;
            name = p + 1;
        } else if (isLead((unsigned char)p[0]) && p[1] != '\0') {
            ++p;
        } else if (ForbiddenInName((unsigned char)*p)) {
            return 0;
        }
    }
}

int AcceptInstallFolder(const char* path, const char* windowsDir, LeadBytePredicate isLead) {
    if (!isLead) isLead = SingleByteCodePage;
    if (!path || !windowsDir || BoundedLength(path, PathLimit) >= PathLimit) return 0;
    size_t lengths[PathLimit];
    // A drive letter, a colon and a backslash first; more than the root.
    if (FolderChainLengths(path, lengths, (int)PathLimit, isLead) == 0 || path[3] == '\0') return 0;
    return NamesAreSound(path, isLead) && !SameFolder(path, windowsDir, isLead);
}
