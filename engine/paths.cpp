#include "engine/paths.h"

// Plain loops throughout: the installer links without the C runtime, and
// these strings are short.

namespace {

const char kBackslash = '\\';
const char kColon = ':';
const char kSpace = ' ';

LeadBytePredicate OrSingleByte(LeadBytePredicate isLead) {
    return isLead ? isLead : SingleByteCodePage;
}

// Width in bytes (1 or 2) of the character that starts at s, which is not
// the terminator.  Reads s[1] only, which is at worst the terminator.
size_t CharWidth(const char* s, LeadBytePredicate isLead) {
    return (isLead((unsigned char)s[0]) && s[1] != '\0') ? 2 : 1;
}

size_t Length(const char* s) {
    size_t n = 0;
    while (s[n] != '\0') ++n;
    return n;
}

// Offset of the last character of s, and its width through *width; returns
// 0 with *width 0 for the empty string.
size_t LastChar(const char* s, LeadBytePredicate isLead, size_t* width) {
    size_t at = 0;
    size_t w = 0;
    for (size_t i = 0; s[i] != '\0'; i += w) {
        at = i;
        w = CharWidth(s + i, isLead);
    }
    *width = w;
    return at;
}

int IsSingleBackslashAtEnd(const char* s, LeadBytePredicate isLead) {
    size_t width = 0;
    size_t at = LastChar(s, isLead, &width);
    return width == 1 && s[at] == kBackslash;
}

// A lead byte with the terminator after it: whatever is appended next would
// become its trail byte, so a separator after it would vanish into a pair.
int EndsWithLoneLead(const char* s, LeadBytePredicate isLead) {
    size_t width = 0;
    size_t at = LastChar(s, isLead, &width);
    return width == 1 && isLead((unsigned char)s[at]);
}

int Refuse(char* dest, size_t destSize) {
    if (dest && destSize > 0) dest[0] = '\0';
    return 0;
}

// Appends count bytes of s at *len; the caller has checked the room.
void Put(char* dest, size_t* len, const char* s, size_t count) {
    for (size_t i = 0; i < count; ++i) dest[(*len)++] = s[i];
}

int IsLowerAscii(char c) { return c >= 'a' && c <= 'z'; }
int IsUpperAscii(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

int SingleByteCodePage(unsigned char) { return 0; }

int EndsWithBackslash(const char* path, LeadBytePredicate isLead) {
    if (!path) return 0;
    return IsSingleBackslashAtEnd(path, OrSingleByte(isLead));
}

int JoinPath(char* dest, size_t destSize, const char* folder, const char* name,
             LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (!dest || !folder || !name || folder[0] == '\0') return Refuse(dest, destSize);
    if (EndsWithLoneLead(folder, isLead) || EndsWithLoneLead(name, isLead))
        return Refuse(dest, destSize);
    size_t folderLen = Length(folder);
    size_t nameLen = Length(name);
    size_t sep = IsSingleBackslashAtEnd(folder, isLead) ? 0 : 1;
    if (folderLen + sep + nameLen >= destSize) return Refuse(dest, destSize);
    size_t len = 0;
    Put(dest, &len, folder, folderLen);
    if (sep) dest[len++] = kBackslash;
    Put(dest, &len, name, nameLen);
    dest[len] = '\0';
    return 1;
}

int StagedName(char* dest, size_t destSize, const char* folder, const char* name,
               LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (!dest || !folder || !name || folder[0] == '\0') return Refuse(dest, destSize);
    if (EndsWithLoneLead(folder, isLead) || EndsWithLoneLead(name, isLead))
        return Refuse(dest, destSize);
    size_t folderLen = Length(folder);
    size_t nameLen = Length(name);
    size_t sep = IsSingleBackslashAtEnd(folder, isLead) ? 0 : 1;
    // The character replaced is the name's last; with an empty name it is the
    // backslash that ends the joined folder, always a single byte.
    size_t lastWidth = 1;
    if (nameLen > 0) LastChar(name, isLead, &lastWidth);
    size_t keptName = nameLen > 0 ? nameLen - lastWidth : 0;
    size_t total = folderLen + sep + keptName + (nameLen > 0 ? 1 : 0);
    if (total >= destSize) return Refuse(dest, destSize);
    size_t len = 0;
    Put(dest, &len, folder, folderLen);
    if (sep) dest[len++] = kBackslash;
    Put(dest, &len, name, keptName);
    if (nameLen > 0)
        dest[len++] = '_';
    else
        dest[len - 1] = '_';
    dest[len] = '\0';
    return 1;
}

int LinkName(char* dest, size_t destSize, const char* folder, const char* group,
             const char* caption, LeadBytePredicate isLead) {
    static const char kExtension[] = ".lnk";
    const size_t extensionLen = sizeof kExtension - 1;
    isLead = OrSingleByte(isLead);
    if (!dest || !folder || !group || !caption || folder[0] == '\0') return Refuse(dest, destSize);
    if (EndsWithLoneLead(folder, isLead) || EndsWithLoneLead(group, isLead) ||
        EndsWithLoneLead(caption, isLead))
        return Refuse(dest, destSize);
    size_t folderLen = Length(folder);
    size_t groupLen = Length(group);
    size_t captionLen = Length(caption);
    size_t sep1 = IsSingleBackslashAtEnd(folder, isLead) ? 0 : 1;
    // After an empty group the last character written is the backslash that
    // ends the folder part.
    size_t sep2 = (groupLen == 0 || IsSingleBackslashAtEnd(group, isLead)) ? 0 : 1;
    size_t total = folderLen + sep1 + groupLen + sep2 + captionLen + extensionLen;
    if (total >= destSize) return Refuse(dest, destSize);
    size_t len = 0;
    Put(dest, &len, folder, folderLen);
    if (sep1) dest[len++] = kBackslash;
    Put(dest, &len, group, groupLen);
    if (sep2) dest[len++] = kBackslash;
    Put(dest, &len, caption, captionLen);
    Put(dest, &len, kExtension, extensionLen);
    dest[len] = '\0';
    return 1;
}

void NormaliseNameCase(char* path, LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (!path || path[0] == '\0') return;
    size_t i = CharWidth(path, isLead);
    if (i == 1 && IsLowerAscii(path[0])) path[0] = (char)(path[0] - 'a' + 'A');
    while (path[i] != '\0') {
        size_t w = CharWidth(path + i, isLead);
        char c = path[i];
        if (w == 2) {
            i += 2;
        } else if (c == kBackslash || c == kSpace) {
            ++i;
            if (path[i] == '\0') break;
            // The character after a separator is passed over whatever it is.
            size_t next = CharWidth(path + i, isLead);
            if (next == 1 && IsLowerAscii(path[i])) path[i] = (char)(path[i] - 'a' + 'A');
            i += next;
        } else {
            if (IsUpperAscii(c)) path[i] = (char)(c - 'A' + 'a');
            ++i;
        }
    }
}

int FolderChainLengths(const char* path, size_t* lengths, int maxCount, LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (!path || !lengths || maxCount <= 0) return 0;
    if (path[0] == '\0' || CharWidth(path, isLead) != 1 || path[1] != kColon ||
        CharWidth(path + 1, isLead) != 1 || path[2] != kBackslash ||
        CharWidth(path + 2, isLead) != 1)
        return 0;

    // The chain starts after the last ":\" of the path (normally the drive's,
    // at offset 2).  Walk characters so that a trail byte is never a separator.
    size_t start = 3;
    size_t i = 3;
    int afterColon = 0;
    while (path[i] != '\0') {
        size_t w = CharWidth(path + i, isLead);
        if (w == 1 && path[i] == kBackslash && afterColon) start = i + 1;
        afterColon = (w == 1 && path[i] == kColon);
        i += w;
    }
    size_t end = i;

    int count = 0;
    for (i = start; i < end;) {
        size_t w = CharWidth(path + i, isLead);
        if (w == 1 && path[i] == kBackslash) {
            if (count == maxCount) return 0;
            lengths[count++] = i;
        }
        i += w;
    }
    if (count == maxCount) return 0;
    lengths[count++] = end;
    return count;
}

int FoldDotNames(char* path, LeadBytePredicate isLead) {
    isLead = OrSingleByte(isLead);
    if (!path || path[0] == '\0' || CharWidth(path, isLead) != 1 || path[1] != kColon ||
        CharWidth(path + 1, isLead) != 1 || path[2] != kBackslash ||
        CharWidth(path + 2, isLead) != 1)
        return 0;
    // Names are copied down over the ones dropped; `written` never passes
    // `read`, so the copy reads nothing it has overwritten.
    size_t written = 3;
    size_t read = 3;
    while (path[read] != '\0') {
        size_t begin = read;
        while (path[read] != '\0' &&
               !(path[read] == kBackslash && CharWidth(path + read, isLead) == 1))
            read += CharWidth(path + read, isLead);
        size_t length = read - begin;
        if (path[read] != '\0') ++read;  // the backslash after the name
        if (length == 0 || (length == 1 && path[begin] == '.')) continue;
        if (length == 2 && path[begin] == '.' && path[begin + 1] == '.') {
            // Back to the end of the name before the last one kept, never
            // above the drive's root; found from the front, since a trail
            // byte may be a backslash.
            size_t end = 3;
            for (size_t i = 3; i < written; i += CharWidth(path + i, isLead))
                if (path[i] == kBackslash && CharWidth(path + i, isLead) == 1) end = i;
            written = end;
            continue;
        }
        if (written > 3) path[written++] = kBackslash;
        for (size_t i = 0; i < length; ++i) path[written++] = path[begin + i];
    }
    path[written] = '\0';
    return 1;
}
