// The per-pixel functions of a Lua filter: channels as numbers 0..1 (byte /
// 255) in RGB, HSV, HSL, L*a*b* and CMYK. Pixels outside the page read as
// (0, 0, 0, 0) and ignore writes. These run once or more per pixel of every
// filter: straight buffer access, one bounds check, nothing allocated.
#include <lua.hpp>

#include <array>
#include <cstddef>

#include "imaging/colour_spaces.h"
#include "script/lua_numbers.h"
#include "script/lua_run.h"

namespace plr::script {
namespace {

constexpr std::array<double, 256> kByteUnit = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = i / 255.0;
    return t;
}();

constexpr std::uint8_t kOutside[4] = {0, 0, 0, 0};

// Byte offset of the pixel at arguments 1 and 2 (truncated toward zero), or
// -1 when it lies outside the page. trunc(x) is a column exactly when
// -1 < x < width.
inline std::ptrdiff_t pixelOffset(const LuaRun& run, lua_State* L) noexcept {
    const double x = lua_tonumber(L, 1), y = lua_tonumber(L, 2);
    if (!(x > -1.0 && y > -1.0 && x < run.width && y < run.height)) return -1;
    return (static_cast<std::ptrdiff_t>(static_cast<std::int32_t>(y)) * run.width + static_cast<std::int32_t>(x)) * 4;
}

inline const std::uint8_t* readPixel(lua_State* L) noexcept {
    const LuaRun& run = runOf(L);
    const std::ptrdiff_t at = pixelOffset(run, L);
    return at < 0 ? kOutside : run.read + at;
}

inline std::uint8_t* writePixel(lua_State* L) noexcept {
    LuaRun& run = runOf(L);
    const std::ptrdiff_t at = pixelOffset(run, L);
    return at < 0 ? nullptr : run.dst + at;
}

inline double arg(lua_State* L, int index) noexcept { return lua_tonumber(L, index); }

inline int pushChannels(lua_State* L, const std::uint8_t* p, int count) noexcept {
    for (int i = 0; i < count; ++i) lua_pushnumber(L, kByteUnit[p[i]]);
    return count;
}

inline void storeRgb(std::uint8_t* p, const Rgb8& c) noexcept {
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

int getValue(lua_State* L) {
    const std::uint8_t* p = readPixel(L);
    lua_pushnumber(L, (kByteUnit[p[0]] + kByteUnit[p[1]] + kByteUnit[p[2]]) / 3.0);
    return 1;
}
int setValue(lua_State* L) {
    if (std::uint8_t* p = writePixel(L)) p[0] = p[1] = p[2] = channelByte(arg(L, 3));
    return 0;
}
int getRgb(lua_State* L) { return pushChannels(L, readPixel(L), 3); }
int setRgb(lua_State* L) {
    if (std::uint8_t* p = writePixel(L)) storeRgb(p, {channelByte(arg(L, 3)), channelByte(arg(L, 4)), channelByte(arg(L, 5))});
    return 0;
}
int getAlpha(lua_State* L) { return pushChannels(L, readPixel(L) + 3, 1); }
int setAlpha(lua_State* L) {
    if (std::uint8_t* p = writePixel(L)) p[3] = channelByte(arg(L, 3));
    return 0;
}
int getRgba(lua_State* L) { return pushChannels(L, readPixel(L), 4); }
int setRgba(lua_State* L) {
    if (std::uint8_t* p = writePixel(L)) {
        p[0] = channelByte(arg(L, 3));
        p[1] = channelByte(arg(L, 4));
        p[2] = channelByte(arg(L, 5));
        p[3] = channelByte(arg(L, 6));
    }
    return 0;
}

int push3(lua_State* L, double a, double b, double c) {
    lua_pushnumber(L, a);
    lua_pushnumber(L, b);
    lua_pushnumber(L, c);
    return 3;
}

int pushSpace(lua_State* L, const Hsv& c) { return push3(L, c.h, c.s, c.v); }
int pushSpace(lua_State* L, const Hsl& c) { return push3(L, c.h, c.s, c.l); }
int pushSpace(lua_State* L, const Lab& c) { return push3(L, c.l, c.a, c.b); }

// The pixel's three coordinates in a colour space: "get_hsv", "get_hsl", "get_lab".
template <auto kFromRgb>
int getSpace(lua_State* L) {
    const std::uint8_t* p = readPixel(L);
    return pushSpace(L, kFromRgb(p[0], p[1], p[2]));
}

// "set_hsv", "set_hsl": the hue held to 0..359 degrees, the other two to 0..1.
template <auto kToRgb>
int setHueSpace(lua_State* L) {
    if (std::uint8_t* p = writePixel(L))
        storeRgb(p, kToRgb(clampTo(arg(L, 3), 0, 359), clampTo(arg(L, 4), 0, 1), clampTo(arg(L, 5), 0, 1)));
    return 0;
}

// No clamping of the input: the conversion pins the bytes.
int setLab(lua_State* L) {
    if (std::uint8_t* p = writePixel(L)) storeRgb(p, LabToRgb(arg(L, 3), arg(L, 4), arg(L, 5)));
    return 0;
}
int getCmyk(lua_State* L) {
    const std::uint8_t* p = readPixel(L);
    const Cmyk c = RgbToCmyk(p[0], p[1], p[2]);
    lua_pushnumber(L, c.c);
    lua_pushnumber(L, c.m);
    lua_pushnumber(L, c.y);
    lua_pushnumber(L, c.k);
    return 4;
}
// Inks outside 0..1 are held to it: the conversion is only defined there.
int setCmyk(lua_State* L) {
    if (std::uint8_t* p = writePixel(L))
        storeRgb(p, CmykToRgb(clampTo(arg(L, 3), 0, 1), clampTo(arg(L, 4), 0, 1), clampTo(arg(L, 5), 0, 1),
                              clampTo(arg(L, 6), 0, 1)));
    return 0;
}

constexpr luaL_Reg kPixelFunctions[] = {
    {"get_value", getValue}, {"set_value", setValue}, {"get_rgb", getRgb},   {"set_rgb", setRgb},
    {"get_alpha", getAlpha}, {"set_alpha", setAlpha}, {"get_rgba", getRgba}, {"set_rgba", setRgba},
    {"get_hsv", getSpace<RgbToHsv>},
    {"set_hsv", setHueSpace<HsvToRgb>},
    {"get_hsl", getSpace<RgbToHsl>},
    {"set_hsl", setHueSpace<HslToRgb>},
    {"get_lab", getSpace<RgbToLab>},
    {"set_lab", setLab},
    {"get_cmyk", getCmyk},
    {"set_cmyk", setCmyk},
};

}  // namespace

void registerPixelFunctions(lua_State* L) { registerFunctions(L, kPixelFunctions); }

}  // namespace plr::script
