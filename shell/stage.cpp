#include "shell/stage.h"

#include <windows.h>

#include "shell/backdrop_layout.h"
#include "shell/backdrop_window.h"

unsigned int StageMask;

void SetStage(unsigned int bits) {
    StageMask = bits;
    // Not erased: the band's stroke repaints the background of the list.
    RECT area = {StageAreaLeft, StageAreaTop, StageAreaRight, StageAreaBottom};
    InvalidateRect(BackdropWindow, &area, FALSE);
    UpdateWindow(BackdropWindow);
}
