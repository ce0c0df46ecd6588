// What the uninstaller accepts from the installation record before it
// deletes anything, and which folders of the install path it may remove.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/folder_names.h"
#include "uninstaller/record_checks.h"
#include "tests/unit/code_page_932.h"

namespace {

const char kWindows[] = "C:\\Windows";

bool Folder(const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
    return AcceptRecordedFolder(path.c_str(), kWindows, isLead) == 1;
}

std::vector<std::string> Removable(const char* path, unsigned long created) {
    size_t lengths[16];
    int count = RemovableFolderLengths(path, created, lengths, 16, SingleByteCodePage);
    std::vector<std::string> folders;
    for (int i = 0; i < count; ++i) folders.push_back(std::string(path, lengths[i]));
    return folders;
}

TEST(RecordedFolder, AcceptsWhatTheLocationPageGives) {
    EXPECT_TRUE(Folder("C:\\Halvenor\\Quorvik"));
    EXPECT_TRUE(Folder("D:\\My Apps\\Quorvik\\"));
    EXPECT_TRUE(Folder("C:\\Windows Tools"));
    EXPECT_TRUE(Folder(std::string("C:\\") + std::string(256, 'q')));
    // "表" ends in the byte of a backslash and "ソ" in that of a '|'.
    EXPECT_TRUE(Folder("C:\\x\x95\x5C\\\x83\x7C", Cp932));
}

TEST(RecordedFolder, RefusesWhatCouldReachBeyondTheProduct) {
    for (const char* path : {"",
                             "Quorvik",
                             "\\Quorvik",
                             "C:Quorvik",
                             "\\\\server\\share\\Quorvik",
                             "C:\\",
                             "C:\\\\",
                             "C:\\Halvenor\\\\Quorvik",
                             "C:\\Halvenor\\..",
                             "C:\\Halvenor\\.\\Quorvik",
                             "C:\\Halvenor\\...\\Quorvik",
                             "C:\\Halvenor\\ ",
                             "C:\\a/..\\Windows",
                             "C:\\Halvenor\\Quorvik:stream",
                             "C:\\Halvenor\\Quor?ik",
                             "C:\\Halvenor\\Quor\tvik",
                             "C:\\Windows",
                             "c:\\WINDOWS\\",
                             "C:\\Windows.",
                             "C:\\Windows. \\"})
        EXPECT_FALSE(Folder(path)) << path;
    EXPECT_FALSE(Folder(std::string("C:\\") + std::string(257, 'q')));
    EXPECT_EQ(0, AcceptRecordedFolder(nullptr, kWindows, SingleByteCodePage));
}

TEST(GroupName, AcceptsFolderNamesOfUpToFortyBytes) {
    EXPECT_TRUE(AcceptGroupName("Quorvik", SingleByteCodePage));
    EXPECT_TRUE(AcceptGroupName("Tools.", SingleByteCodePage));
    EXPECT_TRUE(AcceptGroupName(std::string(40, 'g').c_str(), SingleByteCodePage));
    EXPECT_TRUE(AcceptGroupName("\x95\x5C", Cp932));
    for (const char* group : {"", ".", "..", "...", " ", "a\\b", "..\\Startup", "a/b", "C:x"})
        EXPECT_FALSE(AcceptGroupName(group, SingleByteCodePage)) << group;
    EXPECT_FALSE(AcceptGroupName(std::string(41, 'g').c_str(), SingleByteCodePage));
    EXPECT_FALSE(AcceptGroupName("\x95\x5C", SingleByteCodePage));
}

TEST(RemovableFolders, DeepestFirstAndNeverTheDrive) {
    using V = std::vector<std::string>;
    EXPECT_EQ(V({"C:\\Halvenor\\Quorvik", "C:\\Halvenor"}), Removable("C:\\Halvenor\\Quorvik", 2));
    EXPECT_EQ(V({"C:\\Halvenor\\Quorvik"}), Removable("C:\\Halvenor\\Quorvik", 1));
    EXPECT_EQ(V(), Removable("C:\\Halvenor\\Quorvik", 0));
    // A count that a changed record has made too large stops at the drive.
    EXPECT_EQ(V({"C:\\Halvenor\\Quorvik", "C:\\Halvenor"}), Removable("C:\\Halvenor\\Quorvik", 99));
    // The closing backslash names the folder before it, which comes once.
    EXPECT_EQ(V({"C:\\A"}), Removable("C:\\A\\", 2));
    EXPECT_EQ(V(), Removable("C:\\", 5));
}

}  // namespace
