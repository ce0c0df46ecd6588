#include "tools/szdd/szdd_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using szdd::DecodeStatus;

Bytes FromString(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Random(std::size_t n, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& c : b) c = static_cast<std::uint8_t>(rng() % alphabet);
    return b;
}

// Text-like data: words from a small vocabulary, so that there are many
// matches of every length and distance.
Bytes Words(std::size_t n, unsigned seed) {
    static const char* const kWords[] = {
        "the ",    "setup ",    "program ",  "installs ", "files ",      "into ",
        "folder ", "Windows ",  "a ",        "of ",       "and ",        "product\r\n",
        "group ",  "registry ", "shortcut ", "\t",        "compressed ", "expanded "};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        const char* w = kWords[rng() % (sizeof kWords / sizeof kWords[0])];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(n);
    return b;
}

Bytes Pack(const Bytes& data, szdd::Parse parse = szdd::Parse::Optimal) {
    Bytes packed;
    EXPECT_TRUE(szdd::Compress(data, szdd::CompressOptions{'x', parse}, &packed));
    return packed;
}

std::vector<szdd::Token> Tokens(const Bytes& stream) {
    std::vector<szdd::Token> tokens;
    EXPECT_EQ(szdd::WalkTokens(stream.data(), stream.size(),
                               [&](const szdd::Token& t) { tokens.push_back(t); }),
              DecodeStatus::Ok);
    return tokens;
}

// Bits as the parse counts them.
std::uint64_t TokenBits(const Bytes& stream) {
    std::uint64_t bits = 0;
    for (const auto& t : Tokens(stream)) bits += t.literal ? 9 : 17;
    return bits;
}

// Packs, checks that no match reads the slot being written (4096 back),
// decodes and compares.  Returns the stream.
Bytes CheckedRoundTrip(const Bytes& data, szdd::Parse parse = szdd::Parse::Optimal) {
    Bytes packed = Pack(data, parse);
    for (const auto& t : Tokens(packed))
        EXPECT_TRUE(t.literal || t.Distance() <= 4095)
            << "match of " << int{t.length} << " from " << t.Distance() << " back at "
            << t.outputOffset;
    Bytes back;
    EXPECT_EQ(szdd::Decode(packed, &back), DecodeStatus::Ok);
    EXPECT_TRUE(back == data) << "round trip differs, size " << data.size();
    return packed;
}

// A stream by hand: header with missing character 'x', then the given bytes.
Bytes Stream(std::uint32_t length, const Bytes& body) {
    Bytes s = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'x'};
    for (int shift = 0; shift < 32; shift += 8)
        s.push_back(static_cast<std::uint8_t>(length >> shift));
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

TEST(SzddHeader, Fields) {
    CheckedRoundTrip(Bytes{});  // the header alone
    const Bytes packed = Pack(Random(0x012345, 1));
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + szdd::kHeaderSize), Stream(0x012345, {}));
    szdd::Header header;
    ASSERT_EQ(szdd::ParseHeader(packed.data(), packed.size(), &header), DecodeStatus::Ok);
    EXPECT_EQ(header.missingChar, 'x');
    EXPECT_EQ(header.expandedLength, 0x012345u);
}

TEST(SzddRoundTrip, SizesAroundTheWindow) {
    for (std::size_t n :
         {1, 2, 3, 4, 15, 16, 17, 18, 19, 100, 4094, 4095, 4096, 4097, 8191, 8192, 8193, 12289}) {
        SCOPED_TRACE(n);
        const unsigned seed = static_cast<unsigned>(n);
        CheckedRoundTrip(Random(n, seed));
        CheckedRoundTrip(Random(n, seed, 3));
        CheckedRoundTrip(Words(n, seed));
    }
}

TEST(SzddRoundTrip, Runs) {
    // Spaces come from the ring's initial fill, all of them, also once real
    // output has started to overwrite it.
    for (const auto& t : Tokens(CheckedRoundTrip(Bytes(5000, ' ')))) EXPECT_FALSE(t.literal);
    // Other runs: a literal, then matches of the longest length that overlap
    // their own output, the first one byte back.
    for (std::uint8_t fill : {std::uint8_t{0}, std::uint8_t{0xFF}}) {
        const auto tokens = Tokens(CheckedRoundTrip(Bytes(100000, fill)));
        ASSERT_EQ(tokens.size(), 1 + (100000 - 1 + 17) / 18);
        EXPECT_TRUE(tokens[0].literal);
        EXPECT_EQ(tokens[1].Distance(), 1);
    }
}

TEST(SzddLimits, SourcesUpTo4095Back) {
    // A block repeated 4095 bytes later is copied whole; 4096 bytes later it is
    // out of reach, which the checked round trip sees in the token stream.
    for (std::size_t gap : {4095u, 4096u}) {
        SCOPED_TRACE(gap);
        Bytes data = Random(gap + 200, 12);
        std::copy(data.begin(), data.begin() + 200, data.begin() + gap);
        const auto tokens = Tokens(CheckedRoundTrip(data));
        if (gap == 4095)
            for (const auto& t : tokens) EXPECT_FALSE(t.literal && t.outputOffset >= gap);
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

TEST(SzddParse, OptimalNeverLargerThanGreedy) {
    // One input spans many windows: text, noise, a long run, text again.
    Bytes mixed = Words(150000, 3);
    for (const Bytes& more : {Random(100000, 4), Bytes(30000, 0), Words(70000, 5)})
        mixed.insert(mixed.end(), more.begin(), more.end());
    const Bytes inputs[] = {mixed, Random(20000, 22, 4), Random(5000, 23), Bytes(9000, 'z'),
                            Words(100, 24)};
    bool strictlySmaller = false;
    for (const Bytes& data : inputs) {
        const std::uint64_t optimal = TokenBits(CheckedRoundTrip(data, szdd::Parse::Optimal));
        const std::uint64_t greedy = TokenBits(CheckedRoundTrip(data, szdd::Parse::Greedy));
        EXPECT_LE(optimal, greedy);
        strictlySmaller = strictlySmaller || optimal < greedy;
    }
    EXPECT_TRUE(strictlySmaller);
}

TEST(SzddDecode, InitialFillOverlapAndWrap) {
    // Match of 5 from ring position 0 (still spaces), then 'x', then a match
    // of 6 from the 'x' itself at 0xFF5: each copied byte feeds the next.
    Bytes out;
    ASSERT_EQ(szdd::Decode(Stream(12, {0x02, 0x00, 0x02, 'x', 0xF5, 0xF3}), &out),
              DecodeStatus::Ok);
    EXPECT_EQ(out, FromString("     xxxxxxx"));

    // 'a'..'p' fill 0xFF0..0xFFF; a match from 0xFFE runs over the ring's
    // end into 0x000 and 0x001, which it has just written itself; then a
    // match from 0x010, still holding the initial spaces.
    Bytes body = FromString("-abcdefgh-ijklmnop");
    body[0] = body[9] = 0xFF;
    body.insert(body.end(), {0x00, 0xFE, 0xF1, 0x10, 0x00});
    ASSERT_EQ(szdd::Decode(Stream(23, body), &out), DecodeStatus::Ok);
    EXPECT_EQ(out, FromString("abcdefghijklmnopopop   "));

    // A source 4096 back is the slot being written: it still holds the old
    // byte when read.
    const Bytes data = Random(4096, 31);
    body.clear();
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0) body.push_back(0xFF);
        body.push_back(data[i]);
    }
    body.insert(body.end(), {0x00, 0xF0, 0xF0});  // 0xFF0, length 3
    ASSERT_EQ(szdd::Decode(Stream(4099, body), &out), DecodeStatus::Ok);
    EXPECT_EQ(Bytes(out.begin() + 4096, out.end()), Bytes(data.begin(), data.begin() + 3));
}

TEST(SzddDecode, NineOutputBytesPerDataByte) {
    // A zero control byte and eight 18-byte matches of the initial spaces: 17
    // data bytes give 144, more than eight per data byte.
    Bytes body = {0x00};
    for (int i = 0; i < 8; ++i) body.insert(body.end(), {0x00, 0x0F});
    const Bytes stream = Stream(144, body);
    ASSERT_EQ(stream.size(), 31u);
    Bytes out;
    ASSERT_EQ(szdd::Decode(stream, &out), DecodeStatus::Ok);
    EXPECT_EQ(out, Bytes(144, ' '));
}

TEST(SzddDecode, Errors) {
    const Bytes good = Pack(Words(3000, 41));
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
    EXPECT_EQ(szdd::Decode(Stream(0xFFFFFFFF, {0xFF, 'a'}), &out), DecodeStatus::TruncatedData);

    // A match one byte past the length, and one that just fits.
    EXPECT_EQ(szdd::Decode(Stream(4, {0x01, 'a', 0xF0, 0xF1}), &out), DecodeStatus::TooMuchData);
    EXPECT_EQ(szdd::Decode(Stream(5, {0x01, 'a', 0xF0, 0xF1}), &out), DecodeStatus::Ok);

    // Data after the length is reached, also when that length is 0.
    EXPECT_EQ(szdd::Decode(Stream(1, {0x01, 'a', 0x00}), &out), DecodeStatus::TrailingData);
    EXPECT_EQ(szdd::Decode(Stream(0, {0x00}), &out), DecodeStatus::TrailingData);
    EXPECT_TRUE(out.empty());  // no partial output on failure

    // The walk reports what the decoder reports.
    s.assign(good.begin(), good.end() - 1);
    EXPECT_EQ(szdd::WalkTokens(s.data(), s.size(), [](const szdd::Token&) {}),
              DecodeStatus::TruncatedData);
}

}  // namespace
