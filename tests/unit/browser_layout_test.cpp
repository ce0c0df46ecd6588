// The folder list's indents, row places and chain paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/browser_layout.h"
#include "tests/unit/code_page_932.h"

namespace {

const std::string Hyou = "\x95\x5C";  // a character whose second byte is a backslash

TEST(BrowserIndents, ChainThenSubfoldersAndBeyondTheTable) {
    int table[IndentTableSize];
    SetChainIndents(table, 3);  // "Folders", C:\, Tools, Quorvik
    EXPECT_EQ(0, IndentLevel(table, 0));
    EXPECT_EQ(3, IndentLevel(table, 3));
    EXPECT_EQ(4, IndentLevel(table, 4));
    EXPECT_EQ(4, IndentLevel(table, IndentTableSize - 1));
    // Rows past the table are subfolders too.
    EXPECT_EQ(4, IndentLevel(table, IndentTableSize));
    EXPECT_EQ(4, IndentLevel(table, 100000));

    SetDriveIndents(table);
    EXPECT_EQ(0, IndentLevel(table, 0));
    EXPECT_EQ(1, IndentLevel(table, 1));
    EXPECT_EQ(1, IndentLevel(table, 700));
}

TEST(BrowserRows, IconAndTextFollowTheLevel) {
    BrowserRowPlace row = PlaceBrowserRow(2, 0, 36, 50, 0);
    EXPECT_EQ(17, row.iconX);  // 2 levels of 8 pixels, one pixel in
    EXPECT_EQ(36, row.iconY);
    EXPECT_EQ(37, row.textLeft);
    EXPECT_EQ(91, row.textRight);  // 4 pixels wider than the text
    EXPECT_EQ(39, row.textX);
    EXPECT_EQ(37, row.textY);
    BrowserRowPlace header = PlaceBrowserRow(0, 0, 0, 40, 1);
    EXPECT_EQ(1, header.iconX);
    EXPECT_EQ(1, header.iconY);  // one pixel down, unlike the others
}

std::vector<std::string> Components(const std::string& path, LeadBytePredicate isLead = nullptr,
                                    size_t outSize = 260) {
    std::vector<std::string> found;
    std::vector<char> out(outSize);
    size_t position = 3;
    int got;
    while ((got = NextChainComponent(path.c_str(), &position, out.data(), outSize, isLead)) == 1)
        found.push_back(out.data());
    if (got == -1) found.push_back("<too long>");
    return found;
}

TEST(BrowserChain, ComponentsOfAPath) {
    using V = std::vector<std::string>;
    EXPECT_EQ(V({"Tools", "Quorvik"}), Components("C:\\Tools\\Quorvik"));
    EXPECT_EQ(V({"Tools"}), Components("C:\\Tools\\"));  // no empty last entry
    EXPECT_EQ(V({"A", "", "B"}), Components("C:\\A\\\\B"));
    EXPECT_EQ(V(), Components("C:\\"));
    EXPECT_EQ(V(), Components("C:"));  // shorter than a root: nothing read past it
    EXPECT_EQ(V({"x" + Hyou, "y"}), Components("C:\\x" + Hyou + "\\y", Cp932));
    EXPECT_EQ(V({"Tools", "<too long>"}), Components("C:\\Tools\\Quorvik", nullptr, 6));
}

std::string Entry(const std::string& path, int entry, LeadBytePredicate isLead = nullptr,
                  size_t outSize = 260) {
    std::vector<char> out(outSize, '#');
    int ok = ChainEntryPath(out.data(), outSize, path.c_str(), entry, isLead);
    if (outSize > 0 && (ok ? out[std::string(out.data()).size()] : out[0]) != '\0')
        return "<unterminated>";
    return ok ? std::string(out.data()) : "<refused>";
}

TEST(BrowserChain, EntryPathsCutAfterTheirBackslash) {
    EXPECT_EQ("C:\\", Entry("C:\\Tools\\Quorvik", 1));
    EXPECT_EQ("C:\\Tools", Entry("C:\\Tools\\Quorvik", 2));
    EXPECT_EQ("C:\\Tools", Entry("C:\\Tools\\", 2));
    EXPECT_EQ("C:\\A\\", Entry("C:\\A\\\\B", 3));   // the empty entry
    EXPECT_EQ("<refused>", Entry("C:\\Tools", 2));  // no second backslash
    EXPECT_EQ("<refused>", Entry("C:\\Tools", 0));
    EXPECT_EQ("C:\\x" + Hyou, Entry("C:\\x" + Hyou + "\\y", 2, Cp932));
    EXPECT_EQ("<refused>", Entry("C:\\Tools\\Quorvik", 2, nullptr, 8));
    EXPECT_EQ("C:\\Tools", Entry("C:\\Tools\\Quorvik", 2, nullptr, 9));
    EXPECT_EQ("<refused>", Entry("C:\\Tools", 1, nullptr, 0));
}

TEST(BrowserDrives, LettersShownUpperCase) {
    EXPECT_EQ('C', DriveLetterShown('c'));
    EXPECT_EQ('Z', DriveLetterShown('z'));
    EXPECT_EQ('D', DriveLetterShown('D'));
    EXPECT_EQ('{', DriveLetterShown('{'));
}

}  // namespace
