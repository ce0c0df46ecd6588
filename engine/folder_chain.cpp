#include "engine/folder_chain.h"

#include <windows.h>

#include "engine/folder_trust.h"

namespace {

const int kPathBufferSize = 260;

// Copies path with its terminator; 0 when it does not fit.  Never reads
// further into path than the buffer could hold.
int CopyBounded(char* dest, int destSize, const char* path) {
    for (int i = 0; i < destSize; ++i) {
        dest[i] = path[i];
        if (path[i] == '\0') return 1;
    }
    dest[0] = '\0';
    return 0;
}

int AddInheritedAce(PACL acl, DWORD mask, WELL_KNOWN_SID_TYPE type, DWORD* sid, DWORD sidSize) {
    DWORD size = sidSize;
    return CreateWellKnownSid(type, NULL, sid, &size) &&
           AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
                                 mask, sid);
}

}  // namespace

int BuildFolderSecurity(FolderSecurity* s) {
    PACL acl = reinterpret_cast<PACL>(s->acl);
    if (!InitializeSecurityDescriptor(&s->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !InitializeAcl(acl, sizeof s->acl, ACL_REVISION) ||
        !AddInheritedAce(acl, FolderFullControl, WinLocalSystemSid, s->systemSid,
                         sizeof s->systemSid) ||
        !AddInheritedAce(acl, FolderFullControl, WinBuiltinAdministratorsSid, s->administratorsSid,
                         sizeof s->administratorsSid) ||
        !AddInheritedAce(acl, FolderReadExecute, WinBuiltinUsersSid, s->usersSid,
                         sizeof s->usersSid) ||
        !SetSecurityDescriptorDacl(&s->descriptor, TRUE, acl, FALSE) ||
        !SetSecurityDescriptorControl(&s->descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return 0;
    s->attributes.nLength = sizeof s->attributes;
    s->attributes.lpSecurityDescriptor = &s->descriptor;
    s->attributes.bInheritHandle = FALSE;
    return 1;
}

namespace {

// Folder handles carry no rights beyond reading what the walk checks.
// Without FILE_SHARE_DELETE nobody can rename or delete the folder while
// it is held.
HANDLE OpenFolderAsItself(const char* path) {
    return CreateFileA(path, FILE_READ_ATTRIBUTES | READ_CONTROL,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

int IsPlainFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Some systems mark a link only where its name is looked up, not on what
// was opened, so both are asked; the name cannot change meanwhile, its
// folder being held.
int IsHeldPlainFolder(HANDLE folder, const char* path) {
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(folder, &info) && IsPlainFolder(info.dwFileAttributes) &&
           IsPlainFolder(GetFileAttributesA(path));
}

int HeldFolderKeptSafe(HANDLE folder, int receivesFiles) {
    static DWORD user[UserSidSize / sizeof(DWORD)];
    static int userKnown = -1;
    if (userKnown == -1) userKnown = RunningUserSid(user);
    // 4 KB, far more than any folder's owner and DACL need; kept out of the
    // stack, which the walk already uses for its paths.
    static DWORD descriptor[1024];
    DWORD needed = 0;
    return GetKernelObjectSecurity(folder, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                   descriptor, sizeof descriptor, &needed) &&
           FolderKeptSafe(descriptor, userKnown ? user : NULL, receivesFiles);
}

int IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Opens the folder `buffer` names, making it first where asked.  Sets
// *made when this call made it.
HANDLE OpenOrMake(const char* buffer, const FolderSecurity* security, int* made, DWORD* error) {
    HANDLE folder = OpenFolderAsItself(buffer);
    *error = GetLastError();
    if (folder != INVALID_HANDLE_VALUE || !security || !IsMissing(*error)) return folder;
    // Made with our permissions, or by someone else in between: either
    // way it is opened and judged as it now stands.
    *made = CreateDirectoryA(buffer, const_cast<SECURITY_ATTRIBUTES*>(&security->attributes));
    folder = OpenFolderAsItself(buffer);
    *error = GetLastError();
    return folder;
}

FolderWalkResult Abandon(HeldFolders* held, FolderWalkResult result) {
    ReleaseFoldersFrom(held, 0);
    return result;
}

}  // namespace

FolderWalkResult HoldFolderChain(const char* path, int options, LeadBytePredicate isLead,
                                 HeldFolders* held, int* created) {
    held->count = 0;
    if (created) *created = 0;
    char buffer[kPathBufferSize];
    size_t lengths[kPathBufferSize];
    if (!path || !CopyBounded(buffer, kPathBufferSize, path)) return FolderRefused;
    int count = FolderChainLengths(buffer, lengths, kPathBufferSize, isLead);
    if (count == 0 || count + 1 > HeldFolderLimit) return FolderRefused;
    // Without the permissions no folder is made: one made with what its
    // parent hands down could let any user replace the programs put in it.
    FolderSecurity security;
    if ((options & MakeMissing) && !BuildFolderSecurity(&security)) return FolderRefused;
    // The root first; a path that is a root has it as its only chain entry.
    size_t root = 3;
    const int first = lengths[0] == root ? 1 : 0;
    for (int i = first - 1; i < count; ++i) {
        const size_t length = i < 0 ? root : lengths[i];
        char kept = buffer[length];
        buffer[length] = '\0';
        int made = 0;
        DWORD error = 0;
        HANDLE folder =
            OpenOrMake(buffer, (options & MakeMissing) ? &security : NULL, &made, &error);
        if (folder == INVALID_HANDLE_VALUE) {
            buffer[length] = kept;
            return IsMissing(error) && !(options & MakeMissing) ? FolderMissing
                                                                : Abandon(held, FolderRefused);
        }
        held->handles[held->count] = folder;
        held->lengths[held->count++] = length;
        // A drive's root is no link on Windows; Wine marks one that is a
        // mount point as one.
        if (length > root && !IsHeldPlainFolder(folder, buffer)) return Abandon(held, FolderLinked);
        buffer[length] = kept;
        if ((options & CheckKeepers) && !HeldFolderKeptSafe(folder, i == count - 1))
            return Abandon(held, FolderForeign);
        if (made && created && *created == 0) *created = count - i;
    }
    return FolderHeld;
}

void ReleaseFoldersFrom(HeldFolders* held, size_t length) {
    while (held->count > 0 && held->lengths[held->count - 1] >= length)
        CloseHandle(held->handles[--held->count]);
}

const char* FolderWalkReason(FolderWalkResult result) {
    switch (result) {
        case FolderHeld:
            return "";
        case FolderMissing:
            return "a folder on the way is missing";
        case FolderLinked:
            return "a folder on the way is a link, a junction or no folder";
        case FolderForeign:
            return "a folder on the way can be changed by users other than the administrators";
        case FolderRefused:
            break;
    }
    return "the folders on the way cannot be opened or made";
}
