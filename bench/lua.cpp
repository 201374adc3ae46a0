// A Lua filter that reads and writes every pixel of a 1000 x 1000 page
// through the engine's pixel functions, beside the anchor: the same script in
// a bare Lua state where "get_rgba" and "set_rgba" are empty C functions.
// The difference is what the engine's functions cost. Items are pixels, so
// items_per_second reads as pixels/s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <lua.hpp>
#include <string>

#include "bench_images.h"
#include "engine/engine.h"
#include "paloran.h"

namespace {

constexpr int kSide = 1000;

constexpr char kScript[] =
    "for y = 0, height - 1 do\n"
    "  for x = 0, width - 1 do\n"
    "    local r, g, b, a = get_rgba(x, y)\n"
    "    set_rgba(x, y, r, g, b, a)\n"
    "  end\n"
    "end\n";

std::string scriptFile(const char* name, const char* text) {
    const auto p = std::filesystem::temp_directory_path() /
                   ("plr_bench_lua_" + std::string(name) + std::to_string(::getpid()) + ".lua");
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
}
std::string scriptFile() {
    static const std::string path = scriptFile("pixels", kScript);
    return path;
}

// A run's fixed part (the buffers filled from the layer, the Lua state, the
// result written back), for a script that touches no pixel: what the pixel
// run costs beyond it is the functions'.
void EngineRun(benchmark::State& state, const std::string& path) {
    plr::resetEngine();
    PLR_CreateImage(nullptr, kSide, kSide, 8, 0);
    PLR_CreateLayer(1, kSide, kSide);
    PLR_SetLayer(1);
    const std::vector<std::uint8_t> picture = plr::bench::paintingRgba(kSide, kSide);
    PLR_LoadRGBA32(picture.data(), kSide * 4, 0);
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
    for (auto _ : state) PLR_LuaFilterRun(path.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    plr::resetEngine();
}
void EnginePixelFunctions(benchmark::State& state) { EngineRun(state, scriptFile()); }
void EngineRunWithoutPixels(benchmark::State& state) {
    static const std::string path = scriptFile("empty", "local n = width * height\n");
    EngineRun(state, path);
}

int nothing(lua_State*) { return 0; }

// The least a pixel function pair can do through Lua's C interface: read the
// arguments the script passes and hand back four numbers, with no pixel
// behind them. The engine's functions beside this show what they add to
// the interface's own cost.
int readTwoPushFour(lua_State* L) {
    const double x = lua_tonumber(L, 1), y = lua_tonumber(L, 2);
    benchmark::DoNotOptimize(x + y);
    lua_pushnumber(L, 0.25);
    lua_pushnumber(L, 0.5);
    lua_pushnumber(L, 0.75);
    lua_pushnumber(L, 1.0);
    return 4;
}
int readSix(lua_State* L) {
    double sum = 0;
    for (int i = 1; i <= 6; ++i) sum += lua_tonumber(L, i);
    benchmark::DoNotOptimize(sum);
    return 0;
}

void BareState(benchmark::State& state, lua_CFunction get, lua_CFunction set) {
    const std::string path = scriptFile();
    for (auto _ : state) {
        lua_State* L = luaL_newstate();
        luaL_openlibs(L);
        lua_register(L, "get_rgba", get);
        lua_register(L, "set_rgba", set);
        lua_pushnumber(L, kSide);
        lua_setglobal(L, "width");
        lua_pushnumber(L, kSide);
        lua_setglobal(L, "height");
        if (luaL_loadfile(L, path.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) state.SkipWithError(lua_tostring(L, -1));
        lua_close(L);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
void EmptyCFunctions(benchmark::State& state) { BareState(state, nothing, nothing); }
void InterfaceOnlyCFunctions(benchmark::State& state) { BareState(state, readTwoPushFour, readSix); }

BENCHMARK(EnginePixelFunctions)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineRunWithoutPixels)->Unit(benchmark::kMillisecond);
BENCHMARK(EmptyCFunctions)->Unit(benchmark::kMillisecond);
BENCHMARK(InterfaceOnlyCFunctions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
