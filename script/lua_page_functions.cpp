// The Lua filter's functions beyond single pixels: the selection mask, the
// brush colours, writing the result into the layer before the script ends
// ("flush", "merge"), the buffer switch and the utilities (messages, the
// Escape key, 32-bit bit operations).
#include <lua.hpp>

#include <cstring>

#include "engine/page.h"
#include "layers/layer_load.h"
#include "layers/layer_read.h"
#include "layers/merge_rgba32.h"
#include "imaging/mask_texture_adjust.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "script/lua_numbers.h"
#include "script/lua_run.h"

namespace plr::script {
namespace {

inline double arg(lua_State* L, int index) noexcept { return lua_tonumber(L, index); }

// The mask value at arguments 1 and 2, or null outside the page or without
// a mask plane. The mask is read and written whether or not it is enabled.
std::uint16_t* maskAt(lua_State* L) noexcept {
    LuaRun& run = runOf(L);
    const double x = arg(L, 1), y = arg(L, 2);
    if (!(x > -1.0 && y > -1.0 && x < run.width && y < run.height)) return nullptr;
    Page& page = *run.page;
    if (page.mask.plane.size() != page.pixelCount()) return nullptr;
    return page.mask.plane.data() + static_cast<std::size_t>(static_cast<std::int32_t>(y)) * page.width +
           static_cast<std::int32_t>(x);
}

int getMask(lua_State* L) {
    const std::uint16_t* m = maskAt(L);
    lua_pushnumber(L, m ? *m / 65535.0 : 0.0);
    return 1;
}
// Values outside 0..1 are held to it.
int setMask(lua_State* L) {
    if (std::uint16_t* m = maskAt(L)) *m = maskValue(arg(L, 3));
    return 0;
}

int pushColour(lua_State* L, const Color16& c) {
    lua_pushnumber(L, (c.red >> 8) / 255.0);
    lua_pushnumber(L, (c.green >> 8) / 255.0);
    lua_pushnumber(L, (c.blue >> 8) / 255.0);
    return 3;
}
int getColor(lua_State* L) { return pushColour(L, runOf(L).page->brush.dabColor); }
template <int kBank>
int getBankColor(lua_State* L) {
    return pushColour(L, runOf(L).page->brush.colorBanks[kBank]);
}

// The current layer when it has the page's pixels.
LayerRecord* targetLayer(LuaRun& run) noexcept { return run.page->currentPageLayer(); }

// The destination into the whole current layer, limited by the mask and the
// paper texture; from then on the source shows it too.
int flush(lua_State* L) {
    LuaRun& run = runOf(L);
    if (LayerRecord* layer = targetLayer(run))
        loadRGBA32IntoLayer(*run.page, *layer, run.dst, run.width * 4, 0, 0, layer->width, layer->height, true);
    std::memcpy(run.src, run.dst, static_cast<std::size_t>(run.width) * static_cast<std::size_t>(run.height) * 4);
    return 0;
}

// The destination blended into the current layer with a layer blend mode and
// an opacity 0..1; the source is then read back from the layer.
int merge(lua_State* L) {
    LuaRun& run = runOf(L);
    const std::int32_t mode = truncToInt32(arg(L, 1));
    const std::int32_t opacity = truncToInt32(arg(L, 2) * 255.0);
    LayerRecord* layer = targetLayer(run);
    if (!layer) return 0;
    Page& page = *run.page;
    adjustRGBA32ByMaskAndTexture(page.coverage(), run.dst, run.width, run.height);
    mergeRGBA32IntoLayer(page, run.dst, *layer, mode, 0, opacity, layer->alphaLock != 0);
    readRGBA32(page, layer, run.src, run.width * 4);
    return 0;
}

int singleBuffer(lua_State* L) {
    runOf(L).setSingleBuffer(lua_toboolean(L, 1) != 0);
    return 0;
}

int progress(lua_State*) { return 0; }

inline const char* textArg(lua_State* L, int index) noexcept {
    const char* s = lua_tostring(L, index);
    return s ? s : "";
}

int messageBox(lua_State* L) {
    const char* text = textArg(L, 1);
    showMessage(runOf(L), text, textArg(L, 2));
    return 0;
}

int isEscape(lua_State* L) {
    lua_pushnumber(L, platform::escapePressed() ? 1 : 0);
    return 1;
}

int outputDebugString(lua_State* L) {
    platform::debugOutput(textArg(L, 1));
    return 0;
}

int pushInt(lua_State* L, std::int32_t v) {
    lua_pushnumber(L, v);
    return 1;
}
int bitNotFn(lua_State* L) { return pushInt(L, bitNot(arg(L, 1))); }
int bitAndFn(lua_State* L) { return pushInt(L, bitAnd(arg(L, 1), arg(L, 2))); }
int bitOrFn(lua_State* L) { return pushInt(L, bitOr(arg(L, 1), arg(L, 2))); }
int bitXorFn(lua_State* L) { return pushInt(L, bitXor(arg(L, 1), arg(L, 2))); }
int bitShfrFn(lua_State* L) { return pushInt(L, bitShiftRight(arg(L, 1), arg(L, 2))); }
int bitShflFn(lua_State* L) { return pushInt(L, bitShiftLeft(arg(L, 1), arg(L, 2))); }

constexpr luaL_Reg kPageFunctions[] = {
    {"get_mask", getMask},
    {"set_mask", setMask},
    {"get_color", getColor},
    {"get_color1", getBankColor<0>},
    {"get_color2", getBankColor<1>},
    {"get_color3", getBankColor<2>},
    {"get_color4", getBankColor<3>},
    {"flush", flush},
    {"merge", merge},
    {"single_buffer", singleBuffer},
    {"progress", progress},
    {"message_box", messageBox},
    {"is_escape", isEscape},
    {"bit_not", bitNotFn},
    {"bit_and", bitAndFn},
    {"bit_or", bitOrFn},
    {"bit_xor", bitXorFn},
    {"bit_shfr", bitShfrFn},
    {"bit_shfl", bitShflFn},
    {"output_debug_string", outputDebugString},
};

}  // namespace

void registerPageFunctions(lua_State* L) { registerFunctions(L, kPageFunctions); }

}  // namespace plr::script
