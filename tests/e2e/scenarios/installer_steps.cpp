#include "installer_steps.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "engine/payload_table.h"

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
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char ProductKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvik";
const char ClassKey[] = "CLSID\\{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}";
const char FindExtensionsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static";
const char SilentLog[] = "C:\\kestrova.log";
const char UninstallCaption[] = "Quorvik Uninstall";
const char UninstallQuestion[] =
    "Are you sure you want to remove Quorvik and all of its components?";
const char Removed[] = "Quorvik has been removed.";

HWND WalkTo(DrvProcess* p, const char* caption) {
    const char* const pages[] = {WelcomeCaption, AgreementCaption, LocationCaption,
                                 InstallingCaption};
    for (const char* page : pages) {
        HWND shown = DrvWaitWindow(p, page, "#32770");
        if (!shown || strcmp(page, caption) == 0) return shown;
        DrvClick(shown, IDOK);
    }
    return NULL;
}

HWND WaitForGroupPage(DrvProcess* p, HWND installing) {
    // The installing page's fixed pauses take about nine seconds.
    CHECK(DrvWaitFor(60000, "the installing page to close",
                     [&] { return !IsWindowVisible(installing); }));
    return DrvWaitWindow(p, GroupCaption, "#32770");
}

void ExpectExit(DrvProcess* p, DWORD code) {
    CHECK(DrvWaitExit(p, DRV_WAIT));
    if (p) CHECK_EQ_INT(p->exitCode, code);
}

namespace {

// How many colours the screen shows in a box of at most 200 x 200 pixels.
int ColoursShown(RECT r) {
    static DWORD pixels[200 * 200];
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width * height > 200 * 200 || !DrvCapture(r.left, r.top, width, height, pixels)) return 0;
    std::sort(pixels, pixels + width * height);
    return (int)(std::unique(pixels, pixels + width * height) - pixels);
}

int PagePicture(HWND page, RECT* r) {
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        GetClientRect(c, r);
        MapWindowPoints(c, NULL, (POINT*)r, 2);
        return 1;
    }
    return 0;
}

}  // namespace

void ExpectBackdropAndPage(DrvProcess* p, HWND page) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r;
    HWND backdrop = DrvWaitWindow(p, "Kestrova", "Kestrova");
    CHECK(backdrop && GetWindowRect(backdrop, &r));
    CHECK(r.left == 0 && r.top == 0 && r.right == sw && r.bottom == sh);
    CHECK(DrvWaitFor(DRV_WAIT, "the band", [] { return DrvPixel(75, 60) == RGB(32, 8, 104); }));
    CHECK(GetWindowRect(page, &r));
    CHECK_EQ_INT(r.left, (sw - (r.right - r.left) + 150) / 2);
    CHECK_EQ_INT(r.top, (sh - (r.bottom - r.top)) / 2);
    // The pictures in all their colours (a failed one shows one): the logo's
    // 94, the corner's 10 where in sight (its background the band's); the
    // page's picture whole in its frame, where squeezed it would merge colours.
    CHECK_EQ_INT(ColoursShown({10, 10, 140, 41}), 94);
    const RECT corner = {15, sh - 180, 135, sh - 12};
    RECT covered;
    if (!IntersectRect(&covered, &corner, &r)) CHECK_EQ_INT(ColoursShown(corner), 10);
    if (PagePicture(page, &r)) {
        CHECK(r.right - r.left == 120 && r.bottom - r.top == 168);
        CHECK_EQ_INT(ColoursShown(r), 11);
    }
}

void ExpectAbortAndExit(DrvProcess* p) {
    EXPECT_MESSAGE_BOX(p, "Kestrova", AbortText, MB_ICONWARNING, IDOK);
    ExpectExit(p, 0);
    CHECK_EQ_INT(DrvMessageBoxCount(AbortText), 1);
}

int StageLit(unsigned int bit, int report) {
    const DWORD Bright = 0x20F8FF, Dull = 0x2084E8;
    const int Top = 120, Pitch = 18, Width = 140, Lines = 7;
    static DWORD pixels[Width * Pitch * Lines];
    int right = DrvCapture(10, Top, Width, Pitch * Lines, pixels);
    for (int line = 0; right && line < Lines; ++line) {
        int bright = 0, dull = 0;
        for (int i = line * Pitch * Width; i < (line + 1) * Pitch * Width; ++i) {
            bright += pixels[i] == Bright;
            dull += pixels[i] == Dull;
        }
        int lit = bit == (1u << line);
        if (lit ? bright > 0 && dull == 0 : dull > 0 && bright == 0) continue;
        if (report) Log("  stage line %d: %d bright, %d dull pixels", line, bright, dull);
        right = 0;
    }
    return right;
}

// The backdrop is not repainted inside a phase of the installing page, so
// a change of stage may show only once the phase has ended.
void ExpectStageLit(unsigned int bit) {
    if (!CHECK(DrvWaitFor(DRV_WAIT, "the stage list", [&] { return StageLit(bit, 0); })))
        StageLit(bit, 1);
}

DWORD RunSilently(const char* program, const char* args) {
    DrvProcess* p = DrvStart(program, args);
    if (!p || !DrvWaitExit(p, DRV_WAIT)) return 99;
    CHECK(!DrvSawWindowClass(p, "Kestrova") && !DrvSawWindowClass(p, "#32770"));
    return p->exitCode;
}

int LogHolds(const char* text) {
    const std::string log = LogText(SilentLog);
    if (log.find(WithoutReturns(text)) != std::string::npos) return 1;
    Log("the log lacks \"%s\"; it holds:\n%s", text, log.c_str());
    return 0;
}

int ProductFile(const DrvContext* ctx, const char* name, char* out, int size) {
    char folder[MAX_PATH];
    lstrcpynA(folder, ctx->installer, sizeof folder);
    char* slash = strrchr(folder, '\\');
    if (slash) *slash = '\0';
    return slash && snprintf(out, size, "%s\\product\\%s", folder, name) < size;
}

// The Windows folder as the installer writes it into shortcuts and records:
// each word capitalised ("C:\\Windows").
void InstallersWindowsFolder(char* out, int size) {
    GetWindowsDirectoryA(out, size);
    for (int i = 1; out[i]; ++i) {
        char c = out[i];
        int starts = out[i - 1] == '\\' || out[i - 1] == ' ';
        if (starts && c >= 'a' && c <= 'z') out[i] = (char)(c - 32);
        if (!starts && c >= 'A' && c <= 'Z') out[i] = (char)(c + 32);
    }
}

void ProgramsFolder(char out[MAX_PATH]) {
    CHECK(SHGetFolderPathA(NULL, CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, out) == S_OK);
}

namespace {

// Wine's own export: the host's path of a Windows one, allocated on the
// process heap.
typedef char*(CDECL* UnixNameFunction)(LPCWSTR);

int UnixName(const char* path, char* out, int size) {
    auto unixName = reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return 0;
    char* name = unixName(wide);
    int fits = name && lstrlenA(name) < size;
    if (fits) lstrcpyA(out, name);
    HeapFree(GetProcessHeap(), 0, name);
    return fits;
}

}  // namespace

int MakeHostLink(const char* link, const char* target) {
    char from[MAX_PATH], to[MAX_PATH], command[3 * MAX_PATH];
    if (!UnixName(link, from, sizeof from) || !UnixName(target, to, sizeof to)) return 0;
    snprintf(command, sizeof command, "Z:\\bin\\ln -s \"%s\" \"%s\"", to, from);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    // Wine lets go of a host program at once, without its exit code: what
    // counts is the link as Windows programs come to see it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return DrvWaitFor(DRV_WAIT, command, [&] {
        DWORD attributes = GetFileAttributesA(link);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    });
}

void InstalledPath(const PayloadEntry& row, const char* installFolder, char* out, int size) {
    if (row.flags & FlagWindowsDir) return WindowsFile(row.fileName, out, size);
    // The last character, not the last byte, which may be the second
    // half of a double-byte character.
    const char* end = installFolder + strlen(installFolder);
    const char* last = CharPrevA(installFolder, end);
    int separated = end - last == 1 && *last == '\\';
    snprintf(out, size, "%s%s%s", installFolder, separated ? "" : "\\", row.fileName);
}

void StagedPath(const char* fileName, char* out, int size) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    snprintf(out, size, "%s%s", temp, fileName);
    out[strlen(out) - 1] = '_';
}

int DeleteTree(const char* folder) {
    char from[MAX_PATH + 1] = "";  // a list of one, ended by a second '\0'
    lstrcpynA(from, folder, MAX_PATH);
    SHFILEOPSTRUCTA remove = {};
    remove.wFunc = FO_DELETE;
    remove.pFrom = from;
    remove.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationA(&remove) == 0;
}

void WindowsFile(const char* name, char* out, int size) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    snprintf(out, size, "%s\\%s", windows, name);
}

void CheckInstalledFiles(const DrvContext* ctx, const char* installFolder) {
    for (int i = 0; i < installCount; ++i) {
        char installed[MAX_PATH], built[MAX_PATH];
        InstalledPath(PayloadTable[i], installFolder, installed, sizeof installed);
        REQUIRE(ProductFile(ctx, PayloadTable[i].fileName, built, sizeof built));
        if (!CHECK(SameFileContents(installed, built))) Log("  installed copy: %s", installed);
    }
}

int CountStagedFiles(void) {
    char staged[MAX_PATH];
    int count = 0;
    for (int i = 0; i < installCount; ++i) {
        StagedPath(PayloadTable[i].fileName, staged, sizeof staged);
        count += FileExists(staged);
    }
    return count;
}

void ExpectShortcuts(const char* group, const char* installFolder) {
    const char* const shortcuts[][2] = {{"Uninstall", "Zelmunin.exe"},
                                        {"Quorvik", "Quorvik.exe"},
                                        {"Read Me", "Qvreader.exe"},
                                        {"Help", "Quorvik.hlp"},
                                        {"Notes", "Qvnotes.hlp"}};
    char programs[MAX_PATH], windows[MAX_PATH];
    ProgramsFolder(programs);
    InstallersWindowsFolder(windows, sizeof windows);
    for (const auto& [caption, file] : shortcuts) {
        const char* folder = strcmp(file, "Zelmunin.exe") == 0 ? windows : installFolder;
        char link[MAX_PATH], target[MAX_PATH];
        snprintf(link, sizeof link, "%s\\%s\\%s.lnk", programs, group, caption);
        snprintf(target, sizeof target, "%s\\%s", folder, file);
        ExpectShortcut(link, target, folder, caption);
    }
}

void ExpectUninstallEntry(const DrvContext* ctx, const char* installFolder, const char* group,
                          DWORD createdFolders) {
    char windows[MAX_PATH], command[MAX_PATH], quiet[MAX_PATH + 8], icon[MAX_PATH], today[16];
    InstallersWindowsFolder(windows, sizeof windows);
    SYSTEMTIME now;
    GetLocalTime(&now);
    snprintf(today, sizeof today, "%04d%02d%02d", now.wYear, now.wMonth, now.wDay);
    snprintf(command, sizeof command, "%s\\Zelmunin.exe", windows);
    snprintf(quiet, sizeof quiet, "\"%s\" /S", command);
    snprintf(icon, sizeof icon, "%s\\Quorvik.exe", installFolder);
    const char* const texts[][2] = {{"DisplayName", "Quorvik Uninstall"},
                                    {"UninstallString", command},
                                    {"QuietUninstallString", quiet},
                                    {"Program Path", installFolder},
                                    {"Program Group", group},
                                    {"DisplayIcon", icon},
                                    {"DisplayVersion", "3.02"},
                                    {"Publisher", "Halvenor"},
                                    {"InstallLocation", installFolder},
                                    {"InstallDate", today}};
    for (const auto& value : texts)
        ExpectRegText(HKEY_LOCAL_MACHINE, ProductKey, value[0], value[1]);
    DWORD bytes = 0;
    for (int i = 0; i < installCount; ++i) {
        char built[MAX_PATH];
        ProductFile(ctx, PayloadTable[i].fileName, built, sizeof built);
        bytes += (DWORD)FileText(built).size();
    }
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "EstimatedSize", (bytes + 1023) / 1024);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "VersionMajor", 3);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "VersionMinor", 2);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "NoModify", 1);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "NoRepair", 1);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "Created Folders", createdFolders);
    ExpectRegNumber(HKEY_LOCAL_MACHINE, ProductKey, "Created Group", 1);
}

// A run that removed the product has moved the uninstaller away: a fresh
// copy is put back for the next.
DrvProcess* StartUninstaller(const DrvContext* ctx, const char* args) {
    char installed[MAX_PATH], built[MAX_PATH];
    WindowsFile("Zelmunin.exe", installed, sizeof installed);
    if (!FileExists(installed) && ProductFile(ctx, "Zelmunin.exe", built, sizeof built))
        CHECK(CopyFileA(built, installed, TRUE));
    return DrvStart(installed, args);
}

void Uninstall(const DrvContext* ctx, int answer, const char* text, int icon, DWORD code) {
    DrvProcess* p = StartUninstaller(ctx, NULL);
    if (answer) EXPECT_MESSAGE_BOX(p, UninstallCaption, UninstallQuestion, MB_ICONQUESTION, answer);
    if (text) EXPECT_MESSAGE_BOX(p, UninstallCaption, text, icon, IDOK);
    ExpectExit(p, code);
}

void ExpectProductGone(const char* installFolder, const char* group) {
    char path[MAX_PATH], link[MAX_PATH];
    for (int i = 0; i < installCount; ++i) {
        InstalledPath(PayloadTable[i], installFolder, path, sizeof path);
        if (!CHECK(!FileExists(path))) Log("  left: %s", path);
    }
    ProgramsFolder(path);
    snprintf(link, sizeof link, "%s\\%s\\Uninstall.lnk", path, group);
    CHECK(!FileExists(link));
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, ProductKey) && !KeyExists(HKEY_CLASSES_ROOT, ClassKey));
}
