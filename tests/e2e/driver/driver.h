// Test driver for end-to-end scenarios: starts a Windows program, finds its
// windows, reads and sets control texts, presses buttons and keys, answers
// message boxes, reads the screen.  It runs as a separate process beside
// the program under test (under Wine both share one Wine server), so every
// look at the program goes through window messages and the screen, exactly
// as a user's tools would.
//
// Conventions: functions return 1 for success and 0 for failure (a time-out
// is a failure); a function that fails says why in the run's log.  Waits
// poll; while they poll they also note every message box and every visible
// top-level window of the programs started, so that a scenario can ask
// afterwards what appeared even when it did not wait for it.
#ifndef KESTROVA_E2E_DRIVER_H
#define KESTROVA_E2E_DRIVER_H

#include <windows.h>

#include "check.h"

// A wait's default bound: long enough for a slow Wine start, short enough
// that a hung scenario ends well within the test's time-out.
#define DRV_WAIT 10000

// Every bound that a wait is given is multiplied by the whole number in the
// environment variable KESTROVA_E2E_WAIT_SCALE (1 to 100, default 1), so
// that a slow machine (an emulated one runs Wine several times slower)
// gets generous bounds while every check stays as it is.  Returns `ms`
// scaled; the waits below apply it themselves.
DWORD DrvBound(DWORD ms);

// ---------------------------------------------------------------------------
// Processes
// ---------------------------------------------------------------------------

struct DrvProcess {
    HANDLE process;
    DWORD pid;
    DWORD threadId;
    int exited;      // 1 once the driver has seen it end
    DWORD exitCode;  // valid when exited
    char name[64];   // file name, for the log
};

// Starts `exe` (a Windows path) with `args` appended to its quoted name
// (NULL for none) in `folder` (NULL: the folder of `exe`).  Returns the
// process, or NULL.  The runner ends every process still running when the
// scenario ends, and counts that as a failure.
DrvProcess* DrvStartProgram(const char* exe, const char* args, const char* folder);

// Waits for the process to end; stores its exit code.  0 on time-out (the
// windows it still shows are logged).
int DrvWaitExit(DrvProcess* p, DWORD timeoutMs, DWORD* exitCode);

int DrvIsRunning(DrvProcess* p);

// Ends every started process still running; returns how many there were.
int DrvKillLeftovers(void);

// ---------------------------------------------------------------------------
// Windows and controls
// ---------------------------------------------------------------------------

// Waits for a visible top-level window of the process whose caption is
// exactly `caption` and, unless `className` is NULL, whose class is
// `className`.  NULL on time-out (the process's windows are logged).
HWND DrvWaitWindow(DrvProcess* p, const char* caption, const char* className, DWORD timeoutMs);

// Waits until `window` is destroyed or hidden.
int DrvWaitWindowGone(HWND window, DWORD timeoutMs);

// The process's visible top-level windows, at most `max`; returns the count
// (the count of all of them, even beyond `max`).
int DrvListWindows(DrvProcess* p, HWND* out, int max);

// Whether any wait so far has seen a visible top-level window of that class
// in the process (catches a window shown only briefly between two looks).
int DrvSawWindowClass(DrvProcess* p, const char* className);

HWND DrvControl(HWND dialog, int id);

// Text of a window or control through WM_GETTEXT.  Refuses (0) a text that
// would not fit `size` rather than cutting it.
int DrvGetText(HWND window, char* text, int size);
int DrvGetItemText(HWND dialog, int id, char* text, int size);

// Sets the text of a window or control through WM_SETTEXT.
int DrvSetText(HWND window, const char* text);
int DrvSetItemText(HWND dialog, int id, const char* text);

// Screen coordinates of the window's rectangle.
int DrvWindowRect(HWND window, RECT* rect);
int DrvItemRect(HWND dialog, int id, RECT* rect);

int DrvIsVisible(HWND window);
int DrvIsEnabled(HWND window);

// The control that has the keyboard focus in the thread of `window`, or
// NULL when that thread has none.
HWND DrvFocus(HWND window);

// Presses the button `id` of `dialog` (BM_CLICK, posted: a button whose
// handler opens a message box must not block the driver).
int DrvClick(HWND dialog, int id);

// Presses and releases a key (VK_RETURN, VK_ESCAPE, ...) as the dialog
// manager of `dialog`'s modal loop sees it: WM_KEYDOWN and WM_KEYUP are
// posted to the focused control, or to the dialog itself when the focus is
// elsewhere.
int DrvPressKey(HWND dialog, UINT vk);

// ---------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------

// Icon of a message box when none of the four system icons could be told.
#define DRV_ICON_UNKNOWN (-1)

struct DrvMessageBox {
    HWND window;
    DWORD pid;
    char caption[256];
    char text[1024];
    int icon;    // MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION,
                 // MB_ICONQUESTION, 0 (no icon) or DRV_ICON_UNKNOWN
    int answer;  // button the scenario pressed, 0 if none
    int closed;  // 1 once it has gone
};

// Waits for a message box of the process that has not been answered yet
// and returns its record in the run's log (oldest first), or NULL.
DrvMessageBox* DrvWaitMessageBox(DrvProcess* p, DWORD timeoutMs);

// Presses the box's button (IDOK, IDYES, IDNO, ...) and waits for the box
// to close.
int DrvAnswerMessageBox(DrvMessageBox* box, int button);

// Every message box seen in the run, in the order seen.
int DrvMessageBoxCount(void);
const DrvMessageBox* DrvMessageBoxAt(int index);
// How many of them had that text.
int DrvMessageBoxCountWithText(const char* text);

const char* DrvIconName(int icon);

// Waits for a message box, checks its caption, text and icon at the
// caller's line, and answers it with `answer`.  Returns the box or NULL.
#define EXPECT_MESSAGE_BOX(p, caption, text, icon, answer) \
    DrvExpectMessageBox(__FILE__, __LINE__, (p), (caption), (text), (icon), (answer))
DrvMessageBox* DrvExpectMessageBox(const char* file, int line, DrvProcess* p, const char* caption,
                                   const char* text, int icon, int answer);

// ---------------------------------------------------------------------------
// List boxes
// ---------------------------------------------------------------------------

int DrvListCount(HWND list);
// The item's text whole; 0 (and an empty text) when it would not fit.
int DrvListText(HWND list, int index, char* text, int size);
LRESULT DrvListData(HWND list, int index);
int DrvListSelection(HWND list);
// The same for combo boxes.
int DrvComboCount(HWND combo);
int DrvComboText(HWND combo, int index, char* text, int size);
int DrvComboSelection(HWND combo);

// Types characters into an edit control as the keyboard would (posted
// WM_CHAR), so that its limits apply.
int DrvTypeChars(HWND edit, const char* text);

// The item's rectangle on the screen.
int DrvListItemRect(HWND list, int index, RECT* rect);
// Scrolls the item into view if it is not, then double-clicks it with
// posted mouse messages, as the list sees a user's.
int DrvDoubleClickListItem(HWND list, int index);

// ---------------------------------------------------------------------------
// Screen
// ---------------------------------------------------------------------------

// Whether the screen shows image `index` of `images` at (x, y), drawn on
// `background`, in its first `rows` rows; logs the first pixel that differs.
int DrvScreenShowsImage(struct _IMAGELIST* images, int index, int x, int y, int rows,
                        COLORREF background);

void DrvScreenSize(int* width, int* height);

// Colour of a screen pixel (0x00BBGGRR); CLR_INVALID when it cannot be read.
COLORREF DrvScreenPixel(int x, int y);

// Copies a rectangle of the screen into `pixels`, top row first, one
// 0x00RRGGBB value per pixel.
int DrvCaptureScreen(int x, int y, int width, int height, DWORD* pixels);

// Waits until the pixel has the colour; stores the last colour read.
int DrvWaitPixel(int x, int y, COLORREF want, DWORD timeoutMs, COLORREF* seen);

// Saves the whole screen as a 24-bit BMP `name`.bmp in the artifact folder
// (the harness turns it into a PNG after the run).
int DrvScreenshot(const char* name);

// The same at once, without waiting for the screen to settle: for a screen
// that keeps changing (a moving meter), where that wait would only keep
// the caller from watching it.
int DrvScreenshotNow(const char* name);

// ---------------------------------------------------------------------------
// Run state, set up by the runner
// ---------------------------------------------------------------------------

// Makes a path given on the Linux side usable inside Wine: "/a/b" becomes
// "Z:\a\b"; anything else is copied.  0 when it would not fit.
int DrvHostPath(const char* in, char* out, int size);

int DrvSetArtifactDir(const char* folder);
const char* DrvArtifactDir(void);

// Sleeps for about `ms`, noting message boxes and windows meanwhile.
void DrvPause(DWORD ms);

#endif
