// The installer with its default answers and every page on the screen;
// scripts/run.sh shows its screenshots to a newcomer without a display.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "installer_steps.h"

namespace {

HWND Shoot(DrvProcess* p, const char* caption, const char* shot, unsigned int bit) {
    HWND page = DrvWaitWindow(p, caption, "#32770");
    if (!page) return NULL;
    DrvPause(500);
    DrvScreenshot(shot);
    if (bit) ExpectStageLit(bit);  // the welcome page comes before the backdrop
    return page;
}

void ShootBox(DrvProcess* p, const char* shot, unsigned int bit, const char* caption,
              const char* text, int icon, int answer) {
    DrvWaitMessageBox(p);
    DrvPause(300);
    DrvScreenshot(shot);
    ExpectStageLit(bit);
    EXPECT_MESSAGE_BOX(p, caption, text, icon, answer);
}

std::vector<DWORD> GroupRows(HWND page) {
    // The list of a combo box that is always open is the box's own child.
    HWND list = FindWindowExA(DrvItem(page, GroupField), NULL, "ComboLBox", NULL);
    RECT first, second;
    if (!list || !DrvListItemRect(list, 0, &first) || !DrvListItemRect(list, 1, &second)) return {};
    const int width = second.right - first.left, height = second.bottom - first.top;
    std::vector<DWORD> pixels(width * height);
    if (!DrvCapture(first.left, first.top, width, height, pixels.data())) return {};
    return pixels;
}

enum Phase { Staging, Copying, Removing, PhaseCount };
const char* const PhaseLabels[PhaseCount] = {"Extracting:", "Copying:", "Removing:"};
const COLORREF PhaseColours[PhaseCount] = {RGB(128, 0, 0), RGB(0, 0, 128), RGB(0, 128, 0)};
const DWORD EndPauses[PhaseCount] = {1000, 2000, 1000};

struct PhaseSeen {
    int label, bar, emptyAfter, fileLabels, colours;
    DWORD fullAt, fullFor;  // the bar full: the phase's end pause
};

int AreaHolds(const RECT& r, COLORREF colour) {
    static DWORD pixels[600 * 60];
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width * height > 600 * 60 || !DrvCapture(r.left, r.top, width, height, pixels)) return 0;
    DWORD want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < width * height; ++i)
        if (pixels[i] == want) return 1;
    return 0;
}

// With the bar full: the file labels in dark blue, the percentage in the
// button highlight colour on the phase's colour.
int ColoursRight(HWND page, RECT meter, COLORREF phaseColour) {
    RECT source, note;
    InflateRect(&meter, -4, -4);
    return GetWindowRect(DrvItem(page, 401), &source) &&
           GetWindowRect(DrvItem(page, NoteText), &note) && AreaHolds(source, RGB(0, 0, 128)) &&
           AreaHolds(note, RGB(0, 0, 128)) && AreaHolds(meter, GetSysColor(COLOR_BTNHIGHLIGHT)) &&
           AreaHolds(meter, phaseColour);
}

int EndsWithUnderscore(const char* s) { return s[0] && s[strlen(s) - 1] == '_'; }

// Controls 401 (source), 403 (its caption) and 404 (destination) in each
// phase; the temporary folder in the installer's own letter case.
int FileLabelsFit(HWND page, int phase, const char* temp) {
    char source[300], caption[64], destination[300];
    if (!DrvItemText(page, 401, source, sizeof source) ||
        !DrvItemText(page, 403, caption, sizeof caption) ||
        !DrvItemText(page, 404, destination, sizeof destination))
        return 0;
    auto staged = [&](const char* s) {
        return _strnicmp(s, temp, strlen(temp)) == 0 && EndsWithUnderscore(s);
    };
    if (phase == Staging)
        return !strchr(source, '\\') && staged(destination) && !strcmp(caption, "Destination:");
    if (phase == Copying)
        return staged(source) && strchr(destination, '\\') && !EndsWithUnderscore(destination);
    return staged(source) && !destination[0] && !caption[0];
}

// Watches the page until it closes, pressing Escape once while copying:
// the label, the file labels, the meter's left and right ends, the stage.
void WatchInstallingPage(HWND page, PhaseSeen* seen, int* stageLit) {
    RECT meter;
    REQUIRE(GetWindowRect(DrvItem(page, 405), &meter));
    const int x = meter.left + 3, y = (meter.top + meter.bottom) / 2, right = meter.right - 4;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    char temp[MAX_PATH], label[64];
    GetTempPathA(sizeof temp, temp);
    int shots = 0, escaped = 0, full = -1, lastBar = -1;
    DrvWaitFor(60000, "the installing page to close", [&] {
        int open = IsWindowVisible(page) && DrvItemText(page, 400, label, sizeof label);
        DWORD now = GetTickCount();
        COLORREF end = open ? DrvPixel(right, y) : face, left = DrvPixel(x, y);
        if (full >= 0 && end != PhaseColours[full]) {
            seen[full].fullFor = now - seen[full].fullAt;
            full = -1;
        }
        if (!open) return true;
        // The stage shows only between two phases (see ExpectStageLit).
        *stageLit = *stageLit || StageLit(4, 0);
        int phase = -1;
        for (int i = 0; i < PhaseCount; ++i) {
            if (strcmp(label, PhaseLabels[i]) == 0) phase = i;
            if (end == PhaseColours[i] && !seen[i].fullAt) {
                seen[i].fullAt = now;
                full = i;
                seen[i].colours = ColoursRight(page, meter, PhaseColours[i]);
            }
            if (left == PhaseColours[i]) seen[lastBar = i].bar = 1;
        }
        if (left == face && lastBar >= 0) seen[lastBar].emptyAfter = 1;
        if (phase < 0) return false;
        seen[phase].label = 1;
        seen[phase].fileLabels |= FileLabelsFit(page, phase, temp);
        // A slow look can miss the tenth of a second of an empty bar
        // between phases; an end not reset would stay full.
        if (phase > 0 && end == face) seen[phase - 1].emptyAfter = 1;
        if (phase >= shots && left == PhaseColours[phase]) {
            char name[32];
            snprintf(name, sizeof name, "4-installing-%d", ++shots);
            DrvScreenshot(name, 0);
        }
        if (phase == Copying && !escaped) escaped = DrvPressKey(page, VK_ESCAPE);
        return false;
    });
}

BOOL CALLBACK FindRichEdit(HWND child, LPARAM found) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (strcmp(name, "RichEdit20A") == 0) *(HWND*)found = child;
    return *(HWND*)found == NULL;
}

// The viewer's topic once it begins with `topicTitle`; its text in `shown`.
HWND ShownTopic(DrvProcess* p, const char* title, const char* topicTitle, char* shown, int size) {
    HWND topic = NULL;
    auto showing = [&] {
        for (HWND window : DrvListWindows(p)) {
            char caption[256] = "";
            GetWindowTextA(window, caption, sizeof caption);
            if (!topic && !strncmp(caption, title, strlen(title)))
                EnumChildWindows(window, FindRichEdit, (LPARAM)&topic);
        }
        return topic && DrvText(topic, shown, size) &&
               !strncmp(shown, topicTitle, strlen(topicTitle));
    };
    if (!CHECK(DrvWaitFor(DRV_WAIT, topicTitle, showing))) Log("  the viewer shows: %s", shown);
    return topic;
}

// The system's help viewer opens an installed help file at its contents or
// a topic named by its context and follows a link, finding both by its own
// hash of the name through the file's index and topic blocks.
void ExpectHelpJump(const char* file, const char* context, const char* title, const char* from,
                    const char* link, const char* to) {
    char viewer[MAX_PATH], args[MAX_PATH + 64], shown[4096] = "";
    GetSystemDirectoryA(viewer, sizeof viewer);
    lstrcatA(viewer, "\\winhlp32.exe");
    snprintf(args, sizeof args, "%s%s %s\\%s", context ? "-i " : "", context ? context : "",
             DefaultFolder, file);
    DrvProcess* p = DrvStart(viewer, args);
    HWND topic = ShownTopic(p, title, from, shown, sizeof shown);
    const char* at = topic ? strstr(shown, link) : NULL;
    if (CHECK(at != NULL)) {
        // Inside, a paragraph ends with one character, where the text has two.
        int index = 0;
        for (const char* c = shown; c < at; ++c) index += *c != '\n';
        LRESULT place = SendMessageA(topic, EM_POSFROMCHAR, index + 1, 0);
        LPARAM point = MAKELPARAM(LOWORD(place) + 1, HIWORD(place) + 4);
        PostMessageA(topic, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageA(topic, WM_LBUTTONUP, 0, point);
        ShownTopic(p, title, to, shown, sizeof shown);
    }
    PostMessageA(GetAncestor(topic, GA_ROOT), WM_CLOSE, 0, 0);
    ExpectExit(p, 0);
}

}  // namespace

SCENARIO(tour) {
    // Names the installer writes under, planted beforehand as hard links to
    // another's file: the elevated writes must never reach it.
    const char victim[] = "C:\\victim.txt", victimText[] = "not the installer's to write";
    char path[MAX_PATH];
    CHECK(PlantFile(victim, sizeof victimText - 1, victimText));
    StagedPath("Qvtips.dll", path, sizeof path);
    CHECK(CreateHardLinkA(path, victim, NULL));
    WindowsFile("Kestrova.new", path, sizeof path);
    CHECK(CreateHardLinkA(path, victim, NULL));
    DrvProcess* p = DrvStart(ctx->installer, NULL);
    HWND page = Shoot(p, WelcomeCaption, "1-welcome", 0);
    REQUIRE(page);
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, AgreementCaption, "2-agreement", 1));
    // The agreement shows exactly its resource and reads by scrolling, not Tab.
    static char shown[40000];
    HMODULE m = LoadLibraryExA(ctx->installer, NULL, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = m ? FindResourceA(m, "AGREEMENT", MAKEINTRESOURCEA(10)) : NULL;
    REQUIRE(resource && SizeofResource(m, resource) < sizeof shown);
    const char* stored = (const char*)LockResource(LoadResource(m, resource));
    CHECK(DrvItemText(page, 200, shown, sizeof shown));
    CHECK(std::string(shown) == std::string(stored, SizeofResource(m, resource)));
    FreeLibrary(m);
    CHECK(!(GetWindowLongA(DrvItem(page, 200), GWL_STYLE) & WS_TABSTOP));
    DrvClick(page, IDOK);
    REQUIRE(page = Shoot(p, LocationCaption, "3-location", 2));
    EXPECT_TEXT(DrvItem(page, NoteText),
                "The program files for Quorvik will be installed to the following folder:");
    EXPECT_TEXT(DrvItem(page, PathEdit), DefaultFolder);
    ExpectBackdropAndPage(p, page);
    DrvClick(page, IDOK);
    REQUIRE(page = DrvWaitWindow(p, InstallingCaption, "#32770"));
    PhaseSeen seen[PhaseCount] = {};
    int stageLit = 0;
    WatchInstallingPage(page, seen, &stageLit);
    if (!CHECK(stageLit)) StageLit(4, 1);
    for (int i = 0; i < PhaseCount; ++i) {
        Log("phase %d: label %d, bar %d, empty after %d, file labels %d, colours %d, full %lu ms",
            i + 1, seen[i].label, seen[i].bar, seen[i].emptyAfter, seen[i].fileLabels,
            seen[i].colours, seen[i].fullFor);
        CHECK(seen[i].label && seen[i].bar && seen[i].fileLabels && seen[i].colours);
        // The pause, and room for the last file's steps above it.
        CHECK(seen[i].fullFor >= EndPauses[i] - 100 &&
              seen[i].fullFor <= DrvBound(EndPauses[i] + 1000));
    }
    CHECK(seen[Staging].emptyAfter && seen[Copying].emptyAfter);
    REQUIRE(page = Shoot(p, GroupCaption, "5-group", 8));
    EXPECT_TEXT(DrvItem(page, GroupField), "Quorvik");
    // The success box leaves the list in sight: its first rows look as
    // they did before Continue.
    const std::vector<DWORD> before = GroupRows(page);
    DrvClick(page, ContinueButton);
    DrvWaitMessageBox(p);
    DrvPause(300);
    CHECK(!before.empty() && before == GroupRows(page));
    ShootBox(p, "6-shortcuts", 16, "Quorvik", ShortcutsCreated, MB_ICONINFORMATION, IDOK);
    ShootBox(p, "7-installed", 32, "Kestrova", FinishQuestion, MB_ICONQUESTION, IDNO);
    ShootBox(p, "8-finished", 64, "Kestrova", ClosingText, MB_ICONINFORMATION, IDOK);
    ExpectExit(p, 0);
    CHECK_EQ_INT(DrvMessageBoxCount(NULL), 3);  // Escape while copying changed nothing

    CheckInstalledFiles(ctx, DefaultFolder);
    CHECK_EQ_INT(CountStagedFiles(), 0);
    CHECK_EQ_STR(FileText(victim).c_str(), victimText);
    // A fresh system has no find-extension parent: that record is passed
    // over, never made.
    CHECK(!KeyExists(HKEY_LOCAL_MACHINE, FindExtensionsKey));
    // The installed programs start and end cleanly; the libraries export what
    // the system asks of them, and the shell library has the icon its record names.
    const char* const programs[][2] = {{"Quorvik.exe", "Untitled - Quorvik"},
                                       {"Qvreader.exe", "Quorvik 3.02 Read Me"}};
    for (const auto& program : programs) {
        snprintf(path, sizeof path, "%s\\%s", DefaultFolder, program[0]);
        DrvProcess* run = DrvStart(path, NULL);
        HWND main = DrvWaitWindow(run, program[1], NULL);
        REQUIRE(main);
        PostMessageA(main, WM_CLOSE, 0, 0);
        ExpectExit(run, 0);
    }
    snprintf(path, sizeof path, "%s\\Qvtips.dll", DefaultFolder);
    HMODULE tips = LoadLibraryA(path);
    typedef int(WINAPI * TipCount)(void);
    TipCount count = tips ? (TipCount)(void*)GetProcAddress(tips, "QvGetTipCount") : NULL;
    CHECK(count && count() > 0 && GetProcAddress(tips, "QvGetTip"));
    WindowsFile("Qvshell.dll", path, sizeof path);
    HMODULE shell = LoadLibraryA(path);
    CHECK(shell && GetProcAddress(shell, "DllGetClassObject") &&
          GetProcAddress(shell, "DllCanUnloadNow"));
    HICON icon = ExtractIconA(GetModuleHandleA(NULL), path, 0);
    CHECK(icon != NULL && icon != (HICON)1);
    // The last topic lies in the file's second topic block.
    ExpectHelpJump("Quorvik.hlp", NULL, "Quorvik 3.02 Help", "Quorvik Help Contents",
                   "Getting support from Halvenor", "Getting Support from Halvenor");
    ExpectHelpJump("Qvnotes.hlp", "sharing_notes", "Quorvik Notes Guide", "Sharing Notes",
                   "Back to the guide's contents", "Keeping Notes with Quorvik");
}
