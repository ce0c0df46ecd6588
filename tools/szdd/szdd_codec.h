// SZDD streams: the compressed-file format that the Windows LZ32 library
// expands.  Pure functions, no I/O.
//
// Stream layout:
//   "SZDD" 0x88 0xF0 0x27 0x33   signature
//   'A'                           compression mode
//   missing character             last character of the original name
//   uint32 little-endian          expanded length
//   LZSS data                     to the end of the stream
//
// LZSS data: groups of one control byte and up to eight tokens.  Control
// bits, least significant first: 1 = one literal byte, 0 = a two-byte match
// b0 b1 naming ring position b0 | (b1 & 0xF0) << 4 and length (b1 & 0x0F) + 3.
// The 4096-byte ring starts filled with spaces and the first output byte is
// written at position 0xFF0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace szdd {

constexpr std::size_t kHeaderSize = 14;
constexpr unsigned kRingSize = 4096;
constexpr unsigned kRingStart = 0xFF0;
constexpr unsigned kMinMatch = 3;
// The four-bit length field, plus kMinMatch.
constexpr unsigned kMaxMatch = 18;
// A source 4096 back is the byte being overwritten; stay one short of it.
constexpr unsigned kMaxDistance = kRingSize - 1;
constexpr std::uint64_t kMaxExpandedLength = 0xFFFFFFFFu;

enum class Parse {
    Optimal,  // minimum size for the format's token costs
    Greedy,   // longest match at each step; kept as a yardstick
};

struct CompressOptions {
    std::uint8_t missingChar = 0;
    Parse parse = Parse::Optimal;
};

// Complete SZDD stream for `data`.  Returns false only when the data is
// longer than the header's 32-bit length field can state.
bool Compress(const std::uint8_t* data, std::size_t size, const CompressOptions& options,
              std::vector<std::uint8_t>* out);
bool Compress(const std::vector<std::uint8_t>& data, const CompressOptions& options,
              std::vector<std::uint8_t>* out);

enum class DecodeStatus {
    Ok,
    TruncatedHeader,  // shorter than the 14-byte header
    BadSignature,
    BadMode,        // mode byte is not 'A'
    TruncatedData,  // data ends before the expanded length is reached
    TooMuchData,    // a match reaches past the expanded length
    TrailingData,   // bytes remain after the expanded length is reached
};

const char* DecodeStatusText(DecodeStatus status);

struct Header {
    std::uint8_t mode = 0;
    std::uint8_t missingChar = 0;
    std::uint32_t expandedLength = 0;
};

// Checks size, signature and mode.
DecodeStatus ParseHeader(const std::uint8_t* stream, std::size_t size, Header* header);

// Expands a whole stream.  `out` holds the expanded bytes only when Ok is
// returned.
DecodeStatus Decode(const std::uint8_t* stream, std::size_t size, std::vector<std::uint8_t>* out,
                    Header* header = nullptr);
DecodeStatus Decode(const std::vector<std::uint8_t>& stream, std::vector<std::uint8_t>* out,
                    Header* header = nullptr);

// One token of the LZSS data as the decoder meets it.
struct Token {
    std::uint32_t outputOffset;  // where its first byte lands in the output
    bool literal;
    std::uint8_t value;          // literal byte
    std::uint16_t ringPosition;  // match source
    std::uint8_t length;         // match length, 3..18; 1 for a literal
    // Distance back from the write position, 1..4096 (4096 is the byte that
    // is about to be overwritten).
    std::uint16_t Distance() const {
        unsigned write = (kRingStart + outputOffset) & (kRingSize - 1);
        unsigned d = (write - ringPosition) & (kRingSize - 1);
        return static_cast<std::uint16_t>(d == 0 ? kRingSize : d);
    }
};

// Walks the tokens of a stream with the same checks as Decode, calling
// `visit` for each; lets tests inspect what an encoder chose.
DecodeStatus WalkTokens(const std::uint8_t* stream, std::size_t size,
                        const std::function<void(const Token&)>& visit);

}  // namespace szdd
