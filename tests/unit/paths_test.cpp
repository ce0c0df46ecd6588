// The path composers, the capitalisation the installer shows, the folder
// chain and the folder list's rows, and folders the system reports.
#include "engine/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/reported_folder.h"
#include "pages/browser_layout.h"
#include "tests/unit/code_page_932.h"
#include "tests/unit/helpers.h"

namespace {

using namespace std::string_literals;

// A heap copy of exactly the string's size, so that the sanitizer sees a
// read past its terminator.
std::vector<char> Exact(const std::string& s) {
    return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1);
}

enum Composer { kJoin, kStaged, kLink };

// `second` is the name, or for a link the group.
std::string Compose(Composer what, const std::string& folder, const std::string& second,
                    const std::string& caption, LeadBytePredicate isLead, size_t size = 512) {
    auto f = Exact(folder), s = Exact(second), c = Exact(caption);
    return Guarded(size, [&](char* d, size_t n) {
        return what == kJoin     ? JoinPath(d, n, f.data(), s.data(), isLead)
               : what == kStaged ? StagedName(d, n, f.data(), s.data(), isLead)
                                 : LinkName(d, n, f.data(), s.data(), c.data(), isLead);
    });
}

// Every result is also composed into exactly its own size (fits) and one
// byte less (refused).  A part that ends in a lone lead byte would take the
// next byte written (the separator, or the '.' of ".lnk") as its trail byte,
// so it is refused; a pair before it does not make it a trail.
TEST(Paths, ComposersFitExactlyAndRefuseOneByteShort) {
    const LeadBytePredicate sb = SingleByteCodePage;
    const std::string f240 = "C:\\" + std::string(240, 'f');
    const std::string n16 = std::string(14, 'n') + kHyo;
    using S = std::string;
    const std::tuple<Composer, S, S, S, LeadBytePredicate, S> cases[] = {
        {kJoin, "C:\\Halvenor", "Quorvik", "", sb, "C:\\Halvenor\\Quorvik"},
        {kJoin, "C:\\x\x95\\", "y", "", nullptr, "C:\\x\x95\\y"},  // null: single-byte
        {kJoin, f240 + kHyo, n16, "", Cp932, f240 + kHyo + "\\" + n16},
        {kJoin, "C:\\A\x95\x95", "x", "", Cp932, "C:\\A\x95\x95\\x"},
        {kStaged, "C:\\Windows\\Temp\\", "Zelmunin.exe", "", sb, "C:\\Windows\\Temp\\Zelmunin.ex_"},
        // With no name the backslash that ends the folder part is the last one.
        {kStaged, "C:\\T", "", "", sb, "C:\\T_"},
        {kStaged, "C:\\T\\", "", "", sb, "C:\\T_"},
        {kStaged, f240, n16, "", sb, f240 + "\\" + n16.substr(0, 15) + "_"},
        // The last character is a pair: the whole pair becomes one '_', and
        // only that shorter length counts.
        {kStaged, f240, n16, "", Cp932, f240 + "\\" + n16.substr(0, 14) + "_"},
        {kLink, "C:\\Windows\\Start Menu\\Programs", "Quorvik", "Read Me", sb,
         "C:\\Windows\\Start Menu\\Programs\\Quorvik\\Read Me.lnk"},
        {kLink, "C:\\P\\", "G\\", "c", sb, "C:\\P\\G\\c.lnk"},
        {kLink, "C:\\P", "", "c", sb, "C:\\P\\c.lnk"},
        {kLink, "C:\\G" + kHyo, kSo, "c", Cp932, "C:\\G" + kHyo + "\\" + kSo + "\\c.lnk"},
        {kJoin, "", "x", "", sb, "<refused>"},
        {kLink, "", "g", "c", sb, "<refused>"},
        {kJoin, "C:\\A\x95", "x", "", Cp932, "<refused>"},
        {kJoin, "C:\\A", "x\x95\x95\x95", "", Cp932, "<refused>"},
        {kStaged, "C:\\A", "x\x95", "", Cp932, "<refused>"},
        {kLink, "C:\\P", "G\x95\x95\x95", "c", Cp932, "<refused>"},
        {kLink, "C:\\P", "G", "c\x95", Cp932, "<refused>"},
    };
    for (const auto& [what, folder, second, caption, isLead, expected] : cases) {
        SCOPED_TRACE(folder + "|" + second + "|" + caption);
        EXPECT_EQ(expected, Compose(what, folder, second, caption, isLead));
        if (expected[0] == '<') continue;
        const size_t fits = expected.size() + 1;
        EXPECT_EQ(expected, Compose(what, folder, second, caption, isLead, fits));
        for (size_t size : {fits - 1, size_t{0}})
            EXPECT_EQ("<refused>", Compose(what, folder, second, caption, isLead, size));
    }
}

TEST(Paths, NormaliseNameCase) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"C:\\WINDOWS\\TEMP\\", "C:\\Windows\\Temp\\", false},
        {"c:\\program files\\my app", "C:\\Program Files\\My App", false},
        {"C:\\A  B", "C:\\A  b", false},  // of two separators the second is passed over
        {"1:\\aB_9\xC4\xe4Z", "1:\\Ab_9\xC4\xe4z", false},
        {"c:\\x" + kSo + "ABC", "C:\\X" + kSo + "abc", true},  // a pair's 0x5C starts no word
        {"C:\\w\x83\x41Z", "C:\\W\x83\x41z", true},            // nor does its letter, "ァ"
        {"a " + kHyo + "B", "A " + kHyo + "b", true},  // a pair after a separator is passed over
    };
    for (const auto& [in, out, cp932] : cases) {
        auto p = Exact(in);
        NormaliseNameCase(p.data(), cp932 ? Cp932 : SingleByteCodePage);
        EXPECT_EQ(out, p.data()) << in;
    }
}

std::vector<size_t> Chain(const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
    auto p = Exact(path);
    size_t lengths[300];
    return std::vector<size_t>(lengths,
                               lengths + FolderChainLengths(p.data(), lengths, 300, isLead));
}

TEST(Paths, FolderChainLengths) {
    using V = std::vector<size_t>;
    EXPECT_EQ(V({11, 19}), Chain("C:\\Halvenor\\Quorvik"));
    EXPECT_EQ(V({4, 5}), Chain("C:\\A\\"));
    EXPECT_EQ(V({3}), Chain("C:\\"));
    EXPECT_EQ(V({4, 5, 7}), Chain("C:\\A\\\\B"));
    EXPECT_EQ(V({8}), Chain("C:\\a:\\bc"));  // only what follows the last ":\"
    for (const char* bad : {"", "C", "C:", "C:x\\y", "\\\\srv\\share", "Quorvik", ":\\x"})
        EXPECT_EQ(V(), Chain(bad)) << bad;
    // A lead byte and the colon are one character, so there is no drive.
    EXPECT_EQ(V(), Chain("\x95:\\x", Cp932));
    EXPECT_EQ(V({6, 8}), Chain("C:\\x" + kHyo + "\\y", Cp932));
    EXPECT_EQ(V({4, 6}), Chain("C:\\a\\\x95", Cp932));
    // Never a partial chain: too small an array gives 0 and nothing past it.
    size_t lengths[3] = {99, 99, 99};
    EXPECT_EQ(0, FolderChainLengths("C:\\a\\b\\c", lengths, 2, SingleByteCodePage));
    EXPECT_EQ(99u, lengths[2]);
    EXPECT_EQ(3, FolderChainLengths("C:\\a\\b\\c", lengths, 3, SingleByteCodePage));

    EXPECT_EQ(0, EndsWithBackslash(("C:\\Work" + kHyo).c_str(), Cp932));
    // Pairs are counted from the start: here the final backslash stands alone.
    EXPECT_EQ(1, EndsWithBackslash("C:\\\x95\x95\\", Cp932));
    EXPECT_EQ(0, EndsWithBackslash("C:\\\x95\x95\x95\\", Cp932));
}

// A folder a system call wrote, taken only whole, terminated and fitting.
// `source` stays readable beyond rawSize: a read past it shows in the result.
std::string Reported(size_t outSize, const std::string& source, size_t rawSize,
                     unsigned long reported) {
    return Guarded(outSize, [&](char* out, size_t size) {
        return AcceptSystemFolder(out, size, source.data(), rawSize, reported, SingleByteCodePage);
    });
}

TEST(ReportedFolder, TakesOnlyAWholeTerminatedFolderThatFits) {
    const std::string windows = "C:\\WINDOWS\0"s + std::string(250, 'z');
    const std::string temp = "C:\\WINDOWS\\TEMP\\\0stale"s + std::string(80, 'z');
    EXPECT_EQ("C:\\Windows\\Temp\\", Reported(24, temp, 108, 16));
    EXPECT_EQ("C:\\Windows", Reported(260, windows, 11, 10));
    EXPECT_EQ("C:\\Windows", Reported(11, windows, 260, 10));  // the longest that fits
    // A failure, the size the call needed, a length not ending at the terminator.
    for (unsigned long reported : {0ul, 260ul, 400ul, 5ul})
        EXPECT_EQ("<refused>", Reported(260, windows, 260, reported)) << reported;
    EXPECT_EQ("<refused>", Reported(10, windows, 260, 10));  // one byte more than ours
    EXPECT_EQ("<refused>", Reported(260, windows, 10, 10));  // just past the system's
}

// Rows past the table are subfolders of the current folder too.
TEST(BrowserIndents, ChainThenSubfoldersAndBeyondTheTable) {
    int table[IndentTableSize];
    SetChainIndents(table, 3);  // "Folders", C:\, Tools, Quorvik
    for (const auto& [row, level] : {std::pair{0, 0}, {3, 3}, {4, 4}, {IndentTableSize, 4}})
        EXPECT_EQ(level, IndentLevel(table, row)) << row;
    SetDriveIndents(table);
    EXPECT_EQ(0, IndentLevel(table, 0));
    EXPECT_EQ(1, IndentLevel(table, 700));
}

std::string Entry(const std::string& path, int entry, LeadBytePredicate isLead = nullptr,
                  size_t outSize = 260) {
    return Guarded(outSize, [&](char* out, size_t size) {
        return ChainEntryPath(out, size, path.c_str(), entry, isLead);
    });
}

// The folder a chain row stands for: the path cut after its backslash.
TEST(BrowserChain, EntryPathsFitOrAreRefused) {
    EXPECT_EQ("C:\\", Entry("C:\\Tools\\Quorvik", 1));
    EXPECT_EQ("C:\\A\\", Entry("C:\\A\\\\B", 3));   // the empty entry
    EXPECT_EQ("<refused>", Entry("C:\\Tools", 2));  // no second backslash
    EXPECT_EQ("<refused>", Entry("C:\\Tools", 0));
    EXPECT_EQ("C:\\x" + kHyo, Entry("C:\\x" + kHyo + "\\y", 2, Cp932));
    EXPECT_EQ("C:\\Tools", Entry("C:\\Tools\\Quorvik", 2, nullptr, 9));
    EXPECT_EQ("<refused>", Entry("C:\\Tools\\Quorvik", 2, nullptr, 8));
}

}  // namespace
