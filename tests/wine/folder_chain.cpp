// HoldFolderChain on real folders, in the prefix's code page, the
// permissions it gives the folders it makes, and how it judges the
// permissions of folders that were there.
#include <windows.h>
#include <sddl.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/folder_trust.h"
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

// Walks `path`, releases what it held, and gives how many folders were
// held: the root and the chain, or the part above a missing folder.
FolderWalkResult Chain(const char* path, int* created, int* heldCount = NULL,
                       int options = MakeMissing, LeadBytePredicate isLead = SystemLeadByte) {
    HeldFolders held;
    *created = -1;
    FolderWalkResult result = HoldFolderChain(path, options, isLead, &held, created);
    if (heldCount) *heldCount = held.count;
    ReleaseFoldersFrom(&held, 0);
    return result;
}

void TestChains() {
    int created, held;
    // Every folder below the existing base counts as made, the base not.
    // Folders this user made pass the check of who keeps them.
    CHECK(Chain(Under("new\\a"), &created, NULL, MakeMissing | CheckKeepers) == FolderHeld &&
          created == 2);
    CHECK(Chain(Under("new\\a"), &created, &held) == FolderHeld && created == 0);
    int depth = held;
    // Without making anything, a missing folder ends the walk with the ones
    // above it held; a file is no folder.
    CHECK(Chain(Under("new\\gone\\x"), &created, &held, WalkExisting) == FolderMissing &&
          held == depth - 1 && !FolderExists(Under("new\\gone")));
    CHECK(PlantFile(Under("new\\file"), 1, "f"));
    CHECK(Chain(Under("new\\file\\x"), &created, &held) == FolderLinked && held == 0);
    // A trailing backslash asks once more for the folder just made.
    CHECK(Chain(Under("trail\\x\\"), &created) == FolderHeld &&
          CountEntries(Under("trail\\x")) == 2);
    // A drive root: held, nothing made.
    char root[4] = {g_base[0], ':', '\\', '\0'};
    int before = CountEntries(root);
    CHECK(Chain(root, &created, &held) == FolderHeld && held == 1 && CountEntries(root) == before);

    // 260 characters are refused before any request; 259 are made whole.
    std::string path = g_base + std::string("bbbb\\");
    path.resize(260, 'b');
    CHECK(Chain(path.c_str(), &created) == FolderRefused && !FolderExists(Under("bbbb")));
    path.pop_back();
    CHECK(Chain(path.c_str(), &created) == FolderHeld && FolderExists(path.c_str()));
    // Without a drive the folders would be made relative to the current one.
    CHECK(Chain("kestrova-relative", &created) == FolderRefused &&
          !FolderExists("kestrova-relative"));
}

// "表" is 0x95 0x5C in code page 932.  With its rule the pair is one
// character, so no folder cut after 0x95 is ever asked for; on a
// single-byte code page the system reads 0x5C as a separator, and only a
// split chain would make a folder "cd" in "ab" + 0x95.
void TestDoubleBytePair() {
    int created;
    char ending[MAX_PATH], inside[MAX_PATH];
    lstrcpyA(ending, Under("dbcs\\x\x95\\"));
    lstrcpyA(inside, Under("dbcs\\ab\x95\\cd"));
    CHECK(Chain(ending, &created, NULL, MakeMissing, Cp932) == FolderHeld && FolderExists(ending));
    CHECK(Chain(inside, &created, NULL, MakeMissing, Cp932) ==
          (GetACP() == 932 ? FolderHeld : FolderRefused));
    CHECK_EQ_INT(CountEntries(Under("dbcs")), GetACP() == 932 ? 4 : 3);
}

// Wine keeps no folder's DACL on disk, so the descriptor given to
// CreateDirectoryA is read back through the system's ACL functions, with
// nothing borrowed from the code under test.
void TestFolderSecurity() {
    static const std::pair<const char*, DWORD> expected[] = {
        {"S-1-5-18", 0x001F01FF},       // SYSTEM: full control
        {"S-1-5-32-544", 0x001F01FF},   // Administrators: full control
        {"S-1-5-32-545", 0x001200A9}};  // Users: read and execute
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
        const auto& [name, mask] = expected[i];
        REQUIRE(GetAce(dacl, i, (void**)&ace) && ConvertStringSidToSidA(name, &sid));
        CHECK_EQ_INT(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        CHECK_EQ_INT(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        CHECK_EQ_INT(ace->Mask, mask);
        CHECK(EqualSid(&ace->SidStart, sid));
        LocalFree(sid);
    }
}

// Folders that were there, as the system would describe them: who may
// take one (delete it or what is in it, change its permissions or owner)
// and, where the files go in, who may add to it.
void TestKeepers() {
    const char me[] = "S-1-5-21-1-2-3-1001";
    static const struct {
        const char* sddl;
        int onTheWay, receivesFiles;
    } cases[] = {
        {"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", 1, 1},
        // A drive root: users add folders and own what they make beneath.
        {"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
         "D:(A;OICI;FA;;;SY)(A;;0x4;;;AU)(A;OICIIO;SDGXGWGR;;;AU)(A;OICI;0x1200a9;;;BU)",
         1, 0},
        {"O:S-1-5-21-1-2-3-1001D:(A;;FA;;;S-1-5-21-1-2-3-1001)(D;;FA;;;WD)", 1, 1},
        {"O:S-1-5-21-1-2-3-1002D:(A;;FA;;;SY)", 0, 0},  // another user owns it
        {"O:SYD:(A;ID;0x1301bf;;;AU)", 0, 0},           // Modify, inherited
        {"O:SYD:(A;;0x40;;;BU)", 0, 0},                 // delete children
        {"O:SYD:(A;;WD;;;S-1-5-21-1-2-3-1002)", 0, 0},  // change permissions
        {"O:SYD:(A;;WO;;;WD)", 0, 0},                   // take ownership
        {"O:SYD:(A;;0x2;;;BU)", 1, 0},                  // add files
        {"O:SY", 0, 0},                                 // no DACL: everyone may
    };
    PSID user = NULL;
    REQUIRE(ConvertStringSidToSidA(me, &user));
    for (const auto& c : cases) {
        PSECURITY_DESCRIPTOR sd = NULL;
        if (!CHECK(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.sddl, SDDL_REVISION_1,
                                                                        &sd, NULL)))
            continue;
        if (!CHECK(FolderKeptSafe(sd, user, 0) == c.onTheWay &&
                   FolderKeptSafe(sd, user, 1) == c.receivesFiles))
            Log("  %s", c.sddl);
        LocalFree(sd);
    }
    LocalFree(user);
}

}  // namespace

void TestFolderChain(void) {
    REQUIRE(MakeWorkFolder("chain", g_base, sizeof g_base));
    TestChains();
    TestDoubleBytePair();
    TestFolderSecurity();
    TestKeepers();
}
