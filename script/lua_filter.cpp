#include "script/lua_filter.h"

#include <lua.hpp>

#include <cstring>

#include "core/alloc.h"
#include "core/failure.h"
#include "engine/engine.h"
#include "layers/layer_load.h"
#include "script/lua_run.h"

namespace plr {
namespace script {

LuaRun* activeRun = nullptr;

void showMessage(const LuaRun& run, const char* text, const char* caption) noexcept {
    if (!run.messageSink) {
        platform::showMessageBox(text, caption);
        return;
    }
    // A sink must not unwind through the script's C frames.
    try {
        run.messageSink(text, caption);
    } catch (...) {
    }
}

void registerFunctions(lua_State* L, const luaL_Reg* table, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        lua_pushcfunction(L, table[i].func);
        lua_setglobal(L, table[i].name);
    }
}

}  // namespace script

namespace {

using script::LuaRun;

constexpr char kErrorCaption[] = "Lua Script Error";
// The message buffer of a load error: 2048 bytes with the terminator.
constexpr std::size_t kLoadMessageLength = 2047;

// Lua's memory comes from the engine heap: counted, and failing where tests
// make it fail. Lua relies on a shrink never failing: the old block serves.
//
// While the standard libraries open, a failed request is retried once after
// giving back a reserve block: the io library, failing half-way through
// making its standard files, would leave the host's standard input or output
// to be closed with the state.
struct LuaHeap {
    void* reserve = nullptr;

    void releaseReserve() noexcept {
        mem::release(reserve);
        reserve = nullptr;
    }
};

constexpr std::size_t kSetUpReserve = 64 * 1024;

void* luaHeap(void* heap, void* block, std::size_t oldSize, std::size_t newSize) noexcept {
    if (newSize == 0) {
        mem::release(block);
        return nullptr;
    }
    void* fresh = mem::allocate(newSize);
    LuaHeap& h = *static_cast<LuaHeap*>(heap);
    if (!fresh && h.reserve) {
        h.releaseReserve();
        fresh = mem::allocate(newSize);
    }
    if (!fresh) return block && newSize <= oldSize ? block : nullptr;
    if (block) {
        std::memcpy(fresh, block, oldSize < newSize ? oldSize : newSize);
        mem::release(block);
    }
    return fresh;
}

struct ActiveRun {
    explicit ActiveRun(LuaRun* run) noexcept { script::activeRun = run; }
    ~ActiveRun() { script::activeRun = nullptr; }
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;
};

struct StateOwner {
    lua_State* L;
    ~StateOwner() {
        if (L) lua_close(L);
    }
};

constexpr struct {
    const char* name;
    int mode;
} kMergeModes[] = {
    {"MERGE_NORMAL", 0},      {"MERGE_MULTIPLY", 1},    {"MERGE_SCREEN", 2},      {"MERGE_DARKEN", 3},
    {"MERGE_LIGHTEN", 4},     {"MERGE_DIFFERENCE", 5},  {"MERGE_NEGATION", 6},    {"MERGE_EXCLUSIO", 7},
    {"MERGE_OVERLAY", 8},     {"MERGE_HARD_LIGHT", 9},  {"MERGE_SOFT_LIGHT", 10}, {"MERGE_DODGE", 11},
    {"MERGE_BURN", 12},       {"MERGE_REFLECT", 13},    {"MERGE_GLOW", 14},       {"MERGE_ADD", 15},
    {"MERGE_SUBTRACT", 16},   {"MERGE_TEXTURIZE", 17},  {"MERGE_TEXTURIZE2", 18}, {"MERGE_TEXTURIZE3", 19},
};

struct Setup {
    LuaRun* run;
    const LuaFilterSettings* settings;
};

void setNumber(lua_State* L, const char* name, double v) {
    lua_pushnumber(L, v);
    lua_setglobal(L, name);
}

// The standard libraries, the engine's functions and the globals. Run in
// protected mode: only running out of memory can fail here.
int setUp(lua_State* L) {
    const Setup& s = *static_cast<const Setup*>(lua_touserdata(L, 1));
    luaL_openlibs(L);
    script::registerPixelFunctions(L);
    script::registerPageFunctions(L);
    script::registerPaintFunctions(L);
    const double w = s.run->width, h = s.run->height;
    setNumber(L, "width", w);
    setNumber(L, "height", h);
    setNumber(L, "bound_x0", 0);
    setNumber(L, "bound_y0", 0);
    setNumber(L, "bound_x1", w - 1);
    setNumber(L, "bound_y1", h - 1);
    char name[16];
    for (int i = 0; i < 6; ++i) {
        std::snprintf(name, sizeof name, "sliderVal%d", i + 1);
        setNumber(L, name, s.settings->sliders[i] * 0.001);
    }
    for (int i = 0; i < 6; ++i) {
        std::snprintf(name, sizeof name, "flagVal%d", i + 1);
        lua_pushboolean(L, (s.settings->flags[i] & 0xFF) != 0);
        lua_setglobal(L, name);
    }
    for (int i = 0; i < 2; ++i) {
        std::snprintf(name, sizeof name, "styleVal%d", i + 1);
        setNumber(L, name, static_cast<double>(s.settings->styles[i]) + 1.0);
    }
    for (const auto& m : kMergeModes) setNumber(L, m.name, m.mode);
    return 0;
}

struct ScriptCall {
    const char* path;
    bool loadFailed = false;
    char loadMessage[kLoadMessageLength + 1] = {};
};

// Loads the file and, when it loads, calls it with no arguments keeping one
// result. A load error is kept in the call record; a run-time error leaves
// its value on the stack as this function's error.
int loadAndCall(lua_State* L) {
    ScriptCall& call = *static_cast<ScriptCall*>(lua_touserdata(L, 1));
    if (luaL_loadfile(L, call.path) != 0) {
        const char* text = lua_tostring(L, -1);
        std::strncpy(call.loadMessage, text ? text : "", kLoadMessageLength);
        call.loadFailed = true;
        lua_pop(L, 1);
        return 0;
    }
    lua_call(L, 0, 1);
    return 0;
}

// The instruction limit: the count hook fires every kHookStride
// instructions. Runs do not nest, so one budget serves.
constexpr int kHookStride = 1000;
std::uint64_t instructionsLeft = 0;

void countInstructions(lua_State* L, lua_Debug*) {
    if (instructionsLeft > kHookStride) {
        instructionsLeft -= kHookStride;
        return;
    }
    luaL_error(L, "instruction limit reached");
}

}  // namespace

void runLuaFilter(EngineState& engine, const char* path, const LuaFilterSettings& settings) {
    Page& page = engine.page;
    ProcessingBuffers& buffers = page.processing;
    const std::size_t bytes = page.pixelCount() * 4;
    if (bytes == 0 || buffers.src32.size() != bytes || buffers.dst32.size() != bytes) return;
    std::memcpy(buffers.dst32.data(), buffers.src32.data(), bytes);

    LuaRun run;
    run.page = &page;
    run.src = buffers.src32.data();
    run.dst = buffers.dst32.data();
    run.width = page.width;
    run.height = page.height;
    run.setSingleBuffer(false);
    run.startDir = engine.startDir;
    run.messageSink = engine.messageSink;
    const ActiveRun active{&run};

    LuaHeap heap;
    StateOwner state{lua_newstate(luaHeap, &heap)};
    need(state.L != nullptr, "Lua state");
    lua_State* L = state.L;
    heap.reserve = need(mem::allocate(kSetUpReserve), "Lua state");
    Setup setup{&run, &settings};
    const int setUpStatus = lua_cpcall(L, setUp, &setup);
    heap.releaseReserve();
    need(setUpStatus == 0, "Lua state");

    if (settings.instructionLimit != 0) {
        instructionsLeft = settings.instructionLimit;
        lua_sethook(L, countInstructions, LUA_MASKCOUNT, kHookStride);
    }
    // A null path would make the loader read standard input.
    ScriptCall call{path ? path : ""};
    const int status = lua_cpcall(L, loadAndCall, &call);
    if (call.loadFailed) {
        script::showMessage(run, call.loadMessage, kErrorCaption);
    } else if (status != 0) {
        const char* text = lua_tostring(L, -1);
        script::showMessage(run, text ? text : "(error object is not a string)", kErrorCaption);
    } else if (LayerRecord* layer = page.currentLayer) {
        loadRGBA32IntoLayer(page, *layer, run.dst, run.width * 4, 0, 0, layer->width, layer->height, true);
    }

    if (run.singleBuffer) std::memcpy(run.src, run.dst, bytes);
    run.recorder.close(false);
}

}  // namespace plr
