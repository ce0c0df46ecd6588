// What the copy computes as it reads the payload: the installing page's
// meter, and the checksum that each product file must match.
#include <gtest/gtest.h>

#include <vector>

#include "engine/checksum.h"
#include "engine/progress_state.h"

namespace {

// The installer checks 32 bytes at a time: pieces must give what the whole
// gives, the standard check value of "123456789".
TEST(Checksum, KnownValuesWholeAndInPieces) {
    const unsigned char check[] = "123456789";
    EXPECT_EQ(0xCBF43926u, Crc32Update(0, check, 9));
    EXPECT_EQ(0xCBF43926u,
              Crc32Update(Crc32Update(Crc32Update(0, check, 2), check + 2, 6), check + 8, 1));
    EXPECT_EQ(0xD202EF8Du, Crc32Update(0, check + 9, 1));  // the terminator: one zero byte
}

// The sizes the installer's own table had when the meter was designed.
const std::vector<unsigned int> kDesignSizes = {36864, 572928, 45056, 40417,
                                                13536, 1476,   56832, 32768};

ProgressState Prepared(const std::vector<unsigned int>& sizes, int installed) {
    std::vector<PayloadEntry> rows(sizes.size(), PayloadEntry{});
    for (size_t i = 0; i < sizes.size(); ++i) rows[i].unpackedSize = sizes[i];
    ProgressState s;
    StartProgress(&s);
    SetUpProgressStep(&s, rows.data(), installed);
    return s;
}

// A step is 1/200 of the installed rows' bytes in 32-byte reads, at least one.
TEST(ProgressStep, FromTheInstalledRowsAndAtLeastOneRead) {
    const ProgressState all = Prepared(kDesignSizes, 8);
    EXPECT_EQ(799877, all.totalBytes);
    EXPECT_EQ(124, all.blockStep);  // 799,877 / 6,400 = 124.98
    const ProgressState two = Prepared(kDesignSizes, 2);
    EXPECT_EQ(609792, two.totalBytes);
    EXPECT_EQ(95, two.blockStep);
    EXPECT_EQ(1, Prepared({100, 200}, 2).blockStep);
}

TEST(ProgressReads, TheDesignPayloadMakes201StepsAndEndsAt100_5) {
    ProgressState s = Prepared(kDesignSizes, 8);
    int reads = 0, repaints = 0;
    for (unsigned int size : kDesignSizes) {
        for (unsigned int r = 0; r < size / 32 + 1; ++r) {  // the last read short
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

    // The next phase starts from zero; the reads go on counting.
    ResetProgress(&s, RemovingColour);
    EXPECT_FLOAT_EQ(0.0f, s.fraction);
    EXPECT_EQ(25004, s.blockCount);
}

}  // namespace
