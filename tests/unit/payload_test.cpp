// The SZDD packer and decoder, the payload table's rules, and the installer's sums.
#include "tools/szdd/szdd_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/checksum.h"
#include "engine/progress_state.h"
#include "system/record_contents.h"
#include "tools/payloadgen/payload_rows.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using szdd::DecodeStatus;

Bytes Random(std::size_t n, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& c : b) c = static_cast<std::uint8_t>(rng() % alphabet);
    return b;
}

// The SZDD header (mode, missing character, expanded length), then `body`.
Bytes SzddStream(std::uint32_t length, const Bytes& body = {}, std::uint8_t last = 'x',
                 std::uint8_t mode = 'A') {
    Bytes s = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, mode, last};
    for (int shift = 0; shift < 32; shift += 8)
        s.push_back(static_cast<std::uint8_t>(length >> shift));
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

// An independent optimum: every match by plain search over the history
// (initial spaces included), then the same cost model.
std::uint64_t BruteForceOptimalBits(const Bytes& data) {
    const std::size_t n = data.size();
    Bytes buf(4096, ' ');
    buf.insert(buf.end(), data.begin(), data.end());
    std::vector<std::uint64_t> cost(n + 1, 0);
    for (std::size_t i = n; i-- > 0;) {
        cost[i] = cost[i + 1] + 9;
        const std::size_t limit = std::min<std::size_t>(18, n - i);
        for (std::size_t d = 1; d <= 4095; ++d)
            for (std::size_t len = 1;
                 len <= limit && buf[4096 + i - d + len - 1] == data[i + len - 1]; ++len)
                if (len >= 3) cost[i] = std::min(cost[i], cost[i + len] + 17);
    }
    return cost[0];
}

// Runs need the longest matches, overlapping their own output, and leading
// spaces come from the ring's initial fill; few letters make every length.
TEST(SzddParse, OptimalMatchesBruteForce) {
    std::vector<Bytes> inputs = {Bytes(300, ' '), Bytes(1000, 0)};
    const std::pair<std::size_t, unsigned> letters[] = {{300, 2}, {700, 3}, {1000, 5}, {5000, 4}};
    for (const auto& [n, alphabet] : letters) {
        inputs.push_back(Random(n, alphabet * 100 + 1, alphabet));
        for (auto& b : inputs.back()) b = static_cast<std::uint8_t>(b == 0 ? ' ' : 'a' + b);
    }
    for (const Bytes& data : inputs) {
        SCOPED_TRACE(data.size());
        Bytes packed, back;
        ASSERT_TRUE(szdd::Compress(data, szdd::CompressOptions{'x'}, &packed));
        EXPECT_EQ(szdd::Decode(packed, &back), DecodeStatus::Ok);
        EXPECT_TRUE(back == data);
        std::uint64_t bits = 0;
        // No match may read the slot being written (4096 back).
        const auto take = [&](const szdd::Token& t) {
            EXPECT_TRUE(t.literal || t.Distance() <= 4095) << "at " << t.outputOffset;
            bits += t.literal ? 9 : 17;
        };
        EXPECT_EQ(szdd::WalkTokens(packed.data(), packed.size(), take), DecodeStatus::Ok);
        EXPECT_EQ(bits, BruteForceOptimalBits(data));
    }
}

TEST(SzddDecode, StreamsMadeByHand) {
    Bytes good;
    ASSERT_TRUE(szdd::Compress(Random(3000, 41, 8), szdd::CompressOptions{'x'}, &good));
    Bytes out = {1, 2, 3}, s;
    // Every cut, in the header or in the data.
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_EQ(
            szdd::Decode(Bytes(good.begin(), good.begin() + n), &out),
            n < szdd::kHeaderSize ? DecodeStatus::TruncatedHeader : DecodeStatus::TruncatedData)
            << n;
    for (int i = 0; i <= 8; ++i) {  // the signature, then the mode ('a')
        s = good;
        s[i] ^= 0x20;
        EXPECT_EQ(szdd::Decode(s, &out),
                  i < 8 ? DecodeStatus::BadSignature : DecodeStatus::BadMode);
    }
    // A source 4096 back is the slot being written, which still holds the
    // byte of 4096 before: 4096 literals, then three bytes from 0xFF0.
    const Bytes old = Random(4096, 31);
    Bytes body, expected = old;
    expected.insert(expected.end(), old.begin(), old.begin() + 3);
    for (std::size_t i = 0; i < old.size(); ++i) {
        if (i % 8 == 0) body.push_back(0xFF);
        body.push_back(old[i]);
    }
    body.insert(body.end(), {0x00, 0xF0, 0xF0});
    // The output, none on failure.
    const std::tuple<Bytes, DecodeStatus, Bytes> made[] = {
        {SzddStream(4099, body), DecodeStatus::Ok, expected},
        // A length no data could reach.
        {SzddStream(0xFFFFFFFF, {0xFF, 'a'}), DecodeStatus::TruncatedData, {}},
        // A match one byte past the length, and one that just fits.
        {SzddStream(4, {0x01, 'a', 0xF0, 0xF1}), DecodeStatus::TooMuchData, {}},
        {SzddStream(5, {0x01, 'a', 0xF0, 0xF1}), DecodeStatus::Ok, Bytes(5, 'a')},
        // Data after the length is reached, also when that length is 0.
        {SzddStream(1, {0x01, 'a', 0x00}), DecodeStatus::TrailingData, {}},
        {SzddStream(0, {0x00}), DecodeStatus::TrailingData, {}},
    };
    for (const auto& [stream, status, expanded] : made) {
        out = {1, 2, 3};
        EXPECT_EQ(szdd::Decode(stream, &out), status);
        EXPECT_EQ(out, expanded);
    }
}

using namespace payloadgen;

// Each packed file must be the SZDD form of its own row's file: a row's
// header can be replaced with that of another stream.
TEST(PayloadTableRules, RefusesWhatWouldBreakTheInstaller) {
    const auto Rows = [](const std::string& body, int install, int shortcuts) {
        return body + "installCount " + std::to_string(install) + "\nshortcutCount " +
               std::to_string(shortcuts) + "\n";
    };
    const std::string product = Rows(
        "# comment\n"
        "Zelmunin.exe  1  UINSTALL  Uninstall\n"
        "Quorvik.exe   0  PROGRAM   Quorvik\n"
        "Qvreader.exe  0  README    Read Me\n\n",
        3, 2);
    const std::string three = "A.exe 0 RA C\nB.exe 0 RB C\nC.exe 0 RC C\n";
    const std::vector<uint32_t> same = {4000, 4000, 4000};
    const Bytes none;
    // Rows, sizes (as the packed headers state), a replaced header, part of the message.
    using Case = std::tuple<std::string, std::vector<uint32_t>, size_t, Bytes, std::string>;
    const Case cases[] = {
        {product, same, 0, none, ""},
        // A flag the installer has no folder for; a missing count would stay -1.
        {"A.exe 7 R C\n", {}, 0, none, "line 1"},
        {"A.exe 0 R C\ninstallCount 1\n", {}, 0, none, "shortcutCount is missing"},
        {Rows(three, 0, 0), same, 0, none, "at least 1"},
        {Rows(three, 4, 0), same, 0, none, "exceeds the 3 rows"},
        {Rows(three, 2, 3), same, 0, none, "shortcutCount 3 exceeds"},
        // The meter needs 6400 installed bytes and 32 bits; rows past installCount never count.
        {Rows(three, 2, 0), {3200, 3199, 0xFFFFFFFFu}, 0, none, "at least 6400"},
        {Rows(three, 2, 0), {3200, 3200, 0xFFFFFFFFu}, 0, none, ""},
        {Rows(three, 2, 0), {0x40000000u, 0x3FFFFFFFu, 0}, 0, none, ""},
        {Rows(three, 2, 0), {0x40000000u, 0x40000000u, 0}, 0, none, "must stay below 2^31"},
        {Rows("A.exe 0 SAME C\nB.exe 0 SAME D\n", 2, 0), {7000, 7000}, 0, none, "used twice"},
        // Both would be staged as "qv.ex_" in a folder that ignores case.
        {Rows("Qv.exe 0 R1 C\nQV.EXA 0 R2 D\n", 2, 0), {7000, 7000}, 0, none, "under one name"},
        {Rows("Qv.exe 0 R1 C\nQV.EXAA 0 R2 D\n", 2, 0), {7000, 7000}, 0, none, ""},
        {product, same, 1, SzddStream(3999, {}, 'e'), "Quorvik.exe: packed header says 3999"},
        {product, same, 2, SzddStream(4000, {}, 'x'), "wrong last character"},
        {product, same, 0, SzddStream(4000, {}, 'e', 'B'), "not an SZDD stream"},
        {product, same, 0, {'S', 'Z', 'D', 'D'}, "not an SZDD stream"},
    };
    for (const auto& [rows, sizes, replaced, stream, problem] : cases) {
        Table t;
        std::string got = ParseRows(rows, &t);
        std::vector<PackedHeader> headers;
        for (size_t i = 0; got.empty() && i < sizes.size(); ++i) {
            t.rows.at(i).unpackedSize = sizes[i];
            headers.push_back(
                ReadPackedHeader(SzddStream(sizes[i], {}, t.rows[i].fileName.back())));
        }
        if (!stream.empty()) headers[replaced] = ReadPackedHeader(stream);
        if (got.empty()) got = CheckTable(t, headers);
        EXPECT_EQ(problem.empty(), got.empty()) << rows << ": " << got;
        EXPECT_NE(std::string::npos, got.find(problem)) << rows << ": " << got;
    }
}

// The installer checks 32 bytes at a time: "123456789" in pieces must still
// give the standard check value.
TEST(Checksum, KnownValuesInPieces) {
    const unsigned char check[] = "123456789";
    EXPECT_EQ(0xCBF43926u,
              Crc32Update(Crc32Update(Crc32Update(0, check, 2), check + 2, 6), check + 8, 1));
    EXPECT_EQ(0xD202EF8Du, Crc32Update(0, check + 9, 1));  // the terminator: one zero byte
}

std::vector<PayloadEntry> Entries(const std::vector<unsigned int>& sizes) {
    std::vector<PayloadEntry> rows(sizes.size(), PayloadEntry{});
    for (size_t i = 0; i < sizes.size(); ++i) rows[i].unpackedSize = sizes[i];
    return rows;
}

// The sizes the installer's own table had when the meter was designed.
const std::vector<unsigned int> kDesignSizes = {36864, 572928, 45056, 40417,
                                                13536, 1476,   56832, 32768};

ProgressState Prepared(const std::vector<unsigned int>& sizes, int installed) {
    ProgressState s;
    StartProgress(&s);
    SetUpProgressStep(&s, Entries(sizes).data(), installed);
    return s;
}

// A step is 1/200 of the installed bytes in 32-byte reads, at least one: the
// design payload makes 201 steps, ending at 100.5%.  The estimated size is the
// sum rounded up by hand: 5,121 bytes are 6 KB; 2^31 - 1 (the most) 2,097,152.
TEST(InstalledBytes, MakeTheMeterStepsAndTheEstimatedSize) {
    ProgressState s = Prepared(kDesignSizes, 8);
    EXPECT_EQ(799877, s.totalBytes);
    EXPECT_EQ(124, s.blockStep);  // 799,877 / 6,400 = 124.98
    EXPECT_EQ(609792, Prepared(kDesignSizes, 2).totalBytes);
    EXPECT_EQ(1, Prepared({100, 200}, 2).blockStep);
    int repaints = 0;
    for (unsigned int size : kDesignSizes) {
        for (unsigned int r = 0; r < size / 32 + 1; ++r) repaints += TakeReadStep(&s);
    }
    EXPECT_EQ(201, repaints);
    EXPECT_FLOAT_EQ(100.5f, s.fraction);
    EXPECT_EQ(100, s.percent);  // 25004 reads / 248
    ClampProgress(&s);
    EXPECT_FLOAT_EQ(100.0f, s.fraction);
    EXPECT_EQ(100, s.percent);
    // The next phase starts from zero; the reads go on counting.
    ResetProgress(&s, RemovingColour);
    EXPECT_FLOAT_EQ(0.0f, s.fraction);
    EXPECT_EQ(25004, s.blockCount);
    const std::vector<PayloadEntry> rows =
        Entries({1024, 1, 4096, 572928, 45056, 40417, 0x40000000u, 0x3FFFFFFFu});
    const unsigned long kilobytes[] = {0, 1, 2, 6, 565, 609, 648};
    for (int count = 0; count <= 6; ++count)
        EXPECT_EQ(kilobytes[count], EstimatedSizeKb(rows.data(), count)) << count;
    EXPECT_EQ(2097152u, EstimatedSizeKb(rows.data() + 6, 2));
}

}  // namespace
