// What several of the unit tests need: little-endian reads, an SZDD stream
// by hand, and a writer run on a guarded buffer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t U16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
inline std::uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

// The SZDD header (mode, missing character, expanded length), then `body`.
inline Bytes SzddStream(std::uint32_t length, const Bytes& body = {}, std::uint8_t last = 'x',
                        std::uint8_t mode = 'A') {
    Bytes s = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, mode, last};
    for (int shift = 0; shift < 32; shift += 8)
        s.push_back(static_cast<std::uint8_t>(length >> shift));
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

// `write(out, size)` must stay inside `size` bytes and leave an empty result
// when it refuses (returns 0): what it wrote, "<refused>", or what went wrong.
template <typename Write>
std::string Guarded(size_t size, Write write) {
    std::vector<char> out(size + 16, '#');
    out.back() = '\0';  // so that a result left unterminated shows as such
    const int ok = write(out.data(), size);
    if (std::count(out.begin() + size, out.end() - 1, '#') != 15) return "<overrun>";
    if (!ok) return size == 0 || out[0] == '\0' ? "<refused>" : "<refused, not emptied>";
    const std::string text = out.data();
    return text.size() < size ? text : "<unterminated>";
}
