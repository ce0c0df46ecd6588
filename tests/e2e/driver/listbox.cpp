// Another process's list boxes, through the messages the system carries
// across processes, and images of the system's image lists on the screen.
#include "internal.h"

#include <commctrl.h>

int DrvListCount(HWND list) { return (int)SendMessageA(list, LB_GETCOUNT, 0, 0); }

namespace {

// Asked in UTF-16: Wine hands an ANSI caller in another process the
// control's UTF-16 text unconverted.
int ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index, char* text, int size) {
    text[0] = '\0';
    WCHAR wide[1024];
    LRESULT length = SendMessageW(control, lengthMessage, index, 0);
    if (length < 0 || length >= (LRESULT)(sizeof wide / sizeof wide[0]) ||
        SendMessageW(control, textMessage, index, (LPARAM)wide) != length) {
        DrvLog("item %d: no text of length %ld", index, (long)length);
        return 0;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, (int)length, text, size - 1, NULL, NULL);
    if (bytes <= 0 && length > 0) {
        DrvLog("item %d: %ld characters do not fit %d bytes", index, (long)length, size);
        return 0;
    }
    text[bytes] = '\0';
    return 1;
}

}  // namespace

int DrvListText(HWND list, int index, char* text, int size) {
    return ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index, text, size);
}

int DrvComboCount(HWND combo) { return (int)SendMessageA(combo, CB_GETCOUNT, 0, 0); }

int DrvComboText(HWND combo, int index, char* text, int size) {
    return ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text, size);
}

int DrvComboSelection(HWND combo) { return (int)SendMessageA(combo, CB_GETCURSEL, 0, 0); }

int DrvTypeChars(HWND edit, const char* text) {
    for (const char* c = text; *c; ++c)
        if (!PostMessageA(edit, WM_CHAR, (unsigned char)*c, 1)) return 0;
    DrvLog("typed \"%s\"", text);
    return 1;
}

LRESULT DrvListData(HWND list, int index) { return SendMessageA(list, LB_GETITEMDATA, index, 0); }

int DrvListSelection(HWND list) { return (int)SendMessageA(list, LB_GETCURSEL, 0, 0); }

int DrvListItemRect(HWND list, int index, RECT* rect) {
    if (SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)rect) == LB_ERR) return 0;
    MapWindowPoints(list, NULL, (POINT*)rect, 2);
    return 1;
}

int DrvDoubleClickListItem(HWND list, int index) {
    RECT client, item;
    GetClientRect(list, &client);
    if (SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)&item) == LB_ERR) {
        DrvLog("list has no item %d to double-click", index);
        return 0;
    }
    // Scrolled into view first, as a user would.
    if (item.top < client.top || item.bottom > client.bottom) {
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        SendMessageA(list, LB_GETITEMRECT, index, (LPARAM)&item);
    }
    char text[300];
    DrvListText(list, index, text, sizeof text);
    LPARAM at = MAKELPARAM(item.left + 30, (item.top + item.bottom) / 2);
    int ok = PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
             PostMessageA(list, WM_LBUTTONUP, 0, at) &&
             PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at) &&
             PostMessageA(list, WM_LBUTTONUP, 0, at);
    DrvLog("double-clicked list item %d \"%s\"", index, text);
    return ok;
}

int DrvScreenShowsImage(HIMAGELIST images, int index, int x, int y, int rows, COLORREF background) {
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    if (rows > height) rows = height;
    if (width <= 0 || rows <= 0 || width * rows > 64 * 64) return 0;
    // The image drawn here on the list's own background, to compare with
    // what the screen shows.
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC memory = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    ImageList_Draw(images, index, memory, 0, 0, ILD_NORMAL);
    GdiFlush();
    // An empty image would match any bare background.
    const DWORD bare = (DWORD)GetRValue(background) << 16 | (DWORD)GetGValue(background) << 8 |
                       GetBValue(background);
    int drawn = 0;
    for (int i = 0; i < width * rows; ++i)
        if ((((const DWORD*)bits)[i] & 0xFFFFFF) != bare) drawn = 1;
    if (!drawn) DrvLog("image %d of the list is empty: nothing to compare", index);
    DWORD seen[64 * 64];
    int same = drawn && DrvCaptureScreen(x, y, width, rows, seen);
    for (int i = 0; same && i < width * rows; ++i) {
        DWORD want = ((const DWORD*)bits)[i] & 0xFFFFFF;
        if (seen[i] != want) {
            DrvLog("image %d at (%d, %d): pixel (%d, %d) is %06lX, not %06lX", index, x, y,
                   i % width, i / width, seen[i], want);
            same = 0;
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return same;
}
