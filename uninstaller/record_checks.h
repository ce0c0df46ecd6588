// Which of the recorded install folder's folders the uninstaller may try to
// remove, free of Windows calls.  The record itself is checked with the
// installer's own rules (engine/folder_names.h).
#pragma once

#include <stddef.h>

#include "engine/paths.h"

// The folders of an accepted `path` that the uninstaller may try to remove,
// as prefix lengths of `path`, deepest first: the last `created` folders of
// its chain (FolderChainLengths), never the drive root, each folder once
// even when the path ends with a backslash.  Returns how many were written
// (at most maxCount), 0 when none may be removed.
int RemovableFolderLengths(const char* path, unsigned long created, size_t* lengths, int maxCount,
                           LeadBytePredicate isLead);
