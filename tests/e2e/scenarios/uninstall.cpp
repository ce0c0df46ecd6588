// The uninstaller, Zelmunin.exe, after real installations: what it
// removes, what it must leave, a file in use, records it must refuse.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "engine/payload_table.h"
#include "installer_steps.h"

namespace {

const char Caption[] = "Quorvik Uninstall";
const char Question[] = "Are you sure you want to remove Quorvik and all of its components?";
const char Removed[] = "Quorvik has been removed.";
const char HeldFile[] = "C:\\Halvenor\\Quorvik\\Quorvik.hlp";
const char InUse[] =
    "Unable to remove\n\nC:\\Halvenor\\Quorvik\\Quorvik.hlp\n\nClose the program that is using "
    "it, then choose Retry.";

void UninstallShortcut(char link[MAX_PATH]) {
    ProgramsFolder(link);
    lstrcatA(link, "\\Quorvik\\Uninstall.lnk");
}

// The uninstaller where the installer puts it; a run that removed the
// product has moved it away, so a fresh copy is put there.
DrvProcess* StartUninstaller(const DrvContext* ctx, const char* args) {
    char installed[MAX_PATH], built[MAX_PATH];
    WindowsFile("Zelmunin.exe", installed, sizeof installed);
    if (!FileExists(installed) && ProductFile(ctx, "Zelmunin.exe", built, sizeof built))
        CHECK(CopyFileA(built, installed, TRUE));
    return DrvStart(installed, args);
}

// `answer` to the question (0: it does not ask), then the box `text`
// (NULL: none) and the exit `code`.
void Uninstall(const DrvContext* ctx, int answer, const char* text, int icon, DWORD code) {
    DrvProcess* p = StartUninstaller(ctx, NULL);
    if (answer) EXPECT_MESSAGE_BOX(p, Caption, Question, MB_ICONQUESTION, answer);
    if (text) EXPECT_MESSAGE_BOX(p, Caption, text, icon, IDOK);
    ExpectExit(p, code);
}

void ExpectProductGone() {
    char path[MAX_PATH];
    for (int i = 0; i < installCount; ++i) {
        InstalledPath(PayloadTable[i], DefaultFolder, path, sizeof path);
        if (!CHECK(!FileExists(path))) Log("  left: %s", path);
    }
    UninstallShortcut(path);
    CHECK(!FileExists(path));
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, ProductKey) && !KeyExists(HKEY_CLASSES_ROOT, ClassKey));
}

// The uninstaller's moved copy, waiting in the temporary folder for the
// next restart: 0 when no folder of it is there, 1 for an empty one, 2
// when the copy is in it.
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

// Unattended with the record's quiet command (install_chosen removes from
// the group's shortcut); after Wine's restart nothing of the installation
// is left, and what was there before is.
SCENARIO(uninstall_whole) {
    HKEY made;
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, FindExtensionsKey, &made) == ERROR_SUCCESS);
    RegCloseKey(made);
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /D=C:\\Apps\\Quorvik"), 0);
    char quiet[MAX_PATH] = "";
    DWORD size = sizeof quiet;
    REQUIRE(RegGetValueA(HKEY_LOCAL_MACHINE, ProductKey, "QuietUninstallString", RRF_RT_REG_SZ,
                         NULL, quiet, &size) == ERROR_SUCCESS);
    char* end = quiet[0] == '"' ? strchr(quiet + 1, '"') : NULL;  // "program" arguments
    REQUIRE(end && end[1] == ' ');
    *end = '\0';
    char args[MAX_PATH];
    snprintf(args, sizeof args, "%s /LOG=%s", end + 2, SilentLog);
    ExpectExit(DrvStart(quiet + 1, args), 0);
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), 0);
    CHECK(!FileExists(quiet + 1) && MovedCopy() == 2);
    CHECK(LogHolds("Removed C:\\Apps\\Quorvik\\Quorvik.exe\r\n") &&
          LogHolds("Removed C:\\Apps\r\n") &&
          LogHolds("Quorvik has been removed.\r\nExit code 0\r\n"));

    char wineboot[MAX_PATH];
    GetSystemDirectoryA(wineboot, sizeof wineboot);
    lstrcatA(wineboot, "\\wineboot.exe");
    ExpectExit(DrvStart(wineboot, "-r"), 0);
    ExpectProductGone();
    CHECK_EQ_INT(MovedCopy(), 0);
    char temp[MAX_PATH], found[MAX_PATH], programs[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    CHECK(!FolderExists("C:\\Apps"));
    snprintf(found, sizeof found, "%s\\Quorvik", FindExtensionsKey);
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, found) &&
          KeyExists(HKEY_LOCAL_MACHINE, FindExtensionsKey));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey) && KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    ProgramsFolder(programs);
    CHECK(FolderExists(programs) && FolderExists(temp));
}

// A folder deleted by hand or swapped for a link, a user's file, a file in
// use, records to refuse, a group in or as a folder that was there.
SCENARIO(uninstall_edges) {
    char tools[MAX_PATH];
    ProgramsFolder(tools);
    lstrcatA(tools, "\\Tools");
    CHECK(CreateDirectoryA(tools, NULL));
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /G=Tools\\Quorvik"), 0);
    REQUIRE(DeleteTree(DefaultFolder));
    Uninstall(ctx, IDYES, Removed, MB_ICONINFORMATION, 0);
    ExpectProductGone();
    CHECK(!FolderExists("C:\\Halvenor"));  // the installer's own, and empty now
    CHECK(FolderExists(tools) && !FileExists((std::string(tools) + "\\Quorvik\\Help.lnk").c_str()));

    // Retry while the file is held brings the box back; after its release
    // the removal goes through, and the user's file keeps its folder.  The
    // group was there before: its shortcuts go, the folder stays.
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /G=Tools"), 0);
    const char mine[] = "C:\\Halvenor\\Quorvik\\My notes.txt";
    CHECK(PlantFile(mine, 13, "not Quorvik's"));
    HANDLE held =
        CreateFileA(HeldFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DrvProcess* p = StartUninstaller(ctx, NULL);
    EXPECT_MESSAGE_BOX(p, Caption, Question, MB_ICONQUESTION, IDYES);
    EXPECT_MESSAGE_BOX(p, Caption, InUse, MB_ICONWARNING, IDRETRY);
    REQUIRE(DrvWaitMessageBox(p));
    CloseHandle(held);
    EXPECT_MESSAGE_BOX(p, Caption, InUse, MB_ICONWARNING, IDRETRY);
    EXPECT_MESSAGE_BOX(p, Caption, Removed, MB_ICONINFORMATION, IDOK);
    ExpectExit(p, 0);
    ExpectProductGone();
    CHECK(FileExists(mine) && FolderExists(tools) &&
          !FileExists((std::string(tools) + "\\Help.lnk").c_str()));
    Uninstall(ctx, 0, "Quorvik is not installed.", MB_ICONERROR, 1605);

    // No removes nothing.  Cancel at a file in use keeps the shortcuts,
    // the uninstaller and the record for another run; unattended, it fails
    // without a box.
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S"), 0);
    Uninstall(ctx, IDNO, NULL, 0, 1602);
    held = CreateFileA(HeldFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    p = StartUninstaller(ctx, NULL);
    EXPECT_MESSAGE_BOX(p, Caption, Question, MB_ICONQUESTION, IDYES);
    EXPECT_MESSAGE_BOX(p, Caption, InUse, MB_ICONWARNING, IDCANCEL);
    ExpectExit(p, 1602);  // at once: a further box would have kept it running
    char link[MAX_PATH], exe[MAX_PATH];
    UninstallShortcut(link);
    WindowsFile("Zelmunin.exe", exe, sizeof exe);
    CHECK(FileExists(link) && FileExists(exe) && FileExists(HeldFile));
    int boxes = DrvMessageBoxCount(NULL);
    ExpectExit(StartUninstaller(ctx, "/S"), 1603);
    ExpectExit(StartUninstaller(ctx, "/S /Quiet"), 1639);
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), boxes);
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    CloseHandle(held);
    ExpectExit(StartUninstaller(ctx, "/S"), 0);
    ExpectProductGone();

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
