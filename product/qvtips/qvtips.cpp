#include "product/qvtips/qvtips.h"

namespace {

HINSTANCE libraryInstance;

// The tip's text straight from the string table, without a copy: its
// length in characters, 0 if there is no such tip.
int FindTip(int index, const WCHAR** text) {
    if (index < 0 || index > 0xFFFF - QV_FIRST_TIP_ID) return 0;
    *text = NULL;
    // A zero buffer size asks for a pointer to the resource itself.
    const int length = LoadStringW(libraryInstance, static_cast<UINT>(QV_FIRST_TIP_ID + index),
                                   reinterpret_cast<LPWSTR>(text), 0);
    return *text != NULL ? length : 0;
}

}  // namespace

extern "C" int WINAPI QvGetTipCount(void) {
    int count = 0;
    const WCHAR* text;
    while (FindTip(count, &text) > 0) ++count;
    return count;
}

extern "C" int WINAPI QvGetTip(int index, char* buffer, int size) {
    if (buffer == NULL || size <= 0) return -1;
    buffer[0] = '\0';
    const WCHAR* text;
    const int length = FindTip(index, &text);
    if (length == 0 || length >= size) return -1;
    // Fails rather than cuts when the text needs more bytes than it has
    // characters (a double-byte code page).
    const int written = WideCharToMultiByte(CP_ACP, 0, text, length, buffer, size - 1, NULL, NULL);
    if (written <= 0) {
        buffer[0] = '\0';
        return -1;
    }
    buffer[written] = '\0';
    return written;
}

// No C runtime: the library only records its own handle.
extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        libraryInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
