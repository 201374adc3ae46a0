#pragma once
// Running a Lua filter script over the current layer.
#include <cstdint>

namespace plr {

struct EngineState;

struct LuaFilterSettings {
    std::int32_t sliders[6] = {};  // 0..1000, seen by the script as sliderVal1..6 = slider * 0.001
    std::int32_t styles[2] = {};   // seen as styleVal1, styleVal2 = style + 1
    std::int32_t flags[6] = {};    // the low byte counts: flagVal1..6 = (flag & 0xFF) != 0
    // Virtual-machine instructions the script may run before it fails with
    // "instruction limit reached"; 0 = no limit (hosts run scripts as long
    // as they take). Tests and fuzzers set it so that no script hangs them.
    std::uint64_t instructionLimit = 0;
};

// Runs the script at `path` once in a fresh Lua state over the 32-bit
// processing buffers: the destination starts as a copy of the source, the
// script reads and writes them through its registered functions, and on
// success the destination goes into the current layer (limited by the mask
// and the paper texture). A script that cannot be loaded or that fails shows
// its error in a message box captioned "Lua Script Error" and leaves the
// layer as "flush" and "merge" left it. Does nothing without both buffers.
// A script stopped by the instruction limit fails like any other.
// Raises EngineFailure when the Lua state cannot be made.
void runLuaFilter(EngineState& engine, const char* path, const LuaFilterSettings& settings);

}  // namespace plr
