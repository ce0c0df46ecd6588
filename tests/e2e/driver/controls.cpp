// Controls of another process: texts, buttons, keys and lists, through the
// messages that the system carries across processes.
#include <windows.h>

#include "internal.h"

namespace {

// A reply across processes is waited for at most this long, so that a hung
// program fails the scenario instead of hanging the driver.
const UINT SendTimeout = 5000;

int Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                               DrvBound(SendTimeout), result) != 0;
}

// Asked in UTF-16: Wine hands an ANSI caller in another process the
// control's UTF-16 text unconverted.
int ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index, char* text, int size) {
    WCHAR wide[1024];
    text[0] = '\0';
    LRESULT length = SendMessageW(control, lengthMessage, index, 0);
    if (length < 0 || length >= 1024 ||
        SendMessageW(control, textMessage, index, (LPARAM)wide) != length)
        return 0;
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, (int)length, text, size - 1, NULL, NULL);
    if (bytes <= 0 && length > 0) return 0;
    text[bytes] = '\0';
    return 1;
}

}  // namespace

HWND DrvItem(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) Log("window %p has no control %d", (void*)dialog, id);
    return control;
}

int DrvText(HWND window, char* text, int size) {
    DWORD_PTR length = 0, copied = 0;
    text[0] = '\0';
    if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length) || (int)length >= size ||
        !Send(window, WM_GETTEXT, size, (LPARAM)text, &copied) || copied > length) {
        Log("cannot read the text of %p whole into %d bytes", (void*)window, size);
        text[0] = '\0';
        return 0;
    }
    return 1;
}

int DrvItemText(HWND dialog, int id, char* text, int size) {
    return DrvText(DrvItem(dialog, id), text, size);
}

void DrvExpectText(const char* file, int line, HWND window, const char* want) {
    char text[1024];
    if (CheckTrue(file, line, DrvText(window, text, sizeof text), "the text read whole"))
        CheckEqStr(file, line, "the text", text, want);
}

int DrvSetText(HWND window, const char* text) {
    DWORD_PTR done = 0;
    int ok = Send(window, WM_SETTEXT, 0, (LPARAM)text, &done) && done;
    Log("%s the text of control %d to \"%s\"", ok ? "set" : "could not set", GetDlgCtrlID(window),
        text);
    return ok;
}

HWND DrvFocus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : NULL;
}

int DrvClick(HWND dialog, int id) {
    HWND button = DrvItem(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button) ||
        !PostMessageA(button, BM_CLICK, 0, 0)) {
        Log("button %d of %p is missing, hidden or disabled: not pressed", id, (void*)dialog);
        return 0;
    }
    Log("pressed button %d", id);
    return 1;
}

int DrvPressKey(HWND dialog, UINT vk) {
    // The dialog manager acts on keys addressed to the dialog or to one of
    // its controls; a focus outside it would not reach it.
    HWND focus = DrvFocus(dialog);
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    LPARAM scan = (LPARAM)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    if (!PostMessageA(target, WM_KEYDOWN, vk, scan | 1) ||
        !PostMessageA(target, WM_KEYUP, vk, scan | 1 | (3u << 30))) {
        Log("could not post key 0x%X to %p", vk, (void*)target);
        return 0;
    }
    Log("pressed key 0x%X on control %d", vk, GetDlgCtrlID(target));
    return 1;
}

int DrvTypeChars(HWND edit, const char* text) {
    for (const char* c = text; *c; ++c)
        if (!PostMessageA(edit, WM_CHAR, (unsigned char)*c, 1)) return 0;
    Log("typed \"%s\"", text);
    return 1;
}

int DrvListCount(HWND list) { return (int)SendMessageA(list, LB_GETCOUNT, 0, 0); }

int DrvListText(HWND list, int index, char* text, int size) {
    return ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index, text, size);
}

int DrvComboText(HWND combo, int index, char* text, int size) {
    return ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text, size);
}

int DrvListItemRect(HWND list, int index, RECT* rect) {
    if (SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)rect) == LB_ERR) return 0;
    MapWindowPoints(list, NULL, (POINT*)rect, 2);
    return 1;
}

int DrvDoubleClickListItem(HWND list, int index) {
    RECT client, item;
    GetClientRect(list, &client);
    if (SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)&item) == LB_ERR) return 0;
    if (item.top < client.top || item.bottom > client.bottom) {
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)&item);
    }
    LPARAM at = MAKELPARAM(item.left + 30, (item.top + item.bottom) / 2);
    Log("double-clicking list item %d", index);
    return PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
           PostMessageA(list, WM_LBUTTONUP, 0, at) &&
           PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at) &&
           PostMessageA(list, WM_LBUTTONUP, 0, at);
}
