// A Lua filter run as a whole: what reaches the layer on success, on a
// script error and through "flush" and "merge"; missing buffers; the Lua
// state's memory.
#include "core/alloc.h"
#include "layers/merge_rgba32.h"
#include "lua_test_support.h"

namespace plr::test {
namespace {

using LuaRun = LuaFilterTest;

TEST_F(LuaRun, AScriptThatDoesNothingLeavesTheLayerAsItWas) {
    makePage(7, 5);
    const auto before = layer64();
    run("");
    EXPECT_TRUE(caughtMessages().empty());
    EXPECT_EQ(layer64(), before);
}

TEST_F(LuaRun, SuccessWritesTheDestinationIntoTheCurrentLayer) {
    makePage(7, 5);
    run("for y = 0, bound_y1 do for x = 0, bound_x1 do set_rgba(x, y, x / 6, y / 4, 1, 1) end end\n");
    const auto l = layer();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const std::uint8_t* p = &l[static_cast<std::size_t>(y * 7 + x) * 4];
            EXPECT_EQ(p[0], static_cast<int>(x / 6.0 * 255));
            EXPECT_EQ(p[1], static_cast<int>(y / 4.0 * 255));
            EXPECT_EQ(p[2], 255);
            EXPECT_EQ(p[3], 255);
        }
}

TEST_F(LuaRun, MalformedScriptsLeaveTheLayerExactlyAsItWasAndReportTheirError) {
    struct Case {
        const char* script;
        const char* message;  // a part of the error text
    };
    const Case cases[] = {
        {"for y = 0, 2 do set_rgb(0, y, 1, 1, 1) end\nlocal x = = 1\n", "unexpected symbol near '='"},
        {"set_rgb(0, 0, 1, 1, 1)\nlocal t = nil\nt.field = 1\n", "attempt to index"},
        {"for y = 0, bound_y1 do for x = 0, bound_x1 do set_value(x, y, 0.5) end\n"
         "  if y == 2 then error('stopped half-way') end end\n",
         "stopped half-way"},
        {"set_rgb(0, 0, 1, 1, 1)\nerror({})\n", "(error object is not a string)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        resetEngine();
        caughtMessages().clear();
        engine().messageSink = catchMessage;
        makePage(7, 5);
        const auto before = layer64();
        run(c.script);
        EXPECT_NE(scriptError().find(c.message), std::string::npos) << scriptError();
        EXPECT_EQ(layer64(), before);
    }
}

TEST_F(LuaRun, AMissingFileReportsTheLoadersText) {
    makePage(4, 4);
    const auto before = layer64();
    const std::string path = (dir / "none.lua").string();
    runFile(path);
    EXPECT_EQ(scriptError().rfind("cannot open " + path, 0), 0u) << scriptError();
    EXPECT_EQ(layer64(), before);

    caughtMessages().clear();
    PLR_LuaFilterRun(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);  // never standard input
    EXPECT_EQ(scriptError().rfind("cannot open ", 0), 0u);
}

TEST_F(LuaRun, LongLoadErrorsAreCutTo2047Characters) {
    makePage(4, 4);
    const std::string name(3000, 'n');
    runFile((dir / name).string() + ".lua");
    EXPECT_EQ(scriptError().size(), 2047u);
}

TEST_F(LuaRun, FlushKeepsItsChangesWhenTheScriptFailsLater) {
    makePage(4, 4);
    auto expected = layer();
    run("set_rgba(1, 1, 1, 0, 0, 1)\nflush()\nout(get_rgb(1, 1))\nset_rgba(2, 2, 0, 1, 0, 1)\nerror('late')\n");
    EXPECT_NE(scriptError().find("late"), std::string::npos);
    std::uint8_t* p = &expected[(1 * 4 + 1) * 4];
    p[0] = 255, p[1] = 0, p[2] = 0, p[3] = 255;
    EXPECT_EQ(layer(), expected);
    // The source shows the flushed pixel at once.
    ASSERT_EQ(caughtMessages().front().caption, "out");
    EXPECT_EQ(caughtMessages().front().text, "1 0 0");
}

TEST_F(LuaRun, MergeBlendsTheDestinationIntoTheLayerWithModeAndOpacity) {
    // Layer 1 half-transparent grey; the script paints the destination red
    // and merges it: full opacity gives red, 0.5 gives opacity 127, and
    // Multiply multiplies.
    std::vector<std::uint8_t> grey(6 * 4 * 4);
    for (std::size_t i = 0; i < grey.size(); i += 4) grey[i] = grey[i + 1] = grey[i + 2] = 128, grey[i + 3] = 255;
    struct Case {
        const char* call;
        std::int32_t mode, opacity;
    };
    const Case cases[] = {{"merge(MERGE_NORMAL, 1)", 0, 255},
                          {"merge(MERGE_NORMAL, 0.5)", 0, 127},
                          {"merge('1', 0.75)", 1, 191},
                          {"merge(MERGE_SCREEN, 1.5)", 2, 382}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        resetEngine();
        caughtMessages().clear();
        engine().messageSink = catchMessage;
        makePage(6, 4, grey);
        std::vector<std::uint8_t> red(6 * 4 * 4);
        for (std::size_t i = 0; i < red.size(); i += 4) red[i] = 255, red[i + 3] = 200;
        // The same blend by hand, on slot 2 holding the same grey.
        PLR_LoadRGBA32Layer(grey.data(), 6 * 4, 2, 0, 0, 6, 4, 0);
        ASSERT_TRUE(mergeRGBA32IntoLayer(page(), red.data(), page().layers[2], c.mode, 0, c.opacity, false));
        const auto expected = layer64(2);
        const auto greyLayer = layer64();
        // After the merge the source holds the blended layer, and writing it
        // back leaves the layer as the merge made it.
        run(std::string("for y = 0, 3 do for x = 0, 5 do set_rgba(x, y, 1, 0, 0, 200 / 255) end end\n") + c.call +
            "\nfor y = 0, 3 do for x = 0, 5 do set_rgba(x, y, get_rgba(x, y)) end end\n");
        EXPECT_TRUE(caughtMessages().empty());
        const auto got = layer64();
        std::vector<std::uint16_t> highBytes(expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) highBytes[i] = static_cast<std::uint16_t>(expected[i] & 0xFF00);
        EXPECT_EQ(got, highBytes);
        EXPECT_NE(got, greyLayer);
    }
}

TEST_F(LuaRun, WithoutBothBuffersNothingRunsAndNothingIsShown) {
    makePage(4, 4);
    const std::string path = writeFile("f.lua", "message_box('ran', 'x')\nset_rgb(0, 0, 1, 1, 1)\n");
    PLR_IPLFreeDstBuffer32();
    runFile(path);
    PLR_IPLAllocDstBuffer32();
    PLR_IPLFreeSrcBuffer32();
    runFile(path);
    EXPECT_TRUE(caughtMessages().empty());
}

TEST_F(LuaRun, RunningOutOfMemoryFailsTheRunOrTheScriptAndLeaksNothing) {
    const std::string body =
        "local t = {}\nfor i = 1, 50 do t[i] = string.rep('x', i) end\n"
        "for y = 0, 3 do for x = 0, 3 do set_value(x, y, #t[10] / 20) end end\n";
    makePage(4, 4);
    writeFile("filter.lua", body);
    const auto before = layer64();
    const auto blocks = mem::stats().liveBlocks;
    auto runIt = [&] { runFile((dir / "filter.lua").string()); };
    runIt();
    const auto filtered = layer64();
    ASSERT_NE(filtered, before);
    // The layer as it was, nothing shown, no error.
    auto prepare = [&] {
        caughtMessages().clear();
        PLR_SetRGBA64Layer(before.data(), width * 8, 1);
        PLR_SetLastError("");
    };

    // Each failed request ends the run (no state), fails the script (a
    // script error, the layer untouched), or, while the standard libraries
    // open, is absorbed by the reserve.
    int runFailures = 0, scriptFailures = 0, absorbed = 0;
    const int allocations = forEachAllocationFailure(prepare, runIt, [&](int) {
        const std::string error = PLR_GetLastError();
        if (error == "LuaFilterRun Excpt") {
            ++runFailures;
            EXPECT_TRUE(caughtMessages().empty());
            EXPECT_EQ(layer64(), before);
        } else if (!caughtMessages().empty()) {
            ++scriptFailures;
            EXPECT_EQ(error, "");
            EXPECT_NE(scriptError().find("not enough memory"), std::string::npos);
            EXPECT_EQ(layer64(), before);
        } else {
            ++absorbed;
            EXPECT_EQ(layer64(), filtered);
        }
        EXPECT_EQ(mem::stats().liveBlocks, blocks);
    });
    EXPECT_GT(allocations, 100);
    EXPECT_GT(runFailures, 0);
    EXPECT_GT(scriptFailures, 0);
    EXPECT_GT(absorbed, 0);
}

}  // namespace
}  // namespace plr::test
