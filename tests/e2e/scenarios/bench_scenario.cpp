// Times a whole default installation phase by phase against the floor that
// the installing page's fixed pauses set for the built payload table.
// scripts/bench-install.sh runs it and prints its table.
#include <stdio.h>
#include <string.h>

#include "engine/payload_table.h"
#include "silent_runs.h"
#include "walkthrough.h"

namespace {

const DWORD TimerDelay = 100;
const DWORD FakeStepPause = 10, FilePause = 100, PhaseEndPause = 1000;
const DWORD ReadStepPause = 25, CopyingEndPause = 2000;

// Phases 1 and 3: per file the fake steps and a pause, then the end pause.
DWORD StagingFloor() {
    return installCount * ((100 / installCount + 1) * FakeStepPause + FilePause) + PhaseEndPause;
}

// Phase 2: a pause per meter step (one step per blockStep 32-byte reads,
// counted over all files), the end pause, and a timer interval per file
// after the first and before phase 3.
DWORD CopyingFloor(DWORD* steps) {
    long total = 0, reads = 0;
    for (int i = 0; i < installCount; ++i) {
        total += PayloadTable[i].unpackedSize;
        reads += PayloadTable[i].unpackedSize / 32 + 1;
    }
    long blockStep = total / 6400 < 1 ? 1 : total / 6400;
    *steps = (DWORD)(reads / blockStep);
    return *steps * ReadStepPause + CopyingEndPause + (installCount - 1) * TimerDelay + TimerDelay;
}

void Report(const char* name, DWORD measured, DWORD floor) {
    DrvLog("BENCH %-22s %7lu ms  floor %7lu ms  ratio %.3f", name, measured, floor,
           (double)measured / floor);
}

}  // namespace

SCENARIO(bench_install) {
    HWND welcome;
    DWORD started = GetTickCount();
    DrvProcess* p = StartInstaller(ctx, &welcome);
    REQUIRE(welcome);
    HWND page = WalkToInstalling(p, NULL);
    REQUIRE(page);
    DWORD shown = GetTickCount(), copying = 0, removing = 0;
    while (IsWindow(page) && IsWindowVisible(page)) {
        char label[32];
        if (!DrvGetItemText(page, 400, label, sizeof label)) break;
        DWORD now = GetTickCount();
        if (!copying && strcmp(label, "Copying:") == 0) copying = now;
        if (!removing && strcmp(label, "Removing:") == 0) removing = now;
        Sleep(2);
    }
    DWORD ended = GetTickCount();
    REQUIRE(copying && removing);
    DWORD steps;
    DWORD stagingFloor = TimerDelay + StagingFloor() + TimerDelay;
    DWORD copyingFloor = CopyingFloor(&steps);
    DWORD removingFloor = StagingFloor();
    DrvLog("BENCH table: %d rows, %lu meter steps while copying", installCount, steps);
    Report("staging (+2 timers)", copying - shown, stagingFloor);
    Report("copying (+8 timers)", removing - copying, copyingFloor);
    Report("removing", ended - removing, removingFloor);
    Report("whole page", ended - shown, stagingFloor + copyingFloor + removingFloor);
    FinishAfterInstalling(p, page);
    DWORD interactive = GetTickCount() - started;

    // The same installation unattended, into a folder of its own.
    DWORD code, silent;
    REQUIRE(RunInstaller(ctx->installer, "/S /D=C:\\Silent\\Quorvik", &code, &silent));
    CHECK_EQ_INT(code, 0);
    DrvLog("BENCH %-22s %7lu ms", "interactive start-exit", interactive);
    DrvLog("BENCH %-22s %7lu ms  ratio %.3f", "silent start-exit", silent,
           (double)silent / interactive);
}
