// What the location page accepts as an install folder.
#include <gtest/gtest.h>

#include <string>

#include "pages/location_rules.h"

namespace {

std::string Refusal(const char* typed) {
    char text[128];
    if (!FormatRefusal(text, sizeof text, CheckTypedPath(typed))) return "accepted";
    return text;
}

TEST(TypedPath, RefusalsInTheirOrderWithTheirTexts) {
    EXPECT_EQ("Path invalid!\n\nPath may not be empty!", Refusal(""));
    EXPECT_EQ("Path invalid!\n\nMissing : or \\ in drive.", Refusal("C"));
    EXPECT_EQ("Path invalid!\n\nMissing : or \\ in drive.", Refusal("C:"));
    EXPECT_EQ("Path invalid!\n\nMissing : or \\ in drive.", Refusal("C:/Tools"));
    EXPECT_EQ("Path invalid!\n\nMissing : or \\ in drive.", Refusal("\\\\server\\share"));
    EXPECT_EQ("Path invalid!\n\nPath may not be a root drive...", Refusal("C:\\"));
    EXPECT_EQ("Path invalid!\n\nPath may not be a root drive...", Refusal("z:\\"));
}

TEST(TypedPath, OnlyTheDriveShapeIsTested) {
    EXPECT_EQ(PathAccepted, CheckTypedPath("1:\\x"));
    EXPECT_EQ(PathAccepted, CheckTypedPath("C:\\Tools\\"));
    EXPECT_EQ(PathAccepted, CheckTypedPath("C:\\a<b>|c"));
    std::string longest = "C:\\" + std::string(256, 'a');  // 259 characters
    EXPECT_EQ(PathAccepted, CheckTypedPath(longest.c_str()));
}

TEST(TypedPath, RefusalTextNeedsRoom) {
    char small[10];
    EXPECT_EQ(0, FormatRefusal(small, sizeof small, PathEmpty));
    EXPECT_STREQ("", small);
}

TEST(DefaultFolder, MakerAndProduct) {
    char folder[256];
    ASSERT_EQ(1, FormatDefaultFolder(folder, sizeof folder, "Halvenor", "Quorvik"));
    EXPECT_STREQ("C:\\Halvenor\\Quorvik", folder);
    char tight[20];  // 19 characters and the terminator
    EXPECT_EQ(1, FormatDefaultFolder(tight, sizeof tight, "Halvenor", "Quorvik"));
    EXPECT_EQ(0, FormatDefaultFolder(tight, 19, "Halvenor", "Quorvik"));
}

}  // namespace
