// Which line of the backdrop's stage list is lit.
#pragma once

enum StageBits {
    StageAgreement = 1,
    StageLocation = 2,
    StageInstalling = 4,
    StageGroup = 8,
    StageShortcuts = 16,
    StageReadMe = 32,
    StageFinished = 64,
};

extern unsigned int StageMask;

// Lights exactly the given stage and repaints the list at once.
void SetStage(unsigned int bits);
