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

namespace {

struct KeptTables {
    bool on = false, filled = false, drawn = false;
    RandomByteTable tables[2];
    CrtRandom rngAfter;  // the generator as drawing the tables left it
};
KeptTables kept;

// Resets the engine, taking the page's tables out first when they are kept.
void resetKeepingTables() {
    const RandomByteTable* t = page().randomTables;
    if (kept.on && kept.drawn && !kept.filled && !t[0].data.empty() && !t[1].data.empty() && t[0].seed == 0 &&
        t[1].seed == 0) {
        for (int i = 0; i < 2; ++i) kept.tables[i] = std::move(page().randomTables[i]);
        kept.filled = true;
    }
    resetEngine();
}

}  // namespace

void keepRandomTables() { kept.on = true; }

void freshPage(std::int32_t width, std::int32_t height, std::int32_t layers) {
    mem::injectFailure(0);
    resetKeepingTables();
    engine().messageSink = [](const char*, const char*) {};
    const bool reuse = kept.filled;
    if (reuse) {
        for (int i = 0; i < 2; ++i) page().randomTables[i] = std::move(kept.tables[i]);
        kept.filled = false;
    }
    PLR_CreateImage(nullptr, width, height, 16, 0);
    if (reuse) {
        // Found matching, the tables were reused and the generator left
        // alone: put it where drawing them leaves it.
        engine().rng = kept.rngAfter;
    } else if (kept.on && !kept.drawn) {
        kept.rngAfter = engine().rng;
        kept.drawn = true;
    }
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
    resetKeepingTables();
    if (mem::stats().liveBlocks != (kept.filled ? 2 : 0)) {
        std::fprintf(stderr, "%lld engine blocks alive after the reset\n",
                     static_cast<long long>(mem::stats().liveBlocks));
        std::abort();
    }
}

}  // namespace plr::fuzz
