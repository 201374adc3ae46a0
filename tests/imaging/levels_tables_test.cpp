// The levels tables at worked values.
#include "engine_fixture.h"
#include "imaging/levels_tables.h"

namespace plr::test {
namespace {

using LevelsTables = EngineTest;

TEST_F(LevelsTables, InputTableAtWorkedValues) {
    // Full range: black 0, white 255, middle 127.
    const LevelsTable full = levelsInputTable(0, 255);
    for (int i = 0; i < 127; ++i) EXPECT_EQ(full[i], i) << i;
    EXPECT_EQ(full[127], 127);
    EXPECT_EQ(full[128], 127);  // 127 + 127/128 truncates to 127
    EXPECT_EQ(full[254], 253);
    EXPECT_EQ(full[255], 255);
    // Black and white equal: a hard threshold there.
    const LevelsTable hard = levelsInputTable(100, 100);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(hard[i], i < 100 ? 0 : 255) << i;
    // Black 50, white 150: middle 100, both halves climb by 127/50.
    const LevelsTable mid = levelsInputTable(50, 150);
    EXPECT_EQ(mid[49], 0);
    EXPECT_EQ(mid[50], 0);
    EXPECT_EQ(mid[51], 2);    // 2.54
    EXPECT_EQ(mid[100], 127);  // 50 steps of 2.54
    EXPECT_EQ(mid[149], 251);  // 127 + 49 * 2.54 = 251.46
    EXPECT_EQ(mid[150], 255);
    // The table never falls.
    for (const auto& t : {full, hard, mid})
        for (int i = 1; i < 256; ++i) EXPECT_GE(t[i], t[i - 1]);
}

TEST_F(LevelsTables, OutputTableAtWorkedValues) {
    const LevelsTable identity = levelsOutputTable(0, 255);
    for (int j = 0; j < 256; ++j) EXPECT_EQ(identity[j], j) << j;
    const LevelsTable flat = levelsOutputTable(90, 90);
    for (int j = 0; j < 256; ++j) EXPECT_EQ(flat[j], 90) << j;
    // 64..191: a step of 127/255 an entry.
    const LevelsTable squeezed = levelsOutputTable(64, 191);
    EXPECT_EQ(squeezed[0], 64);
    EXPECT_EQ(squeezed[2], 64);  // 64 + 2 * 0.498 = 64.996
    EXPECT_EQ(squeezed[3], 65);
    EXPECT_EQ(squeezed[255], 191);
    // High below low wraps the difference: 200 -> 100 climbs by 156/255 and stops at 255.
    const LevelsTable wrapped = levelsOutputTable(200, 100);
    EXPECT_EQ(wrapped[0], 200);
    EXPECT_EQ(wrapped[2], 201);  // 200 + 2 * 0.6118
    EXPECT_EQ(wrapped[255], 255);
}

}  // namespace
}  // namespace plr::test
