// The end-to-end driver: looks at the programs it starts from a process of
// its own, through window messages and the screen, as a user's tools would.
// Functions return 1 for success, 0 for failure (logged).  Every wait notes
// the programs' new windows and message boxes, for later questions.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "tests/common/check.h"
#include "tests/common/probe.h"

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

// A slow Wine start fits; a hung scenario still ends within its time-out.
#define DRV_WAIT 10000
// `ms` times KESTROVA_E2E_WAIT_SCALE (1 to 100): an emulated machine is slower.
DWORD DrvBound(DWORD ms);
// The one wait: asks `ready` every 25 ms until it holds or DrvBound(ms) has
// passed; logs `what` when it did not hold.
int DrvWaitFor(DWORD ms, const char* what, const std::function<bool()>& ready);
void DrvPause(DWORD ms);  // noting meanwhile

struct DrvProcess {
    HANDLE process;
    DWORD pid;
    int exited;
    DWORD exitCode;  // once exited
    char name[64];
};
// Starts `exe` (quoted, then `args`) in its own folder.  Whatever still
// runs when the scenario ends is ended, and counts as a failure.
DrvProcess* DrvStart(const char* exe, const char* args);
// Started as `exe` with exactly `commandLine`, which need not quote it.
DrvProcess* DrvStartLine(const char* exe, const char* commandLine);
int DrvWaitExit(DrvProcess* p, DWORD ms);
// A visible top-level window of the process by caption and (unless NULL) class.
HWND DrvWaitWindow(DrvProcess* p, const char* caption, const char* className);
int DrvSawWindowClass(DrvProcess* p, const char* className);
// The process's visible top-level windows.
std::vector<HWND> DrvListWindows(DrvProcess* p);

HWND DrvItem(HWND dialog, int id);
// A text that would not fit is refused (0), never cut.
int DrvText(HWND window, char* text, int size);
int DrvItemText(HWND dialog, int id, char* text, int size);
#define EXPECT_TEXT(window, want) DrvExpectText(__FILE__, __LINE__, (window), (want))
void DrvExpectText(const char* file, int line, HWND window, const char* want);
int DrvSetText(HWND window, const char* text);
HWND DrvFocus(HWND window);  // in the window's thread
// BM_CLICK posted: a handler that opens a message box must not block us.
int DrvClick(HWND dialog, int id);
// Posted to the focused control of the dialog, or to the dialog.
int DrvPressKey(HWND dialog, UINT vk);
// Posted WM_CHAR, so that the control's limits apply.
int DrvTypeChars(HWND edit, const char* text);
int DrvListCount(HWND list);
int DrvListText(HWND list, int index, char* text, int size);
int DrvComboText(HWND combo, int index, char* text, int size);
int DrvListItemRect(HWND list, int index, RECT* rect);
// Scrolled into view if need be, then double-clicked.
int DrvDoubleClickListItem(HWND list, int index);

#define DRV_ICON_UNKNOWN (-1)
struct DrvMessageBox {
    HWND window;
    DWORD pid;
    char caption[256];
    char text[1024];
    int icon;    // an MB_ICON* style, 0 for none, or DRV_ICON_UNKNOWN
    int answer;  // the button pressed, 0 if none
    int closed;
};
// The oldest unanswered box of the process.
DrvMessageBox* DrvWaitMessageBox(DrvProcess* p);
// Presses the button and waits for the box to close.
int DrvAnswer(DrvMessageBox* box, int button);
// How many boxes the run has seen with that text (NULL: any).
int DrvMessageBoxCount(const char* text);
// Waits for a box, checks it at the caller's line, and answers it.
#define EXPECT_MESSAGE_BOX(p, caption, text, icon, answer) \
    DrvExpectMessageBox(__FILE__, __LINE__, (p), (caption), (text), (icon), (answer))
void DrvExpectMessageBox(const char* file, int line, DrvProcess* p, const char* caption,
                         const char* text, int icon, int answer);

COLORREF DrvPixel(int x, int y);  // CLR_INVALID when it cannot be read
// A rectangle of the screen, top row first, one 0x00RRGGBB a pixel.
int DrvCapture(int x, int y, int width, int height, DWORD* pixels);
// Whether the screen shows image `index` of the list at (x, y) on
// `background`, in its first `rows` rows; logs the first pixel that differs.
int DrvShowsImage(struct _IMAGELIST* images, int index, int x, int y, int rows,
                  COLORREF background);
// `name`.bmp in the artifact folder, once two grabs agree or after
// `settleMs`; 0 takes a screen that keeps changing.
int DrvScreenshot(const char* name, DWORD settleMs = 2000);
