// Unattended runs: the installer's options, its exit codes and its log,
// with nothing on the screen unless the options are for the pages.
#include <stdio.h>
#include <string.h>

#include "installed_records.h"
#include "silent_runs.h"
#include "walkthrough.h"

const char SilentLog[] = "C:\\kestrova.log";

DrvProcess* RunInstaller(const char* installer, const char* args, DWORD* exitCode, DWORD* elapsed) {
    DWORD start = GetTickCount();
    DrvProcess* p = DrvStartProgram(installer, args, NULL);
    *exitCode = 99;
    if (p && !DrvWaitExit(p, DRV_WAIT, exitCode)) DrvLog("%s %s did not end", installer, args);
    if (elapsed) *elapsed = GetTickCount() - start;
    return p;
}

int LogHolds(const char* text) {
    char log[16384];
    HANDLE file = CreateFileA(SilentLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    DWORD got = 0;
    if (file == INVALID_HANDLE_VALUE) return 0;
    ReadFile(file, log, sizeof log - 1, &got, NULL);
    CloseHandle(file);
    log[got] = '\0';
    if (strstr(log, text)) return 1;
    DrvLog("the log lacks \"%s\"; it holds:\n%s", text, log);
    return 0;
}

namespace {

// No backdrop, no page and no message box, ever.
void ExpectNothingShown(DrvProcess* p) {
    CHECK(!DrvSawWindowClass(p, "Kestrova"));
    CHECK(!DrvSawWindowClass(p, "#32770"));
    CHECK_EQ_INT(DrvMessageBoxCount(), 0);
}

}  // namespace

// /S with the defaults: the whole installation as the pages would make it,
// well within a second's work of the interactive run's fourteen.
SCENARIO(silent_default) {
    DWORD code, elapsed;
    DrvProcess* p = RunInstaller(ctx->installer, "/S /LOG=C:\\kestrova.log", &code, &elapsed);
    REQUIRE(p);
    DrvLog("BENCH silent installation %lu ms", elapsed);
    CHECK_EQ_INT(code, 0);
    CHECK(elapsed < DrvBound(3000));
    ExpectNothingShown(p);
    CheckInstalledFiles(ctx, DefaultFolder);
    ExpectShortcuts("Quorvik", DefaultFolder);
    ExpectUninstallRecord(DefaultFolder, "Quorvik");
    ExpectClassRecord();
    CHECK_EQ_INT(CountStagedFiles(), 0);
    CHECK(LogHolds("Expanded ") && LogHolds("\\Qvshell.dll\r\n") &&
          LogHolds("Quorvik was successfully Installed.\r\nExit code 0\r\n"));
}

// A group and a folder with blanks; then lines refused before anything is
// written, and an unwritable log.
SCENARIO(silent_options) {
    // A log that is a second name of another file is refused: appending to
    // it would write into that file.
    CHECK(CloseHandle(CreateFileA("C:\\victim.txt", GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL)));
    CHECK(CreateHardLinkA("C:\\linked.log", "C:\\victim.txt", NULL));
    const char* refused[] = {"/S /D=C:",
                             "/S /G=",
                             "/S /G=a\\b /D=C:\\Q",
                             "/S /LOG=C:\\No Such Folder\\x.log",
                             "/S /LOG=C:\\linked.log",
                             "/S /Quiet"};
    for (const char* args : refused) {
        DWORD code;
        DrvProcess* p = RunInstaller(ctx->installer, args, &code, NULL);
        REQUIRE(p);
        if (!CHECK_EQ_INT(code, 2)) DrvLog("  for %s", args);
        ExpectNothingShown(p);
    }
    CHECK(GetFileAttributesA("C:\\Halvenor") == INVALID_FILE_ATTRIBUTES);
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
    WIN32_FILE_ATTRIBUTE_DATA victim;
    CHECK(GetFileAttributesExA("C:\\victim.txt", GetFileExInfoStandard, &victim) &&
          victim.nFileSizeLow == 0);
    CHECK_EQ_INT(CountStagedFiles(), 0);

    const char folder[] = "C:\\My Apps\\Quorvik";
    DWORD code;
    DrvProcess* p =
        RunInstaller(ctx->installer, "/s /g=Tools /d=C:\\My Apps\\Quorvik", &code, NULL);
    REQUIRE(p);
    CHECK_EQ_INT(code, 0);
    CheckInstalledFiles(ctx, folder);
    ExpectShortcuts("Tools", folder);
    ExpectUninstallRecord(folder, "Tools");

    // Not silent: a refusal says why.
    p = DrvStartProgram(ctx->installer, "/G=..", NULL);
    REQUIRE(p);
    EXPECT_MESSAGE_BOX(p, "Kestrova",
                       "/G= needs a group name of 1 to 40 characters that a folder may have.",
                       MB_ICONERROR, IDOK);
    ExpectExit(p, 2);
}

// Without /S the options fill the pages, whose reset buttons still return
// to the defaults.
SCENARIO(options_prefill_pages) {
    DrvProcess* p = DrvStartProgram(ctx->installer, "/G=Tools /D=C:\\Some Where\\Quorvik", NULL);
    REQUIRE(p);
    HWND location = WalkToLocation(p);
    REQUIRE(location);
    char text[300];
    CHECK(DrvGetItemText(location, 300, text, sizeof text));
    CHECK_EQ_STR(text, "C:\\Some Where\\Quorvik");
    DrvClick(location, 302);  // Reset Folder
    DrvPause(300);
    CHECK(DrvGetItemText(location, 300, text, sizeof text));
    CHECK_EQ_STR(text, DefaultFolder);
    DrvClick(location, IDOK);
    HWND installing = DrvWaitWindow(p, InstallingCaption, "#32770", DRV_WAIT);
    HWND group = WaitForGroupPage(p, installing);
    REQUIRE(group);
    CHECK(DrvGetItemText(group, 500, text, sizeof text));
    CHECK_EQ_STR(text, "Tools");
    DrvClick(group, 501);  // Reset Group
    DrvPause(300);
    CHECK(DrvGetItemText(group, 500, text, sizeof text));
    CHECK_EQ_STR(text, "Quorvik");
    FinishWithGroup(p, group, "Quorvik");
}
