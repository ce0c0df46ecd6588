#include "engine/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/code_page_932.h"

namespace {

// "表" and "ソ" in code page 932: both end in the byte of a backslash.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";

// A heap copy of exactly the string's size, so that the sanitizer sees a
// read past its terminator.
std::vector<char> Exact(const std::string& s) {
    return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1);
}

enum Composer { kJoin, kStaged, kLink };

// Runs a composer into `size` bytes followed by a guard region.  Returns what
// it wrote, or says how it refused or that it wrote past the end.  `second` is
// the name, or for a link the group.
std::string Compose(Composer what, const std::string& folder, const std::string& second,
                    const std::string& caption = "", LeadBytePredicate isLead = SingleByteCodePage,
                    size_t size = 260) {
    std::vector<char> d(size + 32, '\xA5');
    auto f = Exact(folder), s = Exact(second), c = Exact(caption);
    int ok = what == kJoin     ? JoinPath(d.data(), size, f.data(), s.data(), isLead)
             : what == kStaged ? StagedName(d.data(), size, f.data(), s.data(), isLead)
                               : LinkName(d.data(), size, f.data(), s.data(), c.data(), isLead);
    if (std::count(d.begin() + size, d.end(), '\xA5') != 32) return "<overrun>";
    if (!ok) return size == 0 || d[0] == '\0' ? "<refused>" : "<refused, not emptied>";
    return d.data();
}

std::string Normalised(const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
    auto p = Exact(path);
    NormaliseNameCase(p.data(), isLead);
    return p.data();
}

using Lengths = std::vector<size_t>;

Lengths Chain(const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
    auto p = Exact(path);
    size_t lengths[300];
    int n = FolderChainLengths(p.data(), lengths, 300, isLead);
    return Lengths(lengths, lengths + n);
}

TEST(PathsTest, Composing) {
    EXPECT_EQ("C:\\Quorvik", Compose(kJoin, "C:\\", "Quorvik"));
    EXPECT_EQ("C:\\Halvenor\\Quorvik", Compose(kJoin, "C:\\Halvenor", "Quorvik"));
    EXPECT_EQ("C:\\A\\", Compose(kJoin, "C:\\A", ""));
    EXPECT_EQ("C:\\A\\\\b", Compose(kJoin, "C:\\A\\", "\\b"));  // a leading backslash is kept

    EXPECT_EQ("C:\\Windows\\Temp\\Zelmunin.ex_",
              Compose(kStaged, "C:\\Windows\\Temp\\", "Zelmunin.exe"));
    EXPECT_EQ("C:\\T\\_", Compose(kStaged, "C:\\T", "x"));
    // With no name the backslash that ends the folder part is the last one.
    EXPECT_EQ("C:\\T_", Compose(kStaged, "C:\\T", ""));
    EXPECT_EQ("C:\\T_", Compose(kStaged, "C:\\T\\", ""));

    EXPECT_EQ("C:\\Windows\\Start Menu\\Programs\\Quorvik\\Read Me.lnk",
              Compose(kLink, "C:\\Windows\\Start Menu\\Programs", "Quorvik", "Read Me"));
    EXPECT_EQ("C:\\P\\G\\c.lnk", Compose(kLink, "C:\\P\\", "G\\", "c"));
    EXPECT_EQ("C:\\P\\c.lnk", Compose(kLink, "C:\\P", "", "c"));
}

TEST(PathsTest, UnusableInputIsRefused) {
    EXPECT_EQ("<refused>", Compose(kJoin, "", "x"));
    EXPECT_EQ("<refused>", Compose(kStaged, "", "x"));
    EXPECT_EQ("<refused>", Compose(kLink, "", "g", "c"));
    char d[16];
    EXPECT_EQ(0, JoinPath(d, sizeof d, nullptr, "x", SingleByteCodePage));
    EXPECT_EQ(0, LinkName(d, sizeof d, "C:\\", nullptr, "c", nullptr));
    // A null rule is the single-byte one.
    EXPECT_EQ(1, JoinPath(d, sizeof d, "C:\\x\x95\\", "y", nullptr));
    EXPECT_STREQ("C:\\x\x95\\y", d);
}

// Each composer is given a result of exactly destSize - 1 characters (fits)
// and one of destSize characters (refused), and never writes past the end.
TEST(PathsTest, OverflowIsRefusedAtTheExactBoundary) {
    const std::string folder = "C:\\" + std::string(240, 'f');
    const std::string name = std::string(14, 'n') + kHyo;
    const struct {
        Composer what;
        std::string folder, second, caption;
        LeadBytePredicate isLead;
        std::string expected;
    } cases[] = {
        {kJoin, folder, name, "", SingleByteCodePage, folder + "\\" + name},
        {kJoin, folder + kHyo, name, "", Cp932, folder + kHyo + "\\" + name},
        {kStaged, folder, name, "", SingleByteCodePage, folder + "\\" + name.substr(0, 15) + "_"},
        // The last character is a pair: the result is one byte shorter than
        // the join, and only that shorter length counts.
        {kStaged, folder, name, "", Cp932, folder + "\\" + name.substr(0, 14) + "_"},
        {kLink, folder, "Group", name, SingleByteCodePage, folder + "\\Group\\" + name + ".lnk"},
        {kLink, folder, "", name, Cp932, folder + "\\" + name + ".lnk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        for (size_t size : {c.expected.size() + 1, c.expected.size(), size_t{0}})
            EXPECT_EQ(size > c.expected.size() ? c.expected : "<refused>",
                      Compose(c.what, c.folder, c.second, c.caption, c.isLead, size));
    }
}

// A part ending in a lone lead byte would take the next byte written as its
// trail byte (the separator, or the '.' of ".lnk"), so it is refused; a pair
// before it, or a last byte that is a trail, is not lone.
TEST(PathsTest, LoneLeadByteAtAnEndIsRefused) {
    const std::string lone = "\x95", pairThenLone = "\x95\x95\x95";
    for (const std::string& end : {lone, pairThenLone}) {
        SCOPED_TRACE(end.size());
        EXPECT_EQ("<refused>", Compose(kJoin, "C:\\A" + end, "x", "", Cp932));
        EXPECT_EQ("<refused>", Compose(kJoin, "C:\\A", "x" + end, "", Cp932));
        EXPECT_EQ("<refused>", Compose(kStaged, "C:\\A" + end, "x.exe", "", Cp932));
        EXPECT_EQ("<refused>", Compose(kStaged, "C:\\A", "x" + end, "", Cp932));
        EXPECT_EQ("<refused>", Compose(kLink, "C:\\P" + end, "G", "c", Cp932));
        EXPECT_EQ("<refused>", Compose(kLink, "C:\\P", "G" + end, "c", Cp932));
        EXPECT_EQ("<refused>", Compose(kLink, "C:\\P", "G", "c" + end, Cp932));
    }
    EXPECT_EQ("C:\\A\x95\x95\\x", Compose(kJoin, "C:\\A\x95\x95", "x", "", Cp932));
    EXPECT_EQ("C:\\P\\G" + kSo + "\\c.lnk", Compose(kLink, "C:\\P", "G" + kSo, "c", Cp932));
    // The same bytes are ordinary characters in a single-byte code page.
    EXPECT_EQ("C:\\A\x95\\x", Compose(kJoin, "C:\\A\x95", "x"));
}

TEST(PathsTest, NormaliseNameCase) {
    EXPECT_EQ("C:\\Windows\\Temp\\", Normalised("C:\\WINDOWS\\TEMP\\"));
    EXPECT_EQ("C:\\Program Files\\My App", Normalised("c:\\program files\\my app"));
    EXPECT_EQ("C:\\Temp", Normalised("C:\\Temp"));
    // Of two separators in a row the second is passed over, not counted.
    EXPECT_EQ("C:\\A  b", Normalised("C:\\A  B"));
    EXPECT_EQ(" abc", Normalised(" abc"));
    EXPECT_EQ("", Normalised(""));
    EXPECT_EQ("1:\\Ab_9\xC4\xe4z", Normalised("1:\\aB_9\xC4\xe4Z"));
}

TEST(PathsTest, FolderChainLengths) {
    EXPECT_EQ(Lengths({11, 19}), Chain("C:\\Halvenor\\Quorvik"));
    EXPECT_EQ(Lengths({4, 5}), Chain("C:\\A\\"));
    EXPECT_EQ(Lengths({3}), Chain("C:\\"));
    EXPECT_EQ(Lengths({4, 5, 7}), Chain("C:\\A\\\\B"));
    EXPECT_EQ(Lengths({8}), Chain("C:\\a:\\bc"));  // only what follows the last ":\"

    for (const char* bad : {"", "C", "C:", "C:x\\y", "\\\\srv\\share", "Quorvik", ":\\x"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Lengths(), Chain(bad));
    }
    // A lead byte and the colon are one character, so there is no drive.
    EXPECT_EQ(Lengths(), Chain("\x95:\\x", Cp932));

    // Never a partial chain: too small an array gives 0 and nothing past it.
    for (int max = 0; max <= 3; ++max) {
        SCOPED_TRACE(max);
        size_t lengths[4] = {99, 99, 99, 99};
        EXPECT_EQ(max == 3 ? 3 : 0,
                  FolderChainLengths("C:\\a\\b\\c", lengths, max, SingleByteCodePage));
        EXPECT_EQ(99u, lengths[max]);
    }
}

// In code page 932 a two-byte character is never split nor taken as a
// separator, whatever its second byte.
TEST(PathsTest, Cp932PairsAreOneCharacter) {
    const std::string hyo = "C:\\Work" + kHyo;
    EXPECT_EQ(hyo + "\\a.txt", Compose(kJoin, hyo, "a.txt", "", Cp932));
    EXPECT_EQ("C:\\G" + kHyo + "\\" + kSo + "\\c.lnk",
              Compose(kLink, "C:\\G" + kHyo, kSo, "c", Cp932));
    // The pair as a whole is the last character.
    EXPECT_EQ("C:\\T\\ab_", Compose(kStaged, "C:\\T", "ab" + kHyo, "", Cp932));
    EXPECT_EQ(hyo + "\\_", Compose(kStaged, hyo, "x", "", Cp932));

    EXPECT_EQ(0, EndsWithBackslash(hyo.c_str(), Cp932));
    // A trail byte can itself be a lead value: the pairs are counted from the
    // start, so the final backslash here stands alone.
    EXPECT_EQ(1, EndsWithBackslash("C:\\\x95\x95\\", Cp932));
    EXPECT_EQ(0, EndsWithBackslash("C:\\\x95\x95\x95\\", Cp932));

    EXPECT_EQ(Lengths({6}), Chain("C:\\x" + kHyo, Cp932));
    EXPECT_EQ(Lengths({6, 8}), Chain("C:\\x" + kHyo + "\\y", Cp932));
    EXPECT_EQ(Lengths({4, 6}), Chain("C:\\a\\\x95", Cp932));

    // After a pair ending in 0x5C a letter starts no word; a capital is lowered.
    EXPECT_EQ("C:\\X" + kSo + "abc", Normalised("C:\\X" + kSo + "abc", Cp932));
    EXPECT_EQ("C:\\X" + kSo + "abc", Normalised("c:\\x" + kSo + "ABC", Cp932));
    // A pair whose second byte is a letter keeps it: "ァ" is 0x83 0x41.
    EXPECT_EQ("C:\\W\x83\x41z", Normalised("C:\\w\x83\x41Z", Cp932));
    EXPECT_EQ("\x83\x41xy", Normalised("\x83\x41XY", Cp932));
    // A separator followed by a pair passes the whole pair over.
    EXPECT_EQ("A " + kHyo + "b", Normalised("a " + kHyo + "B", Cp932));
    EXPECT_EQ("C:\\Ab\x95", Normalised("C:\\AB\x95", Cp932));
}

}  // namespace
