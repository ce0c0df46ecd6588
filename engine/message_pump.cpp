#include "engine/message_pump.h"

void PumpMessages(HWND page, DWORD duration) {
    // No page: a silent run, which nothing on the screen needs paced.
    if (!page) return;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD now = GetTickCount();
        MSG message;
        // No TranslateMessage and no dialog keys: nothing typed here can
        // cancel the page.
        if (PeekMessageA(&message, page, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        // Unsigned, so a wrap of the tick count does not end the pause early.
        if (now - start >= duration) break;
    }
}
