// Folders as the system reports them: only a whole, terminated folder that
// fits is taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/reported_folder.h"
#include "tests/unit/code_page_932.h"

namespace {

using namespace std::string_literals;

const char kMarker = '#';

// Lead bytes of code page 932.

struct Outcome {
    int accepted;
    std::string out;  // all outSize bytes, terminator and untouched markers included
    bool guardIntact;
};

// Runs the check on an output of outSize bytes, filled with a marker and
// followed by a marked guard, and on the first rawSize bytes of `source`.
// Whatever `source` holds beyond rawSize stays readable, so a read past the
// raw buffer shows as a wrong result rather than going unseen.  A
// terminator after the guard ends the case-normalising walk over an output
// left unterminated, so that this too shows as a wrong result.
Outcome Accept(std::size_t outSize, const std::string& source, std::size_t rawSize,
               unsigned long reported, LeadBytePredicate isLead = SingleByteCodePage) {
    std::vector<char> out(outSize + 9, kMarker);
    out.back() = '\0';
    std::vector<char> raw(source.begin(), source.end());
    Outcome o;
    o.accepted = AcceptSystemFolder(out.data(), outSize, raw.data(), rawSize, reported, isLead);
    o.out.assign(out.begin(), out.begin() + outSize);
    o.guardIntact =
        std::all_of(out.begin() + outSize, out.end() - 1, [](char c) { return c == kMarker; });
    return o;
}

std::string Marked(const std::string& s, std::size_t size) {
    return s + std::string(size - s.size(), kMarker);
}

TEST(ReportedFolder, CopiesTheFolderAndItsTerminatorOnly) {
    // A system buffer larger than ours, with bytes after the terminator.
    Outcome o = Accept(24, "C:\\WINDOWS\\TEMP\\\0stale bytes"s + std::string(80, 'z'), 108, 16);
    EXPECT_EQ(1, o.accepted);
    EXPECT_EQ(Marked("C:\\Windows\\Temp\\\0"s, 24), o.out);  // the trailing backslash stays
    EXPECT_TRUE(o.guardIntact);
    // A system buffer just large enough, ours much larger.
    o = Accept(260, "C:\\WINDOWS\0"s, 11, 10);
    EXPECT_EQ(1, o.accepted);
    EXPECT_EQ(Marked("C:\\Windows\0"s, 260), o.out);
    // The longest folder our buffer holds.
    o = Accept(11, "C:\\WINDOWS\0"s, 11, 10);
    EXPECT_EQ(1, o.accepted);
    EXPECT_EQ("C:\\Windows\0"s, o.out);
    EXPECT_TRUE(o.guardIntact);
}

TEST(ReportedFolder, RefusesWhatIsMissingOrDoesNotFit) {
    const std::string windows = "C:\\WINDOWS\0"s + std::string(250, 'z');
    const std::string refused = Marked("\0"s, 260);
    // A failure; the size the call needed (260 or more); a length that does
    // not end where the terminator is.
    for (unsigned long reported : {0ul, 260ul, 400ul, 5ul}) {
        const Outcome o = Accept(260, windows, 260, reported);
        EXPECT_EQ(0, o.accepted) << reported;
        EXPECT_EQ(refused, o.out) << reported;
    }
    // The folder and its terminator need one byte more than our buffer has.
    Outcome o = Accept(10, windows, 260, 10);
    EXPECT_EQ(0, o.accepted);
    EXPECT_EQ(Marked("\0"s, 10), o.out);
    EXPECT_TRUE(o.guardIntact);
    // The terminator lies just past the system's buffer, which is smaller
    // than ours.
    o = Accept(260, windows, 10, 10);
    EXPECT_EQ(0, o.accepted);
    EXPECT_EQ(refused, o.out);
}

TEST(ReportedFolder, DoubleByteFolder) {
    // "表" is 0x95 0x5C in code page 932: its second byte is no separator, so
    // the letters after it are lower-cased.
    const std::string raw = "C:\\\x95\x5CWINDOWS\\TEMP\0"s;
    Outcome o = Accept(260, raw, raw.size(), 17, Cp932);
    EXPECT_EQ(1, o.accepted);
    EXPECT_EQ(Marked("C:\\\x95\x5Cwindows\\Temp\0"s, 260), o.out);
}

}  // namespace
