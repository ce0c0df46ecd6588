// Whether a folder that exists already is safe to work in with
// administrator rights: no other user can take it from under us.
#pragma once

#include <windows.h>

// Room for the SID of the user the program runs as.
constexpr int UserSidSize = SECURITY_MAX_SID_SIZE;

// The SID of the user this process runs as, into `sid` (UserSidSize
// bytes).  Returns 1, or 0 when the system will not say.
int RunningUserSid(void* sid);

// 1 when the folder that `descriptor` (its owner and DACL) protects is kept
// by the system, the administrators, the system's installer service and
// `runningUser` alone: one of them owns it, and nobody else is allowed to
// delete it, delete what is in it, or change its permissions or owner.
// When the product's files go into the folder itself (`receivesFiles`),
// nobody else may add files or folders to it either: a library put beside
// the program would run with the rights of whoever starts it.  Rights that
// only pass on to what is made inside later (inherit-only entries) do not
// count; an entry that cannot be read, no DACL at all, or no owner give 0.
// Reads the descriptor only.
int FolderKeptSafe(PSECURITY_DESCRIPTOR descriptor, PSID runningUser, int receivesFiles);
