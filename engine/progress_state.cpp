#include "engine/progress_state.h"

void StartProgress(ProgressState* state) {
    state->fraction = 0.0f;
    state->percent = 0;
    state->blockCount = 0;
    state->blockStep = 0;
    state->totalBytes = 0;
    state->colour = StagingColour;
}

void SetUpProgressStep(ProgressState* state, const PayloadEntry* rows, int rowCount) {
    for (int i = 0; i < rowCount; ++i) state->totalBytes += static_cast<int>(rows[i].unpackedSize);
    state->blockStep = state->totalBytes / BytesPerStepUnit;
    // A payload under 6400 bytes would make the step 0 and the count's
    // modulus undefined; one read per step just fills the bar sooner.
    if (state->blockStep < 1) state->blockStep = 1;
}

void TakeFakeStep(ProgressState* state) {
    state->percent += 1;
    state->fraction = static_cast<float>(state->percent);
}

int TakeReadStep(ProgressState* state) {
    if (state->blockStep < 1) state->blockStep = 1;
    state->blockCount += 1;
    if (state->blockCount % state->blockStep != 0) return 0;
    state->fraction += 0.5f;
    if (state->blockCount % (2 * state->blockStep) == 0) state->percent += 1;
    return 1;
}

void ResetProgress(ProgressState* state, unsigned long colour) {
    state->fraction = 0.0f;
    state->percent = 0;
    state->colour = colour;
}

void ClampProgress(ProgressState* state) {
    if (state->fraction > 100.0f) {
        state->fraction = 100.0f;
        state->percent = 100;
    }
}

int BarEdge(int width, float fraction) {
    // width x fraction is a multiple of 0.5 and exact in a double, so the
    // division lands exactly on whole pixels where it should.
    return static_cast<int>(static_cast<double>(width) * fraction / 100.0);
}

int FakeStepsPerFile(int installCount) { return 100 / installCount + 1; }
