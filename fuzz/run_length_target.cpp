// Run-length lines and compressed layers as a host's document holds them:
// whatever the bytes, decoding reads only the budget the line length gives,
// writes only the line, and what it wrote survives a round trip through the
// encoder unchanged.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_page.h"
#include "fuzz/fuzz_targets.h"
#include "paloran.h"

namespace plr::fuzz {
namespace {

// The input as a buffer of exactly `bytes` (zeros past its end), so that a
// read past the budget lands outside the block.
std::vector<std::uint8_t> exactly(const std::uint8_t* data, std::size_t size, std::size_t bytes) {
    std::vector<std::uint8_t> v(bytes);
    std::memcpy(v.data(), data, size < bytes ? size : bytes);
    return v;
}

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "run-length: %s\n", what);
    std::abort();
}

// Decode, encode what came out, decode again: the two decodings agree.
template <class Decode, class Encode>
void roundTrip(const std::vector<std::uint8_t>& stream, std::size_t values, std::size_t recordBytes,
               std::size_t valueBytes, Decode decode, Encode encode) {
    std::vector<std::uint8_t> first(values * valueBytes);
    const std::int32_t n = static_cast<std::int32_t>(values);
    const std::int32_t read = decode(stream.data(), first.data(), n);
    require(read >= 0 && static_cast<std::size_t>(read) <= stream.size(), "read past its budget");
    std::vector<std::uint8_t> encoded(values * recordBytes);
    const std::int32_t wrote = encode(first.data(), encoded.data(), n);
    require(wrote > 0 && static_cast<std::size_t>(wrote) <= encoded.size(), "encoder overran its bound");
    encoded.resize(static_cast<std::size_t>(wrote));
    std::vector<std::uint8_t> second(first.size());
    require(decode(encoded.data(), second.data(), n) == wrote, "re-decoding read another length");
    require(first == second, "a round trip changed the values");
}

}  // namespace

int runLengthOne(const std::uint8_t* data, std::size_t size) {
    ByteSource in(data, size);
    const std::uint8_t mode = in.byte();
    const std::size_t values = 1 + in.below(300);
    const std::uint8_t* rest = data + (size - in.left());
    const std::size_t restSize = in.left();

    switch (mode % 4) {
        case 0:
            roundTrip(exactly(rest, restSize, values * 5), values, 5, 8, PLR_RLEUncompressRGBA32ToRGBA64,
                      PLR_RLECompressRGBA64ToRGBA32);
            break;
        case 1:
            roundTrip(exactly(rest, restSize, values * 2), values, 2, 2, PLR_RLEUncompressG8ToG16, PLR_RLECompressG16ToG8);
            break;
        default: {
            // Lines and whole layers on a small page: the other rows and
            // layers are untouched.
            const std::int32_t width = 1 + static_cast<std::int32_t>(values % 24), height = 1 + (mode >> 4);
            freshPage(width, height, 2);
            const std::int32_t row = static_cast<std::int32_t>(in.below(static_cast<std::uint32_t>(height) + 2)) - 1;
            const std::size_t w = static_cast<std::size_t>(width);
            std::vector<std::uint8_t> before(w * height * 8), after(before.size());
            PLR_GetRGBA64Layer(before.data(), width * 8, 1);
            const std::uint8_t* src = data + (size - in.left());
            const std::size_t srcSize = in.left();
            if (mode % 4 == 2) {
                const auto line = exactly(src, srcSize, w * 5);
                PLR_PutRGBA32LayerLineRLE(line.data(), 2, row);
                const auto maskLine = exactly(src, srcSize, w * 2);
                PLR_PutMaskLineRLE(maskLine.data(), row);
            } else {
                std::vector<std::uint8_t> copy(src, src + srcSize);  // exactly the input's length
                PLR_LoadRGBA32LayerCompressed(copy.empty() ? nullptr : copy.data(), 0,
                                              static_cast<std::int32_t>(copy.size()), 2);
            }
            checkInvariants("a run-length load");
            PLR_GetRGBA64Layer(after.data(), width * 8, 1);
            require(before == after, "another layer changed");
            finishPage();
            break;
        }
    }
    return 0;
}

}  // namespace plr::fuzz
