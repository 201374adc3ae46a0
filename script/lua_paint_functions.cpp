// The paint-recording functions of a Lua filter: each appends one record to
// the paint-script file, a keyword line and its value lines. Every record is
// a line template below; "%N" stands for argument N as Lua writes it (a
// string as it is, a number in Lua's "%.14g" form), "#N" for argument N as
// a colour 0..1 written as the decimal integer trunc(v * 255).
#include <lua.hpp>

#include <cstdio>
#include <cstring>

#include "script/lua_numbers.h"
#include "script/lua_run.h"

namespace plr::script {
namespace {

struct Record {
    const char* function;
    const char* lines;  // separated by '\n'
};

constexpr char kHeader[] = "1554\nDescription\n1\n \nRandomSeed\n%1";

constexpr Record kRecords[] = {
    {"paint_stroke_start", "DrawStart\n%1\n%2\n-1\nSmoothPlot2\n0\n0\n0\n1\n0"},
    {"paint_stroke_pos", "SmoothPlot2\n%1\n%2\n%3\n0\n0"},
    {"paint_stroke_stop", "SmoothPlot2\n0\n0\n0\n0\n1\nDrawStop\n1"},
    {"paint_select_brush", "SelectBrush\n%1\n%2\n%3"},
    {"paint_brush_size", "SetBrushSize\n%1"},
    {"paint_brush_density", "SetBrushDensity\n%1"},
    {"paint_brush_opacity", "SetBrushOpacity\n%1"},
    {"paint_brush_color", "SetColor\n#1\n#2\n#3"},
    {"paint_set_color_banks", "SetColorBanks\n%1\n#2\n#3\n#4\n#5\n#6\n#7\n#8\n#9\n#10\n#11\n#12\n#13"},
    {"paint_line", "Line2\n%1\n%2\n%3\n%4"},
    {"paint_spline", "Spline\n%1\n%2\n%3\n%4\n%5\n%6\n%7\n%8"},
    {"paint_dab", "Dab\n%1\n%2\n%3"},
    {"paint_filter",
     "Filter\n%1\n%2\n%3\n%4\n%5\n%6\n%7\n%8\n%9\n%10\n%11\n%12\n%13\n%14\n%15\n%16\n%17\n%18\n%19\n%20"},
};

// Argument `index` as its text. Arguments are required; a missing one, or
// one that is neither a string nor a number, writes "0" so that the record
// keeps its shape.
void writeText(PaintRecorder& recorder, lua_State* L, int index) noexcept {
    const int type = lua_type(L, index);
    std::size_t length = 0;
    const char* text = type == LUA_TNUMBER || type == LUA_TSTRING ? lua_tolstring(L, index, &length) : nullptr;
    if (text) recorder.line(text, length);
    else recorder.line("0", 1);
}

void writeColour(PaintRecorder& recorder, lua_State* L, int index) noexcept {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%lld",
                                static_cast<long long>(truncToInt64(lua_tonumber(L, index) * 255.0)));
    recorder.line(text, static_cast<std::size_t>(n));
}

// Writes the lines of a template, filling in the arguments.
void writeLines(PaintRecorder& recorder, lua_State* L, const char* lines) noexcept {
    while (*lines) {
        const char* end = std::strchr(lines, '\n');
        const std::size_t length = end ? static_cast<std::size_t>(end - lines) : std::strlen(lines);
        if (length > 1 && (lines[0] == '%' || lines[0] == '#')) {
            int index = 0;
            for (std::size_t i = 1; i < length; ++i) index = index * 10 + (lines[i] - '0');
            if (lines[0] == '%') writeText(recorder, L, index);
            else writeColour(recorder, L, index);
        } else {
            recorder.line(lines, length);
        }
        lines += length + (end ? 1 : 0);
    }
}

int paintRecord(lua_State* L) {
    LuaRun& run = runOf(L);
    if (!run.recorder.isOpen()) return 0;
    const auto* record = static_cast<const Record*>(lua_touserdata(L, lua_upvalueindex(1)));
    writeLines(run.recorder, L, record->lines);
    return 0;
}

// Starts a new file (closing one still open) under the start directory; when
// it cannot be made nothing is recorded until the next "paint_open".
int paintOpen(lua_State* L) {
    LuaRun& run = runOf(L);
    char path[2048];
    run.recorder.close(false);
    if (!paintScriptPath(run.startDir, path, sizeof path) || !run.recorder.open(path)) return 0;
    writeLines(run.recorder, L, kHeader);
    return 0;
}

int paintClose(lua_State* L) {
    runOf(L).recorder.close(true);
    return 0;
}

constexpr luaL_Reg kFileFunctions[] = {{"paint_open", paintOpen}, {"paint_close", paintClose}};

}  // namespace

void registerPaintFunctions(lua_State* L) {
    registerFunctions(L, kFileFunctions);
    for (const Record& r : kRecords) {
        lua_pushlightuserdata(L, const_cast<Record*>(&r));
        lua_pushcclosure(L, paintRecord, 1);
        lua_setglobal(L, r.function);
    }
}

}  // namespace plr::script
