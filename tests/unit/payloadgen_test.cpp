// The build refuses a payload table that would break the installer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/payloadgen/payload_rows.h"

namespace {

using payloadgen::CheckTable;
using payloadgen::PackedHeader;
using payloadgen::ParseRows;
using payloadgen::Table;

const char* const kRows =
    "# comment\n"
    "Zelmunin.exe  1  UINSTALL  Uninstall\n"
    "Quorvik.exe   0  PROGRAM   Quorvik\n"
    "Qvreader.exe  0  README    Read Me\n"
    "\n"
    "installCount 3\n"
    "shortcutCount 2\n";

std::vector<uint8_t> Stream(char last, uint32_t length) {
    std::vector<uint8_t> s = {'S',  'Z',  'D',  'D', 0x88,
                              0xF0, 0x27, 0x33, 'A', static_cast<uint8_t>(last)};
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<uint8_t>(length >> (8 * i)));
    s.push_back(0);
    return s;
}

// A parsed table whose rows have the given sizes and matching headers.
Table Measured(const char* rows, uint32_t size, std::vector<PackedHeader>* headers) {
    Table t;
    EXPECT_EQ("", ParseRows(rows, &t));
    for (auto& r : t.rows) {
        r.unpackedSize = size;
        r.packedSize = size / 2;
        headers->push_back(payloadgen::ReadPackedHeader(Stream(r.fileName.back(), size)));
    }
    return t;
}

TEST(PayloadRows, ParsesRowsCaptionsAndCounts) {
    Table t;
    ASSERT_EQ("", ParseRows(kRows, &t));
    ASSERT_EQ(3u, t.rows.size());
    EXPECT_EQ("Qvreader.exe", t.rows[2].fileName);
    EXPECT_EQ("Read Me", t.rows[2].shortcutCaption);  // the rest of the line
    EXPECT_EQ(1u, t.rows[0].flags);
    EXPECT_EQ(3, t.installCount);
    EXPECT_EQ(2, t.shortcutCount);
}

TEST(PayloadRows, NamesTheFaultyLine) {
    Table t;
    EXPECT_NE(std::string::npos, ParseRows("A.exe 7 RES Cap\n", &t).find("line 1"));
    Table u;
    EXPECT_NE(std::string::npos, ParseRows("\nA.exe 0 RES\n", &u).find("line 2"));
    Table v;
    EXPECT_NE(std::string::npos, ParseRows("A.exe 0 R C\ninstallCount x\n", &v).find("line 2"));
    Table w;
    EXPECT_NE(std::string::npos,
              ParseRows("A.exe 0 R C\ninstallCount 1\n", &w).find("shortcutCount"));
}

TEST(PayloadRows, ReadsTheSzddHeader) {
    PackedHeader h = payloadgen::ReadPackedHeader(Stream('e', 799877));
    EXPECT_TRUE(h.valid);
    EXPECT_EQ('e', h.missingChar);
    EXPECT_EQ(799877u, h.expandedLength);
    std::vector<uint8_t> badMode = Stream('e', 1);
    badMode[8] = 'B';
    EXPECT_FALSE(payloadgen::ReadPackedHeader(badMode).valid);
    EXPECT_FALSE(payloadgen::ReadPackedHeader({'S', 'Z', 'D', 'D'}).valid);
}

TEST(PayloadTableRules, AcceptsASoundTable) {
    std::vector<PackedHeader> headers;
    Table t = Measured(kRows, 4000, &headers);
    EXPECT_EQ("", CheckTable(t, headers));
}

TEST(PayloadTableRules, RefusesBrokenCounts) {
    std::vector<PackedHeader> headers;
    Table t = Measured(kRows, 4000, &headers);
    t.installCount = 0;
    EXPECT_NE("", CheckTable(t, headers));
    t.installCount = 4;
    EXPECT_NE("", CheckTable(t, headers));
    t.installCount = 2;
    t.shortcutCount = 3;
    EXPECT_NE("", CheckTable(t, headers));
}

TEST(PayloadTableRules, RefusesTotalsOutsideTheMetersRange) {
    std::vector<PackedHeader> headers;
    Table t = Measured(kRows, 2133, &headers);  // 6399 in all
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("6400"));
    headers.clear();
    t = Measured(kRows, 2134, &headers);  // 6402
    EXPECT_EQ("", CheckTable(t, headers));
    headers.clear();
    t = Measured(kRows, 0x30000000u, &headers);  // above 2^31 in all
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("2^31"));
}

TEST(PayloadTableRules, RefusesNamesThatDoNotFitTheirFields) {
    std::vector<PackedHeader> headers;
    Table t = Measured("Abcdefghij.exe 0 R C\ninstallCount 1\nshortcutCount 0\n", 7000, &headers);
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("13"));  // 14 characters
    headers.clear();
    t = Measured("Abcdefghi.exe 0 R C\ninstallCount 1\nshortcutCount 0\n", 7000, &headers);
    EXPECT_EQ("", CheckTable(t, headers));  // exactly 13
    headers.clear();
    t = Measured(
        "A.exe 0 R 0123456789012345678901234567890123456789\n"
        "installCount 1\nshortcutCount 0\n",
        7000, &headers);
    EXPECT_NE("", CheckTable(t, headers));  // a 40-character caption
}

TEST(PayloadTableRules, RefusesAPackedFileThatDoesNotMatch) {
    std::vector<PackedHeader> headers;
    Table t = Measured(kRows, 4000, &headers);
    headers[1].expandedLength = 3999;
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("Quorvik.exe"));
    headers[1].expandedLength = 4000;
    headers[2].missingChar = 'x';
    EXPECT_NE("", CheckTable(t, headers));
    headers[2].missingChar = 'e';
    headers[0].valid = false;
    EXPECT_NE("", CheckTable(t, headers));
}

}  // namespace
