// The uninstaller, Zelmunin.exe, after real installations: what it
// removes, what it must leave, a file in use, records it must refuse.
#include <windows.h>
#include <stdio.h>

#include "installer_steps.h"

namespace {

const char HeldFile[] = "C:\\Halvenor\\Quorvik\\Quorvik.hlp";
const char InUse[] =
    "Unable to remove\n\nC:\\Halvenor\\Quorvik\\Quorvik.hlp\n\nClose the program that is using "
    "it, then choose Retry.";

// The uninstaller's moved copy, waiting in the temporary folder for the next
// restart: 0 when no folder of it is there, 1 for an empty one, 2 for the copy.
int MovedCopy() {
    char temp[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    snprintf(path, sizeof path, "%sZelmunin-*", temp);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    snprintf(path, sizeof path, "%s%s\\Zelmunin.exe", temp, found.cFileName);
    return 1 + FileExists(path);
}

}  // namespace

// Unattended, as the record's quiet command (checked by ExpectUninstallEntry)
// runs it; after Wine's restart nothing of the installation is left, and
// what was there before is.
SCENARIO(uninstall_whole) {
    HKEY made;
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, FindExtensionsKey, &made) == ERROR_SUCCESS);
    RegCloseKey(made);
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /D=C:\\Apps\\Quorvik"), 0);
    char uninstaller[MAX_PATH], wineboot[MAX_PATH], temp[MAX_PATH], programs[MAX_PATH];
    WindowsFile("Zelmunin.exe", uninstaller, sizeof uninstaller);
    ExpectExit(DrvStart(uninstaller, "/S /LOG=C:\\kestrova.log"), 0);
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), 0);
    CHECK(!FileExists(uninstaller) && MovedCopy() == 2);
    CHECK(LogHolds("Removed C:\\Apps\\Quorvik\\Quorvik.exe\r\n") &&
          LogHolds("Removed C:\\Apps\r\n") &&
          LogHolds("Quorvik has been removed.\r\nExit code 0\r\n"));

    GetSystemDirectoryA(wineboot, sizeof wineboot);
    lstrcatA(wineboot, "\\wineboot.exe");
    ExpectExit(DrvStart(wineboot, "-r"), 0);
    ExpectProductGone("C:\\Apps\\Quorvik", "Quorvik");
    CHECK_EQ_INT(MovedCopy(), 0);
    GetTempPathA(sizeof temp, temp);
    CHECK(!FolderExists("C:\\Apps"));
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, (std::string(FindExtensionsKey) + "\\Quorvik").c_str()) &&
          KeyExists(HKEY_LOCAL_MACHINE, FindExtensionsKey));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey) && KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    ProgramsFolder(programs);
    CHECK(FolderExists(programs) && FolderExists(temp));
}

// A folder deleted by hand or swapped for a link, a user's file, a file in
// use, records to refuse, a group in or as a folder that was there.
SCENARIO(uninstall_edges) {
    char tools[MAX_PATH], link[MAX_PATH], exe[MAX_PATH];
    ProgramsFolder(tools);
    lstrcatA(tools, "\\Tools");
    CHECK(CreateDirectoryA(tools, NULL));
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /G=Tools\\Quorvik"), 0);
    REQUIRE(DeleteTree(DefaultFolder));
    Uninstall(ctx, IDYES, Removed, MB_ICONINFORMATION, 0);
    ExpectProductGone(DefaultFolder, "Tools\\Quorvik");
    CHECK(!FolderExists("C:\\Halvenor"));  // the installer's own, and empty now
    CHECK(FolderExists(tools));

    // Retry while the file is held brings the box back; after its release
    // the removal goes through, and the user's file keeps its folder.  The
    // group was there before: its shortcuts go, the folder stays.
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /G=Tools"), 0);
    const char mine[] = "C:\\Halvenor\\Quorvik\\My notes.txt";
    CHECK(PlantFile(mine, 13, "not Quorvik's"));
    HANDLE held =
        CreateFileA(HeldFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DrvProcess* p = StartUninstaller(ctx, NULL);
    EXPECT_MESSAGE_BOX(p, UninstallCaption, UninstallQuestion, MB_ICONQUESTION, IDYES);
    EXPECT_MESSAGE_BOX(p, UninstallCaption, InUse, MB_ICONWARNING, IDRETRY);
    REQUIRE(DrvWaitMessageBox(p));
    CloseHandle(held);
    EXPECT_MESSAGE_BOX(p, UninstallCaption, InUse, MB_ICONWARNING, IDRETRY);
    EXPECT_MESSAGE_BOX(p, UninstallCaption, Removed, MB_ICONINFORMATION, IDOK);
    ExpectExit(p, 0);
    ExpectProductGone(DefaultFolder, "Tools");
    CHECK(FileExists(mine) && FolderExists(tools));
    Uninstall(ctx, 0, "Quorvik is not installed.", MB_ICONERROR, 1605);

    // No removes nothing.  Cancel at a file in use keeps the shortcuts,
    // the uninstaller and the record for another run; unattended, it fails
    // without a box.
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S"), 0);
    Uninstall(ctx, IDNO, NULL, 0, 1602);
    held = CreateFileA(HeldFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    p = StartUninstaller(ctx, NULL);
    EXPECT_MESSAGE_BOX(p, UninstallCaption, UninstallQuestion, MB_ICONQUESTION, IDYES);
    EXPECT_MESSAGE_BOX(p, UninstallCaption, InUse, MB_ICONWARNING, IDCANCEL);
    ExpectExit(p, 1602);  // at once: a further box would have kept it running
    ProgramsFolder(link);
    lstrcatA(link, "\\Quorvik\\Uninstall.lnk");
    WindowsFile("Zelmunin.exe", exe, sizeof exe);
    CHECK(FileExists(link) && FileExists(exe) && FileExists(HeldFile));
    int boxes = DrvMessageBoxCount(NULL);
    ExpectExit(StartUninstaller(ctx, "/S"), 1603);
    ExpectExit(StartUninstaller(ctx, "/S /Quiet"), 1639);
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), boxes);
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    CloseHandle(held);
    ExpectExit(StartUninstaller(ctx, "/S"), 0);
    ExpectProductGone(DefaultFolder, "Quorvik");

    // Records naming what is not the product's: refused, the marker there kept.
    char windows[MAX_PATH], help[MAX_PATH], outside[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    WindowsFile("Quorvik.hlp", help, sizeof help);
    ProgramsFolder(outside);
    lstrcatA(outside, "\\..\\Uninstall.lnk");
    const char* const refused[][3] = {{windows, "Quorvik", help}, {DefaultFolder, "..", outside}};
    for (const auto& [path, group, marker] : refused) {
        Log("record: Program Path \"%s\", Program Group \"%s\"", path, group);
        CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, ProductKey, "Program Path", REG_SZ, path,
                              lstrlenA(path) + 1) == ERROR_SUCCESS);
        CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, ProductKey, "Program Group", REG_SZ, group,
                              lstrlenA(group) + 1) == ERROR_SUCCESS);
        CHECK(PlantFile(marker, 13, "not Quorvik's"));
        Uninstall(ctx, 0,
                  "The record of the Quorvik installation is damaged, so nothing has been removed.",
                  MB_ICONERROR, 1603);
        CHECK(FileExists(marker) && KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    }
    // An entry that cannot be deleted (another program put a key below it)
    // is no success: said, and exit code 1.
    CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, ProductKey, "Program Group", REG_SZ, "Quorvik", 8) ==
          ERROR_SUCCESS);
    HKEY added;
    const std::string below = std::string(ProductKey) + "\\Added";
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, below.c_str(), &added) == ERROR_SUCCESS);
    RegCloseKey(added);
    Uninstall(ctx, IDYES,
              "Quorvik has been removed, but its entry in the list of installed programs could "
              "not be deleted.",
              MB_ICONWARNING, 1603);
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));

    // The install folder moved aside and a link to other files put in its
    // place: nothing is removed through it, and the record stays.
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S"), 0);
    const char* const decoys[] = {"C:\\Decoys\\Quorvik.exe", "C:\\Decoys\\Quorvik.hlp"};
    CHECK(CreateDirectoryA("C:\\Decoys", NULL) && PlantFile(decoys[0], 5, "decoy") &&
          PlantFile(decoys[1], 5, "decoy"));
    CHECK(MoveFileA(DefaultFolder, "C:\\Halvenor\\Aside") &&
          MakeHostLink(DefaultFolder, "C:\\Decoys"));
    Uninstall(ctx, IDYES,
              "The folder\n\nC:\\Halvenor\\Quorvik\n\nis a link, or is no longer the one the "
              "installer made, so nothing has been removed.",
              MB_ICONERROR, 1603);
    CHECK(FileExists(decoys[0]) && FileExists(decoys[1]) &&
          KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    CHECK(FileExists("C:\\Halvenor\\Aside\\Quorvik.exe"));
}
