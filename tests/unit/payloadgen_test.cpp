// The build refuses a payload table that would break the installer.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/unit/helpers.h"
#include "tools/payloadgen/payload_rows.h"

namespace {

using payloadgen::PackedHeader;
using payloadgen::ParseRows;
using payloadgen::ReadPackedHeader;
using payloadgen::Table;
using Headers = std::vector<PackedHeader>;

const char* const kRows =
    "# comment\n"
    "Zelmunin.exe  1  UINSTALL  Uninstall\n"
    "Quorvik.exe   0  PROGRAM   Quorvik\n"
    "Qvreader.exe  0  README    Read Me\n"
    "\n"
    "installCount 3\n"
    "shortcutCount 2\n";

// A flag the installer has no folder for, and a count missing, which would
// leave it at -1, are refused.
TEST(PayloadRows, RefusesAFaultyLine) {
    Table t;
    EXPECT_NE(std::string::npos, ParseRows("A.exe 7 R C\n", &t).find("line 1"));
    EXPECT_NE("", ParseRows("A.exe 0 R C\ninstallCount 1\n", &t));
}

std::string Rows(const std::string& body, int install, int shortcuts) {
    return body + "installCount " + std::to_string(install) + "\nshortcutCount " +
           std::to_string(shortcuts) + "\n";
}

TEST(PayloadTableRules, RefusesWhatWouldBreakTheInstaller) {
    const std::string three = "A.exe 0 RA C\nB.exe 0 RB C\nC.exe 0 RC C\n";
    const std::vector<uint32_t> same = {4000, 4000, 4000};
    // Each packed file must be the SZDD form of its own row's file.
    const auto wrongLength = [](Headers& h) { h[1].expandedLength = 3999; };
    const auto wrongCharacter = [](Headers& h) { h[2].missingChar = 'x'; };
    const auto badMode = [](Headers& h) {
        h[0] = ReadPackedHeader(SzddStream(4000, {}, 'e', 'B'));
    };
    const auto cut = [](Headers& h) { h[0] = ReadPackedHeader({'S', 'Z', 'D', 'D'}); };
    // Rows, sizes (which the packed headers state), a part of the message.
    using Case = std::tuple<std::string, std::vector<uint32_t>, void (*)(Headers&), std::string>;
    const Case cases[] = {
        {kRows, same, nullptr, ""},
        {Rows(three, 0, 0), same, nullptr, "at least 1"},
        {Rows(three, 4, 0), same, nullptr, "exceeds the 3 rows"},
        {Rows(three, 2, 3), same, nullptr, "shortcutCount 3 exceeds"},
        // The meter needs 6400 installed bytes and 32 bits; the row past
        // installCount never counts, however large.
        {Rows(three, 2, 0), {3200, 3199, 0xFFFFFFFFu}, nullptr, "at least 6400"},
        {Rows(three, 2, 0), {3200, 3200, 0xFFFFFFFFu}, nullptr, ""},
        {Rows(three, 2, 0), {0x40000000u, 0x3FFFFFFFu, 0}, nullptr, ""},
        {Rows(three, 2, 0), {0x40000000u, 0x40000000u, 0}, nullptr, "must stay below 2^31"},
        {Rows("A.exe 0 SAME C\nB.exe 0 SAME D\n", 2, 0), {7000, 7000}, nullptr, "used twice"},
        // Both would be staged as "qv.ex_" in a folder that ignores case.
        {Rows("Qv.exe 0 R1 C\nQV.EXA 0 R2 D\n", 2, 0), {7000, 7000}, nullptr, "under one name"},
        {Rows("Qv.exe 0 R1 C\nQV.EXAA 0 R2 D\n", 2, 0), {7000, 7000}, nullptr, ""},
        {kRows, same, wrongLength, "Quorvik.exe: packed header says 3999"},
        {kRows, same, wrongCharacter, "wrong last character"},
        {kRows, same, badMode, "not an SZDD stream"},
        {kRows, same, cut, "not an SZDD stream"},
    };
    for (const auto& [rows, sizes, spoil, problem] : cases) {
        Table t;
        ASSERT_EQ("", ParseRows(rows, &t));
        ASSERT_EQ(sizes.size(), t.rows.size());
        Headers headers;
        for (size_t i = 0; i < t.rows.size(); ++i) {
            t.rows[i].unpackedSize = sizes[i];
            headers.push_back(
                ReadPackedHeader(SzddStream(sizes[i], {}, t.rows[i].fileName.back())));
        }
        if (spoil) spoil(headers);
        const std::string got = payloadgen::CheckTable(t, headers);
        if (problem.empty())
            EXPECT_EQ("", got) << rows;
        else
            EXPECT_NE(std::string::npos, got.find(problem)) << rows << ": " << got;
    }
}

}  // namespace
