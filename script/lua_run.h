#pragma once
// What one Lua filter run works with: the page's two RGBA32 processing
// buffers, the single-buffer switch, the paint-script file and where
// messages go. It lives on the stack of the run; every registered function
// reaches it through its first upvalue.
#include <cstddef>
#include <cstdint>

#include "platform/message_box.h"
#include "script/paint_recorder.h"

struct lua_State;
struct luaL_Reg;

namespace plr {
struct Page;
}

namespace plr::script {

struct LuaRun {
    Page* page = nullptr;
    std::uint8_t* src = nullptr;  // what the layer looked like
    std::uint8_t* dst = nullptr;  // what the script writes
    // The buffer the reading functions use: `src`, or `dst` with the
    // single-buffer switch on.
    const std::uint8_t* read = nullptr;
    std::int32_t width = 0, height = 0;
    bool singleBuffer = false;
    const char* startDir = "";
    platform::MessageSink messageSink = nullptr;  // null: the system's box
    PaintRecorder recorder;

    void setSingleBuffer(bool on) noexcept {
        singleBuffer = on;
        read = on ? dst : src;
    }
};

// The run of the calling function (its first upvalue).
LuaRun& runOf(lua_State* L) noexcept;

// Shows a message box, or hands the texts to the sink.
void showMessage(const LuaRun& run, const char* text, const char* caption) noexcept;

// Each function of the table as a global, a closure over `run`.
void registerClosures(lua_State* L, LuaRun* run, const luaL_Reg* table, std::size_t count);
template <std::size_t N>
void registerClosures(lua_State* L, LuaRun* run, const luaL_Reg (&table)[N]) {
    registerClosures(L, run, table, N);
}

// Registers each family of functions as globals, every one a closure over `run`.
void registerPixelFunctions(lua_State* L, LuaRun* run);
void registerPageFunctions(lua_State* L, LuaRun* run);
void registerPaintFunctions(lua_State* L, LuaRun* run);

}  // namespace plr::script
