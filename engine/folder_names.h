// What a folder's name may be, free of Windows calls: shared by the group
// and install folder the installer takes and those the uninstaller reads
// back from the record, so that what one accepts the other does.  The
// record lies in the registry, where any tool run with administrator rights
// can have changed it: a folder or group that could make the removal reach
// beyond what the installer made is refused.
#pragma once

#include <stddef.h>

#include "engine/paths.h"

// Characters no folder's name can hold (the backslash aside, which
// separates names): controls, / : * ? " < > |.
int ForbiddenInName(unsigned char c);

// Whether the name [begin, end) is nothing once the system has dropped its
// trailing dots and blanks: "", ".", "..", "...", " ".
int ShortensToNothing(const char* begin, const char* end);

// 1 when `group` may name a Start-menu group below the Programs folder: 1
// to 40 bytes, one or more names separated by single backslashes
// ("Tools\Quorvik"), none of which holds a character of ForbiddenInName or
// shortens to nothing.
int AcceptGroupName(const char* group, LeadBytePredicate isLead);

// 1 when `path` may name the folder the product is installed into: it
// starts with a drive ("C:\"), is shorter than 260 characters and is not a
// drive root nor the Windows folder `windowsDir`; no part of it is empty,
// "." or ".." (nor another name that the system shortens to nothing, such
// as "..." or " "), and it holds no character that a folder's name cannot
// hold, a forward slash or a second colon included.  The Windows folder is
// recognised with case ignored and with any backslashes, dots and blanks at
// the end ignored, as the system itself ignores them.
int AcceptInstallFolder(const char* path, const char* windowsDir, LeadBytePredicate isLead);
