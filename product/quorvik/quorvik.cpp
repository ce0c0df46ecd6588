// Quorvik: a note pad for short plain-text notes.  One note at a time in a
// multi-line edit control; notes are read and written as they are, with
// the system's open and save dialogs.
#include <windows.h>
#include <commdlg.h>

#include "product/common/text.h"
#include "product/quorvik/resource.h"

namespace {

const char ProgramName[] = "Quorvik";
const char WindowClass[] = "QuorvikNotePad";
const char HelpFileName[] = "Quorvik.hlp";
const char TipsLibraryName[] = "Qvtips.dll";
const int NoteLimit = 60000;  // characters in one note
const int EditId = 1;

HINSTANCE programInstance;
HWND editWindow;
char notePath[MAX_PATH];       // empty: never saved
char noteText[NoteLimit + 1];  // a note on its way to or from the disk
int shownModified = -1;        // what the title bar says now
int helpOpened = 0;
int nextTip = 0;

void ShowError(HWND owner, const char* text) {
    MessageBoxA(owner, text, ProgramName, MB_ICONEXCLAMATION | MB_OK);
}

const char* NoteName() {
    const char* name = "Untitled";
    if (notePath[0] != '\0') {
        name = notePath;
        for (const char* p = notePath; *p != '\0'; ++p)
            if (*p == '\\' || *p == '/') name = p + 1;
    }
    return name;
}

void UpdateTitle(HWND window) {
    const int modified = SendMessageA(editWindow, EM_GETMODIFY, 0, 0) ? 1 : 0;
    if (modified == shownModified) return;
    char title[MAX_PATH + 32];
    if (CopyText(title, sizeof title, NoteName()) &&
        (!modified || AppendText(title, sizeof title, "*")) &&
        AppendText(title, sizeof title, " - ") && AppendText(title, sizeof title, ProgramName)) {
        SetWindowTextA(window, title);
        shownModified = modified;
    }
}

void SetNote(HWND window, const char* text, const char* path) {
    SetWindowTextA(editWindow, text);
    SendMessageA(editWindow, EM_SETMODIFY, FALSE, 0);
    if (!CopyText(notePath, sizeof notePath, path)) notePath[0] = '\0';
    shownModified = -1;
    UpdateTitle(window);
}

int ReadNote(HWND window, const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        ShowError(window, "The note cannot be opened: it may be in use by another program.");
        return 0;
    }
    const DWORD size = GetFileSize(file, NULL);
    DWORD read = 0;
    int result = 0;
    if (size == INVALID_FILE_SIZE || size > static_cast<DWORD>(NoteLimit)) {
        ShowError(window, "This file is too large for one note.");
    } else if (!ReadFile(file, noteText, size, &read, NULL) || read != size) {
        ShowError(window, "The note cannot be read.");
    } else {
        noteText[size] = '\0';
        SetNote(window, noteText, path);
        result = 1;
    }
    CloseHandle(file);
    return result;
}

int WriteNote(HWND window, const char* path) {
    const int length = GetWindowTextLengthA(editWindow);
    if (length > NoteLimit || GetWindowTextA(editWindow, noteText, sizeof noteText) != length) {
        ShowError(window, "The note is too long to be saved.");
        return 0;
    }
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        ShowError(window, "The note cannot be saved in this place.");
        return 0;
    }
    DWORD written = 0;
    const int result = WriteFile(file, noteText, static_cast<DWORD>(length), &written, NULL) &&
                       written == static_cast<DWORD>(length);
    if (!CloseHandle(file) || !result) {
        ShowError(window, "The note could not be saved completely.");
        return 0;
    }
    if (path != notePath && !CopyText(notePath, sizeof notePath, path)) notePath[0] = '\0';
    SendMessageA(editWindow, EM_SETMODIFY, FALSE, 0);
    shownModified = -1;
    UpdateTitle(window);
    return 1;
}

// Fills in the dialog record that Open and Save As share.
void PrepareFileDialog(OPENFILENAMEA& dialog, HWND owner, char* path, int size) {
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter =
        "Quorvik Notes (*.qvn)\0*.qvn\0Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(size);
    dialog.lpstrDefExt = "qvn";
}

int SaveNoteAs(HWND window) {
    char path[MAX_PATH];
    if (!CopyText(path, sizeof path, notePath)) path[0] = '\0';
    OPENFILENAMEA dialog;
    PrepareFileDialog(dialog, window, path, sizeof path);
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog)) return 0;
    return WriteNote(window, path);
}

int SaveNote(HWND window) {
    if (notePath[0] == '\0') return SaveNoteAs(window);
    return WriteNote(window, notePath);
}

// 1 when the open note may be replaced: it has no unsaved changes, or the
// user saved them or chose to drop them.
int ConfirmDiscard(HWND window) {
    if (!SendMessageA(editWindow, EM_GETMODIFY, 0, 0)) return 1;
    char question[MAX_PATH + 64];
    if (!CopyText(question, sizeof question, "Save the changes to ") ||
        !AppendText(question, sizeof question, NoteName()) ||
        !AppendText(question, sizeof question, "?"))
        CopyText(question, sizeof question, "Save the changes to this note?");
    switch (MessageBoxA(window, question, ProgramName, MB_ICONQUESTION | MB_YESNOCANCEL)) {
        case IDYES:
            return SaveNote(window);
        case IDNO:
            return 1;
        default:
            return 0;
    }
}

void OpenNote(HWND window) {
    if (!ConfirmDiscard(window)) return;
    char path[MAX_PATH] = "";
    OPENFILENAMEA dialog;
    PrepareFileDialog(dialog, window, path, sizeof path);
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&dialog)) ReadNote(window, path);
}

void ShowHelp(HWND window) {
    char path[MAX_PATH];
    if (!SiblingPath(NULL, HelpFileName, path, sizeof path) ||
        !WinHelpA(window, path, HELP_FINDER, 0)) {
        ShowError(window, "The Quorvik help file cannot be shown.");
        return;
    }
    helpOpened = 1;
}

typedef int(WINAPI* TipCountFunction)(void);
typedef int(WINAPI* TipFunction)(int index, char* buffer, int size);

// The tips come from their own library; Quorvik works on without it.
void ShowTip(HWND window) {
    char path[MAX_PATH];
    HMODULE library =
        SiblingPath(NULL, TipsLibraryName, path, sizeof path) ? LoadLibraryA(path) : NULL;
    if (library == NULL) {
        ShowError(window, "The tips library Qvtips.dll is missing from the Quorvik folder.");
        return;
    }
    TipCountFunction tipCount = reinterpret_cast<TipCountFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "QvGetTipCount")));
    TipFunction tip =
        reinterpret_cast<TipFunction>(reinterpret_cast<void*>(GetProcAddress(library, "QvGetTip")));
    char text[512];
    const int count = tipCount != NULL ? tipCount() : 0;
    if (tip != NULL && count > 0 && tip(nextTip % count, text, sizeof text) >= 0) {
        nextTip = (nextTip + 1) % count;
        MessageBoxA(window, text, "Tip of the Day", MB_ICONINFORMATION | MB_OK);
    } else {
        ShowError(window, "No tip can be shown.");
    }
    FreeLibrary(library);
}

void ShowAbout(HWND window) {
    MSGBOXPARAMSA box;
    ZeroMemory(&box, sizeof box);
    box.cbSize = sizeof box;
    box.hwndOwner = window;
    box.hInstance = programInstance;
    box.lpszText =
        "Quorvik 3.02\nA note pad for quick notes.\n\nCopyright (C) 1996 Halvenor.\nAll rights "
        "reserved.";
    box.lpszCaption = "About Quorvik";
    box.dwStyle = MB_OK | MB_USERICON;
    box.lpszIcon = MAKEINTRESOURCEA(IDI_QUORVIK);
    MessageBoxIndirectA(&box);
}

void Command(HWND window, int id) {
    switch (id) {
        case IDM_NEW:
            if (ConfirmDiscard(window)) SetNote(window, "", "");
            break;
        case IDM_OPEN:
            OpenNote(window);
            break;
        case IDM_SAVE:
            SaveNote(window);
            break;
        case IDM_SAVEAS:
            SaveNoteAs(window);
            break;
        case IDM_EXIT:
            SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case IDM_UNDO:
            SendMessageA(editWindow, EM_UNDO, 0, 0);
            break;
        case IDM_CUT:
            SendMessageA(editWindow, WM_CUT, 0, 0);
            break;
        case IDM_COPY:
            SendMessageA(editWindow, WM_COPY, 0, 0);
            break;
        case IDM_PASTE:
            SendMessageA(editWindow, WM_PASTE, 0, 0);
            break;
        case IDM_DELETE:
            SendMessageA(editWindow, WM_CLEAR, 0, 0);
            break;
        case IDM_SELECTALL:
            SendMessageA(editWindow, EM_SETSEL, 0, -1);
            break;
        case IDM_HELPTOPICS:
            ShowHelp(window);
            break;
        case IDM_TIP:
            ShowTip(window);
            break;
        case IDM_ABOUT:
            ShowAbout(window);
            break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            editWindow = CreateWindowExA(
                WS_EX_CLIENTEDGE, "EDIT", "",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                    ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                0, 0, 0, 0, window, reinterpret_cast<HMENU>(EditId), programInstance, NULL);
            if (editWindow == NULL) return -1;
            SendMessageA(editWindow, WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
            SendMessageA(editWindow, EM_LIMITTEXT, NoteLimit, 0);
            SetNote(window, "", "");
            return 0;
        case WM_SIZE:
            MoveWindow(editWindow, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            SetFocus(editWindow);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == EditId) {
                if (HIWORD(wParam) == EN_CHANGE) UpdateTitle(window);
                if (HIWORD(wParam) == EN_MAXTEXT)
                    ShowError(window, "The note is full: start a second note.");
            } else {
                Command(window, LOWORD(wParam));
            }
            return 0;
        case WM_CLOSE:
            if (ConfirmDiscard(window)) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            if (helpOpened) {
                char path[MAX_PATH];
                if (SiblingPath(NULL, HelpFileName, path, sizeof path))
                    WinHelpA(window, path, HELP_QUIT, 0);
            }
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunQuorvik() {
    programInstance = GetModuleHandleA(NULL);
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = programInstance;
    windowClass.hIcon = LoadIconA(programInstance, MAKEINTRESOURCEA(IDI_QUORVIK));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(
        programInstance, MAKEINTRESOURCEA(IDI_QUORVIK), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(NULL, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    windowClass.lpszClassName = WindowClass;
    if (!RegisterClassExA(&windowClass)) return 1;

    HWND window = CreateWindowExA(0, WindowClass, ProgramName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 560, 400, NULL, NULL, programInstance, NULL);
    if (window == NULL) return 1;
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);

    HACCEL accelerators = LoadAcceleratorsA(programInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

// No C runtime: Quorvik needs none of its start-up work.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    ExitProcess(static_cast<UINT>(RunQuorvik()));
}
