#include "engine/folder_trust.h"

namespace {

// Any of these lets the holder remove or replace the folder, or what the
// installer puts in it, or give themselves that right.
const DWORD TakingRights = DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;
const DWORD AddingRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | GENERIC_WRITE;

// NT SERVICE\TrustedInstaller, which owns the system's own folders.
int IsInstallerService(PSID sid) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    static const DWORD SubAuthorities[] = {80,         956008885,  3418522649,
                                           1831038044, 1853292631, 2271478464};
    const BYTE count = sizeof SubAuthorities / sizeof SubAuthorities[0];
    DWORD service[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
    if (!InitializeSid(service, &nt, count)) return 0;
    for (BYTE i = 0; i < count; ++i) *GetSidSubAuthority(service, i) = SubAuthorities[i];
    return EqualSid(sid, service);
}

int IsKeeper(PSID sid, PSID runningUser) {
    return IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsInstallerService(sid) ||
           (runningUser && EqualSid(sid, runningUser));
}

}  // namespace

int RunningUserSid(void* sid) {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
    DWORD user[(sizeof(TOKEN_USER) + UserSidSize) / sizeof(DWORD) + 1];
    DWORD size = 0;
    BOOL ok = GetTokenInformation(token, TokenUser, user, sizeof user, &size);
    CloseHandle(token);
    PSID found = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
    return ok && IsValidSid(found) && CopySid(UserSidSize, sid, found);
}

int FolderKeptSafe(PSECURITY_DESCRIPTOR descriptor, PSID runningUser, int receivesFiles) {
    PSID owner = NULL;
    BOOL defaulted = FALSE;
    BOOL present = FALSE;
    PACL dacl = NULL;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || !owner ||
        !IsKeeper(owner, runningUser) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
        return 0;
    ACL_SIZE_INFORMATION size;
    if (!GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return 0;
    const DWORD refused = TakingRights | (receivesFiles ? AddingRights : 0);
    for (DWORD i = 0; i < size.AceCount; ++i) {
        ACE_HEADER* header;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) return 0;
        if ((header->AceFlags & INHERIT_ONLY_ACE) || header->AceType == ACCESS_DENIED_ACE_TYPE)
            continue;
        // Any other kind of entry may grant what cannot be judged here.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return 0;
        ACCESS_ALLOWED_ACE* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        if ((ace->Mask & refused) && !IsKeeper(&ace->SidStart, runningUser)) return 0;
    }
    return 1;
}
