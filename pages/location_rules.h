// The tests a typed install folder must pass, free of Windows calls.
#pragma once

#include <stddef.h>

// Room for the longest folder the edit box takes (259 characters).
constexpr int ProgramPathSize = 260;

enum PathVerdict {
    PathAccepted = 0,
    PathEmpty,
    PathWithoutDrive,  // second character not ':' or third not '\'
    PathIsDriveRoot,   // exactly three characters
};

// Only these three things are tested; whether the folder exists or could
// exist is left to the copy, which creates it.
PathVerdict CheckTypedPath(const char* text);

// The message for a refusal, "Path invalid!" and a blank line first.
// Returns 1, or 0 for PathAccepted or when `out` is too small.
int FormatRefusal(char* out, size_t outSize, PathVerdict verdict);

// The default install folder, C:\Halvenor\<product>.  Returns 1, or 0 when
// it would not fit.
int FormatDefaultFolder(char* out, size_t outSize, const char* makerName, const char* productName);
