// The end-to-end driver: starts the programs under test and looks at them
// as a user's tools would, from a process of its own, through window
// messages and the screen.  Functions return 1 for success and 0 for
// failure (a time-out is one) and log why they failed.  Every wait polls,
// and between two looks notes each new visible top-level window and
// message box of the programs started, so that a scenario can ask
// afterwards what appeared even when it did not wait for it.
#pragma once

#include <windows.h>

#include "tests/common/check.h"
#include "tests/common/probe.h"

// What a scenario is given: `kestrova_e2e.exe SCENARIO INSTALLER ARTIFACTS`.
struct DrvContext {
    const char* installer;  // Windows path of the program under test
    const char* artifacts;  // Windows path of the folder for screenshots and the log
};

typedef void (*DrvScenarioFn)(const DrvContext* ctx);
int DrvRegisterScenario(const char* name, DrvScenarioFn fn);

#define SCENARIO(name)                                            \
    static void Scenario_##name(const DrvContext* ctx);           \
    [[maybe_unused]] static const int scenarioRegistered_##name = \
        DrvRegisterScenario(#name, Scenario_##name);              \
    static void Scenario_##name([[maybe_unused]] const DrvContext* ctx)

// ---------------------------------------------------------------------------
// Waiting
// ---------------------------------------------------------------------------

// A wait's usual bound: a slow Wine start fits, a hung scenario still ends
// well within its test's time-out.
#define DRV_WAIT 10000

// `ms` times the whole number in KESTROVA_E2E_WAIT_SCALE (1 to 100, default
// 1): an emulated machine runs Wine several times slower.
DWORD DrvBound(DWORD ms);

// The one wait: asks `ready` every 25 ms, noting windows and message boxes
// between two looks, until it holds or DrvBound(ms) has passed.  Returns
// whether it held; logs `what` when it did not.
int DrvWaitUntil(DWORD ms, const char* what, int (*ready)(void*), void* context);
template <typename Ready>
int DrvWaitFor(DWORD ms, const char* what, Ready ready) {
    return DrvWaitUntil(ms, what, [](void* r) { return (*(Ready*)r)() ? 1 : 0; }, &ready);
}

// Sleeps for about `ms`, noting meanwhile.
void DrvPause(DWORD ms);

// ---------------------------------------------------------------------------
// Processes and windows
// ---------------------------------------------------------------------------

struct DrvProcess {
    HANDLE process;
    DWORD pid;
    int exited;
    DWORD exitCode;  // once exited
    char name[64];
};

// Starts `exe` (quoted, then `args` unless NULL) in its own folder.  The
// runner ends whatever is still running when the scenario ends, and counts
// that as a failure.
DrvProcess* DrvStart(const char* exe, const char* args);
int DrvIsRunning(DrvProcess* p);
// Waits for the end; the exit code is then in p->exitCode.
int DrvWaitExit(DrvProcess* p, DWORD ms);

// A visible top-level window of the process with exactly this caption and,
// unless NULL, this class; NULL after DRV_WAIT.
HWND DrvWaitWindow(DrvProcess* p, const char* caption, const char* className);
int DrvWaitWindowGone(HWND window, DWORD ms);
// Whether a wait so far saw a visible window of that class in the process.
int DrvSawWindowClass(DrvProcess* p, const char* className);
// The process's visible top-level windows (their count, even beyond `max`).
int DrvListWindows(DrvProcess* p, HWND* out, int max);

// ---------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------

HWND DrvItem(HWND dialog, int id);
// Refuses (0) a text that would not fit rather than cutting it.
int DrvText(HWND window, char* text, int size);
int DrvItemText(HWND dialog, int id, char* text, int size);
int DrvSetText(HWND window, const char* text);
int DrvSetItemText(HWND dialog, int id, const char* text);
// Screen coordinates.
int DrvItemRect(HWND dialog, int id, RECT* rect);
// The control with the keyboard focus in the window's thread.
HWND DrvFocus(HWND window);
// Presses a button (BM_CLICK, posted: a handler that opens a message box
// must not block the driver).
int DrvClick(HWND dialog, int id);
// A key pressed and released, posted to the focused control of the
// dialog's modal loop, or to the dialog when the focus is elsewhere.
int DrvPressKey(HWND dialog, UINT vk);
// Characters as the keyboard would type them (posted WM_CHAR), so that
// the control's limits apply.
int DrvTypeChars(HWND edit, const char* text);

// List boxes and the list of a combo box, read across processes.
int DrvListCount(HWND list);
int DrvListText(HWND list, int index, char* text, int size);
int DrvComboText(HWND combo, int index, char* text, int size);
int DrvListItemRect(HWND list, int index, RECT* rect);
// Scrolls the item into view if need be and double-clicks it.
int DrvDoubleClickListItem(HWND list, int index);

// ---------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------

#define DRV_ICON_UNKNOWN (-1)

struct DrvMessageBox {
    HWND window;
    DWORD pid;
    char caption[256];
    char text[1024];
    int icon;    // MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION,
                 // MB_ICONQUESTION, 0 or DRV_ICON_UNKNOWN
    int answer;  // the button pressed, 0 if none
    int closed;
};

// The oldest unanswered box of the process; NULL after DRV_WAIT.
DrvMessageBox* DrvWaitMessageBox(DrvProcess* p);
// Presses the button and waits for the box to close.
int DrvAnswer(DrvMessageBox* box, int button);
// How many boxes the run has seen with that text (NULL: any text).
int DrvMessageBoxCount(const char* text);

// Waits for a box, checks caption, text and icon at the caller's line and
// answers it.
#define EXPECT_MESSAGE_BOX(p, caption, text, icon, answer) \
    DrvExpectMessageBox(__FILE__, __LINE__, (p), (caption), (text), (icon), (answer))
DrvMessageBox* DrvExpectMessageBox(const char* file, int line, DrvProcess* p, const char* caption,
                                   const char* text, int icon, int answer);

// ---------------------------------------------------------------------------
// The screen
// ---------------------------------------------------------------------------

void DrvScreenSize(int* width, int* height);
// A screen pixel as COLORREF, CLR_INVALID when it cannot be read.
COLORREF DrvPixel(int x, int y);
// A rectangle of the screen, top row first, one 0x00RRGGBB value a pixel.
int DrvCapture(int x, int y, int width, int height, DWORD* pixels);
// Whether the screen shows image `index` of the image list at (x, y) on
// `background`, in its first `rows` rows; logs the first pixel that differs.
int DrvShowsImage(struct _IMAGELIST* images, int index, int x, int y, int rows,
                  COLORREF background);
// Saves the screen as `name`.bmp in the artifact folder (the harness makes
// a PNG of it), once two grabs agree; DrvScreenshotNow takes it as it is,
// for a screen that keeps changing.
int DrvScreenshot(const char* name);
int DrvScreenshotNow(const char* name);
