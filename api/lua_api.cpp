// Lua filter scripts over the current layer.
#include "api/export.h"
#include "script/lua_filter.h"

using namespace plr;

extern "C" {

void PLR_LuaFilterRun(const char* scriptPath, int32_t slider1, int32_t slider2, int32_t slider3, int32_t slider4,
                      int32_t slider5, int32_t slider6, int32_t style1, int32_t style2, int32_t flag1, int32_t flag2,
                      int32_t flag3, int32_t flag4, int32_t flag5, int32_t flag6) noexcept {
    const LuaFilterSettings settings{{slider1, slider2, slider3, slider4, slider5, slider6},
                                     {style1, style2},
                                     {flag1, flag2, flag3, flag4, flag5, flag6}};
    guardedExport<exported::PLR_LuaFilterRun>([&] { runLuaFilter(engine(), scriptPath, settings); });
}

}  // extern "C"
