// The uninstaller, Zelmunin.exe, after real installations: what it removes,
// what it must leave, a file in use, and records it must refuse.
#include "walkthrough.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "installed_records.h"
#include "silent_runs.h"
#include "system_snapshot.h"

namespace {

const char Caption[] = "Quorvik Uninstall";
const char Question[] = "Are you sure you want to remove Quorvik and all of its components?";
const char Removed[] = "Quorvik has been removed.";
const char HeldFile[] = "C:\\Halvenor\\Quorvik\\Quorvik.hlp";
const char InUse[] =
    "Unable to remove\n\nC:\\Halvenor\\Quorvik\\Quorvik.hlp\n\nClose the program that is using "
    "it, then choose Retry.";

void ProgramsPath(const char* name, char* out, int size) {
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(NULL, CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, programs);
    snprintf(out, size, "%s\\%s", programs, name);
}

// Starts the uninstaller (NULL: where the installer puts it; a run that
// removed the product has moved it away, so a fresh copy is put there).
DrvProcess* StartUninstaller(const DrvContext* ctx, const char* exe) {
    char installed[MAX_PATH], product[MAX_PATH];
    WindowsFolder(installed, sizeof installed);
    lstrcatA(installed, "\\Zelmunin.exe");
    if (!exe && !FileExists(installed) && ProductFilePath(ctx, "Zelmunin.exe", product, MAX_PATH))
        CHECK(CopyFileA(product, installed, TRUE));
    return DrvStartProgram(exe ? exe : installed, NULL, NULL);
}

// Yes, then the box `text` and the exit `code`; no question when `asks` is 0.
void Uninstall(const DrvContext* ctx, const char* exe, int asks, const char* text, int icon,
               DWORD code) {
    DrvProcess* p = StartUninstaller(ctx, exe);
    REQUIRE(p);
    if (asks) EXPECT_MESSAGE_BOX(p, Caption, Question, MB_ICONQUESTION, IDYES);
    EXPECT_MESSAGE_BOX(p, Caption, text, icon, IDOK);
    ExpectExit(p, code);
}

void UninstallAll(const DrvContext* ctx) {
    Uninstall(ctx, NULL, 1, Removed, MB_ICONINFORMATION, 0);
}

void CheckProductGone() {
    char windows[MAX_PATH], path[MAX_PATH];
    WindowsFolder(windows, sizeof windows);
    for (const InstalledFile& f : InstalledFiles) {
        snprintf(path, sizeof path, "%s\\%s", f.inWindowsFolder ? windows : DefaultFolder, f.name);
        if (!CHECK(!FileExists(path))) DrvLog("  left: %s", path);
    }
    ProgramsPath("Quorvik", path, sizeof path);
    CHECK(GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES);
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
    CHECK(!KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}"));
}

// The uninstaller's moved copy waiting in the temporary folder.
int MovedCopyWaits() {
    char temp[MAX_PATH], path[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(path, sizeof path, "%sZelmunin-*", temp);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    snprintf(path, sizeof path, "%s%s\\Zelmunin.exe", temp, found.cFileName);
    DrvLog("moved copy: %s", path);
    return FileExists(path);
}

int ShortcutTarget(const char* link, char* out, int size) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
    CoInitialize(NULL);
    IShellLinkA* shellLink = NULL;
    IPersistFile* file = NULL;
    int ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, (void**)&shellLink)) &&
             SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file)) &&
             SUCCEEDED(file->Load(wide, STGM_READ)) &&
             SUCCEEDED(shellLink->GetPath(out, size, NULL, SLGP_RAWPATH));
    if (file) file->Release();
    if (shellLink) shellLink->Release();
    CoUninitialize();
    return ok;
}

// Wine's own list of installed programs, as a user would see it.
int WineListsQuorvik() {
    char path[MAX_PATH], command[] = "uninstaller.exe --list", listed[4096] = "";
    snprintf(path, sizeof path, "%s\\installed-programs.txt", DrvArtifactDir());
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, 0, NULL);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    PROCESS_INFORMATION info;
    DWORD got = 0;
    if (CHECK(CreateProcessA(NULL, command, NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL,
                             &startup, &info))) {
        CHECK(WaitForSingleObject(info.hProcess, DrvBound(DRV_WAIT)) == WAIT_OBJECT_0);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
        SetFilePointer(file, 0, NULL, FILE_BEGIN);
        ReadFile(file, listed, sizeof listed - 1, &got, NULL);
    }
    CloseHandle(file);
    listed[got] = 0;
    DrvLog("uninstaller --list: %s", listed);
    return strstr(listed, "|||Quorvik Uninstall") != NULL;
}

// Wine's restart: what was marked for deletion at the next restart goes.
void RestartPrefix() {
    char wineboot[MAX_PATH];
    GetSystemDirectoryA(wineboot, sizeof wineboot);
    lstrcatA(wineboot, "\\wineboot.exe");
    DrvProcess* restart = DrvStartProgram(wineboot, "-r", NULL);
    REQUIRE(restart);
    ExpectExit(restart, 0);
}

// The system as it was before an installation, with the find-extension
// parent made so that every record is written.
Snapshot* SnapshotBeforeInstalling() {
    HKEY made;
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE, FindExtensionsKey, &made) == ERROR_SUCCESS);
    RegCloseKey(made);
    return TakeSnapshot();
}

// After a restart, nothing is left out: the moved copy and its folder are
// gone with the rest.
void ExpectSystemAsBefore(Snapshot* before) {
    RestartPrefix();
    Snapshot* after = TakeSnapshot();
    REQUIRE(after);
    CHECK_EQ_INT(CompareSnapshots(before, after), 0);
    FreeSnapshot(before);
    FreeSnapshot(after);
}

void WriteMarker(const char* path) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    CHECK(f != INVALID_HANDLE_VALUE && WriteFile(f, "not Quorvik's", 13, &written, NULL));
    CloseHandle(f);
}

}  // namespace

// Through the group's shortcut, then a restart: the system is as it was
// before the installation, file for file and record for record.
SCENARIO(uninstall_default) {
    Snapshot* before = SnapshotBeforeInstalling();
    REQUIRE(before);
    InstallThroughThePages(ctx, NULL);
    CHECK(WineListsQuorvik());

    char link[MAX_PATH], exe[MAX_PATH];
    ProgramsPath("Quorvik\\Uninstall.lnk", link, sizeof link);
    REQUIRE(ShortcutTarget(link, exe, sizeof exe));
    Uninstall(ctx, exe, 1, Removed, MB_ICONINFORMATION, 0);
    CHECK(!FileExists(exe));
    CHECK(MovedCopyWaits());
    ExpectSystemAsBefore(before);
    CHECK(!WineListsQuorvik());
}

// Unattended both ways: /S, then the record's quiet command as a command
// line; nothing shown, nothing left.
SCENARIO(silent_uninstall) {
    Snapshot* before = SnapshotBeforeInstalling();
    REQUIRE(before);
    DWORD code;
    REQUIRE(RunInstaller(ctx->installer, "/S", &code, NULL));
    CHECK_EQ_INT(code, 0);
    char command[MAX_PATH] = "";
    DWORD size = sizeof command;
    REQUIRE(RegGetValueA(HKEY_LOCAL_MACHINE, ProductUninstallKey, "QuietUninstallString",
                         RRF_RT_REG_SZ, NULL, command, &size) == ERROR_SUCCESS);
    // "program" arguments
    char* end = command[0] == '"' ? strchr(command + 1, '"') : NULL;
    REQUIRE(end && end[1] == ' ');
    *end = '\0';
    DrvProcess* p = DrvStartProgram(command + 1, end + 2, NULL);
    REQUIRE(p);
    ExpectExit(p, 0);
    CHECK_EQ_INT(DrvMessageBoxCount(), 0);
    CHECK(!DrvSawWindowClass(p, "#32770"));
    ExpectSystemAsBefore(before);
}

// An install folder deleted by hand is no obstacle; a user's file in it
// keeps it and its parent; once removed, Quorvik is not installed.
SCENARIO(uninstall_keeps_what_is_not_ours) {
    InstallThroughThePages(ctx, NULL);
    SHFILEOPSTRUCTA remove = {};
    remove.wFunc = FO_DELETE;
    remove.pFrom = "C:\\Halvenor\\Quorvik\0";  // a list of one
    remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    REQUIRE(SHFileOperationA(&remove) == 0);
    UninstallAll(ctx);
    CheckProductGone();
    // The parent was the installer's own and is empty now.
    CHECK(GetFileAttributesA("C:\\Halvenor") == INVALID_FILE_ATTRIBUTES);

    InstallThroughThePages(ctx, NULL);
    const char mine[] = "C:\\Halvenor\\Quorvik\\My notes.txt";
    WriteMarker(mine);
    UninstallAll(ctx);
    CheckProductGone();
    CHECK(FileExists(mine));
    Uninstall(ctx, NULL, 0, "Quorvik is not installed.", MB_ICONERROR, 1);
    CHECK(FileExists(mine));
}

namespace {

// Yes while the help file is held open without delete sharing (under Wine
// a running program's own file can be deleted; a held one cannot).
DrvProcess* UninstallWhileHeld(const DrvContext* ctx, HANDLE* held) {
    *held = CreateFileA(HeldFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DrvProcess* p = *held != INVALID_HANDLE_VALUE ? StartUninstaller(ctx, NULL) : NULL;
    if (p) EXPECT_MESSAGE_BOX(p, Caption, Question, MB_ICONQUESTION, IDYES);
    return p;
}

}  // namespace

// Retry while the file is held brings the box back, and after release goes
// through.  Cancel stops there and keeps the record for another run.
SCENARIO(uninstall_file_in_use) {
    InstallThroughThePages(ctx, NULL);
    HANDLE held;
    DrvProcess* p = UninstallWhileHeld(ctx, &held);
    REQUIRE(p);
    EXPECT_MESSAGE_BOX(p, Caption, InUse, MB_ICONWARNING, IDRETRY);
    DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
    REQUIRE(box);
    CHECK_EQ_STR(box->text, InUse);
    CloseHandle(held);
    DrvAnswerMessageBox(box, IDRETRY);
    EXPECT_MESSAGE_BOX(p, Caption, Removed, MB_ICONINFORMATION, IDOK);
    ExpectExit(p, 0);
    CheckProductGone();

    InstallThroughThePages(ctx, NULL);
    p = UninstallWhileHeld(ctx, &held);
    REQUIRE(p);
    EXPECT_MESSAGE_BOX(p, Caption, InUse, MB_ICONWARNING, IDCANCEL);
    ExpectExit(p, 1);  // at once: a further box would have kept it running
    // What comes after the files stays: the shortcuts, the uninstaller and
    // its record, so that it can be run again.
    char link[MAX_PATH], exe[MAX_PATH];
    ProgramsPath("Quorvik\\Uninstall.lnk", link, sizeof link);
    CHECK(ShortcutTarget(link, exe, sizeof exe) && FileExists(exe));
    CHECK(FileExists(HeldFile));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
    // Unattended, a file in use fails the removal without asking.
    int boxes = DrvMessageBoxCount();
    p = DrvStartProgram(exe, "/S", NULL);
    REQUIRE(p);
    ExpectExit(p, 1);
    CHECK_EQ_INT(DrvMessageBoxCount(), boxes);
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
    CloseHandle(held);
    UninstallAll(ctx);
    CheckProductGone();
}

namespace {

// A record naming `path` and `group`: refused, `marker` and the record kept.
void ExpectRefused(const DrvContext* ctx, const char* path, const char* group, const char* marker) {
    DrvLog("record: Program Path \"%s\", Program Group \"%s\"", path, group);
    CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, ProductUninstallKey, "Program Path", REG_SZ, path,
                          lstrlenA(path) + 1) == ERROR_SUCCESS);
    CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, ProductUninstallKey, "Program Group", REG_SZ, group,
                          lstrlenA(group) + 1) == ERROR_SUCCESS);
    WriteMarker(marker);
    Uninstall(ctx, NULL, 0,
              "The record of the Quorvik installation is damaged, so nothing has been removed.",
              MB_ICONERROR, 1);
    CHECK(FileExists(marker));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
}

}  // namespace

SCENARIO(uninstall_refuses_bad_records) {
    ExpectRefused(ctx, "C:\\", "Quorvik", "C:\\Quorvik.exe");
    char windows[MAX_PATH], marker[MAX_PATH];
    WindowsFolder(windows, sizeof windows);
    snprintf(marker, sizeof marker, "%s\\Quorvik.hlp", windows);
    ExpectRefused(ctx, windows, "Quorvik", marker);
    // Where "..\Uninstall.lnk" under the Programs folder leads.
    ProgramsPath("..\\Uninstall.lnk", marker, sizeof marker);
    ExpectRefused(ctx, DefaultFolder, "..", marker);

    // An uninstall entry that cannot be deleted (another program has put a
    // key below it) is no success: said, exit 1.
    CHECK(RegSetKeyValueA(HKEY_LOCAL_MACHINE, ProductUninstallKey, "Program Group", REG_SZ,
                          "Quorvik", 8) == ERROR_SUCCESS);
    HKEY added;
    CHECK(RegCreateKeyA(HKEY_LOCAL_MACHINE,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\"
                        "Uninstall\\Quorvik\\Added",
                        &added) == ERROR_SUCCESS);
    RegCloseKey(added);
    Uninstall(ctx, NULL, 1,
              "Quorvik has been removed, but its entry in the list of installed programs could "
              "not be deleted.",
              MB_ICONWARNING, 1);
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, ProductUninstallKey));
}
