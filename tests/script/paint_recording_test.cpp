// Paint scripts recorded by Lua filters: the file's exact bytes.
#include "lua_test_support.h"
#include "script/paint_recorder.h"

namespace plr::test {
namespace {

class PaintRecording : public LuaFilterTest {
protected:
    void SetUp() override {
        LuaFilterTest::SetUp();
        std::filesystem::create_directories(dir / "scripts");
        startDir = dir.string() + static_cast<char>(std::filesystem::path::preferred_separator);
        PLR_SetStartDir(startDir.c_str());
        makePage(3, 3);
    }
    std::filesystem::path file() const { return dir / "scripts" / "luapaint.srp"; }
    std::string recorded() const { return slurp(file()); }
    // Lines joined with CR LF, each ended by one.
    static std::string lines(std::initializer_list<const char*> l) {
        std::string s;
        for (const char* t : l) s += std::string(t) + "\r\n";
        return s;
    }
    std::string startDir;
};

TEST_F(PaintRecording, OpenAndCloseWriteTheHeaderAndTheEnd) {
    run("paint_open(42)\npaint_close()\n");
    EXPECT_EQ(recorded(), lines({"1554", "Description", "1", " ", "RandomSeed", "42", "ScriptEnd"}));
    EXPECT_TRUE(caughtMessages().empty());
}

TEST_F(PaintRecording, EveryRecordWithItsKeywordAndValueLines) {
    run("paint_open('7')\n"
        "paint_stroke_start(10, 20.5)\n"
        "paint_stroke_pos(10.25, 20, 0.5)\n"
        "paint_stroke_stop()\n"
        "paint_select_brush(3, 2, 0)\n"
        "paint_brush_size(12)\n"
        "paint_brush_density('40')\n"
        "paint_brush_opacity(1e20)\n"
        "paint_brush_color(1, 0.5, 0)\n"
        "paint_brush_color(-0.5, 2, '0.1')\n"
        "paint_set_color_banks('banks', 1, 0, 0, 0, 1, 0, 0, 0, 1, 0.5, 0.5, 0.5)\n"
        "paint_line(1, 2, 3, 4)\n"
        "paint_spline(1, 2, 3, 4, 5, 6, 7, 8)\n"
        "paint_dab(5, 6, 0.75)\n"
        "paint_filter('Blur', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19)\n"
        "paint_close()\n");
    std::string expected = lines({"1554", "Description", "1", " ", "RandomSeed", "7"});
    expected += lines({"DrawStart", "10", "20.5", "-1", "SmoothPlot2", "0", "0", "0", "1", "0"});
    expected += lines({"SmoothPlot2", "10.25", "20", "0.5", "0", "0"});
    expected += lines({"SmoothPlot2", "0", "0", "0", "0", "1", "DrawStop", "1"});
    expected += lines({"SelectBrush", "3", "2", "0"});
    expected += lines({"SetBrushSize", "12", "SetBrushDensity", "40", "SetBrushOpacity", "1e+20"});
    expected += lines({"SetColor", "255", "127", "0"});
    expected += lines({"SetColor", "-127", "510", "25"});
    expected += lines({"SetColorBanks", "banks", "255", "0", "0", "0", "255", "0", "0", "0", "255", "127", "127", "127"});
    expected += lines({"Line2", "1", "2", "3", "4"});
    expected += lines({"Spline", "1", "2", "3", "4", "5", "6", "7", "8"});
    expected += lines({"Dab", "5", "6", "0.75"});
    expected += lines({"Filter", "Blur", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14",
                       "15", "16", "17", "18", "19"});
    expected += lines({"ScriptEnd"});
    EXPECT_EQ(recorded(), expected);
}

TEST_F(PaintRecording, NothingIsWrittenWithoutAnOpenFile) {
    run("paint_stroke_start(1, 2)\npaint_dab(1, 2, 3)\npaint_close()\n");
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_TRUE(caughtMessages().empty());

    // A file that cannot be made: nothing recorded, nothing fails.
    std::filesystem::remove_all(dir / "scripts");
    run("paint_open(1)\npaint_dab(1, 2, 3)\npaint_close()\nout(1)\n");
    EXPECT_FALSE(std::filesystem::exists(file()));
    ASSERT_EQ(caughtMessages().size(), 1u);
    EXPECT_EQ(caughtMessages()[0].caption, "out");
}

TEST_F(PaintRecording, TheEndOfARunClosesTheFileWithoutScriptEnd) {
    run("paint_open(5)\npaint_brush_size(3)\n");
    EXPECT_EQ(recorded(), lines({"1554", "Description", "1", " ", "RandomSeed", "5", "SetBrushSize", "3"}));
    // Also when the script fails; what was recorded stays.
    run("paint_open(6)\npaint_dab(1, 1, 1)\nerror('x')\n");
    EXPECT_EQ(recorded(), lines({"1554", "Description", "1", " ", "RandomSeed", "6", "Dab", "1", "1", "1"}));
}

TEST_F(PaintRecording, ASecondOpenStartsANewFile) {
    run("paint_open(1)\npaint_dab(1, 1, 1)\npaint_open(2)\npaint_close()\n");
    EXPECT_EQ(recorded(), lines({"1554", "Description", "1", " ", "RandomSeed", "2", "ScriptEnd"}));
}

TEST_F(PaintRecording, MissingValuesAndLineBreaksKeepTheRecordsShape) {
    run("paint_open(1)\npaint_dab(1)\npaint_select_brush('a\\nb', {}, true)\npaint_brush_color()\npaint_close()\n");
    std::string expected = lines({"1554", "Description", "1", " ", "RandomSeed", "1"});
    expected += lines({"Dab", "1", "0", "0", "SelectBrush", "a b", "0", "0", "SetColor", "0", "0", "0", "ScriptEnd"});
    EXPECT_EQ(recorded(), expected);
}

TEST(PaintScriptPath, StartDirectoryThenTheFileAndNothingThatDoesNotFit) {
    char out[64];
    ASSERT_TRUE(script::paintScriptPath("C:\\app\\", out, sizeof out));
    EXPECT_EQ(std::string(out), std::string("C:\\app\\") + script::kPaintScriptFile);
    ASSERT_TRUE(script::paintScriptPath("", out, sizeof out));
    EXPECT_EQ(std::string(out), script::kPaintScriptFile);
    const std::string dir(64 - sizeof script::kPaintScriptFile, 'd');
    EXPECT_TRUE(script::paintScriptPath(dir.c_str(), out, sizeof out));
    EXPECT_FALSE(script::paintScriptPath((dir + "d").c_str(), out, sizeof out));
    EXPECT_EQ(out[0], '\0');
}

}  // namespace
}  // namespace plr::test
