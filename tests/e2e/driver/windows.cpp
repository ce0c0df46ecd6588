// Top-level windows of the programs under test, their controls, and the
// keys and clicks sent to them.
#include <stdio.h>
#include <string.h>

#include "internal.h"

namespace {

// A control's reply to a message sent across processes is waited for at
// most this long, so that a hung program fails the scenario instead of
// hanging the driver.
const UINT kSendTimeoutMs = 5000;

struct ListContext {
    DWORD pid;
    HWND* out;
    int max;
    int count;
};

BOOL CALLBACK ListProc(HWND window, LPARAM param) {
    ListContext* ctx = (ListContext*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != ctx->pid || !IsWindowVisible(window)) return TRUE;
    if (ctx->count < ctx->max) ctx->out[ctx->count] = window;
    ++ctx->count;
    return TRUE;
}

// Every top-level window the waits have seen visible, for
// DrvSawWindowClass and for the log.
struct SeenWindow {
    DWORD pid;
    HWND window;
    char className[64];
};
const int kMaxSeen = 256;
SeenWindow g_seen[kMaxSeen];
int g_seenCount;

int AlreadySeen(DWORD pid, HWND window, const char* className) {
    for (int i = 0; i < g_seenCount; ++i) {
        if (g_seen[i].pid == pid && g_seen[i].window == window &&
            strcmp(g_seen[i].className, className) == 0) {
            return 1;
        }
    }
    return 0;
}

void Describe(HWND window, char* out, int size) {
    char className[64] = "";
    char caption[256] = "";
    char quoted[320];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    DrvQuote(caption, quoted, sizeof quoted);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    snprintf(out, size, "%p class %s caption %s at (%ld, %ld)-(%ld, %ld)", (void*)window, className,
             quoted, r.left, r.top, r.right, r.bottom);
}

}  // namespace

int DrvListWindows(DrvProcess* p, HWND* out, int max) {
    if (!p) return 0;
    ListContext ctx = {p->pid, out, max, 0};
    EnumWindows(ListProc, (LPARAM)&ctx);
    return ctx.count;
}

void DrvLogWindows(DrvProcess* p) {
    HWND windows[64];
    int count = DrvListWindows(p, windows, 64);
    if (count == 0) DrvLog("  (no visible window)");
    for (int i = 0; i < count && i < 64; ++i) {
        char text[512];
        Describe(windows[i], text, sizeof text);
        DrvLog("  %s", text);
    }
}

void DrvNoteWindows(DrvProcess* p) {
    HWND windows[64];
    int count = DrvListWindows(p, windows, 64);
    for (int i = 0; i < count && i < 64; ++i) {
        char className[64] = "";
        GetClassNameA(windows[i], className, sizeof className);
        if (AlreadySeen(p->pid, windows[i], className)) continue;
        if (g_seenCount < kMaxSeen) {
            SeenWindow* seen = &g_seen[g_seenCount++];
            seen->pid = p->pid;
            seen->window = windows[i];
            snprintf(seen->className, sizeof seen->className, "%s", className);
        }
        char text[512];
        Describe(windows[i], text, sizeof text);
        DrvLog("window shown: %s", text);
    }
}

int DrvSawWindowClass(DrvProcess* p, const char* className) {
    if (!p) return 0;
    if (DrvIsRunning(p)) DrvNoteWindows(p);
    for (int i = 0; i < g_seenCount; ++i) {
        if (g_seen[i].pid == p->pid && strcmp(g_seen[i].className, className) == 0) {
            return 1;
        }
    }
    return 0;
}

HWND DrvWaitWindow(DrvProcess* p, const char* caption, const char* className, DWORD timeoutMs) {
    if (!p) return NULL;
    timeoutMs = DrvBound(timeoutMs);
    DWORD start = GetTickCount();
    for (;;) {
        DrvPollTick();
        HWND windows[64];
        int count = DrvListWindows(p, windows, 64);
        for (int i = 0; i < count && i < 64; ++i) {
            char text[512] = "";
            char name[64] = "";
            GetWindowTextA(windows[i], text, sizeof text);
            GetClassNameA(windows[i], name, sizeof name);
            if (strcmp(text, caption) != 0) continue;
            if (className && strcmp(name, className) != 0) continue;
            DrvLog("found window \"%s\" (class %s) after %lu ms", caption, name, DrvSince(start));
            return windows[i];
        }
        if (!DrvIsRunning(p)) {
            DrvLog("%s ended before a window \"%s\" appeared", p->name, caption);
            return NULL;
        }
        if (DrvSince(start) >= timeoutMs) break;
        Sleep(25);
    }
    DrvLog("no window \"%s\"%s%s after %lu ms; the windows of %s:", caption,
           className ? " of class " : "", className ? className : "", timeoutMs, p->name);
    DrvLogWindows(p);
    return NULL;
}

int DrvWaitWindowGone(HWND window, DWORD timeoutMs) {
    timeoutMs = DrvBound(timeoutMs);
    DWORD start = GetTickCount();
    for (;;) {
        DrvPollTick();
        if (!IsWindow(window) || !IsWindowVisible(window)) return 1;
        if (DrvSince(start) >= timeoutMs) break;
        Sleep(25);
    }
    char text[512];
    Describe(window, text, sizeof text);
    DrvLog("window still shown after %lu ms: %s", timeoutMs, text);
    return 0;
}

HWND DrvControl(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) DrvLog("window %p has no control %d", (void*)dialog, id);
    return control;
}

int DrvGetText(HWND window, char* text, int size) {
    if (size <= 0) return 0;
    text[0] = 0;
    if (!IsWindow(window)) {
        DrvLog("cannot read the text of %p: no such window", (void*)window);
        return 0;
    }
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                             DrvBound(kSendTimeoutMs), &length)) {
        DrvLog("window %p did not answer WM_GETTEXTLENGTH", (void*)window);
        return 0;
    }
    if ((int)length >= size) {
        DrvLog("the text of %p (%lu characters) does not fit %d bytes", (void*)window,
               (unsigned long)length, size);
        return 0;
    }
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)text, SMTO_ABORTIFHUNG,
                             DrvBound(kSendTimeoutMs), &copied)) {
        DrvLog("window %p did not answer WM_GETTEXT", (void*)window);
        text[0] = 0;
        return 0;
    }
    // The text may have grown between the two messages.
    if ((int)copied >= size - 1 && (int)length < (int)copied) {
        DrvLog("the text of %p changed while it was read", (void*)window);
        return 0;
    }
    text[size - 1] = 0;
    return 1;
}

int DrvGetItemText(HWND dialog, int id, char* text, int size) {
    HWND control = DrvControl(dialog, id);
    if (!control) {
        if (size > 0) text[0] = 0;
        return 0;
    }
    return DrvGetText(control, text, size);
}

int DrvSetText(HWND window, const char* text) {
    char quoted[600];
    DrvQuote(text, quoted, sizeof quoted);
    DWORD_PTR result = 0;
    if (!IsWindow(window) ||
        !SendMessageTimeoutA(window, WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG,
                             DrvBound(kSendTimeoutMs), &result) ||
        !result) {
        DrvLog("could not set the text of %p to %s", (void*)window, quoted);
        return 0;
    }
    DrvLog("set the text of control %d to %s", GetDlgCtrlID(window), quoted);
    return 1;
}

int DrvSetItemText(HWND dialog, int id, const char* text) {
    HWND control = DrvControl(dialog, id);
    return control ? DrvSetText(control, text) : 0;
}

int DrvWindowRect(HWND window, RECT* rect) {
    if (!IsWindow(window) || !GetWindowRect(window, rect)) {
        DrvLog("cannot read the rectangle of %p", (void*)window);
        return 0;
    }
    return 1;
}

int DrvItemRect(HWND dialog, int id, RECT* rect) {
    HWND control = DrvControl(dialog, id);
    return control ? DrvWindowRect(control, rect) : 0;
}

int DrvIsVisible(HWND window) { return IsWindowVisible(window) ? 1 : 0; }

int DrvIsEnabled(HWND window) { return IsWindow(window) && IsWindowEnabled(window) ? 1 : 0; }

HWND DrvFocus(HWND window) {
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    if (!thread) return NULL;
    GUITHREADINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info)) return NULL;
    return info.hwndFocus;
}

int DrvClick(HWND dialog, int id) {
    HWND button = DrvControl(dialog, id);
    if (!button) return 0;
    char text[256] = "";
    GetWindowTextA(button, text, sizeof text);
    if (!IsWindowVisible(button) || !IsWindowEnabled(button)) {
        DrvLog("button %d \"%s\" is %s: not pressed", id, text,
               IsWindowVisible(button) ? "disabled" : "hidden");
        return 0;
    }
    if (!PostMessageA(button, BM_CLICK, 0, 0)) {
        DrvLog("could not press button %d \"%s\": error %lu", id, text, GetLastError());
        return 0;
    }
    DrvLog("pressed button %d \"%s\"", id, text);
    return 1;
}

int DrvPressKey(HWND dialog, UINT vk) {
    if (!IsWindow(dialog)) {
        DrvLog("cannot press key 0x%X: no window %p", vk, (void*)dialog);
        return 0;
    }
    // The dialog manager acts on keys addressed to the dialog or to one of
    // its controls; a focus outside the dialog would not reach it.
    HWND focus = DrvFocus(dialog);
    HWND target = dialog;
    if (focus && (focus == dialog || IsChild(dialog, focus))) target = focus;
    UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM down = (LPARAM)(1u | (scan << 16));
    LPARAM up = (LPARAM)(1u | (scan << 16) | (1u << 30) | (1u << 31));
    if (!PostMessageA(target, WM_KEYDOWN, vk, down) || !PostMessageA(target, WM_KEYUP, vk, up)) {
        DrvLog("could not post key 0x%X: error %lu", vk, GetLastError());
        return 0;
    }
    const char* name = vk == VK_RETURN ? "Enter" : vk == VK_ESCAPE ? "Escape" : "key";
    if (target == dialog) {
        DrvLog("pressed %s (0x%X) on the dialog itself (focus %p is not in it)", name, vk,
               (void*)focus);
    } else {
        DrvLog("pressed %s (0x%X) on control %d", name, vk, GetDlgCtrlID(target));
    }
    return 1;
}
