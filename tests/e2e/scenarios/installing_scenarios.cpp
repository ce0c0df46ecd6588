// The installing page: a whole default installation watched phase by
// phase, and the faults that must end it with their messages.
#include <stdio.h>
#include <string.h>

#include "engine/payload_table.h"
#include "silent_runs.h"
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
    DWORD fullAt[PhaseCount];      // when the bar's right end first showed full
    DWORD fullFor[PhaseCount];     // how long it stayed full: the phase's end pause
    int coloursRight[PhaseCount];  // label and meter text colours, sampled
};

// Whether the rectangle of the screen holds a pixel of `colour`.
int AreaHolds(const RECT& r, COLORREF colour) {
    static DWORD pixels[600 * 60];
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width * height > 600 * 60 || !DrvCaptureScreen(r.left, r.top, width, height, pixels))
        return 0;
    DWORD want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < width * height; ++i)
        if (pixels[i] == want) return 1;
    return 0;
}

// With the bar full: the file labels' text dark blue, and the meter's
// percentage in the button highlight colour on the phase's colour.
int ColoursRight(HWND page, const RECT& meter, COLORREF phaseColour) {
    RECT source, note, inside = meter;
    InflateRect(&inside, -4, -4);  // the bar, without the control's edge
    const COLORREF darkBlue = RGB(0, 0, 128);
    return DrvItemRect(page, 401, &source) && DrvItemRect(page, 600, &note) &&
           AreaHolds(source, darkBlue) && AreaHolds(note, darkBlue) &&
           AreaHolds(inside, GetSysColor(COLOR_BTNHIGHLIGHT)) && AreaHolds(inside, phaseColour);
}

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
    int shots = 0, escaped = 0, fullPhase = -1;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < DrvBound(60000)) {
        char label[64];
        int open = IsWindow(page) && DrvGetItemText(page, 400, label, sizeof label);
        DWORD now = GetTickCount();
        COLORREF end = open ? DrvScreenPixel(right, y) : face;
        // The bar full, then its end pause until it is reset or the page ends.
        if (fullPhase >= 0 && end != PhaseColours[fullPhase]) {
            w->fullFor[fullPhase] = now - w->fullAt[fullPhase];
            fullPhase = -1;
        }
        if (!open) break;
        for (int i = 0; i < PhaseCount; ++i) {
            if (end == PhaseColours[i] && !w->fullAt[i]) {
                w->fullAt[i] = now;
                fullPhase = i;
                w->coloursRight[i] = ColoursRight(page, meter, PhaseColours[i]);
            }
        }
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
        if (phase > 0 && end == face) w->emptyAfter[phase - 1] = 1;
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

// What the installer expands into beside each destination until the file
// is whole and checked.
const char NewFileName[] = "Kestrova.new";

const PayloadEntry* RowNamed(const char* fileName) {
    for (int i = 0; i < PayloadRowCount; ++i)
        if (strcmp(PayloadTable[i].fileName, fileName) == 0) return &PayloadTable[i];
    return NULL;
}

// Bytes that no product file holds, planted where a staged file goes.
const char PlantedMark[] = "Planted-not-the-product!";

// An older copy of a product file, whose bytes must survive a failure.
const char OlderMark[] = "An-older-copy-of-the-file";

// Writes `size` bytes of `mark`, repeated, over `path`.
int PlantFile(const char* path, DWORD size, const char* mark) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    int ok = f != INVALID_HANDLE_VALUE;
    const DWORD markSize = (DWORD)strlen(mark);
    for (DWORD done = 0; ok && done < size;) {
        DWORD n = size - done < markSize ? size - done : markSize, written = 0;
        ok = WriteFile(f, mark, n, &written, NULL) && written == n;
        done += n;
    }
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    return ok;
}

// 1 when some file directly in `folder` holds PlantedMark.
int FolderHoldsPlantedBytes(const char* folder) {
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int seen = 0;
    static char data[4 << 20];
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
        HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, 0, NULL);
        if (f == INVALID_HANDLE_VALUE) continue;
        DWORD got = 0;
        ReadFile(f, data, sizeof data, &got, NULL);
        CloseHandle(f);
        const DWORD markSize = sizeof PlantedMark - 1;
        for (DWORD i = 0; i + markSize <= got && !seen; ++i)
            if (memcmp(data + i, PlantedMark, markSize) == 0) {
                DrvLog("planted bytes in %s", path);
                seen = 1;
            }
    } while (!seen && FindNextFileA(search, &found));
    FindClose(search);
    return seen;
}

// Nothing planted reached the install or Windows folder, and no new file
// was left behind in either.
void CheckNothingPlantedInstalled() {
    char windows[MAX_PATH], leftover[MAX_PATH];
    WindowsFolder(windows, sizeof windows);
    CHECK(!FolderHoldsPlantedBytes(DefaultFolder));
    CHECK(!FolderHoldsPlantedBytes(windows));
    snprintf(leftover, sizeof leftover, "%s\\%s", windows, NewFileName);
    CHECK(!FileExists(leftover));
    snprintf(leftover, sizeof leftover, "%s\\%s", DefaultFolder, NewFileName);
    CHECK(!FileExists(leftover));
}

}  // namespace

// Names the installer writes under, planted beforehand as links to a file
// of another's: the elevated writes must never reach it.
const char Victim[] = "C:\\victim.txt";
const char VictimText[] = "not the installer's to write";

void PlantLinksToVictim() {
    HANDLE f = CreateFileA(Victim, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    CHECK(f != INVALID_HANDLE_VALUE &&
          WriteFile(f, VictimText, sizeof VictimText - 1, &written, NULL));
    CloseHandle(f);
    char temp[MAX_PATH], staged[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(staged, sizeof staged, "%sQvtips.dl_", temp);
    CHECK(CreateDirectoryA("C:\\Halvenor", NULL) && CreateDirectoryA(DefaultFolder, NULL));
    CHECK(CreateHardLinkA(staged, Victim, NULL));
    CHECK(CreateHardLinkA("C:\\Halvenor\\Quorvik\\Kestrova.new", Victim, NULL));
}

void CheckVictimUntouched() {
    char text[64] = "";
    HANDLE f = CreateFileA(Victim, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    DWORD got = 0;
    CHECK(f != INVALID_HANDLE_VALUE && ReadFile(f, text, sizeof text - 1, &got, NULL));
    CloseHandle(f);
    text[got] = '\0';
    CHECK_EQ_STR(text, VictimText);
}

SCENARIO(install_default) {
    PlantLinksToVictim();
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, NULL);
    REQUIRE(page);
    PhaseWatch w;
    WatchInstallingPage(page, &w, 1);
    // Each phase ends with its bar full for its fixed pause: 1 s, 2 s after
    // copying; the bound above leaves room for the last file's steps.
    const DWORD pause[PhaseCount] = {1000, 2000, 1000};
    for (int i = 0; i < PhaseCount; ++i) {
        DrvLog(
            "phase %d: label %d, bar %d, empty after %d, file labels %d, colours %d, "
            "full for %lu ms",
            i + 1, w.seenLabel[i], w.seenBar[i], w.emptyAfter[i], w.fileLabelsRight[i],
            w.coloursRight[i], w.fullFor[i]);
        CHECK(w.seenLabel[i]);
        CHECK(w.seenBar[i]);
        CHECK(w.fileLabelsRight[i]);
        CHECK(w.coloursRight[i]);
        CHECK(w.fullFor[i] >= pause[i] - 100 && w.fullFor[i] <= DrvBound(pause[i] + 1000));
    }
    // Between phases the meter goes back to an empty bar.
    CHECK(w.emptyAfter[Staging]);
    CHECK(w.emptyAfter[Copying]);
    FinishAfterInstalling(p, page);  // Escape while copying changed nothing
    CheckInstalledFiles(ctx, DefaultFolder);
    CHECK_EQ_INT(CountStagedFiles(), 0);
    CheckVictimUntouched();
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

// A staged file that cannot be written: planted beforehand with the
// expanded length of its row and not SZDD (LZ32 passes such a file through
// unchanged), and held open by another program, denying writes (file modes
// would not stop the root user these tests may run as).  Staging passes
// over it silently; the comparison with the installer's own resource
// before expansion gives it away.
SCENARIO(install_staged_unwritable) {
    char temp[MAX_PATH], staged[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(staged, sizeof staged, "%sQvreader.ex_", temp);
    const PayloadEntry* row = RowNamed("Qvreader.exe");
    REQUIRE(row);
    REQUIRE(PlantFile(staged, row->unpackedSize, PlantedMark));
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
    CHECK(!FileExists("C:\\Halvenor\\Quorvik\\Qvreader.exe"));
    CheckNothingPlantedInstalled();
    CloseHandle(holder);
}

namespace {

// A staged file replaced while the files are being copied, before its turn
// comes; with `keepWriting` the replacing program keeps it open for
// writing, to change it again after any check.  Never expanded.
void RunSwapped(const DrvContext* ctx, int keepWriting, const char* message) {
    char temp[MAX_PATH], staged[MAX_PATH], windows[MAX_PATH], installed[MAX_PATH];
    TempFolder(temp, sizeof temp);
    snprintf(staged, sizeof staged, "%sQvshell.dl_", temp);
    WindowsFolder(windows, sizeof windows);
    snprintf(installed, sizeof installed, "%s\\Qvshell.dll", windows);
    const PayloadEntry* row = RowNamed("Qvshell.dll");
    REQUIRE(row);
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, NULL);
    REQUIRE(page);
    char label[64] = "";
    DWORD start = GetTickCount();
    while (strcmp(label, "Copying:") != 0 && GetTickCount() - start < DrvBound(30000)) {
        DrvPause(10);
        if (!DrvGetItemText(page, 400, label, sizeof label)) break;
    }
    REQUIRE(strcmp(label, "Copying:") == 0);
    REQUIRE(PlantFile(staged, row->unpackedSize, PlantedMark));
    HANDLE writer = INVALID_HANDLE_VALUE;
    if (keepWriting) {
        const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        writer = CreateFileA(staged, GENERIC_WRITE, shareAll, NULL, OPEN_EXISTING, 0, NULL);
        REQUIRE(writer != INVALID_HANDLE_VALUE);
    }
    ExpectFailure(p, message);
    CHECK(!FileExists(installed));
    CheckNothingPlantedInstalled();
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

}  // namespace

// Caught by the comparison with the installer's own resource.
SCENARIO(install_staged_swapped) {
    RunSwapped(ctx, 0, "Unable to read source file!\nInstallation will now be aborted.");
}

// Refused before any comparison: the installer must hold the file so that
// nobody can write it between the check and LZ32's reading.
SCENARIO(install_staged_swapped_held) {
    RunSwapped(ctx, 1, "Unable to open source file!\nInstallation will now be aborted.");
}
// The install folder on a drive that fills up: the write that falls short
// is reported, never counted as done.  The harness maps drive S: to a
// small filesystem.  An older copy of the file that fails stays as it
// was, and the new one is not left behind.
SCENARIO(install_disk_full) {
    // The third file is the first that no longer fits.
    const char older[] = "S:\\Quorvik\\Qvreader.exe";
    const char saved[] = "C:\\older-Qvreader.exe";
    CHECK(CreateDirectoryA("S:\\Quorvik", NULL));
    REQUIRE(PlantFile(older, 4000, OlderMark) && CopyFileA(older, saved, FALSE));
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
    CHECK(SameFileContents(older, saved));
    CHECK(!FileExists("S:\\Quorvik\\Kestrova.new"));
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

// One literal byte in the middle of the stream, flipped: the same length
// comes out, and the header and LZ32 see nothing wrong.
DWORD FlipLiteral(BYTE* data, DWORD size) {
    DWORD at = 14;  // past the header: a flag byte, then eight items
    while (at < size) {
        BYTE flags = data[at++];
        for (int bit = 0; bit < 8 && at < size; ++bit) {
            if (!(flags & (1 << bit))) {
                at += 2;  // a match: offset and length
            } else if (at < size / 2) {
                ++at;
            } else {
                data[at] ^= 0xFF;
                return size;
            }
        }
    }
    return 0;  // refused by UpdateResource: the scenario fails
}

// Runs a copy of the installer whose resource `name` went through `edit`
// to the failure that it must end in.
void RunTampered(const DrvContext* ctx, const char* name, ResourceEdit edit) {
    char tampered[MAX_PATH];
    REQUIRE(TamperedInstaller(ctx, name, edit, tampered, sizeof tampered));
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
    CheckNothingPlantedInstalled();
}

}  // namespace

// Unattended, the same failures end the run with code 1, and the log
// names the file and gives the message.
SCENARIO(silent_tampered) {
    char tampered[MAX_PATH];
    REQUIRE(TamperedInstaller(ctx, "HELPFILE", FlipLiteral, tampered, sizeof tampered));
    DWORD code;
    REQUIRE(RunInstaller(tampered, "/S /LOG=C:\\kestrova.log", &code, NULL));
    CHECK_EQ_INT(code, 1);
    CHECK(!FileExists("C:\\Halvenor\\Quorvik\\Quorvik.hlp"));
    CHECK(
        LogHolds("Not expanded: C:\\Halvenor\\Quorvik\\Quorvik.hlp\r\n"
                 "Unable to read source file!\nInstallation will now be aborted.\r\n"));
    CHECK(LogHolds("Exit code 1\r\n"));
}

SCENARIO(silent_disk_full) {
    DWORD code;
    REQUIRE(RunInstaller(ctx->installer, "/S /LOG=C:\\kestrova.log /D=S:\\Quorvik", &code, NULL));
    CHECK_EQ_INT(code, 1);
    CHECK(
        LogHolds("Not expanded: S:\\Quorvik\\Qvreader.exe\r\n"
                 "Unable to write destination file!\nInstallation will now be aborted.\r\n"));
    CHECK(!FileExists("S:\\Quorvik\\Kestrova.new"));
}

SCENARIO(install_tampered_cut) { RunTampered(ctx, "README", CutInHalf); }

// A flipped byte in a file of the Windows folder, over an older copy of
// it: the older copy stays as it was.
SCENARIO(install_tampered_byte) {
    char windows[MAX_PATH], older[MAX_PATH];
    WindowsFolder(windows, sizeof windows);
    snprintf(older, sizeof older, "%s\\Qvshell.dll", windows);
    const char saved[] = "C:\\older-Qvshell.dll";
    REQUIRE(PlantFile(older, 3000, OlderMark) && CopyFileA(older, saved, FALSE));
    RunTampered(ctx, "CTXDLL", FlipLiteral);
    CHECK(SameFileContents(older, saved));
}

// A temporary folder longer than any path the installer keeps: the page
// says so with the source message and nothing is staged or made.  (The
// 128 bytes that LZ32 keeps of a path are tested in wine.copy_faults,
// where Wine's own LZ32 cannot mask a missing guard.)
SCENARIO(install_temp_folder_too_long) {
    char temp[MAX_PATH], deep[400];
    TempFolder(temp, sizeof temp);
    snprintf(deep, sizeof deep, "%s%0280d\\", temp, 0);
    SetEnvironmentVariableA("TMP", deep);
    SetEnvironmentVariableA("TEMP", deep);
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    SetEnvironmentVariableA("TMP", temp);
    SetEnvironmentVariableA("TEMP", temp);
    REQUIRE(welcome);
    // The page says so while it opens, before it is shown.
    HWND location = WalkToLocation(p);
    REQUIRE(location);
    DrvClick(location, IDOK);
    ExpectFailure(p, "Unable to open source file!\nInstallation will now be aborted.");
    CHECK(GetFileAttributesA("C:\\Halvenor") == INVALID_FILE_ATTRIBUTES);
    CHECK_EQ_INT(CountStagedFiles(), 0);
}

// On a double-byte code page (932 here) the second byte of a character may
// be a backslash: "表" is 0x95 0x5C.  A folder ending in it must be made
// as one folder and receive the files, not be split in two.
SCENARIO(install_dbcs_folder) {
    REQUIRE(GetACP() == 932);
    const char folder[] = "C:\\Halvenor\\Quorvik\x95\x5C";  // ...Quorvik表
    InstallThroughThePages(ctx, folder);
    CheckInstalledFiles(ctx, folder);
    // Cut after the lead byte, the folder would have been "Quorvik\x95".
    CHECK(GetFileAttributesA("C:\\Halvenor\\Quorvik\x95") == INVALID_FILE_ATTRIBUTES);
}

// Yes to the read-me question runs the viewer from the install folder, by
// its full name: with a blank in the folder a bare command line would run
// the program planted at C:\Tools\My.exe.  The closing message waits,
// the backdrop minimised, until the viewer has been closed.
SCENARIO(finish_view_readme) {
    const char folder[] = "C:\\Tools\\My Apps\\Quorvik";
    char planted[MAX_PATH];
    CHECK(CreateDirectoryA("C:\\Tools", NULL));
    REQUIRE(ProductFilePath(ctx, "Qvreader.exe", planted, sizeof planted));
    CHECK(CopyFileA(planted, "C:\\Tools\\My.exe", FALSE));
    HWND welcome;
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, folder);
    REQUIRE(page);
    HWND group = WaitForGroupPage(p, page);
    REQUIRE(group);
    AcceptGroup(p, group, "Quorvik");
    // The installed viewer gives way to a probe that records how it is
    // started: from the install folder, by its bare path.
    char probe[MAX_PATH], viewer[MAX_PATH];
    REQUIRE(ProductFilePath(ctx, "..\\planted\\ReadmeProbe.exe", probe, sizeof probe));
    snprintf(viewer, sizeof viewer, "%s\\Qvreader.exe", folder);
    REQUIRE(CopyFileA(probe, viewer, FALSE));
    EXPECT_MESSAGE_BOX(p, "Kestrova", FinishQuestion, MB_ICONQUESTION, IDYES);
    // The viewer is a process of its own: find its window on the screen.
    HWND shown = NULL;
    for (int i = 0; i < 100 && !shown; ++i) {
        shown = FindWindowA(NULL, "Quorvik 3.02 Read Me");
        if (!shown) DrvPause(100);
    }
    REQUIRE(shown);
    DrvPause(1000);
    CHECK_EQ_INT(DrvMessageBoxCountWithText(ClosingText), 0);  // still waiting
    CHECK(DrvIsRunning(p));
    HWND backdrop = FindWindowA("Kestrova", "Kestrova");
    CHECK(backdrop && IsIconic(backdrop));
    PostMessageA(shown, WM_CLOSE, 0, 0);
    // Its icon is not checked here: under Wine without a window manager the
    // restored backdrop can cover the box, and the driver tells icons from
    // the screen.
    DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
    REQUIRE(box);
    CHECK_EQ_STR(box->text, ClosingText);
    CHECK_EQ_STR(box->caption, "Kestrova");
    DrvAnswerMessageBox(box, IDOK);
    ExpectExit(p, 0);

    char record[1024] = "", path[MAX_PATH];
    TempFolder(path, sizeof path);
    lstrcatA(path, "readme-probe.txt");
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    DWORD got = 0;
    if (CHECK(file != INVALID_HANDLE_VALUE)) ReadFile(file, record, sizeof record - 1, &got, NULL);
    CloseHandle(file);
    record[got] = '\0';
    CHECK_EQ_STR(record,
                 "folder=C:\\Tools\\My Apps\\Quorvik\n"
                 "command=C:\\Tools\\My Apps\\Quorvik\\Qvreader.exe\n");
}
