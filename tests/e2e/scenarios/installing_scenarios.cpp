// The installing page: a whole default installation watched phase by
// phase, and the faults that must end it with their messages.
#include <stdio.h>
#include <string.h>

#include "walkthrough.h"

namespace {

const COLORREF StagingRed = RGB(128, 0, 0);
const COLORREF CopyingBlue = RGB(0, 0, 128);
const COLORREF RemovingGreen = RGB(0, 128, 0);

enum Phase { Staging, Copying, Removing, PhaseCount };
const char* const PhaseLabels[PhaseCount] = {"Extracting:", "Copying:", "Removing:"};
const COLORREF PhaseColours[PhaseCount] = {StagingRed, CopyingBlue, RemovingGreen};

struct PhaseWatch {
    int seenLabel[PhaseCount];
    int seenBar[PhaseCount];     // the bar in the phase's colour
    int emptyAfter[PhaseCount];  // an empty bar seen after that phase's colour
    int fileLabelsRight[PhaseCount];
    int lastBarPhase;
};

int PhaseOfLabel(const char* label) {
    for (int i = 0; i < PhaseCount; ++i)
        if (strcmp(label, PhaseLabels[i]) == 0) return i;
    return -1;
}

int EndsWithUnderscore(const char* s) {
    size_t n = strlen(s);
    return n > 0 && s[n - 1] == '_';
}

// What controls 401 and 404 must show in each phase.  The installer shows
// the temporary folder in its own capitalisation, so it is compared without
// regard to case.
int FileLabelsFit(HWND page, int phase, const char* temp) {
    char source[300], destination[300], caption[64];
    if (!DrvGetItemText(page, 401, source, sizeof source) ||
        !DrvGetItemText(page, 404, destination, sizeof destination) ||
        !DrvGetItemText(page, 403, caption, sizeof caption))
        return 0;
    switch (phase) {
        case Staging:
            return strchr(source, '\\') == NULL &&
                   _strnicmp(destination, temp, strlen(temp)) == 0 &&
                   EndsWithUnderscore(destination) && strcmp(caption, "Destination:") == 0;
        case Copying:
            return _strnicmp(source, temp, strlen(temp)) == 0 && EndsWithUnderscore(source) &&
                   !EndsWithUnderscore(destination) && strchr(destination, '\\') != NULL;
        default:
            return _strnicmp(source, temp, strlen(temp)) == 0 && destination[0] == '\0' &&
                   caption[0] == '\0';
    }
}

// Watches the page until it closes: the phase label, the file labels, and
// the meter's left edge (the bar, or the button face when it is empty).
void WatchInstallingPage(HWND page, PhaseWatch* w, int pressEscapeWhileCopying) {
    memset(w, 0, sizeof *w);
    w->lastBarPhase = -1;
    RECT meter;
    if (!CHECK(DrvItemRect(page, 405, &meter))) return;
    const int x = meter.left + 3, y = (meter.top + meter.bottom) / 2;
    const int right = meter.right - 4;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    char temp[MAX_PATH];
    TempFolder(temp, sizeof temp);
    int shots = 0, escaped = 0;
    DWORD start = GetTickCount();
    while (IsWindow(page) && GetTickCount() - start < DrvBound(60000)) {
        char label[64];
        if (!DrvGetItemText(page, 400, label, sizeof label)) break;
        int phase = PhaseOfLabel(label);
        COLORREF pixel = DrvScreenPixel(x, y);
        if (phase >= 0) {
            w->seenLabel[phase] = 1;
            if (FileLabelsFit(page, phase, temp)) w->fileLabelsRight[phase] = 1;
        }
        for (int i = 0; i < PhaseCount; ++i) {
            if (pixel == PhaseColours[i]) {
                w->seenBar[i] = 1;
                w->lastBarPhase = i;
            }
        }
        if (pixel == face && w->lastBarPhase >= 0) w->emptyAfter[w->lastBarPhase] = 1;
        // The empty bar between two phases lasts a tenth of a second, which
        // a slow machine's look can miss; the bar's right end tells the
        // same for the whole next phase: a bar not reset would stay full.
        if (phase > 0 && DrvScreenPixel(right, y) == face) w->emptyAfter[phase - 1] = 1;
        if (phase >= 0 && phase >= shots && pixel == PhaseColours[phase]) {
            char name[32];
            snprintf(name, sizeof name, "4-installing-%d", phase + 1);
            DrvScreenshotNow(name);
            shots = phase + 1;
        }
        if (pressEscapeWhileCopying && phase == Copying && !escaped) {
            DrvPressKey(page, VK_ESCAPE);
            escaped = 1;
        }
        DrvPause(10);
    }
}

// The failure's own message, then the abort message, then the end: nothing
// else (a timer left running would start another phase and say more).
void ExpectFailure(DrvProcess* p, const char* text) {
    EXPECT_MESSAGE_BOX(p, "Kestrova", text, MB_ICONERROR, IDOK);
    ExpectAbortAndExit(p);
    CHECK_EQ_INT(DrvMessageBoxCount(), 2);
}

// Row 1 goes to the Windows folder first; a later failure leaves it there.
void CheckFirstFileKept(const DrvContext* ctx) {
    char windows[MAX_PATH], installed[MAX_PATH], product[MAX_PATH];
    WindowsFolder(windows, sizeof windows);
    snprintf(installed, sizeof installed, "%s\\Zelmunin.exe", windows);
    REQUIRE(ProductFilePath(ctx, "Zelmunin.exe", product, sizeof product));
    CHECK(SameFileContents(installed, product));
}

}  // namespace

SCENARIO(install_default) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, NULL);
    REQUIRE(page);
    PhaseWatch w;
    WatchInstallingPage(page, &w, 1);
    for (int i = 0; i < PhaseCount; ++i) {
        DrvLog("phase %d: label %d, bar %d, empty after %d, file labels %d", i + 1, w.seenLabel[i],
               w.seenBar[i], w.emptyAfter[i], w.fileLabelsRight[i]);
        CHECK(w.seenLabel[i]);
        CHECK(w.seenBar[i]);
        CHECK(w.fileLabelsRight[i]);
    }
    // Between phases the meter goes back to an empty bar.
    CHECK(w.emptyAfter[Staging]);
    CHECK(w.emptyAfter[Copying]);
    FinishAfterInstalling(p, page);  // Escape while copying changed nothing
    CheckInstalledFiles(ctx, DefaultFolder);
    CHECK_EQ_INT(CountStagedFiles(), 0);
}

// A folder in the way of the second file: the first file stays installed,
// every staged file stays behind, the installer ends after the messages.
SCENARIO(install_destination_blocked) {
    CHECK(CreateDirectoryA("C:\\Halvenor", NULL));
    CHECK(CreateDirectoryA("C:\\Halvenor\\Quorvik", NULL));
    CHECK(CreateDirectoryA("C:\\Halvenor\\Quorvik\\Quorvik.exe", NULL));
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    REQUIRE(WalkToInstalling(p, NULL));
    ExpectFailure(p, "Unable to open destination file!\nInstallation will now be aborted.");
    CheckFirstFileKept(ctx);
    CHECK_EQ_INT(CountStagedFiles(), 8);
}

// A staged file that cannot be written: a leftover of the wrong size that
// another program holds open, denying writes (file modes would not stop
// the root user these tests may run as).  Staging passes over it silently;
// its length gives it away when it is expanded.
SCENARIO(install_staged_unwritable) {
    char temp[MAX_PATH], staged[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(staged, sizeof staged, "%sQvreader.ex_", temp);
    HANDLE f = CreateFileA(staged, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    REQUIRE(f != INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(f, "stale", 5, &written, NULL);
    CloseHandle(f);
    HANDLE holder =
        CreateFileA(staged, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    REQUIRE(holder != INVALID_HANDLE_VALUE);
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    REQUIRE(WalkToInstalling(p, NULL));
    ExpectFailure(p, "Unable to read source file!\nInstallation will now be aborted.");
    // The two files before it are in place.
    char product[MAX_PATH];
    REQUIRE(ProductFilePath(ctx, "Quorvik.exe", product, sizeof product));
    CHECK(SameFileContents("C:\\Halvenor\\Quorvik\\Quorvik.exe", product));
    CHECK(!FileExists("C:\\Halvenor\\Quorvik\\Qvreader.exe") ||
          !SameFileContents("C:\\Halvenor\\Quorvik\\Qvreader.exe", product));
    CloseHandle(holder);
}

// The install folder on a drive that fills up: the write that falls short
// is reported, never counted as done.  The harness maps drive S: to a
// small filesystem.
SCENARIO(install_disk_full) {
    ULARGE_INTEGER freeBytes;
    REQUIRE(GetDiskFreeSpaceExA("S:\\", &freeBytes, NULL, NULL));
    DrvLog("S: has %llu bytes free", (unsigned long long)freeBytes.QuadPart);
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    REQUIRE(WalkToInstalling(p, "S:\\Quorvik"));
    ExpectFailure(p, "Unable to write destination file!\nInstallation will now be aborted.");
    CheckFirstFileKept(ctx);
    CHECK_EQ_INT(CountStagedFiles(), 8);
}

namespace {

// A copy of the installer whose resource `name` is replaced by `edit` of
// its bytes; returns its path.
typedef DWORD (*ResourceEdit)(BYTE* data, DWORD size);

BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *(WORD*)found = language;
    return FALSE;
}

int TamperedInstaller(const DrvContext* ctx, const char* name, ResourceEdit edit, char* out,
                      int size) {
    char temp[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(out, size, "%sTampered.exe", temp);
    if (!CopyFileA(ctx->installer, out, FALSE)) return 0;
    HMODULE m = LoadLibraryExA(ctx->installer, NULL, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = m ? FindResourceA(m, name, MAKEINTRESOURCEA(10)) : NULL;
    DWORD n = r ? SizeofResource(m, r) : 0;
    const BYTE* data = r ? (const BYTE*)LockResource(LoadResource(m, r)) : NULL;
    if (!data) return 0;
    // Replaced under its own language, so the installer finds the new one.
    WORD language = 0;
    EnumResourceLanguagesA(m, MAKEINTRESOURCEA(10), name, NoteLanguage, (LONG_PTR)&language);
    BYTE* copy = (BYTE*)HeapAlloc(GetProcessHeap(), 0, n);
    memcpy(copy, data, n);
    FreeLibrary(m);
    DWORD newSize = edit(copy, n);
    HANDLE u = BeginUpdateResourceA(out, FALSE);
    int ok = u && UpdateResourceA(u, MAKEINTRESOURCEA(10), name, language, copy, newSize) &&
             EndUpdateResourceA(u, FALSE);
    HeapFree(GetProcessHeap(), 0, copy);
    return ok;
}

DWORD CutInHalf(BYTE*, DWORD size) { return size / 2; }

// Cut, with the header's length made to agree with what is left: a reader
// that trusted the header would see nothing wrong.  (LZ32 expands until the
// data ends, whatever the header says.)
DWORD CutWithMatchingLength(BYTE* data, DWORD size) {
    DWORD cut = size / 2;
    DWORD claimed = (cut - 14) * 9 / 8;  // about what the cut data expands to
    for (int i = 0; i < 4; ++i) data[10 + i] = (BYTE)(claimed >> (8 * i));
    return cut;
}

void RunTampered(const DrvContext* ctx, ResourceEdit edit) {
    char tampered[MAX_PATH];
    REQUIRE(TamperedInstaller(ctx, "README", edit, tampered, sizeof tampered));
    DrvContext copy = *ctx;
    copy.installer = tampered;
    HWND welcome;
    DrvProcess* p = StartInstaller(&copy, &welcome);
    REQUIRE(welcome);
    REQUIRE(WalkToInstalling(p, NULL));
    ExpectFailure(p, "Unable to read source file!\nInstallation will now be aborted.");
    char product[MAX_PATH];
    REQUIRE(ProductFilePath(ctx, "Quorvik.exe", product, sizeof product));
    CHECK(SameFileContents("C:\\Halvenor\\Quorvik\\Quorvik.exe", product));
}

}  // namespace

SCENARIO(install_tampered_cut) { RunTampered(ctx, CutInHalf); }

SCENARIO(install_tampered_length) { RunTampered(ctx, CutWithMatchingLength); }

// A temporary folder so deep that the staged paths do not fit the 128
// bytes that LZ32 keeps of a path: refused with the source message, never
// passed on cut.
SCENARIO(install_long_temp_path) {
    char temp[MAX_PATH], deep[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(deep, sizeof deep, "%s%s", temp, "A-temporary-folder-with-a-long-name");
    CHECK(CreateDirectoryA(deep, NULL));
    lstrcatA(deep, "\\and-another-one-below-it-to-pass-one-hundred-and-twenty-eight-bytes\\");
    CHECK(CreateDirectoryA(deep, NULL));
    REQUIRE(strlen(deep) + strlen("Zelmunin.ex_") >= 128);
    SetEnvironmentVariableA("TMP", deep);
    SetEnvironmentVariableA("TEMP", deep);
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    REQUIRE(WalkToInstalling(p, NULL));
    ExpectFailure(p, "Unable to open source file!\nInstallation will now be aborted.");
}

// On a double-byte code page (932 here) the second byte of a character may
// be a backslash: "表" is 0x95 0x5C.  A folder ending in it must be made
// as one folder and receive the files, not be split in two.
SCENARIO(install_dbcs_folder) {
    REQUIRE(GetACP() == 932);
    const char folder[] = "C:\\Halvenor\\Quorvik\x95\x5C";  // ...Quorvik表
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, folder);
    REQUIRE(page);
    FinishAfterInstalling(p, page);
    CheckInstalledFiles(ctx, folder);
    // Cut after the lead byte, the folder would have been "Quorvik\x95".
    CHECK(GetFileAttributesA("C:\\Halvenor\\Quorvik\x95") == INVALID_FILE_ATTRIBUTES);
}

// Yes to the read-me question runs the viewer from the install folder; the
// closing message waits until the viewer has been closed.
SCENARIO(finish_view_readme) {
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, "C:\\Program Files\\Quorvik Suite");
    REQUIRE(page);
    HWND group = WaitForGroupPage(p, page);
    REQUIRE(group);
    AcceptGroup(p, group, "Quorvik");
    EXPECT_MESSAGE_BOX(p, "Kestrova", FinishQuestion, MB_ICONQUESTION, IDYES);
    // The viewer is a process of its own: find its window on the screen.
    HWND viewer = NULL;
    for (int i = 0; i < 100 && !viewer; ++i) {
        viewer = FindWindowA(NULL, "Quorvik 3.02 Read Me");
        if (!viewer) DrvPause(100);
    }
    REQUIRE(viewer);
    DrvPause(1000);
    DrvScreenshot("5-readme");
    CHECK_EQ_INT(DrvMessageBoxCountWithText(ClosingText), 0);  // still waiting
    CHECK(DrvIsRunning(p));
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    // Its icon is not checked here: under Wine without a window manager the
    // restored backdrop can cover the box, and the driver tells icons from
    // the screen.
    DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
    REQUIRE(box);
    CHECK_EQ_STR(box->text, ClosingText);
    CHECK_EQ_STR(box->caption, "Kestrova");
    DrvAnswerMessageBox(box, IDOK);
    DWORD code = 99;
    CHECK(DrvWaitExit(p, DRV_WAIT, &code));
    CHECK_EQ_INT(code, 0);
}
