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

Bytes Pack(const Bytes& data, szdd::Parse parse = szdd::Parse::Optimal,
           std::uint8_t missing = 'e') {
    szdd::CompressOptions options;
    options.missingChar = missing;
    options.parse = parse;
    Bytes packed;
    EXPECT_TRUE(szdd::Compress(data, options, &packed));
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

// Packs, checks every match against the format's limits for all readers,
// decodes and compares.  Returns the stream.
Bytes CheckedRoundTrip(const Bytes& data, szdd::Parse parse = szdd::Parse::Optimal) {
    Bytes packed = Pack(data, parse);
    for (const auto& t : Tokens(packed)) {
        if (t.literal) continue;
        EXPECT_GE(t.length, szdd::kMinMatch);
        EXPECT_LE(t.length, 16u) << "at offset " << t.outputOffset;
        EXPECT_GE(t.Distance(), 1u);
        EXPECT_LE(t.Distance(), 4095u) << "at offset " << t.outputOffset;
    }
    Bytes back;
    EXPECT_EQ(szdd::Decode(packed, &back), DecodeStatus::Ok);
    EXPECT_TRUE(back == data) << "round trip differs, size " << data.size();
    // Never worse than all literals.
    EXPECT_LE(packed.size(), szdd::kHeaderSize + data.size() + (data.size() + 7) / 8);
    return packed;
}

// A stream by hand: header, then the given data bytes.
Bytes Stream(std::uint32_t length, const Bytes& body, std::uint8_t mode = 'A') {
    Bytes s = {'S',
               'Z',
               'D',
               'D',
               0x88,
               0xF0,
               0x27,
               0x33,
               mode,
               'x',
               static_cast<std::uint8_t>(length),
               static_cast<std::uint8_t>(length >> 8),
               static_cast<std::uint8_t>(length >> 16),
               static_cast<std::uint8_t>(length >> 24)};
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

TEST(SzddHeader, FieldsAndEmptyInput) {
    Bytes packed = Pack(Bytes{}, szdd::Parse::Optimal, 'l');
    const Bytes expected = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'l', 0, 0, 0, 0};
    EXPECT_EQ(packed, expected);

    Bytes data = Random(0x012345, 1);
    packed = Pack(data, szdd::Parse::Optimal, 'p');
    szdd::Header header;
    ASSERT_EQ(szdd::ParseHeader(packed.data(), packed.size(), &header), DecodeStatus::Ok);
    EXPECT_EQ(header.mode, 'A');
    EXPECT_EQ(header.missingChar, 'p');
    EXPECT_EQ(header.expandedLength, 0x012345u);
    EXPECT_EQ(packed[10], 0x45);
    EXPECT_EQ(packed[11], 0x23);
    EXPECT_EQ(packed[12], 0x01);
    EXPECT_EQ(packed[13], 0x00);
}

TEST(SzddRoundTrip, SmallAndWindowSizes) {
    const std::size_t sizes[] = {1,   2,    3,    4,    15,   16,   17,   18,   19,
                                 100, 4094, 4095, 4096, 4097, 8191, 8192, 8193, 12289};
    for (std::size_t n : sizes) {
        SCOPED_TRACE(n);
        CheckedRoundTrip(Random(n, static_cast<unsigned>(n)));
        CheckedRoundTrip(Random(n, static_cast<unsigned>(n), 3));
        CheckedRoundTrip(Words(n, static_cast<unsigned>(n)));
        CheckedRoundTrip(Words(n, static_cast<unsigned>(n)), szdd::Parse::Greedy);
    }
    // One byte: a control byte with one literal.
    const Bytes one = Pack(Bytes{0x41}, szdd::Parse::Optimal, 'x');
    EXPECT_EQ(one, Stream(1, {0x01, 0x41}));
}

TEST(SzddRoundTrip, RunsOverlapTheirOwnOutput) {
    for (std::uint8_t fill : {std::uint8_t{0}, std::uint8_t{0xFF}}) {
        const Bytes data(100000, fill);
        const Bytes packed = CheckedRoundTrip(data);
        const auto tokens = Tokens(packed);
        // One literal, then matches one byte back of the longest length.
        ASSERT_GT(tokens.size(), 2u);
        EXPECT_TRUE(tokens[0].literal);
        EXPECT_FALSE(tokens[1].literal);
        EXPECT_EQ(tokens[1].Distance(), 1);
        EXPECT_EQ(tokens[1].length, 16);
        const std::size_t matches = (data.size() - 1 + 15) / 16;
        EXPECT_LE(packed.size(), 14 + 1 + 2 * matches + (matches + 1 + 7) / 8);
    }
    // A short period.
    Bytes abc;
    for (int i = 0; i < 5000; ++i) abc.push_back(static_cast<std::uint8_t>("abc"[i % 3]));
    CheckedRoundTrip(abc);
}

TEST(SzddRoundTrip, LeadingSpacesComeFromTheInitialFill) {
    Bytes data(4000, ' ');
    Bytes packed = CheckedRoundTrip(data);
    for (const auto& t : Tokens(packed)) EXPECT_FALSE(t.literal);

    data = FromString(std::string(37, ' ') + "indented text" + std::string(300, ' ') + "x");
    packed = CheckedRoundTrip(data);
    const auto tokens = Tokens(packed);
    ASSERT_FALSE(tokens.empty());
    EXPECT_FALSE(tokens[0].literal);
    // The source lies before anything was written.
    EXPECT_GT(tokens[0].Distance(), tokens[0].outputOffset);
    // Also past the point where real output has been written.
    CheckedRoundTrip(Bytes(5000, ' '));
    Bytes late = Words(4090, 7);
    late.insert(late.end(), 40, ' ');
    CheckedRoundTrip(late);
}

TEST(SzddRoundTrip, SeveralMegabytes) {
    Bytes data = Words(1500000, 3);
    const Bytes noise = Random(1000000, 4);
    data.insert(data.end(), noise.begin(), noise.end());
    data.insert(data.end(), 300000, 0);
    const Bytes more = Words(700000, 5);
    data.insert(data.end(), more.begin(), more.end());
    const Bytes packed = CheckedRoundTrip(data);
    EXPECT_LT(packed.size(), data.size() * 3 / 4);
}

TEST(SzddLimits, NeverFartherThan4095) {
    // Blocks whose only earlier copy is 4096 or more back must not be taken
    // from there; 4095 back must be found.
    for (std::size_t gap : {4094u, 4095u, 4096u, 4097u}) {
        SCOPED_TRACE(gap);
        const Bytes block = Random(200, 11);
        Bytes data = block;
        const Bytes filler = Random(gap - block.size(), 12);
        data.insert(data.end(), filler.begin(), filler.end());
        data.insert(data.end(), block.begin(), block.end());
        const Bytes packed = CheckedRoundTrip(data);
        // Bytes of the second block that matches produce.
        std::size_t copied = 0;
        for (const auto& t : Tokens(packed)) {
            if (t.literal) continue;
            const std::size_t begin = std::max<std::size_t>(t.outputOffset, gap);
            const std::size_t end = t.outputOffset + t.length;
            if (end > begin) copied += end - begin;
        }
        if (gap <= 4095) {
            EXPECT_EQ(copied, block.size());
        } else {
            // Its only copy is out of reach: at most a chance short match.
            EXPECT_LT(copied, 10u);
        }
    }
}

// An independent optimum: longest matches by plain search over the
// history (initial spaces included), then the same cost model.
std::uint64_t BruteForceOptimalBits(const Bytes& data) {
    const std::size_t n = data.size();
    Bytes buf(4096, ' ');
    buf.insert(buf.end(), data.begin(), data.end());
    std::vector<unsigned> longest(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t pos = 4096 + i;
        const std::size_t limit = std::min<std::size_t>(16, n - i);
        for (std::size_t d = 1; d <= 4095; ++d) {
            std::size_t len = 0;
            while (len < limit && buf[pos - d + len] == buf[pos + len]) ++len;
            longest[i] = std::max<unsigned>(longest[i], static_cast<unsigned>(len));
        }
    }
    std::vector<std::uint64_t> cost(n + 1, 0);
    for (std::size_t i = n; i-- > 0;) {
        cost[i] = cost[i + 1] + 9;
        for (unsigned len = 3; len <= longest[i]; ++len)
            cost[i] = std::min(cost[i], cost[i + len] + 17);
    }
    return cost[0];
}

TEST(SzddParse, OptimalMatchesBruteForce) {
    struct Case {
        std::size_t n;
        unsigned alphabet;
    };
    for (const Case& c : {Case{300, 2}, Case{700, 3}, Case{1000, 5}, Case{5000, 4}}) {
        SCOPED_TRACE(c.n);
        Bytes data = Random(c.n, c.alphabet * 100 + 1, c.alphabet);
        for (auto& b : data) b = static_cast<std::uint8_t>(b == 0 ? ' ' : 'a' + b);
        const Bytes packed = CheckedRoundTrip(data);
        EXPECT_EQ(TokenBits(packed), BruteForceOptimalBits(data));
    }
}

TEST(SzddParse, OptimalNeverLargerThanGreedy) {
    const Bytes inputs[] = {Words(30000, 21), Random(20000, 22, 4), Random(5000, 23),
                            Bytes(9000, 'z'), Words(100, 24)};
    bool strictlySmaller = false;
    for (const Bytes& data : inputs) {
        const Bytes optimal = CheckedRoundTrip(data, szdd::Parse::Optimal);
        const Bytes greedy = CheckedRoundTrip(data, szdd::Parse::Greedy);
        EXPECT_LE(optimal.size(), greedy.size());
        EXPECT_LE(TokenBits(optimal), TokenBits(greedy));
        strictlySmaller = strictlySmaller || optimal.size() < greedy.size();
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
    Bytes body = {0xFF};
    for (char c = 'a'; c <= 'h'; ++c) body.push_back(static_cast<std::uint8_t>(c));
    body.push_back(0xFF);
    for (char c = 'i'; c <= 'p'; ++c) body.push_back(static_cast<std::uint8_t>(c));
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
    ASSERT_EQ(out.size(), 4099u);
    EXPECT_EQ(out[4096], data[0]);
    EXPECT_EQ(out[4097], data[1]);
    EXPECT_EQ(out[4098], data[2]);
}

TEST(SzddDecode, Errors) {
    const Bytes good = Pack(Words(3000, 41));
    Bytes out = {1, 2, 3};
    Bytes s;

    for (std::size_t n = 0; n < szdd::kHeaderSize; ++n)
        EXPECT_EQ(szdd::Decode(Bytes(good.begin(), good.begin() + n), &out),
                  DecodeStatus::TruncatedHeader)
            << n;
    for (int i = 0; i < 8; ++i) {
        s = good;
        s[i] ^= 0x20;
        EXPECT_EQ(szdd::Decode(s, &out), DecodeStatus::BadSignature) << i;
    }
    for (std::uint8_t mode : {'a', 'B', '\0'}) {
        s = good;
        s[8] = mode;
        EXPECT_EQ(szdd::Decode(s, &out), DecodeStatus::BadMode);
    }

    // Every cut inside the data.
    for (std::size_t n = szdd::kHeaderSize; n < good.size(); ++n)
        ASSERT_EQ(szdd::Decode(Bytes(good.begin(), good.begin() + n), &out),
                  DecodeStatus::TruncatedData)
            << n;
    // A length no data could reach, and one that is simply too long.
    s = good;
    s[10] = s[11] = s[12] = s[13] = 0xFF;
    EXPECT_EQ(szdd::Decode(s, &out), DecodeStatus::TruncatedData);
    EXPECT_EQ(szdd::Decode(Stream(4, {0x0F, 'a', 'b', 'c'}), &out), DecodeStatus::TruncatedData);
    // Half a match.
    EXPECT_EQ(szdd::Decode(Stream(4, {0x01, 'a', 0x00}), &out), DecodeStatus::TruncatedData);
    EXPECT_EQ(szdd::Decode(Stream(1, {}), &out), DecodeStatus::TruncatedData);

    // A match that reaches past the length.
    EXPECT_EQ(szdd::Decode(Stream(4, {0x01, 'a', 0xF0, 0xF1}), &out), DecodeStatus::TooMuchData);
    EXPECT_EQ(szdd::Decode(Stream(5, {0x01, 'a', 0xF0, 0xF1}), &out), DecodeStatus::Ok);

    // Data after the length is reached: an extra byte, an extra token, or a
    // whole extra group.
    s = good;
    s.push_back(0);
    EXPECT_EQ(szdd::Decode(s, &out), DecodeStatus::TrailingData);
    EXPECT_EQ(szdd::Decode(Stream(1, {0x03, 'a', 'b'}), &out), DecodeStatus::TrailingData);
    EXPECT_EQ(szdd::Decode(Stream(2, {0x03, 'a', 'b', 0xFF, 'c'}), &out),
              DecodeStatus::TrailingData);
    EXPECT_EQ(szdd::Decode(Stream(0, {0x00}), &out), DecodeStatus::TrailingData);
    EXPECT_TRUE(out.empty());  // no partial output on failure

    // The walk reports what the decoder reports.
    s = good;
    s.pop_back();
    EXPECT_EQ(szdd::WalkTokens(s.data(), s.size(), [](const szdd::Token&) {}),
              DecodeStatus::TruncatedData);
    for (DecodeStatus st :
         {DecodeStatus::TruncatedHeader, DecodeStatus::BadSignature, DecodeStatus::BadMode,
          DecodeStatus::TruncatedData, DecodeStatus::TooMuchData, DecodeStatus::TrailingData})
        EXPECT_STRNE(szdd::DecodeStatusText(st), szdd::DecodeStatusText(DecodeStatus::Ok));
}

}  // namespace
