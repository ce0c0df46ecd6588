// libFuzzer target for the SZDD codec.  Each input is used twice:
//  - as a stream: the decoder must give a status and never misbehave, and
//    the token walk must agree with it;
//  - as plain data: both parses must round-trip, take no source 4096 back
//    (the slot being written), and the optimal parse must not be larger than
//    the greedy one.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/szdd/szdd_codec.h"

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "szdd fuzz: %s\n", what);
    std::abort();
}

void CheckStream(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out;
    szdd::Header header;
    const szdd::DecodeStatus status = szdd::Decode(data, size, &out, &header);
    std::uint64_t walked = 0;
    const szdd::DecodeStatus walkStatus = szdd::WalkTokens(data, size, [&](const szdd::Token& t) {
        if (t.outputOffset != walked) Fail("token offsets are not contiguous");
        walked += t.length;
    });
    if (walkStatus != status) Fail("token walk and decoder disagree");
    if (status == szdd::DecodeStatus::Ok) {
        if (out.size() != header.expandedLength) Fail("decoded size differs from header");
        if (walked != out.size()) Fail("tokens do not cover the output");
    } else if (!out.empty()) {
        Fail("failed decode left output behind");
    }
}

std::size_t PackAndCheck(const std::uint8_t* data, std::size_t size, szdd::Parse parse) {
    szdd::CompressOptions options;
    options.missingChar = size ? data[0] : 'x';
    options.parse = parse;
    std::vector<std::uint8_t> packed;
    if (!szdd::Compress(data, size, options, &packed)) Fail("compress refused");
    std::vector<std::uint8_t> back;
    szdd::Header header;
    if (szdd::Decode(packed, &back, &header) != szdd::DecodeStatus::Ok)
        Fail("own stream does not decode");
    if (header.missingChar != options.missingChar) Fail("missing character lost");
    if (back.size() != size || (size != 0 && !std::equal(back.begin(), back.end(), data)))
        Fail("round trip differs");
    szdd::WalkTokens(packed.data(), packed.size(), [](const szdd::Token& t) {
        if (!t.literal && t.Distance() > szdd::kMaxDistance) Fail("match farther than 4095");
    });
    return packed.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckStream(data, size);
    const std::size_t optimal = PackAndCheck(data, size, szdd::Parse::Optimal);
    const std::size_t greedy = PackAndCheck(data, size, szdd::Parse::Greedy);
    if (optimal > greedy) Fail("optimal parse larger than greedy");
    return 0;
}
