// Unattended runs: the options and their refusals, the exit codes, the
// log, and the registry records written group by group, best effort.
#include <windows.h>

#include "installer_steps.h"

SCENARIO(unattended) {
    // Lines refused before anything is written, among them logs that cannot
    // be written, that are a second name of another file (appends would
    // write into it), or in a folder linked to the Windows folder.
    CHECK(PlantFile("C:\\victim.txt", 0, ""));
    CHECK(CreateHardLinkA("C:\\linked.log", "C:\\victim.txt", NULL));
    char windows[MAX_PATH], ini[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    WindowsFile("win.ini", ini, sizeof ini);
    REQUIRE(MakeHostLink("C:\\LinkedLogs", windows));
    const std::string iniBefore = FileText(ini);
    const char* const refused[] = {"/S /G=", "/S /G=a\\..\\b /D=C:\\Q",
                                   "/S /LOG=C:\\No Such Folder\\x.log", "/S /LOG=C:\\linked.log",
                                   "/S /LOG=C:\\LinkedLogs\\win.ini"};
    for (const char* args : refused)
        if (!CHECK_EQ_INT(RunSilently(ctx->installer, args), 2)) Log("  for %s", args);
    CHECK(!FolderExists("C:\\Halvenor") && !KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    CHECK(FileExists("C:\\victim.txt") && FileText("C:\\victim.txt").empty());
    CHECK_EQ_INT(CountStagedFiles(), 0);
    CHECK(FileText(ini) == iniBefore);

    // A folder on the way planted as a link: whoever made it could later
    // swap the programs an administrator runs.  Refused, nothing put there.
    CHECK(CreateDirectoryA("C:\\Elsewhere", NULL) && MakeHostLink("C:\\Halvenor", "C:\\Elsewhere"));
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /LOG=C:\\kestrova.log"), 1);
    CHECK(!FolderExists("C:\\Elsewhere\\Quorvik") && !KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    CHECK(LogHolds("Install folder refused: C:\\Halvenor\\Quorvik: a folder on the way is a link"));

    // Without the uninstall entries' parent the other records are still
    // written, the find extension's too where its parent exists.
    HKEY made;
    CHECK(RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallKey) == ERROR_SUCCESS);
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, FindExtensionsKey, &made) == ERROR_SUCCESS);
    RegCloseKey(made);
    DWORD start = GetTickCount();
    CHECK_EQ_INT(RunSilently(ctx->installer,
                             "/S /LOG=C:\\kestrova.log /G=\"My Tools\" /D=C:\\My Apps\\Quorvik"),
                 0);
    Log("an unattended installation took %lu ms", GetTickCount() - start);
    CHECK(GetTickCount() - start < DrvBound(3000));  // the pages' pauses take fourteen seconds
    ExpectShortcuts("My Tools", "C:\\My Apps\\Quorvik");
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    const std::string server = std::string(ClassKey) + "\\InProcServer32";
    const std::string found = std::string(FindExtensionsKey) + "\\Quorvik";
    ExpectRegText(HKEY_CLASSES_ROOT, ClassKey, "", "Quorvik");
    ExpectRegText(HKEY_CLASSES_ROOT, server.c_str(), "", "Qvshell.dll");
    ExpectRegText(HKEY_CLASSES_ROOT, server.c_str(), "ThreadingModel", "Apartment");
    ExpectRegText(HKEY_LOCAL_MACHINE, found.c_str(), "", "{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}");
    ExpectRegText(HKEY_LOCAL_MACHINE, (found + "\\0").c_str(), "", "&Quorvik...");
    ExpectRegText(HKEY_LOCAL_MACHINE, (found + "\\0\\DefaultIcon").c_str(), "", "Qvshell.dll,0");
    CHECK_EQ_INT(CountStagedFiles(), 0);
    CHECK(LogHolds("\\Qvshell.dll\r\n") && LogHolds("Shortcut ") &&
          LogHolds("Quorvik was successfully Installed.\r\nExit code 0\r\n"));

    // With the parent back, into another folder, then once more there: the
    // folder is found made, the first count stays, and the folder is
    // recorded as the system reads it.
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, UninstallKey, &made) == ERROR_SUCCESS);
    RegCloseKey(made);
    CHECK_EQ_INT(RunSilently(ctx->installer, "/s /d=C:\\Second"), 0);
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /D=C:\\Apps\\..\\Second"), 0);
    ExpectUninstallEntry(ctx, "C:\\Second", "Quorvik", 1);

    // Not silent, a refusal says why.
    DrvProcess* p = DrvStart(ctx->installer, "/G=..");
    EXPECT_MESSAGE_BOX(
        p, "Kestrova",
        "/G= needs a group of 1 to 40 characters: folder names separated by backslashes.",
        MB_ICONERROR, IDOK);
    ExpectExit(p, 2);
}

// On a double-byte code page (932 here) the second byte of a character may
// be a backslash: "表" is 0x95 0x5C.  A folder ending in it is made as one
// folder and receives the files, not split in two.
SCENARIO(install_dbcs_folder) {
    REQUIRE(GetACP() == 932);
    CHECK_EQ_INT(RunSilently(ctx->installer, "/S /D=C:\\Halvenor\\Quorvik\x95\x5C"), 0);
    CheckInstalledFiles(ctx, "C:\\Halvenor\\Quorvik\x95\x5C");
    CHECK(!FolderExists("C:\\Halvenor\\Quorvik\x95"));
}
