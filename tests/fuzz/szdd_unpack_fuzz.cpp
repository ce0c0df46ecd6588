// libFuzzer target for the SZDD codec: each input read as a stream under the
// sanitizers, and packed by both parses into a stream that gives it back,
// with no source 4096 back and optimal no larger than greedy.
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

std::size_t PackAndCheck(const std::uint8_t* data, std::size_t size, szdd::Parse parse) {
    const szdd::CompressOptions options{static_cast<std::uint8_t>(size ? data[0] : 'x'), parse};
    std::vector<std::uint8_t> packed, back;
    if (!szdd::Compress(data, size, options, &packed)) Fail("compress refused");
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
    std::vector<std::uint8_t> out;
    szdd::Decode(data, size, &out);
    const std::size_t optimal = PackAndCheck(data, size, szdd::Parse::Optimal);
    if (optimal > PackAndCheck(data, size, szdd::Parse::Greedy))
        Fail("optimal parse larger than greedy");
    return 0;
}
