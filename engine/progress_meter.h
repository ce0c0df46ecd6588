// The installing page's percentage bar: control 405, subclassed.
#pragma once

#include <windows.h>

#include "engine/progress_state.h"

extern ProgressState Progress;
extern HWND meterWindow;
extern WNDPROC meterOldProc;

void AttachMeter(HWND page, int controlId);
void DetachMeter();

// The operations the copy engine performs; each repaints before it returns.
void MeterFakeStep(HWND page);          // one percent, then a 10 ms pause
void MeterReadStep(HWND page);          // one expansion read
void MeterReset(unsigned long colour);  // 0% in the next phase's colour
