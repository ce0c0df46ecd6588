// CreateFolderChain on real folders, in the prefix's code page, and the
// permissions it gives the folders it makes.
#include <windows.h>
#include <sddl.h>
#include <stdio.h>
#include <string.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "tests/wine/windows_units.h"

namespace {

int Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

char g_base[MAX_PATH];

const char* Under(const char* relative) {
    static char path[MAX_PATH];
    snprintf(path, sizeof path, "%s%s", g_base, relative);
    return path;
}

// Entries in a folder, "." and ".." included; -1 when it cannot be listed.
int CountEntries(const char* folder) {
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    int count = find == INVALID_HANDLE_VALUE ? -1 : 1;
    while (count > 0 && FindNextFileA(find, &data)) ++count;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return count;
}

int Chain(const char* path, int* created, LeadBytePredicate isLead = SystemLeadByte) {
    *created = -1;
    return CreateFolderChain(path, isLead, created);
}

void TestChains() {
    int created;
    // Every folder below the existing base counts as made, the base not;
    // over what exists the requests fail, and that is no failure.
    CHECK(Chain(Under("new\\a"), &created) == 1 && created == 2);
    CHECK(Chain(Under("new\\a\\b"), &created) == 1 && created == 1);
    CHECK(FolderExists(Under("new\\a\\b")));
    CHECK(Chain(Under("new\\a\\b"), &created) == 1 && created == 0);
    // A trailing backslash asks once more for the folder just made.
    CHECK(Chain(Under("trail\\x\\"), &created) == 1 && CountEntries(Under("trail\\x")) == 2);
    // A drive root: nothing made.
    char root[4] = {g_base[0], ':', '\\', '\0'};
    int before = CountEntries(root);
    CHECK(Chain(root, &created) == 1 && CountEntries(root) == before);

    // 260 characters are refused before any request; 259 are made whole.
    char path[300];
    size_t baseLength = strlen(g_base);
    memset(path, 'b', sizeof path);
    memcpy(path, g_base, baseLength);
    path[baseLength + 4] = '\\';
    path[260] = '\0';
    CHECK(Chain(path, &created) == 0 && !FolderExists(Under("bbbb")));
    path[259] = '\0';
    CHECK(Chain(path, &created) == 1 && FolderExists(path));
    // Without a drive the folders would be made relative to the current one.
    CHECK(Chain("kestrova-relative", &created) == 0 && !FolderExists("kestrova-relative"));
}

// "表" is 0x95 0x5C in code page 932.  With its rule the pair is one
// character, so no folder cut after 0x95 is ever asked for; on a
// single-byte code page the system reads 0x5C as a separator, and only a
// split chain would make a folder "cd" in "ab" + 0x95.
void TestDoubleBytePair() {
    int created;
    char ending[MAX_PATH], inside[MAX_PATH];
    lstrcpyA(ending, Under("dbcs\\x\x95\x5C"));
    lstrcpyA(inside, Under("dbcs\\ab\x95\x5C" "cd"));
    CHECK(Chain(ending, &created, Cp932) == 1 && FolderExists(ending));
    CHECK(Chain(inside, &created, Cp932) == 1);
    CHECK_EQ_INT(CountEntries(Under("dbcs")), GetACP() == 932 ? 4 : 3);
}

// Wine keeps no folder's DACL on disk, so the descriptor the chain hands
// to CreateDirectoryA is read back with the system's own ACL functions; the
// SIDs come from their string forms and the masks are spelled as numbers,
// so nothing is borrowed from the code under test.
void TestFolderSecurity() {
    static const struct {
        const char* sid;
        DWORD mask;
    } expected[] = {{"S-1-5-18", 0x001F01FF},        // SYSTEM: full control
                    {"S-1-5-32-544", 0x001F01FF},    // Administrators: full control
                    {"S-1-5-32-545", 0x001200A9}};   // Users: read and execute
    FolderSecurity security;
    REQUIRE(BuildFolderSecurity(&security) == 1);
    CHECK(security.attributes.nLength == sizeof security.attributes &&
          security.attributes.lpSecurityDescriptor == &security.descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    CHECK(GetSecurityDescriptorControl(&security.descriptor, &control, &revision));
    CHECK_EQ_INT(control & (SE_DACL_PRESENT | SE_DACL_PROTECTED | SE_DACL_DEFAULTED),
                 SE_DACL_PRESENT | SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = TRUE;
    PACL dacl = NULL;
    ACL_SIZE_INFORMATION size = {};
    REQUIRE(GetSecurityDescriptorDacl(&security.descriptor, &present, &dacl, &defaulted) &&
            present && dacl && GetAclInformation(dacl, &size, sizeof size, AclSizeInformation));
    REQUIRE(size.AceCount == 3);
    for (DWORD i = 0; i < 3; ++i) {
        ACCESS_ALLOWED_ACE* ace = NULL;
        PSID sid = NULL;
        REQUIRE(GetAce(dacl, i, (void**)&ace) && ConvertStringSidToSidA(expected[i].sid, &sid));
        CHECK_EQ_INT(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        CHECK_EQ_INT(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        CHECK_EQ_INT(ace->Mask, expected[i].mask);
        CHECK(EqualSid(&ace->SidStart, sid));
        LocalFree(sid);
    }
}

}  // namespace

void TestFolderChain(void) {
    REQUIRE(MakeWorkFolder("chain", g_base, sizeof g_base));
    TestChains();
    TestDoubleBytePair();
    TestFolderSecurity();
}
