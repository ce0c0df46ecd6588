// Qvtips.dll: the tips of the day that Quorvik shows.
#pragma once

#include <windows.h>

// String-table ids of the tips run from 1 without gaps.
#define QV_FIRST_TIP_ID 1

#ifdef __cplusplus
extern "C" {
#endif

// How many tips the library holds.
int WINAPI QvGetTipCount(void);

// Copies tip number index (from 0) into buffer with its terminator and
// returns its length; -1 if there is no such tip or it does not fit in
// size bytes (the buffer is then left empty).
int WINAPI QvGetTip(int index, char* buffer, int size);

#ifdef __cplusplus
}
#endif
