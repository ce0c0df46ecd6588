// Small string and path helpers shared by the product's programs and
// libraries.  No C runtime: every buffer comes with its size, and a result
// that would not fit is refused, never cut.
#pragma once

#include <windows.h>

// Copies text into buffer; 0 (buffer left empty) if it does not fit.
int CopyText(char* buffer, int size, const char* text);

// Appends text to the string already in buffer; 0 (buffer unchanged) if
// the result would not fit.
int AppendText(char* buffer, int size, const char* text);

// The full path of the file name that sits in the same folder as module
// (NULL: this program).  0 if the path does not fit.
int SiblingPath(HMODULE module, const char* name, char* path, int size);
