// resetEngine() brings back the state at load, including the state the
// in-house filters and the effect library keep between calls.
#include <algorithm>
#include <vector>

#include "adapters/effects/effect_library.h"
#include "engine_fixture.h"
#include "imaging/filters/filters.h"

namespace plr::test {
namespace {

using EngineReset = EngineTest;

bool atLoadState(const EffectParams& e) {
    const EffectParams load;
    bool same = e.destination == load.destination && e.source == load.source && e.width == load.width &&
                e.height == load.height && e.lastRow == load.lastRow && e.lastColumn == load.lastColumn &&
                e.rowLength == load.rowLength && e.red == load.red && e.green == load.green && e.blue == load.blue &&
                e.option1 == load.option1 && e.option2 == load.option2 && e.keepDestination == load.keepDestination &&
                e.sweepTables == load.sweepTables && e.around == load.around;
    for (int k = 0; k < 9; ++k) same = same && e.option[k] == load.option[k];
    for (int k = 0; k < 7; ++k) same = same && e.p[k] == load.p[k];
    return same;
}

bool tablesClear(const SweepTables& t) {
    for (const auto& table : t.blend)
        if (std::any_of(std::begin(table), std::end(table), [](std::uint8_t v) { return v != 0; })) return false;
    return true;
}

TEST_F(EngineReset, FilterBlockSweepTablesAndEffectLibraryReturnToTheirLoadState) {
    EngineState& state = engine();
    ASSERT_TRUE(atLoadState(state.filters.params));
    ASSERT_TRUE(tablesClear(state.filters.sweep));

    std::vector<std::uint8_t> src(4 * 4 * 4, 90), dst(src.size());
    EffectArguments a;
    a.p[0] = 400;
    a.p[1] = 600;
    a.option[2] = 1;
    a.red = 255;
    effectOnImage(state.filters, src.data(), dst.data(), 4, 4, "Noise Reduction", 0, a);
    EXPECT_FALSE(atLoadState(state.filters.params));
    EXPECT_EQ(state.filters.params.width, 4);
    EXPECT_EQ(state.filters.params.p[2], 0.6);
    EXPECT_FALSE(tablesClear(state.filters.sweep));

    effect_lib::LibraryState& lib = state.effectLibrary;
    ASSERT_TRUE(effect_lib::Initialize(lib));
    ASSERT_TRUE(effect_lib::AddEffect(lib, 51, 1));
    ASSERT_TRUE(effect_lib::SetEffectValue(lib, 0, 3, 90));

    resetEngine();
    EngineState& after = engine();
    EXPECT_TRUE(atLoadState(after.filters.params));
    EXPECT_TRUE(tablesClear(after.filters.sweep));
    EXPECT_FALSE(after.effectLibrary.initialized);
    EXPECT_FALSE(after.effectLibrary.hasEffect);
    EXPECT_EQ(after.effectLibrary.values[3], 0);
    // As at load: nothing runs before the library is initialised again.
    std::vector<std::uint8_t> px(3 * 3 * 4, 7);
    EXPECT_FALSE(effect_lib::ExecuteScriptOnImage(after.effectLibrary, px.data(), 3, 3));
    EXPECT_FALSE(effect_lib::AddEffect(after.effectLibrary, 51, 1));
}

}  // namespace
}  // namespace plr::test
