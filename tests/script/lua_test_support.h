#pragma once
// Running Lua filter scripts in tests: a small page whose current layer holds
// known RGBA32 pixels, the processing buffers taken, message boxes caught,
// and scripts written to a scratch folder. Scripts report values through
// out(...), which shows them in a message box captioned "out" as "%.17g"
// numbers separated by blanks.
#if defined(_WIN32)
#include <process.h>
#define PLR_TEST_PID _getpid()
#else
#include <unistd.h>
#define PLR_TEST_PID ::getpid()
#endif

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "script/lua_filter.h"

namespace plr::test {

struct CaughtMessage {
    std::string text, caption;
};

inline std::vector<CaughtMessage>& caughtMessages() {
    static std::vector<CaughtMessage> messages;
    return messages;
}

inline void catchMessage(const char* text, const char* caption) { caughtMessages().push_back({text, caption}); }

// "%.17g" of each value, separated by blanks: what out(...) shows.
inline std::string numbers(std::initializer_list<double> values) {
    std::string s;
    for (double v : values) {
        char t[40];
        std::snprintf(t, sizeof t, "%.17g", v);
        if (!s.empty()) s += ' ';
        s += t;
    }
    return s;
}

class LuaFilterTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        caughtMessages().clear();
        engine().messageSink = catchMessage;
        dir = std::filesystem::temp_directory_path() /
              ("plr_lua_" + std::to_string(PLR_TEST_PID) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        EngineTest::TearDown();
    }

    // A w x h page, layer 1 current and filled with `rgba` (w * h * 4 bytes;
    // empty: a pattern of every byte value), both 32-bit buffers taken.
    void makePage(int w, int h, std::vector<std::uint8_t> rgba = {}) {
        width = w;
        height = h;
        PLR_CreateImage(nullptr, w, h, 8, 0);
        PLR_CreateLayer(1, w, h);
        PLR_CreateLayer(2, w, h);
        PLR_SetLayer(1);
        if (rgba.empty()) {
            rgba.resize(static_cast<std::size_t>(w) * h * 4);
            for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 37 + 11);
        }
        PLR_LoadRGBA32(rgba.data(), w * 4, 0);
        PLR_IPLAllocSrcBuffer32();
        PLR_IPLAllocDstBuffer32();
    }

    std::string writeFile(const std::string& name, const std::string& text) {
        const std::filesystem::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    // Runs `body` after the out() prelude; returns the texts out() showed.
    std::vector<std::string> run(const std::string& body, const LuaFilterSettings& s = {}) {
        static const char kPrelude[] =
            "function out(...) local t = {} for i = 1, select('#', ...) do "
            "t[i] = string.format('%.17g', (select(i, ...))) end message_box(table.concat(t, ' '), 'out') end\n";
        const std::string path = writeFile("filter.lua", kPrelude + body);
        runFile(path, s);
        std::vector<std::string> texts;
        for (const CaughtMessage& m : caughtMessages())
            if (m.caption == "out") texts.push_back(m.text);
        return texts;
    }
    void runFile(const std::string& path, const LuaFilterSettings& s = {}) {
        PLR_LuaFilterRun(path.c_str(), s.sliders[0], s.sliders[1], s.sliders[2], s.sliders[3], s.sliders[4],
                         s.sliders[5], s.styles[0], s.styles[1], s.flags[0], s.flags[1], s.flags[2], s.flags[3],
                         s.flags[4], s.flags[5]);
    }
    // The one "Lua Script Error" text shown, or "" (and a failure) otherwise.
    std::string scriptError() {
        std::vector<std::string> errors;
        for (const CaughtMessage& m : caughtMessages())
            if (m.caption == "Lua Script Error") errors.push_back(m.text);
        EXPECT_EQ(errors.size(), 1u);
        return errors.empty() ? "" : errors.front();
    }
    std::vector<std::uint8_t> layer(int slot = 1) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * 4);
        PLR_GetRGBA32Layer(out.data(), width * 4, slot);
        return out;
    }
    std::vector<std::uint16_t> layer64(int slot = 1) {
        std::vector<std::uint16_t> out(static_cast<std::size_t>(width) * height * 4);
        PLR_GetRGBA64Layer(reinterpret_cast<std::uint8_t*>(out.data()), width * 8, slot);
        return out;
    }
    std::vector<std::uint8_t> srcBuffer() {
        const auto& b = page().processing.src32;
        return {b.data(), b.data() + b.size()};
    }
    static std::string slurp(const std::filesystem::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }

    std::filesystem::path dir;
    int width = 0, height = 0;
};

}  // namespace plr::test
