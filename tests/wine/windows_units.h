// The installer's Windows code called directly, where an installation
// cannot provoke a fault or set a folder up: one program, one group of
// checks a file.
#pragma once

#include "tests/common/check.h"
#include "tests/common/probe.h"

// The creation of the install folder's chain on real folders, with its
// permissions.
void TestFolderChain(void);
// What the packer writes, the system's LZ32 expands; `samples` holds pairs
// NAME and NAME.sz.
void TestLz32RoundTrip(const char* samples);
// The expansion's write, count and close checks through fakes, and the
// length guard on the path LZ32 is given.
void TestCopyFaults(void);

// A fresh folder of our own in the temporary folder, ending in a backslash.
int MakeWorkFolder(const char* name, char* out, int size);
