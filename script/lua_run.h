#pragma once
// What one Lua filter run works with: the page's two RGBA32 processing
// buffers, the single-buffer switch, the paint-script file and where
// messages go. It lives on the stack of the run.
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

// The run in progress. Runs do not nest (scripts cannot start one) and the
// engine is single-threaded: the registered functions find their run here
// rather than in an upvalue, a look-up each call saves.
extern LuaRun* activeRun;
inline LuaRun& runOf(lua_State*) noexcept { return *activeRun; }

// Shows a message box, or hands the texts to the sink.
void showMessage(const LuaRun& run, const char* text, const char* caption) noexcept;

// Each function of the table as a global.
void registerFunctions(lua_State* L, const luaL_Reg* table, std::size_t count);
template <std::size_t N>
void registerFunctions(lua_State* L, const luaL_Reg (&table)[N]) {
    registerFunctions(L, table, N);
}

// Registers each family of functions as globals.
void registerPixelFunctions(lua_State* L);
void registerPageFunctions(lua_State* L);
void registerPaintFunctions(lua_State* L);

}  // namespace plr::script
