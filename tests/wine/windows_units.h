// The installer's Windows code called directly, where an installation
// cannot provoke a fault: one program, one group of checks a file.
#pragma once

#include "tests/common/check.h"
#include "tests/common/probe.h"

void TestFolderChain(void);
void TestCopyFaults(void);

// A fresh folder of our own in the temporary folder, ending in a backslash.
int MakeWorkFolder(const char* name, char* out, int size);
