#include "engine/folder_chain.h"

#include <windows.h>

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

int CreateFolderChain(const char* path, LeadBytePredicate isLead, int* created) {
    *created = 0;
    char buffer[kPathBufferSize];
    size_t lengths[kPathBufferSize];
    if (!path || !CopyBounded(buffer, kPathBufferSize, path)) return 0;
    int count = FolderChainLengths(buffer, lengths, kPathBufferSize, isLead);
    if (count == 0) return 0;
    // Without the permissions no folder is made: one made with what its
    // parent hands down could let any user replace the programs put in it.
    FolderSecurity security;
    if (!BuildFolderSecurity(&security)) return 0;
    for (int i = 0; i < count; ++i) {
        // Cut the buffer at this folder's end for the request, then mend it.
        char kept = buffer[lengths[i]];
        buffer[lengths[i]] = '\0';
        if (CreateDirectoryA(buffer, &security.attributes) && *created == 0)
            *created = count - i;
        buffer[lengths[i]] = kept;
    }
    return 1;
}
