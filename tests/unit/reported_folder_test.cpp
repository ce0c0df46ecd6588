// Folders as the system reports them: only a whole, terminated folder that
// fits is taken.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/reported_folder.h"

namespace {

TEST(ReportedFolder, TakesAndNormalisesAFittingFolder) {
    char raw[260] = "C:\\WINDOWS\\TEMP\\";
    char out[260];
    ASSERT_EQ(1, AcceptSystemFolder(out, sizeof out, raw, sizeof raw, 16, SingleByteCodePage));
    EXPECT_STREQ("C:\\Windows\\Temp\\", out);  // the trailing backslash stays
}

TEST(ReportedFolder, RefusesFailuresAndFoldersThatDoNotFit) {
    char raw[260] = "C:\\Windows";
    char out[260];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(0, AcceptSystemFolder(out, sizeof out, raw, sizeof raw, 0, SingleByteCodePage));
    EXPECT_STREQ("", out);
    // A result of 260 or more is the size the call needed, not a length.
    EXPECT_EQ(0, AcceptSystemFolder(out, sizeof out, raw, sizeof raw, 260, SingleByteCodePage));
    EXPECT_EQ(0, AcceptSystemFolder(out, sizeof out, raw, sizeof raw, 400, SingleByteCodePage));
    // A length that does not end where the terminator is.
    EXPECT_EQ(0, AcceptSystemFolder(out, sizeof out, raw, sizeof raw, 5, SingleByteCodePage));
    // Fits the system's buffer but not ours.
    char small[8];
    EXPECT_EQ(0, AcceptSystemFolder(small, sizeof small, raw, sizeof raw, 10, SingleByteCodePage));
    EXPECT_STREQ("", small);
}

TEST(ReportedFolder, LongestThatFits) {
    char raw[260];
    std::memset(raw, 'a', sizeof raw);
    raw[0] = 'C';
    raw[1] = ':';
    raw[2] = '\\';
    raw[259] = '\0';
    char out[260];
    EXPECT_EQ(1, AcceptSystemFolder(out, sizeof out, raw, sizeof raw, 259, SingleByteCodePage));
    EXPECT_EQ(259u, std::strlen(out));
}

}  // namespace
