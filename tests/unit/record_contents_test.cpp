// The registry records' key paths and uninstall command, and the folder a
// payload row's file and shortcut belong to.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/payload_table.h"
#include "system/record_contents.h"

namespace {

const char kMarker = '#';

struct Composed {
    int result;
    std::string text;  // up to the terminator, or every byte when there is none
    bool guardIntact;
};

// Runs `compose` on an output of outSize bytes followed by a marked guard.
template <typename Compose>
Composed Run(std::size_t outSize, Compose compose) {
    std::vector<char> out(outSize + 8, kMarker);
    Composed c;
    c.result = compose(out.data(), outSize);
    c.text.assign(out.begin(), std::find(out.begin(), out.begin() + outSize, '\0'));
    c.guardIntact =
        std::all_of(out.begin() + outSize, out.end(), [](char b) { return b == kMarker; });
    return c;
}

Composed Command(std::size_t outSize, const char* windowsDir,
                 LeadBytePredicate isLead = SingleByteCodePage) {
    return Run(outSize, [&](char* out, std::size_t size) {
        return ComposeUninstallCommand(out, size, windowsDir, "Zelmunin.exe", isLead);
    });
}

Composed Key(std::size_t outSize, RecordKey key) {
    return Run(outSize,
               [&](char* out, std::size_t size) { return ComposeRecordKey(out, size, key); });
}

// A rule under which 0x81 and the byte after it form one character.
int LeadAt81(unsigned char b) { return b == 0x81; }

TEST(UninstallCommand, QuotedOnlyWhenItHoldsABlankAndNeverCut) {
    Composed c = Command(256, "C:\\WINDOWS");
    EXPECT_EQ(1, c.result);
    EXPECT_EQ("C:\\WINDOWS\\Zelmunin.exe", c.text);

    const std::string quoted = "\"C:\\My Windows\\Zelmunin.exe\"";
    c = Command(quoted.size() + 1, "C:\\My Windows\\");
    EXPECT_EQ(1, c.result);
    EXPECT_EQ(quoted, c.text);
    EXPECT_TRUE(c.guardIntact);

    // The bare path would fit, the quoted one not: refused, not cut.
    c = Command(quoted.size(), "C:\\My Windows");
    EXPECT_EQ(0, c.result);
    EXPECT_EQ("", c.text);
    EXPECT_TRUE(c.guardIntact);
    c = Command(10, "C:\\WINDOWS");
    EXPECT_EQ(0, c.result);
    EXPECT_EQ("", c.text);
    EXPECT_TRUE(c.guardIntact);

    // A blank as the second byte of a two-byte character is no blank.
    c = Command(256, "C:\\\x81 ", LeadAt81);
    EXPECT_EQ(1, c.result);
    EXPECT_EQ("C:\\\x81 \\Zelmunin.exe", c.text);
}

TEST(RecordKeys, EachBelowItsParentAndRefusedWhenTooLong) {
    const struct {
        RecordKey key;
        const char* path;
    } keys[] = {
        {UninstallEntryKey, "Quorvik"},
        {ClassKey, "{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}"},
        {ServerKey, "{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}\\InProcServer32"},
        {FindExtensionKey, "Quorvik"},
        {MenuKey, "Quorvik\\0"},
        {IconKey, "Quorvik\\0\\DefaultIcon"},
    };
    for (const auto& k : keys) {
        const std::size_t exact = std::string(k.path).size() + 1;
        Composed c = Key(exact, k.key);
        EXPECT_EQ(1, c.result) << k.path;
        EXPECT_EQ(k.path, c.text);
        EXPECT_TRUE(c.guardIntact) << k.path;
        c = Key(exact - 1, k.key);
        EXPECT_EQ(0, c.result) << k.path;
        EXPECT_EQ("", c.text) << k.path;
        EXPECT_TRUE(c.guardIntact) << k.path;
    }
    EXPECT_EQ(0, Key(0, IconKey).result);
}

// The copy engine and the shortcuts both choose by this rule, so a
// shortcut always points where its file was put.
TEST(RowFolder, WindowsFolderWinsThenShellNewThenInstallFolder) {
    EXPECT_EQ(RowInInstallFolder, RowFolder(0));
    EXPECT_EQ(RowInWindowsFolder, RowFolder(FlagWindowsDir));
    EXPECT_EQ(RowInShellNewFolder, RowFolder(FlagShellNewDir));
    EXPECT_EQ(RowInWindowsFolder, RowFolder(FlagWindowsDir | FlagShellNewDir));
}

TEST(QuietUninstallCommand, AlwaysQuotedThenSilent) {
    Composed c = ::Run(64, [](char* out, std::size_t size) {
        return ComposeQuietUninstallCommand(out, size, "C:\\WINDOWS", "Zelmunin.exe",
                                            SingleByteCodePage);
    });
    EXPECT_EQ(1, c.result);
    EXPECT_EQ("\"C:\\WINDOWS\\Zelmunin.exe\" /S", c.text);
    // 28 characters and the terminator: one byte short is refused, empty.
    c = ::Run(28, [](char* out, std::size_t size) {
        return ComposeQuietUninstallCommand(out, size, "C:\\WINDOWS", "Zelmunin.exe",
                                            SingleByteCodePage);
    });
    EXPECT_EQ(0, c.result);
    EXPECT_EQ("", c.text);
    EXPECT_TRUE(c.guardIntact);
}

TEST(EstimatedSize, RoundsTheInstalledBytesUpToKilobytes) {
    PayloadEntry rows[3] = {};
    rows[0].unpackedSize = 1024;
    rows[1].unpackedSize = 1;
    rows[2].unpackedSize = 4096;  // past installCount: not counted
    EXPECT_EQ(2u, EstimatedSizeKb(rows, 2));
    EXPECT_EQ(1u, EstimatedSizeKb(rows, 1));
    EXPECT_EQ(0u, EstimatedSizeKb(rows, 0));
}

}  // namespace
