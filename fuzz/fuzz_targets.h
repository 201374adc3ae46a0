#pragma once
// The fuzz targets' entry functions. Each takes any bytes, returns 0 and
// aborts (or trips a sanitizer) only on a fault; fuzz/fuzz_main.cpp makes
// one libFuzzer program of each, and the test suite replays the checked-in
// seeds and past findings through the same functions.
#include <cstddef>
#include <cstdint>

namespace plr::fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

// Run-length line decoders and the compressed layer load.
int runLengthOne(const std::uint8_t* data, std::size_t size);
// The recorded paint-session scripts: parsed, then played on a small page.
int paintScriptOne(const std::uint8_t* data, std::size_t size);
// Lua snippets calling the pixel and page functions with hostile arguments.
int luaPixelsOne(const std::uint8_t* data, std::size_t size);
// The filter dispatcher with catalogue names, near misses and random settings.
int imageProcessOne(const std::uint8_t* data, std::size_t size);
// Sequences of exports with random and boundary arguments.
int callSequenceOne(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;  // the program is fuzz_<name>; seeds in fuzz/seeds/<name>
    Entry entry;
};
inline constexpr Target kTargets[] = {
    {"run_length", runLengthOne},     {"paint_script", paintScriptOne},      {"lua_pixels", luaPixelsOne},
    {"image_process", imageProcessOne}, {"call_sequence", callSequenceOne},
};

}  // namespace plr::fuzz
