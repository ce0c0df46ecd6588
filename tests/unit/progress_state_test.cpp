// The installing page's meter arithmetic.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/progress_state.h"

namespace {

PayloadEntry Row(unsigned int unpacked) {
    PayloadEntry e;
    std::memset(&e, 0, sizeof e);
    e.unpackedSize = unpacked;
    return e;
}

// The sizes the installer's own table had when the meter was designed.
const unsigned int kDesignSizes[8] = {36864, 572928, 45056, 40417, 13536, 1476, 56832, 32768};

ProgressState Prepared(const unsigned int* sizes, int count, int installed) {
    PayloadEntry rows[8];
    for (int i = 0; i < count; ++i) rows[i] = Row(sizes[i]);
    ProgressState s;
    StartProgress(&s);
    SetUpProgressStep(&s, rows, installed);
    return s;
}

int ReadsFor(unsigned int size) { return static_cast<int>(size / 32 + 1); }  // last read short

TEST(ProgressStep, TotalAndStepFromTheInstalledRows) {
    ProgressState s = Prepared(kDesignSizes, 8, 8);
    EXPECT_EQ(799877, s.totalBytes);
    EXPECT_EQ(124, s.blockStep);
    // Only installed rows count.
    s = Prepared(kDesignSizes, 8, 2);
    EXPECT_EQ(36864 + 572928, s.totalBytes);
    EXPECT_EQ(95, s.blockStep);
}

TEST(ProgressStep, IsAtLeastOneReadForASmallPayload) {
    const unsigned int tiny[2] = {100, 200};
    ProgressState s = Prepared(tiny, 2, 2);
    EXPECT_EQ(300, s.totalBytes);
    EXPECT_EQ(1, s.blockStep);
    EXPECT_EQ(1, TakeReadStep(&s));  // every read moves the bar
    EXPECT_FLOAT_EQ(0.5f, s.fraction);
}

TEST(ProgressReads, TheDesignPayloadMakes201StepsAndEndsAt100_5) {
    ProgressState s = Prepared(kDesignSizes, 8, 8);
    int reads = 0, repaints = 0;
    for (unsigned int size : kDesignSizes) {
        for (int r = 0; r < ReadsFor(size); ++r) {
            ++reads;
            repaints += TakeReadStep(&s);
        }
    }
    EXPECT_EQ(25004, reads);
    EXPECT_EQ(201, repaints);
    EXPECT_FLOAT_EQ(100.5f, s.fraction);
    EXPECT_EQ(100, s.percent);  // 25004 / 248
    ClampProgress(&s);
    EXPECT_FLOAT_EQ(100.0f, s.fraction);
    EXPECT_EQ(100, s.percent);
}

TEST(ProgressReads, HalfPercentPerStepWholePercentPerTwo) {
    ProgressState s;
    StartProgress(&s);
    s.blockStep = 3;
    int moved = 0;
    for (int i = 0; i < 2; ++i) moved += TakeReadStep(&s);
    EXPECT_EQ(0, moved);
    EXPECT_EQ(1, TakeReadStep(&s));  // read 3
    EXPECT_FLOAT_EQ(0.5f, s.fraction);
    EXPECT_EQ(0, s.percent);
    for (int i = 0; i < 3; ++i) TakeReadStep(&s);  // read 6
    EXPECT_FLOAT_EQ(1.0f, s.fraction);
    EXPECT_EQ(1, s.percent);
}

TEST(ProgressFakeSteps, ThirteenPerFileAndHeldAtAHundred) {
    EXPECT_EQ(13, FakeStepsPerFile(8));
    EXPECT_EQ(101, FakeStepsPerFile(1));
    ProgressState s;
    StartProgress(&s);
    for (int i = 0; i < 8 * 13; ++i) TakeFakeStep(&s);
    EXPECT_EQ(104, s.percent);
    ClampProgress(&s);
    EXPECT_EQ(100, s.percent);
    EXPECT_FLOAT_EQ(100.0f, s.fraction);
    // Exactly 100 is not touched.
    ProgressState t;
    StartProgress(&t);
    for (int i = 0; i < 100; ++i) TakeFakeStep(&t);
    ClampProgress(&t);
    EXPECT_EQ(100, t.percent);
}

TEST(ProgressReset, ZeroInTheNextPhasesColourCountKept) {
    ProgressState s = Prepared(kDesignSizes, 8, 8);
    EXPECT_EQ(StagingColour, s.colour);
    for (int i = 0; i < 500; ++i) TakeReadStep(&s);
    ResetProgress(&s, RemovingColour);
    EXPECT_FLOAT_EQ(0.0f, s.fraction);
    EXPECT_EQ(0, s.percent);
    EXPECT_EQ(RemovingColour, s.colour);
    EXPECT_EQ(500, s.blockCount);  // counted over the whole copy, never reset
}

TEST(ProgressBar, EdgeForAWidth) {
    EXPECT_EQ(0, BarEdge(100, 0.0f));
    EXPECT_EQ(50, BarEdge(100, 50.0f));
    EXPECT_EQ(100, BarEdge(100, 100.0f));
    EXPECT_EQ(287, BarEdge(287, 100.0f));
    EXPECT_EQ(96, BarEdge(287, 33.5f));   // 96.145
    EXPECT_EQ(1, BarEdge(287, 0.5f));     // 1.435
    EXPECT_EQ(143, BarEdge(287, 50.0f));  // 143.5, truncated
}

}  // namespace
