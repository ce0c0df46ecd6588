// The SZDD packer and its reference decoder: round trips, the quality of the
// parse, and how the decoder reads and refuses streams made by hand.
#include "tools/szdd/szdd_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/unit/helpers.h"

namespace {

using szdd::DecodeStatus;

Bytes Random(std::size_t n, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& c : b) c = static_cast<std::uint8_t>(rng() % alphabet);
    return b;
}

std::vector<szdd::Token> Tokens(const Bytes& stream) {
    std::vector<szdd::Token> tokens;
    EXPECT_EQ(szdd::WalkTokens(stream.data(), stream.size(),
                               [&](const szdd::Token& t) { tokens.push_back(t); }),
              DecodeStatus::Ok);
    return tokens;
}

std::uint64_t TokenBits(const Bytes& stream) {
    std::uint64_t bits = 0;
    for (const auto& t : Tokens(stream)) bits += t.literal ? 9 : 17;
    return bits;
}

// Packs, checks that no match reads the slot being written (4096 back),
// decodes and compares.  Returns the stream.
Bytes CheckedRoundTrip(const Bytes& data) {
    Bytes packed;
    EXPECT_TRUE(szdd::Compress(data, szdd::CompressOptions{'x'}, &packed));
    for (const auto& t : Tokens(packed))
        EXPECT_TRUE(t.literal || t.Distance() <= 4095)
            << "match from " << t.Distance() << " back at " << t.outputOffset;
    Bytes back;
    EXPECT_EQ(szdd::Decode(packed, &back), DecodeStatus::Ok);
    EXPECT_TRUE(back == data) << "round trip differs, size " << data.size();
    return packed;
}

TEST(SzddRoundTrip, RunsPackIntoTheLongestMatches) {
    // Spaces come from the ring's initial fill, also once it is overwritten.
    for (const auto& t : Tokens(CheckedRoundTrip(Bytes(5000, ' ')))) EXPECT_FALSE(t.literal);
    // Other runs: a literal, then the longest matches, overlapping their own
    // output: more than eight output bytes for each byte of the stream.
    for (std::uint8_t fill : {std::uint8_t{0}, std::uint8_t{0xFF}}) {
        const auto tokens = Tokens(CheckedRoundTrip(Bytes(100000, fill)));
        ASSERT_EQ(tokens.size(), 1 + (100000 - 1 + 17) / 18);
        EXPECT_TRUE(tokens[0].literal);
        EXPECT_EQ(tokens[1].Distance(), 1);
    }
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

TEST(SzddParse, OptimalMatchesBruteForce) {
    const std::pair<std::size_t, unsigned> cases[] = {{300, 2}, {700, 3}, {1000, 5}, {5000, 4}};
    for (const auto& [n, alphabet] : cases) {
        SCOPED_TRACE(n);
        Bytes data = Random(n, alphabet * 100 + 1, alphabet);
        for (auto& b : data) b = static_cast<std::uint8_t>(b == 0 ? ' ' : 'a' + b);
        EXPECT_EQ(TokenBits(CheckedRoundTrip(data)), BruteForceOptimalBits(data));
    }
}

// A source 4096 back is the slot being written, which still holds the byte
// of 4096 before: 4096 literals, then three bytes from 0xFF0.
TEST(SzddDecode, ASourceOf4096BackReadsTheOldByte) {
    const Bytes data = Random(4096, 31);
    Bytes body;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0) body.push_back(0xFF);
        body.push_back(data[i]);
    }
    body.insert(body.end(), {0x00, 0xF0, 0xF0});
    Bytes out;
    ASSERT_EQ(szdd::Decode(SzddStream(4099, body), &out), DecodeStatus::Ok);
    EXPECT_EQ(Bytes(out.begin() + 4096, out.end()), Bytes(data.begin(), data.begin() + 3));
}

TEST(SzddDecode, Errors) {
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
    // A length no data could reach.
    EXPECT_EQ(szdd::Decode(SzddStream(0xFFFFFFFF, {0xFF, 'a'}), &out), DecodeStatus::TruncatedData);

    // A match one byte past the length, and one that just fits.
    EXPECT_EQ(szdd::Decode(SzddStream(4, {0x01, 'a', 0xF0, 0xF1}), &out),
              DecodeStatus::TooMuchData);
    EXPECT_EQ(szdd::Decode(SzddStream(5, {0x01, 'a', 0xF0, 0xF1}), &out), DecodeStatus::Ok);

    // Data after the length is reached, also when that length is 0.
    EXPECT_EQ(szdd::Decode(SzddStream(1, {0x01, 'a', 0x00}), &out), DecodeStatus::TrailingData);
    EXPECT_EQ(szdd::Decode(SzddStream(0, {0x00}), &out), DecodeStatus::TrailingData);
    EXPECT_TRUE(out.empty());  // no partial output on failure
}

}  // namespace
