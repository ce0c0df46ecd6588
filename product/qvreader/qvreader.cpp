// Qvreader: shows the product's read-me text, which it carries as a
// resource, in a read-only window that stays until the user closes it.
#include <windows.h>

#include "product/common/text.h"

namespace {

const char WindowClass[] = "QvReader";
const char Title[] = "Quorvik 3.02 Read Me";
const int IconId = 1;
const int TextLimit = 32767;  // what an edit control takes on every system

HINSTANCE programInstance;
HWND textWindow;
char readMe[TextLimit + 1];

// Copies the read-me resource into readMe.  0 if it is missing or would
// not fit in the window.
int LoadReadMe() {
    HRSRC found = FindResourceA(programInstance, "README", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == NULL) return 0;
    const DWORD size = SizeofResource(programInstance, found);
    HGLOBAL loaded = LoadResource(programInstance, found);
    const char* data = loaded != NULL ? static_cast<const char*>(LockResource(loaded)) : NULL;
    if (data == NULL || size == 0 || size > static_cast<DWORD>(TextLimit)) return 0;
    for (DWORD i = 0; i < size; ++i) readMe[i] = data[i];
    readMe[size] = '\0';
    return 1;
}

LRESULT CALLBACK ReaderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            textWindow =
                CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", readMe,
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY,
                                0, 0, 0, 0, window, NULL, programInstance, NULL);
            if (textWindow == NULL) return -1;
            SendMessageA(textWindow, WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
            return 0;
        case WM_SIZE:
            MoveWindow(textWindow, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            SetFocus(textWindow);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunReader() {
    programInstance = GetModuleHandleA(NULL);
    if (!LoadReadMe()) {
        MessageBoxA(NULL, "The read-me text is missing from this program.", Title,
                    MB_ICONEXCLAMATION | MB_OK);
        return 1;
    }
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = ReaderWindowProc;
    windowClass.hInstance = programInstance;
    windowClass.hIcon = LoadIconA(programInstance, MAKEINTRESOURCEA(IconId));
    windowClass.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = WindowClass;
    if (!RegisterClassA(&windowClass)) return 1;

    HWND window = CreateWindowExA(0, WindowClass, Title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 620, 440, NULL, NULL, programInstance, NULL);
    if (window == NULL) return 1;
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

// No C runtime: the viewer needs none of its start-up work.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    ExitProcess(static_cast<UINT>(RunReader()));
}
