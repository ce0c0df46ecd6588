// Creation of the install folder and every folder above it.
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

// Asks the system for each folder of `path` from the drive down (the order of
// FolderChainLengths), and finally for the whole path, each with the
// permissions of BuildFolderSecurity; a folder that exists already keeps its
// own.  The outcome of each request is ignored: a folder that exists, or
// cannot be made, shows up later when a file cannot be created in it.
// Returns 1 once the requests are made, 0 without making any when the path
// is refused (longer than 259 characters, or not starting with a drive
// letter, a colon and a backslash) or the permissions cannot be built.
// `created` receives how many requests of the chain, counted from its end,
// followed the first folder that this call made (0 when it made none): the
// folders that are the installer's own, for the uninstaller to remove.
int CreateFolderChain(const char* path, LeadBytePredicate isLead, int* created);

#endif  // KESTROVA_ENGINE_FOLDER_CHAIN_H
