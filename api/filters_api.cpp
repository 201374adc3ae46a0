// The filter dispatcher: any named filter applied to the current layer.
#include "api/export.h"
#include "engine/page_filter_dispatch.h"

using namespace plr;

namespace {

// "Lua Filter": the script host with the script path, P1..P6 as its sliders
// and options 1..8 as its two styles and six flags.
void runLuaFilter(void*, const char* path, const std::int32_t* p, const std::int32_t* o) {
    PLR_LuaFilterRun(path, p[0], p[1], p[2], p[3], p[4], p[5], o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7]);
}

}  // namespace

extern "C" {

int32_t PLR_IPLImageProcess(int32_t, const char* name, int32_t random, int32_t p1, int32_t p2, int32_t p3, int32_t p4,
                            int32_t p5, int32_t p6, int32_t option1, int32_t option2, int32_t option3,
                            int32_t option4, int32_t option5, int32_t option6, int32_t option7, int32_t option8,
                            int32_t red, int32_t green, int32_t blue, const char* text) noexcept {
    return guardedExport<exported::PLR_IPLImageProcess>([&] {
        FilterCall call;
        call.name = name;
        call.random = random;
        call.args = {{p1, p2, p3, p4, p5, p6},
                     {option1, option2, option3, option4, option5, option6, option7, option8},
                     red,
                     green,
                     blue};
        call.text = text;
        const FilterHooks hooks{runLuaFilter, nullptr};
        EngineState& e = engine();
        return imageProcess(e.page, e.filters, e.effectLibrary, call, hooks);
    });
}

}  // extern "C"
