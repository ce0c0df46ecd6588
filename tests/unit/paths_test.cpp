#include "engine/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Lead bytes of code page 932 (Japanese).
int Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// "表" and "ソ" in code page 932: both end in the byte of a backslash.
const char kHyo[] = "\x95\x5C";
const char kSo[] = "\x83\x5C";

const char kGuardByte = '\xA5';
const size_t kGuardSize = 32;

// A destination of `size` bytes followed by a guard region, so that a write
// past the end shows up.
struct Dest {
    explicit Dest(size_t size) : size(size), bytes(size + kGuardSize, kGuardByte) {}
    char* data() { return bytes.data(); }
    std::string str() const { return std::string(bytes.data()); }
    bool GuardIntact() const {
        for (size_t i = size; i < bytes.size(); ++i)
            if (bytes[i] != kGuardByte) return false;
        return true;
    }
    size_t size;
    std::vector<char> bytes;
};

// A heap copy of exactly the string's size, so that the sanitizer sees a
// read past its terminator.
std::unique_ptr<char[]> Exact(const std::string& s) {
    std::unique_ptr<char[]> p(new char[s.size() + 1]);
    std::memcpy(p.get(), s.c_str(), s.size() + 1);
    return p;
}

std::string Join(const std::string& folder, const std::string& name,
                 LeadBytePredicate isLead = SingleByteCodePage) {
    Dest d(260);
    auto f = Exact(folder), n = Exact(name);
    EXPECT_EQ(1, JoinPath(d.data(), d.size, f.get(), n.get(), isLead));
    EXPECT_TRUE(d.GuardIntact());
    return d.str();
}

std::string Staged(const std::string& folder, const std::string& name,
                   LeadBytePredicate isLead = SingleByteCodePage) {
    Dest d(260);
    auto f = Exact(folder), n = Exact(name);
    EXPECT_EQ(1, StagedName(d.data(), d.size, f.get(), n.get(), isLead));
    EXPECT_TRUE(d.GuardIntact());
    return d.str();
}

std::string Link(const std::string& folder, const std::string& group, const std::string& caption,
                 LeadBytePredicate isLead = SingleByteCodePage) {
    Dest d(260);
    auto f = Exact(folder), g = Exact(group), c = Exact(caption);
    EXPECT_EQ(1, LinkName(d.data(), d.size, f.get(), g.get(), c.get(), isLead));
    EXPECT_TRUE(d.GuardIntact());
    return d.str();
}

std::string Normalised(const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
    auto p = Exact(path);
    NormaliseNameCase(p.get(), isLead);
    return std::string(p.get());
}

std::vector<size_t> Chain(const std::string& path, LeadBytePredicate isLead = SingleByteCodePage) {
    auto p = Exact(path);
    size_t lengths[300];
    int n = FolderChainLengths(p.get(), lengths, 300, isLead);
    return std::vector<size_t>(lengths, lengths + n);
}

using Lengths = std::vector<size_t>;

TEST(PathsTest, InstallerPaths) {
    EXPECT_EQ("C:\\Quorvik", Join("C:\\", "Quorvik"));
    EXPECT_EQ("C:\\Halvenor\\Quorvik", Join("C:\\Halvenor", "Quorvik"));
    EXPECT_EQ("C:\\Windows\\Temp\\Zelmunin.exe", Join("C:\\Windows\\Temp\\", "Zelmunin.exe"));

    EXPECT_EQ("C:\\Windows\\Temp\\Zelmunin.ex_", Staged("C:\\Windows\\Temp\\", "Zelmunin.exe"));
    EXPECT_EQ("C:\\T\\_", Staged("C:\\T", "x"));

    EXPECT_EQ("C:\\Windows\\Start Menu\\Programs\\Quorvik\\Read Me.lnk",
              Link("C:\\Windows\\Start Menu\\Programs", "Quorvik", "Read Me"));

    EXPECT_EQ("C:\\Windows", Normalised("C:\\WINDOWS"));
    EXPECT_EQ("C:\\Windows\\Temp\\", Normalised("C:\\WINDOWS\\TEMP\\"));
    EXPECT_EQ("C:\\Program Files\\My App", Normalised("c:\\program files\\my app"));

    EXPECT_EQ(Lengths({11, 19}), Chain("C:\\Halvenor\\Quorvik"));
}

TEST(PathsTest, SeparatorsAreAddedOnlyWhereMissing) {
    // A name that starts with a backslash is not trimmed.
    EXPECT_EQ("C:\\A\\\\b", Join("C:\\A\\", "\\b"));
    EXPECT_EQ("C:\\A\\", Join("C:\\A", ""));
    EXPECT_EQ("C:\\A\\", Join("C:\\A\\", ""));

    EXPECT_EQ("C:\\P\\G\\c.lnk", Link("C:\\P\\", "G\\", "c"));
    EXPECT_EQ("C:\\P\\c.lnk", Link("C:\\P", "", "c"));
    EXPECT_EQ("C:\\P\\c.lnk", Link("C:\\P\\", "", "c"));
    EXPECT_EQ("C:\\P\\G\\.lnk", Link("C:\\P", "G", ""));

    EXPECT_EQ(1, EndsWithBackslash("C:\\", SingleByteCodePage));
    EXPECT_EQ(0, EndsWithBackslash("C:", SingleByteCodePage));
    EXPECT_EQ(0, EndsWithBackslash("", SingleByteCodePage));
}

TEST(PathsTest, StagedNameReplacesTheLastCharacter) {
    EXPECT_EQ("C:\\T\\ab_", Staged("C:\\T\\", "abc"));
    // With no name the backslash that ends the folder part is the last one.
    EXPECT_EQ("C:\\T_", Staged("C:\\T", ""));
    EXPECT_EQ("C:\\T_", Staged("C:\\T\\", ""));
}

TEST(PathsTest, NormaliseNameCaseEdges) {
    EXPECT_EQ("C:\\Temp", Normalised("C:\\Temp"));
    // The second space is passed over as the byte after the first.
    EXPECT_EQ("C:\\A  b", Normalised("C:\\A  B"));
    EXPECT_EQ(" abc", Normalised(" abc"));
    EXPECT_EQ("", Normalised(""));
    EXPECT_EQ("A", Normalised("a"));
    EXPECT_EQ("Z", Normalised("Z"));
    EXPECT_EQ("Ab\\", Normalised("AB\\"));
    EXPECT_EQ("X ", Normalised("x "));
    EXPECT_EQ("1:\\Ab_9\xC4\xe4z", Normalised("1:\\aB_9\xC4\xe4Z"));
}

TEST(PathsTest, FolderChainLengths) {
    // A trailing backslash asks once more for the folder just made.
    EXPECT_EQ(Lengths({4, 5}), Chain("C:\\A\\"));
    EXPECT_EQ(Lengths({3}), Chain("C:\\"));
    EXPECT_EQ(Lengths({4, 5, 7}), Chain("C:\\A\\\\B"));
    // Only the part after the last ":\" forms the chain.
    EXPECT_EQ(Lengths({8}), Chain("C:\\a:\\bc"));

    for (const char* bad : {"", "C", "C:", "C:x\\y", "\\\\srv\\share", "Quorvik", ":\\x"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Lengths(), Chain(bad));
    }
    // A lead byte and the colon are one character, so there is no drive.
    EXPECT_EQ(Lengths(), Chain("\x95:\\x", Cp932));
    EXPECT_EQ(Lengths({4}), Chain("\x95:\\x"));

    // Never a partial chain: too small an array gives 0 and nothing past it.
    for (int max = 0; max <= 3; ++max) {
        SCOPED_TRACE(max);
        size_t lengths[4] = {99, 99, 99, 99};
        EXPECT_EQ(max == 3 ? 3 : 0,
                  FolderChainLengths("C:\\a\\b\\c", lengths, max, SingleByteCodePage));
        EXPECT_EQ(99u, lengths[max]);
    }
}

TEST(PathsTest, UnusableInputIsRefused) {
    Dest d(16);
    EXPECT_EQ(0, JoinPath(d.data(), d.size, "", "x", SingleByteCodePage));
    EXPECT_EQ("", d.str());
    EXPECT_EQ(0, StagedName(d.data(), d.size, "", "x", SingleByteCodePage));
    EXPECT_EQ(0, LinkName(d.data(), d.size, "", "g", "c", SingleByteCodePage));
    EXPECT_EQ(0, JoinPath(d.data(), d.size, nullptr, "x", SingleByteCodePage));
    EXPECT_EQ(0, LinkName(d.data(), d.size, "C:\\", nullptr, "c", nullptr));
    EXPECT_TRUE(d.GuardIntact());
    // A null rule is the single-byte one.
    EXPECT_EQ(1, JoinPath(d.data(), d.size, "C:\\x\x95\\", "y", nullptr));
    EXPECT_EQ("C:\\x\x95\\y", d.str());
}

// Each composer is given a result of exactly destSize - 1 characters (fits)
// and one of destSize characters (refused), and never writes past the end.
struct Composed {
    const char* what;
    std::string expected;
    int (*compose)(char* dest, size_t size);
};

TEST(PathsTest, OverflowIsRefusedAtTheExactBoundary) {
    static const std::string folder = "C:\\" + std::string(240, 'f');
    static const std::string name = std::string(14, 'n') + "\x95\x5C";
    const Composed cases[] = {
        {"JoinPath", folder + "\\" + name,
         [](char* d, size_t s) {
             return JoinPath(d, s, folder.c_str(), name.c_str(), SingleByteCodePage);
         }},
        {"JoinPath folder ending in a pair", folder + kHyo + "\\" + name,
         [](char* d, size_t s) {
             return JoinPath(d, s, (folder + kHyo).c_str(), name.c_str(), Cp932);
         }},
        {"StagedName", folder + "\\" + name.substr(0, name.size() - 1) + "_",
         [](char* d, size_t s) {
             return StagedName(d, s, folder.c_str(), name.c_str(), SingleByteCodePage);
         }},
        // The last character is a pair: the result is one byte shorter than
        // the join, and only that shorter length counts.
        {"StagedName with a pair last", folder + "\\" + name.substr(0, name.size() - 2) + "_",
         [](char* d, size_t s) { return StagedName(d, s, folder.c_str(), name.c_str(), Cp932); }},
        {"LinkName", folder + "\\Group\\" + name + ".lnk",
         [](char* d, size_t s) {
             return LinkName(d, s, folder.c_str(), "Group", name.c_str(), SingleByteCodePage);
         }},
        {"LinkName with no group", folder + "\\" + name + ".lnk",
         [](char* d, size_t s) { return LinkName(d, s, folder.c_str(), "", name.c_str(), Cp932); }},
    };
    for (const Composed& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t n = c.expected.size();
        Dest fits(n + 1);
        EXPECT_EQ(1, c.compose(fits.data(), fits.size));
        EXPECT_EQ(c.expected, fits.str());
        EXPECT_TRUE(fits.GuardIntact());

        Dest tight(n);
        EXPECT_EQ(0, c.compose(tight.data(), tight.size));
        EXPECT_EQ('\0', tight.bytes[0]);
        EXPECT_TRUE(tight.GuardIntact());

        Dest none(0);
        EXPECT_EQ(0, c.compose(none.data(), none.size));
        EXPECT_TRUE(none.GuardIntact());
    }
}

TEST(PathsTest, Cp932PairEndingInBackslashIsNoSeparator) {
    const std::string hyo = std::string("C:\\Work") + kHyo;
    const std::string so = std::string("C:\\") + kSo;

    EXPECT_EQ(hyo + "\\a.txt", Join(hyo, "a.txt", Cp932));
    EXPECT_EQ(so + "\\a.txt", Join(so, "a.txt", Cp932));
    EXPECT_EQ(hyo + "\\", Join(hyo + "\\", "", Cp932));
    // The same bytes on a single-byte code page do end with a backslash.
    EXPECT_EQ(hyo + "a.txt", Join(hyo, "a.txt"));

    EXPECT_EQ(0, EndsWithBackslash(hyo.c_str(), Cp932));
    EXPECT_EQ(1, EndsWithBackslash(hyo.c_str(), SingleByteCodePage));
    // A trail byte can itself be a lead value: the pairs are counted from the
    // start, so the final backslash here stands alone.
    EXPECT_EQ(1, EndsWithBackslash("C:\\\x95\x95\\", Cp932));
    EXPECT_EQ(0, EndsWithBackslash("C:\\\x95\x95\x95\\", Cp932));
    // A lead byte with the terminator after it stands alone.
    EXPECT_EQ(std::string("C:\\x\x95\\y"), Join("C:\\x\x95", "y", Cp932));

    EXPECT_EQ(std::string("C:\\G") + kHyo + "\\" + kSo + "\\c.lnk",
              Link(std::string("C:\\G") + kHyo, kSo, "c", Cp932));

    // The pair as a whole is the last character.
    EXPECT_EQ("C:\\T\\ab_", Staged("C:\\T", std::string("ab") + kHyo, Cp932));
    EXPECT_EQ("C:\\T\\_", Staged("C:\\T", kSo, Cp932));
    EXPECT_EQ(hyo + "\\_", Staged(hyo, "x", Cp932));
    EXPECT_EQ(std::string("C:\\T\\ab\x95_"),
              Staged("C:\\T", std::string("ab") + kHyo, SingleByteCodePage));
}

TEST(PathsTest, Cp932FolderChainDoesNotSplitAPair) {
    const std::string hyo = std::string("C:\\x") + kHyo;  // C:\x表
    EXPECT_EQ(Lengths({6}), Chain(hyo, Cp932));
    EXPECT_EQ(Lengths({6, 7}), Chain(hyo + "\\", Cp932));
    EXPECT_EQ(Lengths({6, 8}), Chain(hyo + "\\y", Cp932));
    EXPECT_EQ(Lengths({5, 6}), Chain(hyo));  // single-byte: split in two

    const std::string mid = std::string("C:\\ab") + kSo + "cd";  // C:\abソcd
    EXPECT_EQ(Lengths({9}), Chain(mid, Cp932));
    EXPECT_EQ(Lengths({6, 9}), Chain(mid));

    // A pair right after the drive, and a lone lead byte at the end.
    EXPECT_EQ(Lengths({5, 7}), Chain(std::string("C:\\") + kHyo + "\\z", Cp932));
    EXPECT_EQ(Lengths({4, 6}), Chain("C:\\a\\\x95", Cp932));
}

TEST(PathsTest, Cp932NormaliseLeavesPairsAlone) {
    // A lower-case letter after a pair ending in 0x5C is no word start.
    EXPECT_EQ(std::string("C:\\X") + kSo + "abc",
              Normalised(std::string("C:\\X") + kSo + "abc", Cp932));
    EXPECT_EQ(std::string("C:\\X") + kSo + "abc",
              Normalised(std::string("c:\\x") + kSo + "ABC", Cp932));
    EXPECT_EQ(std::string("C:\\X") + kSo + "Abc", Normalised(std::string("c:\\x") + kSo + "abc"));

    // Pairs whose second byte is a letter keep it: "ァ" is 0x83 0x41,
    // 0x82 0x61 another character.
    EXPECT_EQ("C:\\W\x83\x41z", Normalised("C:\\w\x83\x41Z", Cp932));
    EXPECT_EQ("C:\\W\x83\x61z", Normalised("C:\\w\x83\x61Z", Cp932));
    EXPECT_EQ(
        "C:\\W\x83"
        "az",
        Normalised("C:\\w\x83\x41Z"));
    EXPECT_EQ(
        "\x82\x61"
        "bc",
        Normalised("\x82\x61"
                   "BC",
                   Cp932));

    // A separator followed by a pair passes the whole pair over, so the
    // pair's 0x5C does not start a word either.
    EXPECT_EQ(std::string("C:\\") + kHyo + "b",
              Normalised(std::string("C:\\") + kHyo + "b", Cp932));
    EXPECT_EQ(std::string("A ") + kHyo + "b", Normalised(std::string("a ") + kHyo + "B", Cp932));

    // A lead byte with the terminator after it stands alone.
    EXPECT_EQ("C:\\Ab\x95", Normalised("C:\\AB\x95", Cp932));
    EXPECT_EQ("\x95", Normalised("\x95", Cp932));
}

}  // namespace
