// What a folder's name may be, free of Windows calls: shared by the group
// the installer is given on its command line and the one the uninstaller
// reads back from the record, so that what one accepts the other does.
#pragma once

#include <stddef.h>

#include "engine/paths.h"

// Characters no folder's name can hold (the backslash aside, which
// separates names): controls, / : * ? " < > |.
int ForbiddenInName(unsigned char c);

// Whether the name [begin, end) is nothing once the system has dropped its
// trailing dots and blanks: "", ".", "..", "...", " ".
int ShortensToNothing(const char* begin, const char* end);

// 1 when `group` may name a Start-menu group, a single folder below the
// Programs folder: 1 to 40 bytes, no backslash nor any character of
// ForbiddenInName, and not a name that shortens to nothing.
int AcceptGroupName(const char* group, LeadBytePredicate isLead);
