// The copy's defences: every fault ends the installation with its message,
// never as success, and leaves nothing half-written in place of a file.
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>

#include "engine/payload_table.h"
#include "installer_steps.h"

namespace {

const char OpenSource[] = "Unable to open source file!\nInstallation will now be aborted.\r\n";
const char ReadSource[] = "Unable to read source file!\nInstallation will now be aborted.\r\n";
const char OpenDestination[] =
    "Unable to open destination file!\nInstallation will now be aborted.\r\n";
const char WriteDestination[] =
    "Unable to write destination file!\nInstallation will now be aborted.\r\n";
// Bytes that no product file holds, planted where a staged file goes, and
// those of an older copy of a product file that a failure must keep.
const char PlantedMark[] = "Planted-not-the-product!";
const char OlderMark[] = "An-older-copy-of-the-file";

const PayloadEntry* Row(const char* fileName) {
    for (int i = 0; i < installCount; ++i)
        if (strcmp(PayloadTable[i].fileName, fileName) == 0) return &PayloadTable[i];
    return NULL;
}

// Each fault meets a fresh system.
void CleanUp() {
    DeleteTree("C:\\Halvenor");
    char path[MAX_PATH];
    for (int i = 0; i < installCount; ++i) {
        WindowsFile(PayloadTable[i].fileName, path, sizeof path);
        DeleteFileA(path);
        StagedPath(PayloadTable[i].fileName, path, sizeof path);
        DeleteFileA(path);
    }
    DeleteFileA(SilentLog);
}

void ExpectNoNewFileLeft() {
    char leftover[MAX_PATH];
    WindowsFile("Kestrova.new", leftover, sizeof leftover);
    CHECK(!FileExists("C:\\Halvenor\\Quorvik\\Kestrova.new") && !FileExists(leftover));
}

void ExpectSilentFailure(const char* installer, const char* args, const char* file,
                         const char* message) {
    char command[400], logged[600];
    snprintf(command, sizeof command, "/S /LOG=%s%s%s", SilentLog, args[0] ? " " : "", args);
    CHECK_EQ_INT(RunSilently(installer, command), 1);
    if (file) {
        snprintf(logged, sizeof logged, "Not expanded: %s\r\n%s", file, message);
        CHECK(LogHolds(logged));
    }
    CHECK(LogHolds(message) && LogHolds("Exit code 1\r\n"));
}

}  // namespace

SCENARIO(install_faults_silent) {
    char path[MAX_PATH], saved[MAX_PATH], temp[MAX_PATH], deep[400];
    // A temporary folder longer than any path the installer keeps: nothing
    // is staged or made.
    GetTempPathA(sizeof temp, temp);
    snprintf(deep, sizeof deep, "%s%0280d\\", temp, 0);
    SetEnvironmentVariableA("TMP", deep);  // read before TEMP
    ExpectSilentFailure(ctx->installer, "", NULL, OpenSource);
    SetEnvironmentVariableA("TMP", temp);
    CHECK(!FolderExists("C:\\Halvenor"));
    CHECK_EQ_INT(CountStagedFiles(), 0);

    // A folder in the way of the second file: the first stays installed,
    // the staged files stay behind.
    CleanUp();
    CHECK(CreateDirectoryA("C:\\Halvenor", NULL) && CreateDirectoryA(DefaultFolder, NULL) &&
          CreateDirectoryA("C:\\Halvenor\\Quorvik\\Quorvik.exe", NULL));
    ExpectSilentFailure(ctx->installer, "", "C:\\Halvenor\\Quorvik\\Quorvik.exe", OpenDestination);
    WindowsFile("Zelmunin.exe", path, sizeof path);
    ProductFile(ctx, "Zelmunin.exe", saved, sizeof saved);
    CHECK(SameFileContents(path, saved));
    CHECK_EQ_INT(CountStagedFiles(), installCount);

    // Staged files planted beforehand: one held against writers, given away
    // by the comparison with the resource; one held open for writing, which
    // must not be read at all.
    const std::pair<DWORD, const char*> planted[] = {{GENERIC_READ, ReadSource},
                                                     {GENERIC_WRITE, OpenSource}};
    for (const auto& [access, message] : planted) {
        CleanUp();
        // The expanded length of its row, not SZDD (LZ32 would pass it through).
        StagedPath("Qvreader.exe", path, sizeof path);
        REQUIRE(PlantFile(path, Row("Qvreader.exe")->unpackedSize, PlantedMark));
        const DWORD share = access == GENERIC_READ
                                ? FILE_SHARE_READ
                                : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE holder = CreateFileA(path, access, share, NULL, OPEN_EXISTING, 0, NULL);
        REQUIRE(holder != INVALID_HANDLE_VALUE);
        ExpectSilentFailure(ctx->installer, "", "C:\\Halvenor\\Quorvik\\Qvreader.exe", message);
        CloseHandle(holder);
        ProductFile(ctx, "Quorvik.exe", saved, sizeof saved);
        CHECK(SameFileContents("C:\\Halvenor\\Quorvik\\Quorvik.exe", saved));
        CHECK(!FileExists("C:\\Halvenor\\Quorvik\\Qvreader.exe"));
        ExpectNoNewFileLeft();
    }

    // A drive that fills up (the harness maps S: to a small one): the short
    // write is reported, the older copy of the file stays, no new file.
    CleanUp();
    CHECK(CreateDirectoryA("S:\\Quorvik", NULL));
    REQUIRE(PlantFile("S:\\Quorvik\\Qvreader.exe", 4000, OlderMark) &&
            CopyFileA("S:\\Quorvik\\Qvreader.exe", "C:\\older.exe", FALSE));
    ExpectSilentFailure(ctx->installer, "/D=S:\\Quorvik", "S:\\Quorvik\\Qvreader.exe",
                        WriteDestination);
    CHECK(SameFileContents("S:\\Quorvik\\Qvreader.exe", "C:\\older.exe"));
    CHECK(!FileExists("S:\\Quorvik\\Kestrova.new"));

    // Without any Programs folder no shortcut can be made.
    CleanUp();
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        char programs[MAX_PATH] = "";
        SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, programs);
        CHECK(DeleteTree(programs));
    }
    ExpectSilentFailure(ctx->installer, "", NULL, "Unable to locate the Start Menu!\r\n");
}

// Through the pages, a staged file replaced before its turn while copying
// is caught at its turn: its box, the abort message, and nothing more (a
// timer left running would start another phase).  Then Escape on the group
// page: the abort message, and no record written.
SCENARIO(install_aborted) {
    DrvProcess* p = DrvStart(ctx->installer, NULL);
    HWND page = WalkTo(p, InstallingCaption);
    REQUIRE(page);
    char label[64] = "", staged[MAX_PATH], installed[MAX_PATH];
    CHECK(DrvWaitFor(30000, "the copying phase", [&] {
        return DrvItemText(page, 400, label, sizeof label) && !strcmp(label, "Copying:");
    }));
    StagedPath("Qvshell.dll", staged, sizeof staged);
    REQUIRE(PlantFile(staged, Row("Qvshell.dll")->unpackedSize, PlantedMark));
    EXPECT_MESSAGE_BOX(p, "Kestrova",
                       "Unable to read source file!\nInstallation will now be aborted.",
                       MB_ICONERROR, IDOK);
    ExpectAbortAndExit(p);
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), 2);
    WindowsFile("Qvshell.dll", installed, sizeof installed);
    CHECK(!FileExists(installed));
    ExpectNoNewFileLeft();

    p = DrvStart(ctx->installer, NULL);
    REQUIRE(page = WaitForGroupPage(p, WalkTo(p, InstallingCaption)));
    DrvPressKey(page, VK_ESCAPE);
    EXPECT_MESSAGE_BOX(p, "Kestrova", AbortText, MB_ICONWARNING, IDOK);
    ExpectExit(p, 0);
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
}
