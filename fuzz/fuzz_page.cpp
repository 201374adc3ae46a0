#include "fuzz/fuzz_page.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/alloc.h"
#include "engine/engine.h"
#include "engine/engine_invariants.h"
#include "paloran.h"

namespace plr::fuzz {

void freshPage(std::int32_t width, std::int32_t height, std::int32_t layers) {
    mem::injectFailure(0);
    resetEngine();
    engine().messageSink = [](const char*, const char*) {};
    PLR_CreateImage(nullptr, width, height, 16, 0);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 37 + i / 5);
    for (std::int32_t i = 1; i <= layers; ++i) {
        PLR_CreateLayer(i, width, height);
        PLR_LoadRGBA32Layer(rgba.data(), width * 4, i, 0, 0, width, height, 0);
    }
    if (layers > 0) PLR_SetLayer(layers);
    PLR_SetLastError("");
}

void checkInvariants(const char* after) {
    const std::string broken = engineInvariantViolation(engine());
    if (broken.empty()) return;
    std::fprintf(stderr, "engine invariant broken after %s: %s\n", after, broken.c_str());
    std::abort();
}

void finishPage() {
    checkInvariants("the last call");
    PLR_DeleteImage();
    checkInvariants("PLR_DeleteImage");
    mem::injectFailure(0);
    resetEngine();
    if (mem::stats().liveBlocks != 0) {
        std::fprintf(stderr, "%lld engine blocks alive after the reset\n",
                     static_cast<long long>(mem::stats().liveBlocks));
        std::abort();
    }
}

}  // namespace plr::fuzz
