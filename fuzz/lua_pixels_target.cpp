// Lua filters calling the engine's pixel and page functions with hostile
// arguments: NaN, infinities, huge and negative numbers, coordinates off the
// page, strings, tables and nothing at all. The snippet is built from the
// input, run as a filter on a small page under an instruction limit (so a
// runaway loop ends), and the engine must come out whole.
#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_page.h"
#include "fuzz/fuzz_targets.h"
#include "paloran.h"
#include "script/lua_filter.h"

namespace plr::fuzz {
namespace {

const char* const kFunctions[] = {
    "get_value", "set_value", "get_rgb",    "set_rgb",    "get_alpha",  "set_alpha",      "get_rgba",
    "set_rgba",  "get_hsv",   "set_hsv",    "get_hsl",    "set_hsl",    "get_lab",        "set_lab",
    "get_cmyk",  "set_cmyk",  "get_mask",   "set_mask",   "get_color",  "get_color1",     "get_color4",
    "flush",     "merge",     "single_buffer", "progress", "message_box", "is_escape",     "bit_not",
    "bit_and",   "bit_or",    "bit_xor",    "bit_shfr",   "bit_shfl",   "output_debug_string"};
const char* const kArguments[] = {
    "0",      "1",        "-1",        "0.5",     "0/0",          "1/0",        "-1/0",  "1e308",   "-1e308",
    "width",  "height",   "width-1",   "height-1", "width-0.5",   "-0.99",      "-1.5",  "2^31",    "-2^31",
    "2^32",   "2^53",     "2^63",      "-2^63",   "'12'",         "'x'",        "nil",   "{}",      "true",
    "x",      "y",        "a",         "b",       "MERGE_TEXTURIZE3", "MERGE_NORMAL", "99", "i", "(x+i)%width"};
const char* const kStatements[] = {
    "for i = 0, 40 do %s end", "while true do %s end", "local t = {} for i = 1, 1e9 do t[i] = i end",
    "x, y = %s", "a, b = %s", "if %s then x = x + 1 end", "string.rep('x', 1e5)", "error('stop')",
    "for y = -1, height do for x = -1, width do %s end end"};

std::string call(ByteSource& in) {
    std::string s = in.pick(kFunctions);
    s += '(';
    const int args = static_cast<int>(in.below(8));
    for (int i = 0; i < args; ++i) {
        if (i) s += ", ";
        s += in.pick(kArguments);
    }
    return s + ')';
}

std::string snippet(ByteSource& in) {
    std::string s = "local x, y, a, b = 1, 1, 0, 0\n";
    for (int statements = 0; statements < 12 && !in.empty(); ++statements) {
        if (in.byte() < 160) {
            s += call(in) + '\n';
            continue;
        }
        const std::string pattern = in.pick(kStatements);
        const std::size_t at = pattern.find("%s");
        s += (at == std::string::npos ? pattern : pattern.substr(0, at) + call(in) + pattern.substr(at + 2)) + '\n';
    }
    return s;
}

const std::string& scriptFile() {
    static const std::string path = scratchPath("paloran_fuzz_lua_", ".lua");
    return path;
}

}  // namespace

int luaPixelsOne(const std::uint8_t* data, std::size_t size) {
    ByteSource in(data, size);
    const std::int32_t width = 1 + static_cast<std::int32_t>(in.below(12));
    const std::int32_t height = 1 + static_cast<std::int32_t>(in.below(12));
    const std::string text = snippet(in);
    std::FILE* f = std::fopen(scriptFile().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);

    freshPage(width, height, 2);
    PLR_EnableMask(1);
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
    LuaFilterSettings settings;
    // Enough for every statement to run its loop over the whole page, while a
    // runaway loop of page-wide calls (merge, flush) ends after about a
    // thousand of them.
    settings.instructionLimit = 5000;
    runLuaFilter(engine(), scriptFile().c_str(), settings);
    checkInvariants("a Lua filter");
    finishPage();
    return 0;
}

}  // namespace plr::fuzz
