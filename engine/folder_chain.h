// Walking a folder path safely: every folder on it opened as itself and
// held, missing ones made with the installer's own permissions.
#ifndef KESTROVA_ENGINE_FOLDER_CHAIN_H
#define KESTROVA_ENGINE_FOLDER_CHAIN_H

#include <windows.h>

#include "engine/paths.h"

// The permissions every folder the installer creates is given: a protected
// DACL (nothing inherited from the parent, where a folder under a drive root
// would get "Authenticated Users: Modify") of full control for SYSTEM and
// Administrators and read and execute for Users, each inherited by the files
// and folders put inside.  The descriptor points into the structure itself,
// so it is filled in place and never copied.
struct FolderSecurity {
    SECURITY_ATTRIBUTES attributes;  // what CreateDirectoryA is given
    SECURITY_DESCRIPTOR descriptor;
    DWORD acl[64];  // the ACL: 256 bytes, DWORD-aligned as an ACL must be
    DWORD systemSid[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
    DWORD administratorsSid[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
    DWORD usersSid[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
};

// The rights of the three entries, as the system's own "Full control" and
// "Read & execute" on files and folders.
const DWORD FolderFullControl = FILE_ALL_ACCESS;
const DWORD FolderReadExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;

// Fills `security` with the attributes above.  Returns 1, or 0 when the
// system refuses any step (then nothing of it may be used).
int BuildFolderSecurity(FolderSecurity* security);

// The folders of a path, from its drive's root down, each held open so
// that nobody can rename, delete or replace it while the program works
// inside; `lengths` are the prefixes of the path that name them.
constexpr int HeldFolderLimit = 132;  // a root and up to 128 folders of 259 characters
struct HeldFolders {
    HANDLE handles[HeldFolderLimit];
    size_t lengths[HeldFolderLimit];
    int count;
};

enum FolderWalkOptions {
    WalkExisting = 0,
    MakeMissing = 1,   // a missing folder is made, with BuildFolderSecurity's permissions
    CheckKeepers = 2,  // each folder must pass FolderKeptSafe (engine/folder_trust.h)
};

enum FolderWalkResult {
    FolderHeld,     // every folder is held
    FolderMissing,  // a folder is not there: the ones above it stay held
    FolderLinked,   // a folder on the way is a link or junction, or no folder
    FolderForeign,  // a folder on the way is not kept by administrators alone
    FolderRefused,  // the path is not usable, or a folder cannot be opened or made
};

// Walks `path` (as FolderChainLengths takes it) from its root down.  Each
// folder is opened as itself, never through a link, and without letting
// anyone delete or rename it; one that is a link or junction ends the walk.
// The handles are kept in `held` until ReleaseFoldersFrom, except after
// FolderLinked, FolderForeign and FolderRefused, which release them all.
// With MakeMissing, `created` receives how many folders of the chain,
// counted from its end, followed the first one this call made (0 when it
// made none): the folders that are the installer's own.
FolderWalkResult HoldFolderChain(const char* path, int options, LeadBytePredicate isLead,
                                 HeldFolders* held, int* created);

// Closes the handles of the held folders whose prefix is at least `length`
// long: the folder of that length and every one below it.
void ReleaseFoldersFrom(HeldFolders* held, size_t length);

// A few words on why a walk failed, for the log; "" for FolderHeld.
const char* FolderWalkReason(FolderWalkResult result);

#endif  // KESTROVA_ENGINE_FOLDER_CHAIN_H
