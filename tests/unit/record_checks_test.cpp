// The installation record: what the installer writes into it, and what the
// uninstaller accepts back from it before it deletes anything.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/folder_names.h"
#include "system/record_contents.h"
#include "tests/unit/code_page_932.h"
#include "tests/unit/helpers.h"
#include "uninstaller/record_checks.h"

namespace {

using namespace std::string_literals;

const char kWindows[] = "C:\\Windows";

// Quoted only when it holds a blank, which the system would stop at; the
// quiet one always quoted.  Never cut: a command one byte too long for its
// buffer is refused, also when the bare path alone would fit.
TEST(UninstallCommand, QuotedWhereItMustBeAndNeverCut) {
    using Compose = int (*)(char*, size_t, const char*, const char*, LeadBytePredicate);
    const Compose bare = ComposeUninstallCommand, quiet = ComposeQuietUninstallCommand;
    const std::tuple<Compose, const char*, std::string> cases[] = {
        {bare, "C:\\WINDOWS", "C:\\WINDOWS\\Zelmunin.exe"},
        {bare, "C:\\My Windows\\", "\"C:\\My Windows\\Zelmunin.exe\""},
        {bare, "C:\\\x83 ", "C:\\\x83 \\Zelmunin.exe"},  // a pair's second byte is no blank
        {quiet, "C:\\WINDOWS", "\"C:\\WINDOWS\\Zelmunin.exe\" /S"},
        {quiet, "C:\\My Windows", "\"C:\\My Windows\\Zelmunin.exe\" /S"},
    };
    for (const auto& [compose, windowsDir, command] : cases) {
        for (size_t size : {command.size() + 1, command.size()}) {
            const std::string got =
                Guarded(size, [&, f = compose, dir = windowsDir](char* out, size_t n) {
                    return f(out, n, dir, "Zelmunin.exe", Cp932);
                });
            EXPECT_EQ(size > command.size() ? command : "<refused>", got) << size;
        }
    }
}

// Sums rounded up by hand: 5,121 bytes are 6 KB; 2^31 - 1 (the most) 2,097,152.
TEST(EstimatedSize, RoundsTheInstalledBytesUpToKilobytes) {
    PayloadEntry rows[8] = {};
    const unsigned int sizes[8] = {1024, 1, 4096, 572928, 45056, 40417, 0x40000000u, 0x3FFFFFFFu};
    for (int i = 0; i < 8; ++i) rows[i].unpackedSize = sizes[i];
    const unsigned long kilobytes[] = {0, 1, 2, 6, 565, 609, 648};
    for (int count = 0; count <= 6; ++count)
        EXPECT_EQ(kilobytes[count], EstimatedSizeKb(rows, count)) << count;
    EXPECT_EQ(2097152u, EstimatedSizeKb(rows + 6, 2));
}

TEST(RecordedFolder, RefusesWhatCouldReachBeyondTheProduct) {
    for (const char* path :
         {"C:\\Halvenor\\Quorvik", "D:\\My Apps\\Quorvik\\", "C:\\Windows Tools"})
        EXPECT_EQ(1, AcceptRecordedFolder(path, kWindows, SingleByteCodePage)) << path;
    EXPECT_EQ(1, AcceptRecordedFolder(("C:\\" + std::string(256, 'q')).c_str(), kWindows, nullptr));
    // "表" ends in the byte of a backslash and "ソ" in that of a '|'.
    EXPECT_EQ(1, AcceptRecordedFolder("C:\\x\x95\x5C\\\x83\x7C", kWindows, Cp932));
    for (const char* path :
         {"", "Quorvik", "\\Quorvik", "C:Quorvik", "\\\\server\\share\\Quorvik", "C:\\", "C:\\\\",
          "C:\\Halvenor\\\\Quorvik", "C:\\Halvenor\\..", "C:\\Halvenor\\.\\Quorvik",
          "C:\\Halvenor\\...\\Quorvik", "C:\\Halvenor\\ ", "C:\\a/..\\Windows",
          "C:\\Halvenor\\Quorvik:stream", "C:\\Halvenor\\Quor?ik", "C:\\Halvenor\\Quor\tvik"})
        EXPECT_EQ(0, AcceptRecordedFolder(path, kWindows, SingleByteCodePage)) << path;
    // The Windows folder, however it is written.
    for (const char* path : {"C:\\Windows", "c:\\WINDOWS\\", "C:\\Windows.", "C:\\Windows. \\"})
        EXPECT_EQ(0, AcceptRecordedFolder(path, kWindows, SingleByteCodePage)) << path;
    EXPECT_EQ(0, AcceptRecordedFolder(("C:\\" + std::string(257, 'q')).c_str(), kWindows, nullptr));
    EXPECT_EQ(0, AcceptRecordedFolder(nullptr, kWindows, SingleByteCodePage));
}

TEST(GroupName, AcceptsFolderNamesOfUpToFortyBytes) {
    EXPECT_TRUE(AcceptGroupName(std::string(40, 'g').c_str(), SingleByteCodePage));
    EXPECT_TRUE(AcceptGroupName("Tools.", SingleByteCodePage));
    EXPECT_TRUE(AcceptGroupName(kHyo.c_str(), Cp932));
    for (const std::string& group :
         {""s, "."s, ".."s, "..."s, " "s, "a\\b"s, "a/b"s, "C:x"s, kHyo, std::string(41, 'g')})
        EXPECT_FALSE(AcceptGroupName(group.c_str(), SingleByteCodePage)) << group;
}

// Deepest first, never the drive; a count that a changed record has made
// too large stops at the drive; the closing backslash names the folder
// before it, which comes once.
TEST(RemovableFolders, DeepestFirstAndNeverTheDrive) {
    const std::string deep = "C:\\Halvenor\\Quorvik";
    const std::tuple<std::string, unsigned long, std::vector<std::string>> cases[] = {
        {deep, 2, {deep, "C:\\Halvenor"}},  {deep, 1, {deep}},         {deep, 0, {}},
        {deep, 99, {deep, "C:\\Halvenor"}}, {"C:\\A\\", 2, {"C:\\A"}}, {"C:\\", 5, {}},
    };
    for (const auto& [path, created, folders] : cases) {
        size_t lengths[16];
        const int count = RemovableFolderLengths(path.c_str(), created, lengths, 16, nullptr);
        std::vector<std::string> got;
        for (int i = 0; i < count; ++i) got.push_back(path.substr(0, lengths[i]));
        EXPECT_EQ(folders, got) << path << " " << created;
    }
}

}  // namespace
