// The filter dispatcher with any name and any settings on a small page:
// catalogue names, near misses of them (case changed, a space added, cut
// short) and stray texts, with random and boundary slider, option and
// colour values. Whatever it is given, the page comes out whole.
#include <cctype>
#include <climits>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_page.h"
#include "fuzz/fuzz_targets.h"
#include "paloran.h"

namespace plr::fuzz {
namespace {

const char* const kNames[] = {
#define PLR_FILTER(display, pipeline, operation, inHouse) display,
#include "paloran_filters.inc"
#undef PLR_FILTER
};
constexpr std::int32_t kValues[] = {0, 1, -1, 2, 50, 99, 100, 255, 256, 500, 999, 1000, 1001,
                                    65535, 65536, 10001, INT_MAX, INT_MIN, -1000};

std::string nameFrom(ByteSource& in) {
    std::string name = in.pick(kNames);
    switch (in.below(8)) {
        case 0: for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c))); break;
        case 1: for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c))); break;
        case 2: name += ' '; break;
        case 3: name.resize(in.below(static_cast<std::uint32_t>(name.size()) + 1)); break;
        case 4: name = ' ' + name; break;
        default: break;  // the name as listed
    }
    return name;
}

std::int32_t valueFrom(ByteSource& in) {
    const std::uint8_t how = in.byte();
    if (how < 128) return static_cast<std::int32_t>(in.below(1001));
    if (how < 240) return in.pick(kValues);
    return static_cast<std::int32_t>(in.u32());
}

}  // namespace

int imageProcessOne(const std::uint8_t* data, std::size_t size) {
    ByteSource in(data, size);
    const std::int32_t width = 1 + static_cast<std::int32_t>(in.below(32));
    const std::int32_t height = 1 + static_cast<std::int32_t>(in.below(32));
    const std::string name = nameFrom(in);
    std::int32_t v[19];
    for (std::int32_t& x : v) x = valueFrom(in);
    const bool buffers = in.below(4) != 0;
    const bool twentyFour = in.below(2) != 0;
    const std::string text = in.below(4) == 0 ? std::string(in.pick(kNames)) : std::string();

    freshPage(width, height, 2);
    if (buffers) {
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
        if (twentyFour) {
            PLR_IPLAllocSrcBuffer24();
            PLR_IPLAllocDstBuffer24();
        }
    }
    PLR_IPLImageProcess(v[0], name.c_str(), v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11],
                        v[12], v[13], v[14], v[15], v[16], v[17], v[18], text.c_str());
    checkInvariants(name.c_str());
    finishPage();
    return 0;
}

}  // namespace plr::fuzz
