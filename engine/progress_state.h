// The numbers behind the installing page's meter, free of Windows calls.
#pragma once

#include "engine/payload_table.h"

struct ProgressState {
    float fraction;        // filled share of the bar in percent, a multiple of 0.5
    int percent;           // the whole percentage shown
    int blockCount;        // expansion reads since copying began, over all files
    int blockStep;         // reads per half-percent step while copying
    int totalBytes;        // expanded bytes of the installed rows
    unsigned long colour;  // the phase colour (COLORREF)
};

// The phase colours: dark red while staging, dark blue while copying, dark
// green while removing.
constexpr unsigned long StagingColour = 0x000080;
constexpr unsigned long CopyingColour = 0x800000;
constexpr unsigned long RemovingColour = 0x008000;

// Reads are 32 bytes and a step is 1/200 of the payload: 200 x 32 bytes.
constexpr int BytesPerStepUnit = 6400;

void StartProgress(ProgressState* state);

// Sums the installed rows' sizes into totalBytes and sets the step; the
// step is at least one read, whatever the payload.
void SetUpProgressStep(ProgressState* state, const PayloadEntry* rows, int rowCount);

// One percent, for the staging and removing phases.
void TakeFakeStep(ProgressState* state);

// One expansion read.  Returns 1 when the bar moved and must be repainted.
int TakeReadStep(ProgressState* state);

void ResetProgress(ProgressState* state, unsigned long colour);

// Holds the meter at a full bar: a payload's last short reads run it a
// little past 100.  Changes the stored values, not only the picture.
void ClampProgress(ProgressState* state);

// The x of the bar's edge in a meter `width` pixels wide.
int BarEdge(int width, float fraction);

// Fake steps per file in the staging and removing phases.
int FakeStepsPerFile(int installCount);
