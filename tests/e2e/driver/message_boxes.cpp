// Message boxes: a dialog ("#32770") of one text static, at most one icon
// static and answer buttons, a shape no page has (only kinds count: the ids
// differ between Windows and Wine).  Under Wine every process loads its own
// copy of an icon, so one is told by its picture on the screen.
#include <string.h>

#include <algorithm>
#include <iterator>

#include "internal.h"

namespace {

DrvMessageBox g_boxes[64];
int g_boxCount;

struct Shape {
    HWND dialog, text, icon;
    int texts, icons, buttons, others;
};

BOOL CALLBACK AddPart(HWND child, LPARAM param) {
    Shape* shape = (Shape*)param;
    if (GetAncestor(child, GA_PARENT) != shape->dialog) return TRUE;
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    int kind = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK, id = GetDlgCtrlID(child);
    if (lstrcmpiA(className, "Static") == 0 && kind == SS_ICON) {
        shape->icon = child;
        ++shape->icons;
    } else if (lstrcmpiA(className, "Static") == 0 && kind <= SS_RIGHT) {
        shape->text = child;
        ++shape->texts;
    } else if (lstrcmpiA(className, "Button") == 0 && id >= IDOK && id <= IDCONTINUE) {
        ++shape->buttons;
    } else {
        ++shape->others;
    }
    return TRUE;
}

int IsMessageBox(HWND window, Shape* shape) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    *shape = Shape{window, NULL, NULL, 0, 0, 0, 0};
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return 0;
    EnumChildWindows(window, AddPart, (LPARAM)shape);
    return shape->texts == 1 && shape->icons <= 1 && shape->buttons >= 1 && shape->others == 0;
}

int Alike(DWORD a, DWORD b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = (int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF);
        if (d > 24 || d < -24) return 0;
    }
    return 1;
}

// How many of the icon's pixels, drawn here on the colour of the shown
// picture's corner (a clear one), differ from what the screen shows.
int Misses(LPCSTR icon, const DWORD* shown, int width, int height) {
    const std::vector<DWORD> drawn = Drawn(width, height, shown[0], [&](HDC dc) {
        DrawIconEx(dc, 0, 0, LoadIconA(NULL, icon), width, height, 0, NULL, DI_NORMAL);
    });
    int misses = width * height - (int)drawn.size();
    for (size_t i = 0; i < drawn.size(); ++i) misses += !Alike(drawn[i], shown[i]);
    return misses;
}

const struct {
    int style;
    LPCSTR id;
    const char* name;
} Icons[] = {{MB_ICONWARNING, IDI_WARNING, "warning"},
             {MB_ICONERROR, IDI_ERROR, "error"},
             {MB_ICONINFORMATION, IDI_INFORMATION, "information"},
             {MB_ICONQUESTION, IDI_QUESTION, "question"}};

const char* IconName(int icon) {
    for (const auto& known : Icons)
        if (known.style == icon) return known.name;
    return icon ? "an icon not told" : "no icon";
}

// MB_ICON* of the icon the static shows, 0 for none, DRV_ICON_UNKNOWN when
// it cannot be told yet (not painted, or covered).
int TellIcon(HWND iconStatic) {
    DWORD_PTR handle = 0;
    if (!iconStatic) return 0;
    if (!SendMessageTimeoutA(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, DrvBound(2000),
                             &handle))
        return DRV_ICON_UNKNOWN;
    if (!handle || !IsWindowVisible(iconStatic)) return 0;
    for (const auto& icon : Icons)
        if ((HICON)handle == LoadIconA(NULL, icon.id)) return icon.style;
    RECT r;
    static DWORD shown[64 * 64];
    GetWindowRect(iconStatic, &r);
    int width = r.right - r.left, height = r.bottom - r.top, area = width * height;
    if (width <= 0 || height <= 0 || width > 64 || height > 64 ||
        !DrvCapture(r.left, r.top, width, height, shown))
        return DRV_ICON_UNKNOWN;
    // A near-perfect match clearly ahead of the next icon (Wine's blue discs
    // of information and question differ in 74 of 1024 pixels).
    std::pair<int, int> ranked[std::size(Icons)];  // misses, then MB_ICON*
    for (size_t i = 0; i < std::size(Icons); ++i)
        ranked[i] = {Misses(Icons[i].id, shown, width, height), Icons[i].style};
    std::sort(ranked, ranked + std::size(Icons));
    return ranked[0].first * 50 <= area && ranked[1].first >= ranked[0].first + area / 32
               ? ranked[0].second
               : DRV_ICON_UNKNOWN;
}

void LogBox(const char* what, const DrvMessageBox* box) {
    Log("%s: \"%s\", \"%s\", %s", what, box->caption, box->text, IconName(box->icon));
}

void NoteBox(DWORD pid, HWND window) {
    Shape shape;
    if (!IsMessageBox(window, &shape)) return;
    for (int i = 0; i < g_boxCount; ++i) {
        DrvMessageBox* known = &g_boxes[i];
        if (known->window != window || known->closed) continue;
        if (known->icon == DRV_ICON_UNKNOWN) {
            known->icon = TellIcon(shape.icon);
            if (known->icon != DRV_ICON_UNKNOWN) LogBox("message box icon told", known);
        }
        return;
    }
    if (g_boxCount == (int)(sizeof g_boxes / sizeof g_boxes[0])) return;
    DrvMessageBox* box = &g_boxes[g_boxCount];
    *box = DrvMessageBox{window, pid, "", "", 0, 0, 0};
    // Not readable yet, or closing: the next look tries again.
    if (!DrvText(window, box->caption, sizeof box->caption) ||
        !DrvText(shape.text, box->text, sizeof box->text))
        return;
    box->icon = TellIcon(shape.icon);
    ++g_boxCount;
    LogBox("message box shown", box);
}

}  // namespace

void DrvNoteMessageBoxes(DrvProcess* p) {
    for (int i = 0; i < g_boxCount; ++i)
        if (g_boxes[i].pid == p->pid && !IsWindowVisible(g_boxes[i].window)) g_boxes[i].closed = 1;
    for (HWND window : DrvListWindows(p)) NoteBox(p->pid, window);
}

DrvMessageBox* DrvWaitMessageBox(DrvProcess* p) {
    DrvMessageBox* found = NULL;
    DWORD foundAt = 0;
    // Once found, the icon gets a few seconds to be painted and told.
    auto ready = [&] {
        for (int i = 0; i < g_boxCount && !found; ++i)
            if (g_boxes[i].pid == p->pid && !g_boxes[i].closed && !g_boxes[i].answer) {
                found = &g_boxes[i];
                foundAt = GetTickCount();
            }
        if (!found) return !DrvIsRunning(p);
        return found->icon != DRV_ICON_UNKNOWN || found->closed ||
               GetTickCount() - foundAt >= DrvBound(3000);
    };
    if (!p || !DrvWaitFor(DRV_WAIT, "a message box", ready) || !found) {
        Log("no message box; the windows shown:");
        if (p) DrvLogWindows(p);
        return NULL;
    }
    return found;
}

int DrvAnswer(DrvMessageBox* box, int button) {
    // Posted: the program may show its next box before the click returns.
    if (!box || !DrvClick(box->window, button)) return 0;
    box->answer = button;
    box->closed =
        DrvWaitFor(DRV_WAIT, "the box to close", [&] { return !IsWindowVisible(box->window); });
    return box->closed;
}

int DrvMessageBoxCount(const char* text) {
    int count = 0;
    for (int i = 0; i < g_boxCount; ++i) count += !text || strcmp(g_boxes[i].text, text) == 0;
    return count;
}

void DrvExpectMessageBox(const char* file, int line, DrvProcess* p, const char* caption,
                         const char* text, int icon, int answer) {
    DrvMessageBox* box = DrvWaitMessageBox(p);
    if (!CheckTrue(file, line, box != NULL, "a message box")) return;
    CheckEqStr(file, line, "the box's caption", box->caption, caption);
    CheckEqStr(file, line, "the box's text", box->text, text);
    CheckEqStr(file, line, "the box's icon", IconName(box->icon), IconName(icon));
    CheckTrue(file, line, DrvAnswer(box, answer), "the box closed when answered");
}
