// Message boxes: finding them, reading them, answering them, and the run's
// log of every one seen.
//
// A message box is a dialog of class "#32770" whose children are one text
// static, at most one icon static and buttons with the system's answer ids
// (IDOK to IDCONTINUE).  That is the layout on Windows and under Wine, and
// no page of the installer has it (each page has an edit box, a list, a
// picture or more than one text).  Wine 8 (seen with MB_ICONWARNING |
// MB_YESNO): icon static id 1088 (SS_ICON, 32 x 32 at the left), text
// static id 65535 (SS_LEFT | SS_NOPREFIX), buttons "&Yes" id 6 and "&No"
// id 7 (BS_DEFPUSHBUTTON on the first); Windows gives the icon id 20 and
// the text id 65535.  Ids therefore are not relied on, only kinds.
//
// The icon: on Windows STM_GETICON returns the system's shared icon, the
// very handle that LoadIconA(NULL, IDI_WARNING) gives the driver.  Under
// Wine each process loads its own copy of the system icons, so the handles
// differ and the foreign handle cannot even be read; there the icon is told
// by its picture: the static's square is read from the screen and compared
// with each system icon drawn by the driver on the same background.
#include <stdio.h>
#include <string.h>

#include "internal.h"

namespace {

const int kMaxBoxes = 64;
DrvMessageBox g_boxes[kMaxBoxes];
int g_boxCount;
int g_boxOverflow;

// How long a wait keeps trying to tell the icon of a box that it found
// before it reports it as unknown: the box may not be painted yet.
const DWORD kIconWaitMs = 3000;

struct BoxParts {
    HWND dialog;
    HWND text;
    HWND icon;
    int textStatics;
    int iconStatics;
    int buttons;
    int others;
};

BOOL CALLBACK PartsProc(HWND child, LPARAM param) {
    BoxParts* parts = (BoxParts*)param;
    // Only direct children count.
    if (GetAncestor(child, GA_PARENT) != parts->dialog) return TRUE;
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    int id = GetDlgCtrlID(child);
    if (lstrcmpiA(className, "Static") == 0) {
        int kind = style & SS_TYPEMASK;
        if (kind == SS_ICON) {
            parts->icon = child;
            ++parts->iconStatics;
        } else if (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT || kind == SS_SIMPLE ||
                   kind == SS_LEFTNOWORDWRAP) {
            parts->text = child;
            ++parts->textStatics;
        } else {
            ++parts->others;
        }
    } else if (lstrcmpiA(className, "Button") == 0 && id >= IDOK && id <= IDCONTINUE) {
        ++parts->buttons;
    } else {
        ++parts->others;
    }
    return TRUE;
}

int ReadParts(HWND window, BoxParts* parts) {
    memset(parts, 0, sizeof *parts);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return 0;
    parts->dialog = window;
    EnumChildWindows(window, PartsProc, (LPARAM)parts);
    return parts->textStatics == 1 && parts->iconStatics <= 1 && parts->buttons >= 1 &&
           parts->others == 0;
}

int PixelsAlike(DWORD a, DWORD b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int ca = (int)((a >> shift) & 0xFF);
        int cb = (int)((b >> shift) & 0xFF);
        if (ca - cb > 24 || cb - ca > 24) return 0;
    }
    return 1;
}

// Pixels of `icon` drawn at width x height on `background`, as
// DrvCaptureScreen gives them.
int DrawIconPixels(HICON icon, int width, int height, DWORD background, DWORD* pixels) {
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    ReleaseDC(NULL, screen);
    if (!memory || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return 0;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    DWORD* dib = (DWORD*)bits;
    for (int i = 0; i < width * height; ++i) dib[i] = background;
    int ok = DrawIconEx(memory, 0, 0, icon, width, height, 0, NULL, DI_NORMAL);
    GdiFlush();
    for (int i = 0; i < width * height; ++i) pixels[i] = dib[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ok;
}

struct SystemIcon {
    int style;
    LPCSTR id;
};
const SystemIcon kSystemIcons[] = {
    {MB_ICONWARNING, IDI_WARNING},
    {MB_ICONERROR, IDI_ERROR},
    {MB_ICONINFORMATION, IDI_INFORMATION},
    {MB_ICONQUESTION, IDI_QUESTION},
};

// The MB_ICON* value of the icon shown by `iconStatic`, 0 when it shows
// none, DRV_ICON_UNKNOWN when it cannot be told (yet).
int TellIcon(HWND iconStatic) {
    if (!iconStatic) return 0;
    DWORD_PTR handle = 0;
    if (!SendMessageTimeoutA(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, DrvBound(2000),
                             &handle)) {
        return DRV_ICON_UNKNOWN;
    }
    if (!handle || !IsWindowVisible(iconStatic)) return 0;
    for (const SystemIcon& icon : kSystemIcons) {
        if ((HICON)handle == LoadIconA(NULL, icon.id)) return icon.style;
    }

    RECT r;
    if (!GetWindowRect(iconStatic, &r)) return DRV_ICON_UNKNOWN;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    if (width <= 0 || height <= 0 || width > 64 || height > 64) {
        return DRV_ICON_UNKNOWN;
    }
    static DWORD shown[64 * 64];
    static DWORD drawn[64 * 64];
    if (!DrvCaptureScreen(r.left, r.top, width, height, shown)) {
        return DRV_ICON_UNKNOWN;
    }
    // Every system icon leaves its corners clear, so the top left pixel is
    // the box's background.
    DWORD background = shown[0];
    int best = DRV_ICON_UNKNOWN;
    int bestMisses = width * height;
    int secondMisses = width * height;
    for (const SystemIcon& icon : kSystemIcons) {
        if (!DrawIconPixels(LoadIconA(NULL, icon.id), width, height, background, drawn)) {
            continue;
        }
        int misses = 0;
        for (int i = 0; i < width * height; ++i) {
            if (!PixelsAlike(shown[i], drawn[i])) ++misses;
        }
        if (misses < bestMisses) {
            secondMisses = bestMisses;
            bestMisses = misses;
            best = icon.style;
        } else if (misses < secondMisses) {
            secondMisses = misses;
        }
    }
    // A near-perfect match clearly ahead of the next icon; an unpainted or
    // covered square matches none.  (Under Wine the information and question
    // icons, both blue discs, differ in 74 of 1024 pixels; the right one
    // matches exactly.)
    int area = width * height;
    if (bestMisses * 50 <= area && secondMisses >= bestMisses + area / 32) {
        return best;
    }
    return DRV_ICON_UNKNOWN;
}

DrvMessageBox* FindOpen(DWORD pid, HWND window) {
    for (int i = 0; i < g_boxCount; ++i) {
        if (g_boxes[i].pid == pid && g_boxes[i].window == window && !g_boxes[i].closed) {
            return &g_boxes[i];
        }
    }
    return NULL;
}

void LogBox(const char* what, const DrvMessageBox* box) {
    static char caption[512];
    static char text[2048];
    DrvQuote(box->caption, caption, sizeof caption);
    DrvQuote(box->text, text, sizeof text);
    DrvLog("%s: caption %s, text %s, %s", what, caption, text, DrvIconName(box->icon));
}

BOOL CALLBACK NoteProc(HWND window, LPARAM param) {
    DrvProcess* p = (DrvProcess*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != p->pid) return TRUE;
    DrvMessageBox* known = FindOpen(pid, window);
    if (known) {
        if (known->icon == DRV_ICON_UNKNOWN) {
            BoxParts parts;
            if (ReadParts(window, &parts)) {
                known->icon = TellIcon(parts.icon);
                if (known->icon != DRV_ICON_UNKNOWN) LogBox("message box icon told", known);
            }
        }
        return TRUE;
    }
    BoxParts parts;
    if (!ReadParts(window, &parts)) return TRUE;
    if (g_boxCount >= kMaxBoxes) {
        if (!g_boxOverflow) DrvLog("more than %d message boxes: not all noted", kMaxBoxes);
        g_boxOverflow = 1;
        return TRUE;
    }
    DrvMessageBox* box = &g_boxes[g_boxCount];
    memset(box, 0, sizeof *box);
    box->window = window;
    box->pid = pid;
    if (!DrvGetText(window, box->caption, sizeof box->caption) ||
        !DrvGetText(parts.text, box->text, sizeof box->text)) {
        // Not readable yet (or closing); the next look tries again.
        return TRUE;
    }
    box->icon = TellIcon(parts.icon);
    ++g_boxCount;
    LogBox("message box shown", box);
    return TRUE;
}

}  // namespace

void DrvNoteMessageBoxes(DrvProcess* p) {
    for (int i = 0; i < g_boxCount; ++i) {
        DrvMessageBox* box = &g_boxes[i];
        if (box->pid != p->pid || box->closed) continue;
        if (!IsWindow(box->window) || !IsWindowVisible(box->window)) {
            box->closed = 1;
        }
    }
    EnumWindows(NoteProc, (LPARAM)p);
}

DrvMessageBox* DrvWaitMessageBox(DrvProcess* p, DWORD timeoutMs) {
    if (!p) return NULL;
    timeoutMs = DrvBound(timeoutMs);
    DWORD start = GetTickCount();
    DrvMessageBox* found = NULL;
    DWORD foundAt = 0;
    for (;;) {
        DrvPollTick();
        if (!found) {
            for (int i = 0; i < g_boxCount; ++i) {
                DrvMessageBox* box = &g_boxes[i];
                if (box->pid == p->pid && !box->closed && box->answer == 0) {
                    found = box;
                    foundAt = GetTickCount();
                    break;
                }
            }
        }
        if (found) {
            if (found->icon != DRV_ICON_UNKNOWN || found->closed ||
                DrvSince(foundAt) >= DrvBound(kIconWaitMs)) {
                if (found->icon == DRV_ICON_UNKNOWN) {
                    DrvLog("could not tell the icon of the message box");
                }
                return found;
            }
        } else {
            if (!DrvIsRunning(p)) {
                DrvLog("%s ended without showing a message box", p->name);
                return NULL;
            }
            if (DrvSince(start) >= timeoutMs) break;
        }
        Sleep(25);
    }
    DrvLog("no message box from %s after %lu ms; its windows:", p->name, timeoutMs);
    DrvLogWindows(p);
    return NULL;
}

int DrvAnswerMessageBox(DrvMessageBox* box, int button) {
    if (!box) return 0;
    HWND control = GetDlgItem(box->window, button);
    if (!control || !IsWindowVisible(control)) {
        DrvLog("the message box has no button %d", button);
        return 0;
    }
    char text[64] = "";
    GetWindowTextA(control, text, sizeof text);
    box->answer = button;
    // Posted: the program may show the next message box before it returns.
    if (!PostMessageA(control, BM_CLICK, 0, 0)) {
        DrvLog("could not press the message box's button %d: error %lu", button, GetLastError());
        return 0;
    }
    DrvLog("answered the message box with %d \"%s\"", button, text);
    if (!DrvWaitWindowGone(box->window, DRV_WAIT)) return 0;
    box->closed = 1;
    return 1;
}

int DrvMessageBoxCount(void) { return g_boxCount; }

const DrvMessageBox* DrvMessageBoxAt(int index) {
    if (index < 0 || index >= g_boxCount) return NULL;
    return &g_boxes[index];
}

int DrvMessageBoxCountWithText(const char* text) {
    int count = 0;
    for (int i = 0; i < g_boxCount; ++i) {
        if (strcmp(g_boxes[i].text, text) == 0) ++count;
    }
    return count;
}

const char* DrvIconName(int icon) {
    switch (icon) {
        case 0:
            return "no icon";
        case MB_ICONWARNING:
            return "MB_ICONWARNING";
        case MB_ICONERROR:
            return "MB_ICONERROR";
        case MB_ICONINFORMATION:
            return "MB_ICONINFORMATION";
        case MB_ICONQUESTION:
            return "MB_ICONQUESTION";
        default:
            return "unknown icon";
    }
}

DrvMessageBox* DrvExpectMessageBox(const char* file, int line, DrvProcess* p, const char* caption,
                                   const char* text, int icon, int answer) {
    DrvMessageBox* box = DrvWaitMessageBox(p, DRV_WAIT);
    if (!DrvCheck(file, line, box != NULL, "a message box appeared")) return NULL;
    DrvCheckEqStr(file, line, "message box caption", "expected", box->caption, caption);
    DrvCheckEqStr(file, line, "message box text", "expected", box->text, text);
    DrvCheckEqStr(file, line, "message box icon", "expected", DrvIconName(box->icon),
                  DrvIconName(icon));
    DrvCheck(file, line, DrvAnswerMessageBox(box, answer), "the message box closed when answered");
    return box;
}
