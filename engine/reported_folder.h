// Checking a folder that a system call wrote into a buffer.
#pragma once

#include <stddef.h>

#include "engine/paths.h"

// `reported` is the call's result: 0 for a failure, else the folder's
// length, or, when the buffer was too small, the size it would have needed.
// Copies the folder from `raw` into `out` and gives it the installer's
// capitalisation.  Returns 1, or 0 (and an empty `out`) when the folder is
// missing, does not fit `out`, or is not terminated where reported.
int AcceptSystemFolder(char* out, size_t outSize, const char* raw, size_t rawSize,
                       unsigned long reported, LeadBytePredicate isLead);
