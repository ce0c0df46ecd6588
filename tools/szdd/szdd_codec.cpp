#include "tools/szdd/szdd_codec.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace szdd {
namespace {

constexpr std::uint8_t kSignature[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::uint8_t kModeA = 'A';
constexpr std::uint8_t kSpace = 0x20;
constexpr unsigned kRingMask = kRingSize - 1;

// Token costs in bits, control bit included.
constexpr unsigned kLiteralBits = 9;
constexpr unsigned kMatchBits = 17;

// ---------------------------------------------------------------------------
// Match finding.
//
// The ring starts full of spaces, so the encoder sees the input preceded by
// a virtual history of kRingSize spaces: a match may start in that history,
// run on into the real bytes and overlap the bytes it produces, exactly as
// the decoder's ring behaves.  Sources are at most kMaxDistance back, so no
// source byte has been overwritten by the time it is read.
//
// Every position is entered into a binary search tree ordered by its next
// kMaxMatch bytes (one tree per hash of the first three bytes).  A new
// position becomes the root and the old tree is split around it, so every
// node is newer than its descendants: a node that has left the window takes
// its whole subtree with it, and the split path passes the new string's
// nearest neighbours in sort order, which hold its longest match.  With the
// walk bounded only by the window this finds the longest match at every
// position, which is all the parse needs: the costs do not depend on the
// distance, and every shorter length of the same match is also available.
class MatchFinder {
public:
    MatchFinder(const std::uint8_t* data, std::size_t size)
        : size_(size),
          buf_(kRingSize + size + kMaxMatch, 0),
          head_(kHashSize, 0),
          tree_(2 * kRingSize, 0) {
        std::memset(buf_.data(), kSpace, kRingSize);
        if (size != 0) std::memcpy(buf_.data() + kRingSize, data, size);
    }

    // Longest match (length 0 when below kMinMatch) and its distance for each
    // input position.
    void Run(std::uint8_t* lengths, std::uint16_t* distances) {
        const std::size_t total = kRingSize + size_;
        // Position 0 of the history is never within reach of the input (and 0
        // serves as the empty link), so the history is entered from 1.
        for (std::size_t pos = 1; pos < total; ++pos) {
            unsigned length = 0, distance = 0;
            const std::size_t avail = total - pos;
            if (avail >= kMinMatch) {
                const unsigned limit =
                    static_cast<unsigned>(std::min<std::size_t>(avail, kMaxMatch));
                InsertAndFind(pos, limit, &length, &distance);
            }
            if (pos >= kRingSize) {
                const std::size_t i = pos - kRingSize;
                lengths[i] = static_cast<std::uint8_t>(length >= kMinMatch ? length : 0);
                distances[i] = static_cast<std::uint16_t>(distance);
            }
        }
    }

private:
    static constexpr unsigned kHashBits = 15;
    static constexpr std::size_t kHashSize = std::size_t{1} << kHashBits;
    // A tree node's older nodes hang below it, and at most kMaxDistance of
    // them are in the window, so this bound never cuts a search short.
    static constexpr unsigned kWalkLimit = kRingSize;

    static unsigned Hash(const std::uint8_t* p) {
        std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    // Length of the common prefix of a and b, at most limit (<= kMaxMatch).
    // Compares two words and a half-word, which together span kMaxMatch: the
    // buffer has kMaxMatch bytes of padding, and b is the later of the two,
    // so every read stays inside it.
    static unsigned CommonLength(const std::uint8_t* a, const std::uint8_t* b, unsigned limit) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        static_assert(kMaxMatch == 8 + 8 + 2, "two words and a half-word per comparison");
        std::uint64_t wa, wb;
        unsigned len;
        std::memcpy(&wa, a, 8);
        std::memcpy(&wb, b, 8);
        if (wa != wb) {
            len = static_cast<unsigned>(__builtin_ctzll(wa ^ wb)) / 8;
        } else {
            std::memcpy(&wa, a + 8, 8);
            std::memcpy(&wb, b + 8, 8);
            if (wa != wb) {
                len = 8 + static_cast<unsigned>(__builtin_ctzll(wa ^ wb)) / 8;
            } else {
                std::uint16_t ha, hb;
                std::memcpy(&ha, a + 16, 2);
                std::memcpy(&hb, b + 16, 2);
                len = ha != hb ? 16 + static_cast<unsigned>(__builtin_ctz(ha ^ hb)) / 8 : 18;
            }
        }
        return std::min(len, limit);
#else
        unsigned len = 0;
        while (len < limit && a[len] == b[len]) ++len;
        return len;
#endif
    }

    void InsertAndFind(std::size_t pos, unsigned limit, unsigned* bestLength,
                       unsigned* bestDistance) {
        const std::uint8_t* cur = buf_.data() + pos;
        const unsigned h = Hash(cur);
        std::size_t node = head_[h];
        head_[h] = pos;

        std::size_t* self = &tree_[2 * (pos & kRingMask)];
        std::size_t* smallerLink = &self[0];  // where the next smaller node goes
        std::size_t* greaterLink = &self[1];  // where the next greater node goes
        unsigned best = 0, bestDist = 0;

        for (unsigned walk = 0;; ++walk) {
            if (node == 0 || pos - node > kMaxDistance || walk == kWalkLimit) {
                *smallerLink = 0;
                *greaterLink = 0;
                break;
            }
            std::size_t* pair = &tree_[2 * (node & kRingMask)];
            const std::uint8_t* cand = buf_.data() + node;
            const unsigned len = CommonLength(cand, cur, limit);
            if (len > best) {
                best = len;
                bestDist = static_cast<unsigned>(pos - node);
            }
            if (len == limit) {
                // Equal as far as anything can look: the new node takes the old
                // one's place, and the older duplicate leaves the tree.
                *smallerLink = pair[0];
                *greaterLink = pair[1];
                break;
            }
            if (cand[len] < cur[len]) {
                *smallerLink = node;
                smallerLink = &pair[1];
                node = pair[1];
            } else {
                *greaterLink = node;
                greaterLink = &pair[0];
                node = pair[0];
            }
        }
        *bestLength = best;
        *bestDistance = bestDist;
    }

    std::size_t size_;
    std::vector<std::uint8_t> buf_;  // virtual history, input, padding
    std::vector<std::size_t> head_;  // tree root per hash; 0 = none
    std::vector<std::size_t> tree_;  // children per ring slot; 0 = none
};

// ---------------------------------------------------------------------------
// Parsing.  choice[i] is 1 for a literal at i, otherwise a match length.

// Backward pass: cost[i] is the fewest bits that code input[i..n).  With
// every length from kMinMatch to the longest available, this is the minimum.
template <typename CostT>
void OptimalParse(const std::uint8_t* lengths, std::size_t n, std::uint8_t* choice) {
    std::vector<CostT> cost(n + 1);
    cost[n] = 0;
    for (std::size_t i = n; i-- > 0;) {
        CostT best = static_cast<CostT>(cost[i + 1] + kLiteralBits);
        unsigned pick = 1;
        for (unsigned len = kMinMatch; len <= lengths[i]; ++len) {
            const CostT c = static_cast<CostT>(cost[i + len] + kMatchBits);
            // On a tie take the longer match: fewer tokens to decode.
            if (c <= best) {
                best = c;
                pick = len;
            }
        }
        cost[i] = best;
        choice[i] = static_cast<std::uint8_t>(pick);
    }
}

void GreedyParse(const std::uint8_t* lengths, std::size_t n, std::uint8_t* choice) {
    for (std::size_t i = 0; i < n; ++i)
        choice[i] = static_cast<std::uint8_t>(lengths[i] >= kMinMatch ? lengths[i] : 1);
}

// ---------------------------------------------------------------------------
// Output.

class TokenWriter {
public:
    explicit TokenWriter(std::vector<std::uint8_t>* out) : out_(out) {}

    void Literal(std::uint8_t value) {
        Begin(true);
        out_->push_back(value);
    }

    // A match of `length` bytes at input offset `offset`, `distance` back.
    void Match(std::size_t offset, unsigned distance, unsigned length) {
        Begin(false);
        const unsigned write = (kRingStart + offset) & kRingMask;
        const unsigned source = (write + kRingSize - distance) & kRingMask;
        out_->push_back(static_cast<std::uint8_t>(source & 0xFF));
        out_->push_back(static_cast<std::uint8_t>(((source >> 4) & 0xF0) | (length - kMinMatch)));
    }

private:
    void Begin(bool literal) {
        if (bit_ == 8) {
            control_ = out_->size();
            out_->push_back(0);
            bit_ = 0;
        }
        if (literal) (*out_)[control_] |= static_cast<std::uint8_t>(1u << bit_);
        ++bit_;
    }

    std::vector<std::uint8_t>* out_;
    std::size_t control_ = 0;
    unsigned bit_ = 8;
};

void PutHeader(std::uint8_t missingChar, std::uint32_t length, std::vector<std::uint8_t>* out) {
    out->assign(kSignature, kSignature + sizeof kSignature);
    out->push_back(kModeA);
    out->push_back(missingChar);
    for (int shift = 0; shift < 32; shift += 8)
        out->push_back(static_cast<std::uint8_t>(length >> shift));
}

// ---------------------------------------------------------------------------
// Decoding, shared by Decode and WalkTokens.  The sink sees each token after
// it has been checked against the data and the expanded length.

template <typename Sink>
DecodeStatus RunTokens(const std::uint8_t* s, std::size_t size, const Header& header, Sink& sink) {
    const std::uint32_t length = header.expandedLength;
    std::size_t in = kHeaderSize;
    std::uint32_t produced = 0;
    while (produced < length) {
        if (in >= size) return DecodeStatus::TruncatedData;
        const unsigned control = s[in++];
        for (unsigned bit = 0; bit < 8 && produced < length; ++bit) {
            if (control & (1u << bit)) {
                if (in >= size) return DecodeStatus::TruncatedData;
                sink.Literal(produced, s[in++]);
                produced += 1;
            } else {
                if (size - in < 2) return DecodeStatus::TruncatedData;
                const unsigned b0 = s[in], b1 = s[in + 1];
                in += 2;
                const unsigned position = b0 | ((b1 & 0xF0) << 4);
                const unsigned len = (b1 & 0x0F) + kMinMatch;
                if (len > length - produced) return DecodeStatus::TooMuchData;
                sink.Match(produced, position, len);
                produced += len;
            }
        }
    }
    return in == size ? DecodeStatus::Ok : DecodeStatus::TrailingData;
}

class ExpandSink {
public:
    explicit ExpandSink(std::uint8_t* out) : out_(out) { std::memset(ring_, kSpace, sizeof ring_); }
    void Literal(std::uint32_t offset, std::uint8_t value) {
        out_[offset] = value;
        ring_[write_] = value;
        write_ = (write_ + 1) & kRingMask;
    }
    // Byte by byte, so that a source that overlaps the bytes being written
    // (or is the very slot being written) reads what the ring holds then.
    void Match(std::uint32_t offset, unsigned position, unsigned length) {
        for (unsigned k = 0; k < length; ++k) {
            const std::uint8_t value = ring_[(position + k) & kRingMask];
            out_[offset + k] = value;
            ring_[write_] = value;
            write_ = (write_ + 1) & kRingMask;
        }
    }

private:
    std::uint8_t* out_;
    std::uint8_t ring_[kRingSize];
    unsigned write_ = kRingStart;
};

class VisitSink {
public:
    explicit VisitSink(const std::function<void(const Token&)>& visit) : visit_(visit) {}
    void Literal(std::uint32_t offset, std::uint8_t value) {
        visit_(Token{offset, true, value, 0, 1});
    }
    void Match(std::uint32_t offset, unsigned position, unsigned length) {
        visit_(Token{offset, false, 0, static_cast<std::uint16_t>(position),
                     static_cast<std::uint8_t>(length)});
    }

private:
    const std::function<void(const Token&)>& visit_;
};

// Every two data bytes make at most 18 output bytes (the length field's
// largest value, whatever the packer chooses to use), so a length beyond
// nine times the data size cannot be reached.  Checked before anything is
// allocated for the output, so that a forged length costs nothing.
bool LengthReachable(std::size_t streamSize, std::uint32_t length) {
    const std::uint64_t data = streamSize - kHeaderSize;
    return std::uint64_t{length} <= data * 9;
}

}  // namespace

bool Compress(const std::uint8_t* data, std::size_t size, const CompressOptions& options,
              std::vector<std::uint8_t>* out) {
    if (std::uint64_t{size} > kMaxExpandedLength) return false;
    PutHeader(options.missingChar, static_cast<std::uint32_t>(size), out);
    if (size == 0) return true;

    std::vector<std::uint8_t> lengths(size);
    std::vector<std::uint16_t> distances(size);
    MatchFinder(data, size).Run(lengths.data(), distances.data());

    std::vector<std::uint8_t> choice(size);
    if (options.parse == Parse::Greedy) {
        GreedyParse(lengths.data(), size, choice.data());
    } else if (size <= std::numeric_limits<std::uint32_t>::max() / kMatchBits) {
        OptimalParse<std::uint32_t>(lengths.data(), size, choice.data());
    } else {
        OptimalParse<std::uint64_t>(lengths.data(), size, choice.data());
    }

    out->reserve(out->size() + size + size / 8 + 1);
    TokenWriter writer(out);
    for (std::size_t i = 0; i < size;) {
        const unsigned len = choice[i];
        if (len == 1) {
            writer.Literal(data[i]);
        } else {
            writer.Match(i, distances[i], len);
        }
        i += len;
    }
    return true;
}

bool Compress(const std::vector<std::uint8_t>& data, const CompressOptions& options,
              std::vector<std::uint8_t>* out) {
    return Compress(data.data(), data.size(), options, out);
}

const char* DecodeStatusText(DecodeStatus status) {
    switch (status) {
        case DecodeStatus::Ok:
            return "ok";
        case DecodeStatus::TruncatedHeader:
            return "truncated header";
        case DecodeStatus::BadSignature:
            return "not an SZDD stream (bad signature)";
        case DecodeStatus::BadMode:
            return "unsupported compression mode";
        case DecodeStatus::TruncatedData:
            return "compressed data ends early";
        case DecodeStatus::TooMuchData:
            return "compressed data goes past the expanded length";
        case DecodeStatus::TrailingData:
            return "data left over after the expanded length";
    }
    return "unknown error";
}

DecodeStatus ParseHeader(const std::uint8_t* stream, std::size_t size, Header* header) {
    if (size < kHeaderSize) return DecodeStatus::TruncatedHeader;
    if (std::memcmp(stream, kSignature, sizeof kSignature) != 0) return DecodeStatus::BadSignature;
    header->mode = stream[8];
    header->missingChar = stream[9];
    header->expandedLength = std::uint32_t{stream[10]} | (std::uint32_t{stream[11]} << 8) |
                             (std::uint32_t{stream[12]} << 16) | (std::uint32_t{stream[13]} << 24);
    if (header->mode != kModeA) return DecodeStatus::BadMode;
    return DecodeStatus::Ok;
}

DecodeStatus Decode(const std::uint8_t* stream, std::size_t size, std::vector<std::uint8_t>* out,
                    Header* headerOut) {
    out->clear();
    Header header;
    DecodeStatus status = ParseHeader(stream, size, &header);
    if (headerOut) *headerOut = header;
    if (status != DecodeStatus::Ok) return status;
    if (!LengthReachable(size, header.expandedLength)) return DecodeStatus::TruncatedData;

    std::vector<std::uint8_t> result(header.expandedLength);
    ExpandSink sink(result.data());
    status = RunTokens(stream, size, header, sink);
    if (status == DecodeStatus::Ok) out->swap(result);
    return status;
}

DecodeStatus Decode(const std::vector<std::uint8_t>& stream, std::vector<std::uint8_t>* out,
                    Header* header) {
    return Decode(stream.data(), stream.size(), out, header);
}

DecodeStatus WalkTokens(const std::uint8_t* stream, std::size_t size,
                        const std::function<void(const Token&)>& visit) {
    Header header;
    DecodeStatus status = ParseHeader(stream, size, &header);
    if (status != DecodeStatus::Ok) return status;
    if (!LengthReachable(size, header.expandedLength)) return DecodeStatus::TruncatedData;
    VisitSink sink(visit);
    return RunTokens(stream, size, header, sink);
}

}  // namespace szdd
