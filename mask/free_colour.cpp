#include "mask/free_colour.h"

#include <bit>
#include <cstring>

#include "core/block.h"
#include "core/failure.h"

namespace plr {
namespace {

constexpr std::uint32_t kColours = 1u << 24;
static_assert(kNoFreeColour == kColours, "the search runs off the end of the colours into the no-colour answer");

// red | green << 8 | blue << 16: the colour's place in the search order.
// One 4-byte load with alpha masked off (a 3-byte copy goes through memory).
std::uint32_t colourOf(const std::uint8_t* p) noexcept {
    std::uint32_t v = 0;
    std::memcpy(&v, p, 4);
    return v & 0xFFFFFFu;
}

// Pixels whose colour is a pure red (green 0, blue 0) are rare: blocks of a
// fixed length are checked for any first (a loop the compiler vectorises),
// and only blocks holding one are walked to note the reds.
constexpr std::size_t kBlock = 256;

bool anyPureRed(const std::uint8_t* rgba) noexcept {
    std::uint32_t hits = 0;
    for (std::size_t i = 0; i < kBlock; ++i) hits |= (colourOf(rgba + 4 * i) & 0xFFFF00u) == 0;
    return hits != 0;
}

void notePureReds(const std::uint8_t* rgba, std::size_t count, std::uint64_t (&reds)[4]) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = colourOf(rgba + 4 * i);
        if (c < 256) reds[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
}

// The first zero bit of `words` (bit i of word k is colour 64k + i), or
// `total` when every bit is set.
template <std::size_t N>
std::uint32_t firstFree(const std::uint64_t* words, std::uint32_t total) noexcept {
    for (std::size_t k = 0; k < N; ++k)
        if (~words[k]) return static_cast<std::uint32_t>(k * 64 + std::countr_one(words[k]));
    return total;
}

}  // namespace

std::uint32_t findFreeColour(const std::uint8_t* rgba, std::size_t count) {
    // First pass: the reds in use with green 0 and blue 0.
    std::uint64_t reds[4] = {};
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        if (anyPureRed(rgba + 4 * i)) notePureReds(rgba + 4 * i, kBlock, reds);
    notePureReds(rgba + 4 * i, count - i, reds);
    const std::uint32_t red = firstFree<4>(reds, 256);
    if (red < 256) return red;

    // Every red of the first pair is taken: one bit per colour, in search order.
    Block<std::uint64_t> used;
    need(used.allocate(kColours / 64));
    std::memset(used.data(), 0, used.bytes());
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t c = colourOf(rgba + 4 * i);
        used[c >> 6] |= std::uint64_t{1} << (c & 63);
    }
    const std::uint32_t free = firstFree<kColours / 64>(used.data(), kColours);
    return free;  // kColours when every bit is set: kNoFreeColour
}

}  // namespace plr
