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

void SetSize(Table* t, std::vector<PackedHeader>* headers, size_t row, uint32_t size) {
    t->rows[row].unpackedSize = size;
    (*headers)[row].expandedLength = size;
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
    Table x;
    EXPECT_NE(std::string::npos,
              ParseRows("A.exe 0 R C\ninstallCount 1\nshortcutCount 0 1\n", &x).find("line 3"));
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

TEST(PayloadTableRules, RefusesInstalledTotalsOutsideTheMetersRange) {
    // Only the installCount leading rows are installed and count; the third
    // row is carried but never counted, however large.
    std::vector<PackedHeader> headers;
    Table t = Measured(kRows, 0xFFFFFFFFu, &headers);
    t.installCount = 2;
    SetSize(&t, &headers, 0, 3200);
    SetSize(&t, &headers, 1, 3199);
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("6400"));
    SetSize(&t, &headers, 1, 3200);
    EXPECT_EQ("", CheckTable(t, headers));
    // 2^31 is one byte too many.
    SetSize(&t, &headers, 0, 0x40000000u);
    SetSize(&t, &headers, 1, 0x3FFFFFFFu);
    EXPECT_EQ("", CheckTable(t, headers));
    SetSize(&t, &headers, 1, 0x40000000u);
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
    headers.clear();
    t = Measured("A.exe 0 Abcdefghijklmnopqrs C\ninstallCount 1\nshortcutCount 0\n", 7000,
                 &headers);
    EXPECT_EQ("", CheckTable(t, headers));  // exactly 19
    t.rows[0].resourceName += "t";
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("19"));
    headers.clear();
    t = Measured("A.exe 0 SAME C\nB.exe 0 SAME D\ninstallCount 2\nshortcutCount 0\n", 7000,
                 &headers);
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("SAME is used twice"));
    // Both would be staged as "qv.ex_" in a folder that ignores case.
    headers.clear();
    t = Measured("Qv.exe 0 R1 C\nQV.EXA 0 R2 D\ninstallCount 2\nshortcutCount 0\n", 7000, &headers);
    EXPECT_NE(std::string::npos, CheckTable(t, headers).find("staged under one name"));
    t.rows[1].fileName = "QV.EXAA";
    headers[1].missingChar = 'A';
    EXPECT_EQ("", CheckTable(t, headers));
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

// What the installer is built from: each row's fields in PayloadEntry's
// order, and each row's resource naming its own packed file.
TEST(PayloadOutput, TableSourceAndResourceScript) {
    Table t;
    ASSERT_EQ("", ParseRows(kRows, &t));
    for (size_t i = 0; i < t.rows.size(); ++i) {
        t.rows[i].unpackedSize = 1000 + static_cast<uint32_t>(i);
        t.rows[i].packedSize = 500 + static_cast<uint32_t>(i);
        t.rows[i].checksum = 0xCBF43926u + static_cast<uint32_t>(i);
    }
    EXPECT_NE(
        std::string::npos,
        payloadgen::RenderTableSource(t).find(
            "const PayloadEntry PayloadTable[] = {\n"
            "    {\"Zelmunin.exe\", 1, \"UINSTALL\", \"Uninstall\", 1000u, 500u, 0xCBF43926u},\n"
            "    {\"Quorvik.exe\", 0, \"PROGRAM\", \"Quorvik\", 1001u, 501u, 0xCBF43927u},\n"
            "    {\"Qvreader.exe\", 0, \"README\", \"Read Me\", 1002u, 502u, 0xCBF43928u},\n"
            "};\n\n"
            "extern const int PayloadRowCount = 3;\n"
            "extern const int installCount = 3;\n"
            "extern const int shortcutCount = 2;\n"));
    // The uninstaller's rows: the same names, folders and captions and counts.
    EXPECT_NE(std::string::npos,
              payloadgen::RenderPlacesSource(t).find(
                  "const PayloadPlace PayloadPlaces[] = {\n"
                  "    {\"Zelmunin.exe\", 1, \"Uninstall\"},\n"
                  "    {\"Quorvik.exe\", 0, \"Quorvik\"},\n"
                  "    {\"Qvreader.exe\", 0, \"Read Me\"},\n"
                  "};\n\n"
                  "extern const int PayloadRowCount = 3;\n"
                  "extern const int installCount = 3;\n"
                  "extern const int shortcutCount = 2;\n"));
    const std::string script =
        payloadgen::RenderResourceScript(t, {"p/Zelmunin.ex_", "p/Quorvik.ex_", "p/Qvreader.ex_"});
    EXPECT_NE(std::string::npos, script.find("\nUINSTALL RCDATA \"p/Zelmunin.ex_\"\n"
                                             "PROGRAM RCDATA \"p/Quorvik.ex_\"\n"
                                             "README RCDATA \"p/Qvreader.ex_\"\n"));
}

}  // namespace
