// CreateFolderChain on real folders, under a fresh folder in the temporary
// folder.  Nothing is cleaned up: every run gets a throwaway copy of the
// prefix (scripts/wine-scenario.sh), and the folder's name is unique anyway.
#include <windows.h>
#include <sddl.h>

#include <stdio.h>
#include <string.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/paths.h"
#include "tests/wine/wine_test.h"

namespace {

int Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

char g_base[MAX_PATH];  // our own folder, ending in a backslash

// g_base joined with a relative path; ends the run if it cannot be formed.
const char* Under(const char* relative) {
    static char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, g_base, relative, SystemLeadByte)) ExitProcess(2);
    return path;
}

int IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Number of entries in a folder, "." and ".." included; -1 if unreadable.
int CountEntries(const char* folder) {
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, folder, "*", SystemLeadByte)) return -1;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    do ++count;
    while (FindNextFileA(find, &data));
    FindClose(find);
    return count;
}

void TestChains() {
    char path[MAX_PATH];
    int created = -1;
    lstrcpyA(path, Under("new\\a"));
    ok(CreateFolderChain(path, SystemLeadByte, &created) == 1, "chain %s refused\n", path);
    // Every folder from the base down is counted as made, the base not.
    ok(created == 2, "%s: %d made, not 2\n", path, created);
    lstrcpyA(path, Under("new\\a\\b"));
    ok(CreateFolderChain(path, SystemLeadByte, &created) == 1, "chain %s refused\n", path);
    ok(IsFolder(path), "%s not created\n", path);
    ok(created == 1, "%s: %d made over an existing chain, not 1\n", path, created);

    // Again over what exists: every request fails, and that is no failure.
    ok(CreateFolderChain(path, SystemLeadByte, &created) == 1, "existing chain %s refused\n",
       path);
    ok(created == 0, "%d counted as made where all existed\n", created);

    // A trailing backslash asks once more for the folder just made.
    lstrcpyA(path, Under("trail\\x\\"));
    ok(CreateFolderChain(path, SystemLeadByte, &created) == 1, "chain %s refused\n", path);
    ok(CountEntries(path) == 2, "%s missing or not empty\n", path);

    // A drive root: one request, which fails, and nothing made.
    char root[4] = {g_base[0], ':', '\\', '\0'};
    int before = CountEntries(root);
    ok(before > 2, "cannot list %s\n", root);
    ok(CreateFolderChain(root, SystemLeadByte, &created) == 1, "root %s refused\n", root);
    ok(CountEntries(root) == before, "%s has %d entries, had %d\n", root, CountEntries(root),
       before);
}

void TestRefusedPaths() {
    int created;
    // base\bbbb\ then 'b' up to 260 characters: refused before any request.
    // One shorter it is accepted, and every folder made.
    char path[300];
    size_t baseLen = strlen(g_base);
    memset(path, 'b', sizeof path);
    memcpy(path, g_base, baseLen);
    path[baseLen + 4] = '\\';
    path[260] = '\0';
    ok(CreateFolderChain(path, SystemLeadByte, &created) == 0, "260 characters accepted\n");
    ok(GetFileAttributesA(Under("bbbb")) == INVALID_FILE_ATTRIBUTES, "part of 260 made\n");
    path[259] = '\0';
    ok(CreateFolderChain(path, SystemLeadByte, &created) == 1, "259 characters refused\n");
    ok(IsFolder(path), "259-character folder not made\n");

    // A path without a drive would make folders relative to the current one.
    ok(CreateFolderChain("kestrova-relative", SystemLeadByte, &created) == 0,
       "relative path accepted\n");
    ok(GetFileAttributesA("kestrova-relative") == INVALID_FILE_ATTRIBUTES, "relative made\n");
}

// "表" is 0x95 0x5C in code page 932.  With the code page 932 rule the pair is
// one character, so the chain never asks for a folder cut after 0x95.
void TestDoubleBytePair() {
    char hyo[MAX_PATH];  // dbcs\x表: the name ends in the byte of a backslash
    char mid[MAX_PATH];  // dbcs\ab表cd
    lstrcpyA(hyo, Under("dbcs\\x\x95\x5C"));
    lstrcpyA(mid, Under("dbcs\\ab\x95\x5C"
                        "cd"));
    int created;
    ok(CreateFolderChain(hyo, Cp932, &created) == 1, "chain x+pair refused\n");
    ok(CreateFolderChain(mid, Cp932, &created) == 1, "chain ab+pair+cd refused\n");
    // On a single-byte code page the system reads 0x5C as a separator: hyo
    // names "x" + 0x95, and mid a folder "cd" in "ab" + 0x95, which only a
    // chain split after 0x95 would have made.
    ok(IsFolder(hyo), "folder ending in the pair not made\n");
    int entries = CountEntries(Under("dbcs"));
    if (GetACP() == 932) {
        ok(IsFolder(mid), "folder with the pair inside not made\n");
        ok(entries == 4, "dbcs holds %d entries, expected 4\n", entries);
    } else {
        ok(entries == 3, "dbcs holds %d entries, expected 3 (a split chain makes 4)\n", entries);
    }
}

// Wine keeps no folder's DACL on disk, so the descriptor the chain hands to
// CreateDirectoryA is read back here with the system's own ACL functions.
// The expected SIDs come from their string forms and the masks are spelled
// as numbers, so neither side borrows from the code under test.
void TestFolderSecurity() {
    static const struct {
        const char* sid;
        DWORD mask;
    } expected[] = {
        {"S-1-5-18", 0x001F01FF},      // SYSTEM: full control
        {"S-1-5-32-544", 0x001F01FF},  // Administrators: full control
        {"S-1-5-32-545", 0x001200A9},  // Users: read and execute
    };
    FolderSecurity security;
    ok(BuildFolderSecurity(&security) == 1, "descriptor not built\n");
    ok(security.attributes.nLength == sizeof security.attributes &&
           security.attributes.lpSecurityDescriptor == &security.descriptor,
       "attributes do not carry the descriptor\n");
    ok(IsValidSecurityDescriptor(&security.descriptor), "descriptor not valid\n");

    // Each call before its ok(): the message's arguments are read in no
    // fixed order with the condition.
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL read = GetSecurityDescriptorControl(&security.descriptor, &control, &revision);
    ok(read && (control & SE_DACL_PRESENT) && (control & SE_DACL_PROTECTED) &&
           !(control & SE_DACL_DEFAULTED),
       "control 0x%04x: the DACL is not present and protected\n", control);

    BOOL present = FALSE, defaulted = TRUE;
    PACL dacl = NULL;
    ACL_SIZE_INFORMATION size = {};
    read = GetSecurityDescriptorDacl(&security.descriptor, &present, &dacl, &defaulted) &&
           present && dacl && IsValidAcl(dacl) &&
           GetAclInformation(dacl, &size, sizeof size, AclSizeInformation);
    ok(read && size.AceCount == 3, "DACL missing or with %lu entries, expected 3\n", size.AceCount);
    for (DWORD i = 0; dacl && i < size.AceCount && i < 3; ++i) {
        void* entry = NULL;
        PSID sid = NULL;
        ok(GetAce(dacl, i, &entry) != 0, "entry %lu unreadable\n", i);
        ok(ConvertStringSidToSidA(expected[i].sid, &sid) != 0, "SID %s\n", expected[i].sid);
        if (!entry || !sid) continue;
        ACCESS_ALLOWED_ACE* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        ok(ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE, "entry %lu type %u\n", i,
           ace->Header.AceType);
        ok(ace->Header.AceFlags == (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
           "entry %lu flags 0x%02x, expected object and container inherit only\n", i,
           ace->Header.AceFlags);
        ok(ace->Mask == expected[i].mask, "entry %lu mask 0x%08lx, expected 0x%08lx\n", i,
           ace->Mask, expected[i].mask);
        ok(EqualSid(&ace->SidStart, sid), "entry %lu is not for %s\n", i, expected[i].sid);
        LocalFree(sid);
    }
}

int MakeBase() {
    char temp[MAX_PATH], name[64];
    DWORD n = GetTempPathA(sizeof temp, temp);
    wsprintfA(name, "kestrova-chain-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    if (n == 0 || n >= sizeof temp ||
        !JoinPath(g_base, sizeof g_base - 1, temp, name, SystemLeadByte) ||
        !CreateDirectoryA(g_base, NULL))
        return 0;
    lstrcatA(g_base, "\\");
    return 1;
}

}  // namespace

int main() {
    if (!MakeBase()) {
        printf("folder_chain_test: cannot make a folder in the temporary folder\n");
        return 2;
    }
    TestChains();
    TestRefusedPaths();
    TestDoubleBytePair();
    TestFolderSecurity();
    printf("folder_chain_test: code page %u\n", GetACP());
    return Summary("folder_chain");
}
