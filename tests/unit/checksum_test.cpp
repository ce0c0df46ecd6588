// The product files' checksum: the build writes it, the installer checks it.
#include <gtest/gtest.h>

#include "engine/checksum.h"

namespace {

const unsigned char kCheck[] = "123456789";

TEST(Checksum, KnownValuesWholeAndInPieces) {
    EXPECT_EQ(0u, Crc32Update(0, kCheck, 0));
    EXPECT_EQ(0xCBF43926u, Crc32Update(0, kCheck, 9));
    // The installer checks 32 bytes at a time: pieces must give the same.
    unsigned int crc = 0;
    for (int i = 0; i < 9; i += 2) crc = Crc32Update(crc, kCheck + i, i + 2 <= 9 ? 2 : 1);
    EXPECT_EQ(0xCBF43926u, crc);
    const unsigned char zero = 0;
    EXPECT_EQ(0xD202EF8Du, Crc32Update(0, &zero, 1));
}

}  // namespace
