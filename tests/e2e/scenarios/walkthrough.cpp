#include "walkthrough.h"

#include <stdio.h>
#include <string.h>

const char WelcomeCaption[] = "Kestrova For Windows";
const char AgreementCaption[] = "Quorvik License Agreement";
const char LocationCaption[] = "Quorvik Program Location";
const char InstallingCaption[] = "Installing Quorvik Program Files";
const char GroupCaption[] = "Quorvik Program Group";
const char ShortcutsCreated[] = "Shortcuts Created Successfully!";
const char AbortText[] =
    "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - "
    "support@halvenor.com!";
const char FinishQuestion[] =
    "Quorvik was successfully Installed.\n\nWould you like to view the Read Me file now?";
const char ClosingText[] =
    "Before you begin exploring, I would like to\r\nThank You for taking the time to evaluate "
    "my\r\nproduct Quorvik. If you have any questions you\r\ncan email me at "
    "support@halvenor.com!";
const char DefaultFolder[] = "C:\\Halvenor\\Quorvik";

const InstalledFile InstalledFiles[8] = {
    {"Zelmunin.exe", 1}, {"Quorvik.exe", 0}, {"Qvreader.exe", 0}, {"Quorvik.hlp", 0},
    {"Qvnotes.hlp", 0},  {"Quorvik.cnt", 0}, {"Qvtips.dll", 0},   {"Qvshell.dll", 1},
};

DrvProcess* StartInstaller(const DrvContext* ctx, HWND* welcome) {
    DrvProcess* p = DrvStartProgram(ctx->installer, NULL, NULL);
    *welcome = p ? DrvWaitWindow(p, WelcomeCaption, "#32770", DRV_WAIT) : NULL;
    return p;
}

HWND WalkToAgreement(DrvProcess* p) {
    HWND welcome = DrvWaitWindow(p, WelcomeCaption, "#32770", DRV_WAIT);
    if (!welcome || !DrvClick(welcome, IDOK)) return NULL;
    return DrvWaitWindow(p, AgreementCaption, "#32770", DRV_WAIT);
}

HWND WalkToLocation(DrvProcess* p) {
    HWND agreement = WalkToAgreement(p);
    if (!agreement || !DrvClick(agreement, IDOK)) return NULL;
    return DrvWaitWindow(p, LocationCaption, "#32770", DRV_WAIT);
}

HWND WalkToInstalling(DrvProcess* p, const char* folder) {
    HWND location = WalkToLocation(p);
    if (!location) return NULL;
    if (folder) DrvSetItemText(location, 300, folder);
    DrvClick(location, IDOK);
    return DrvWaitWindow(p, InstallingCaption, "#32770", DRV_WAIT);
}

HWND WaitForGroupPage(DrvProcess* p, HWND installing) {
    // The installing page takes about nine seconds of fixed pauses.
    CHECK(DrvWaitWindowGone(installing, 60000));
    return DrvWaitWindow(p, GroupCaption, "#32770", DRV_WAIT);
}

void AcceptGroup(DrvProcess* p, HWND groupPage, const char* group) {
    DrvClick(groupPage, 2000);
    EXPECT_MESSAGE_BOX(p, group, ShortcutsCreated, MB_ICONINFORMATION, IDOK);
}

void FinishAfterInstalling(DrvProcess* p, HWND installing) {
    HWND group = WaitForGroupPage(p, installing);
    REQUIRE(group);
    FinishWithGroup(p, group, "Quorvik");
}

void FinishWithGroup(DrvProcess* p, HWND groupPage, const char* group) {
    AcceptGroup(p, groupPage, group);
    EXPECT_MESSAGE_BOX(p, "Kestrova", FinishQuestion, MB_ICONQUESTION, IDNO);
    EXPECT_MESSAGE_BOX(p, "Kestrova", ClosingText, MB_ICONINFORMATION, IDOK);
    ExpectExit(p, 0);
    CHECK_EQ_INT(DrvMessageBoxCountWithText(AbortText), 0);
}

void InstallThroughThePages(const DrvContext* ctx, const char* folder) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, folder);
    REQUIRE(page);
    FinishAfterInstalling(p, page);
}

void ExpectExit(DrvProcess* p, DWORD expected) {
    DWORD code = 99;
    CHECK(DrvWaitExit(p, DRV_WAIT, &code));
    CHECK_EQ_INT(code, expected);
}

void ExpectAbortAndExit(DrvProcess* p) {
    EXPECT_MESSAGE_BOX(p, "Kestrova", AbortText, MB_ICONWARNING, IDOK);
    ExpectExit(p, 0);
    CHECK_EQ_INT(DrvMessageBoxCountWithText(AbortText), 1);
}

int ProductFilePath(const DrvContext* ctx, const char* fileName, char* out, int size) {
    char folder[MAX_PATH];
    if (lstrlenA(ctx->installer) >= (int)sizeof folder) return 0;
    lstrcpyA(folder, ctx->installer);
    char* slash = strrchr(folder, '\\');
    if (!slash) return 0;
    *slash = '\0';
    return snprintf(out, size, "%s\\product\\%s", folder, fileName) < size;
}

namespace {

int ReadWhole(const char* path, char** data, DWORD* size) {
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    *size = GetFileSize(f, NULL);
    *data = (char*)HeapAlloc(GetProcessHeap(), 0, *size + 1);
    DWORD got = 0;
    int ok = *data && ReadFile(f, *data, *size, &got, NULL) && got == *size;
    CloseHandle(f);
    return ok;
}

}  // namespace

int SameFileContents(const char* a, const char* b) {
    char *da = NULL, *db = NULL;
    DWORD sa = 0, sb = 0;
    int ok = ReadWhole(a, &da, &sa) && ReadWhole(b, &db, &sb);
    if (!ok)
        DrvLog("cannot read %s or %s", a, b);
    else if (sa != sb) {
        DrvLog("%s has %lu bytes, %s has %lu", a, sa, b, sb);
        ok = 0;
    } else if (memcmp(da, db, sa) != 0) {
        DWORD i = 0;
        while (da[i] == db[i]) ++i;
        DrvLog("%s and %s differ at byte %lu", a, b, i);
        ok = 0;
    }
    if (da) HeapFree(GetProcessHeap(), 0, da);
    if (db) HeapFree(GetProcessHeap(), 0, db);
    return ok;
}

int FileExists(const char* path) {
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int EndsWithSeparator(const char* folder) {
    // In the ANSI code page: the last character, not the last byte, which
    // may be the second half of a double-byte character.
    const char* end = folder + strlen(folder);
    if (end == folder) return 0;
    const char* last = CharPrevA(folder, end);
    return end - last == 1 && *last == '\\';
}

void WindowsFolder(char* out, int size) { GetWindowsDirectoryA(out, size); }
void TempFolder(char* out, int size) { GetTempPathA(size, out); }

void CheckInstalledFiles(const DrvContext* ctx, const char* installFolder) {
    char windows[MAX_PATH];
    WindowsFolder(windows, sizeof windows);
    for (const InstalledFile& f : InstalledFiles) {
        char installed[MAX_PATH], product[MAX_PATH];
        const char* folder = f.inWindowsFolder ? windows : installFolder;
        snprintf(installed, sizeof installed, "%s%s%s", folder,
                 EndsWithSeparator(folder) ? "" : "\\", f.name);
        REQUIRE(ProductFilePath(ctx, f.name, product, sizeof product));
        if (!CHECK(SameFileContents(installed, product))) DrvLog("  installed copy: %s", installed);
    }
}

int CountStagedFiles() {
    char temp[MAX_PATH];
    TempFolder(temp, sizeof temp);
    int count = 0;
    for (const InstalledFile& f : InstalledFiles) {
        char staged[MAX_PATH];
        snprintf(staged, sizeof staged, "%s%s", temp, f.name);
        staged[strlen(staged) - 1] = '_';
        if (GetFileAttributesA(staged) != INVALID_FILE_ATTRIBUTES) ++count;
    }
    return count;
}

void ExpectStageLit(unsigned int bit) {
    // The seven lines are 18 pixels apart from (10, 120), in 0x00RRGGBB.
    const DWORD Bright = 0x20F8FF, Dull = 0x2084E8;
    const int Top = 120, Pitch = 18, Width = 140, Lines = 7;
    static DWORD pixels[Width * Pitch * Lines];
    if (!CHECK(DrvCaptureScreen(10, Top, Width, Pitch * Lines, pixels))) return;
    for (int line = 0; line < Lines; ++line) {
        int bright = 0, dull = 0;
        for (int i = line * Pitch * Width; i < (line + 1) * Pitch * Width; ++i) {
            bright += pixels[i] == Bright;
            dull += pixels[i] == Dull;
        }
        int lit = bit == (1u << line);
        if (!CHECK(lit ? bright > 0 && dull == 0 : dull > 0 && bright == 0))
            DrvLog("  stage line %d (bit %u lit): %d bright, %d dull pixels", line, bit, bright,
                   dull);
    }
}
