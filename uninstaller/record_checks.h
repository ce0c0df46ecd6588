// The tests that the uninstaller puts to the installation record before it
// deletes anything, free of Windows calls.  The record lies in the registry,
// where any tool run with administrator rights can have changed it, so it
// is read as input from outside: a folder or group that could make the
// removal reach beyond what the installer made is refused.
#pragma once

#include <stddef.h>

#include "engine/paths.h"

// 1 when `path` may name the folder the product was installed into: it
// starts with a drive ("C:\"), is shorter than 260 characters and is not a
// drive root nor the Windows folder `windowsDir`; no part of it is empty,
// "." or ".." (nor another name that the system shortens to nothing, such
// as "..." or " "), and it holds no character that a folder's name cannot
// hold, a forward slash or a second colon included.  The Windows folder is
// recognised with case ignored and with any backslashes, dots and blanks at
// the end ignored, as the system itself ignores them.
int AcceptRecordedFolder(const char* path, const char* windowsDir, LeadBytePredicate isLead);

// The folders of an accepted `path` that the uninstaller may try to remove,
// as prefix lengths of `path`, deepest first: the last `created` folders of
// its chain (FolderChainLengths), never the drive root, each folder once
// even when the path ends with a backslash.  Returns how many were written
// (at most maxCount), 0 when none may be removed.
int RemovableFolderLengths(const char* path, unsigned long created, size_t* lengths, int maxCount,
                           LeadBytePredicate isLead);
