// `paloran lua`: the shipped Lua filters run over a picture as a user runs
// them, and a recorded sketch replays.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class LuaCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("plr_luacli_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ASSERT_EQ(run("demo --size 64x48 -o \"" + path("in.png") + "\"").status, 0);
    }
    void TearDown() override { fs::remove_all(dir); }

    struct Outcome {
        int status = -1;
        std::string out, err;
    };
    Outcome run(const std::string& args) {
        const std::string cmd = std::string("\"") + PALORAN_CLI + "\" " + args + " >\"" + path("stdout.txt") +
                                "\" 2>\"" + path("stderr.txt") + "\"";
        const int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "stdout.txt"), slurp(dir / "stderr.txt")};
    }
    Outcome lua(const std::string& script, const std::string& out, const std::string& options = "") {
        return run("lua \"" + script + "\" \"" + path("in.png") + "\" \"" + path(out) + "\" " + options);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string slurp(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    fs::path dir;
};

const fs::path kFilters = fs::path(PALORAN_SOURCE_DIR) / "data" / "lua";

TEST_F(LuaCli, EveryShippedFilterNamesItsSlidersRunsAndChangesThePicture) {
    std::ofstream(dir / "nothing.lua") << "-- does nothing\n";
    ASSERT_EQ(lua(path("nothing.lua"), "same.png").status, 0);
    const std::string unchanged = slurp(dir / "same.png");
    ASSERT_FALSE(unchanged.empty());

    int filters = 0;
    for (const auto& entry : fs::directory_iterator(kFilters)) {
        if (entry.path().extension() != ".lua") continue;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        const std::string text = slurp(entry.path());
        EXPECT_EQ(text.rfind("-- ", 0), 0u) << "starts with its comment block";
        EXPECT_NE(text.find("--   Slider 1: "), std::string::npos);
        const Outcome r = lua(entry.path().string(), name + ".png", "--p1 700 --p2 300 --p3 600 --p4 400 --style1 0");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find("Lua Script Error"), std::string::npos) << r.err;
        const std::string result = slurp(dir / (name + ".png"));
        // The sketch recorder only records: the picture stays.
        if (name == "sketch_strokes") EXPECT_EQ(result, unchanged);
        else EXPECT_NE(result, unchanged);
        ++filters;
    }
    EXPECT_GE(filters, 10);
}

TEST_F(LuaCli, ScriptErrorsAppearOnStandardErrorAndLeaveThePicture) {
    std::ofstream(dir / "nothing.lua") << "";
    ASSERT_EQ(lua(path("nothing.lua"), "same.png").status, 0);
    std::ofstream(dir / "bad.lua") << "for y = 0, height - 1 do set_value(0, y, 1) end\nerror('no more')\n";
    const Outcome r = lua(path("bad.lua"), "bad.png");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Lua Script Error: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no more"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(dir / "bad.png"), slurp(dir / "same.png"));
}

TEST_F(LuaCli, ARecordedSketchReplaysTheSameWayEveryTime) {
    fs::create_directories(dir / "scripts");
    const Outcome r = lua((kFilters / "sketch_strokes.lua").string(), "out.png",
                          "--p1 0 --p2 600 --p3 200 --start-dir \"" + dir.string() + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    const fs::path recorded = dir / "scripts" / "luapaint.srp";
    const std::string text = slurp(recorded);
    ASSERT_EQ(text.rfind("1554\r\nDescription\r\n1\r\n \r\nRandomSeed\r\n1\r\n", 0), 0u);
    EXPECT_NE(text.find("DrawStart\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 11), "ScriptEnd\r\n");
    const std::string replay = "replay \"" + recorded.string() + "\" --size 64x48 -o \"" + path("replay.png") + "\"";
    const Outcome first = run(replay);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err.find("note:"), std::string::npos) << first.err;
    const Outcome second = run(replay);
    ASSERT_EQ(second.status, 0);
    const auto digest = [](const std::string& out) { return out.substr(out.find("digest: ")); };
    EXPECT_EQ(digest(first.out), digest(second.out));
}

TEST_F(LuaCli, WrongUsageIsRefused) {
    EXPECT_EQ(run("lua only-a-script.lua").status, 2);
    EXPECT_EQ(run("lua a.lua in.png out.png --p7 1").status, 2);
    EXPECT_EQ(run("lua a.lua in.png out.png --p1 x").status, 2);
    EXPECT_EQ(run("lua a.lua in.png out.png --flag1").status, 2);
    EXPECT_EQ(lua(path("missing.lua"), "m.png").status, 0);  // a missing script is a script error
    EXPECT_EQ(run("lua a.lua missing.png out.png").status, 1);
}

TEST_F(LuaCli, ABareNameFindsTheShippedFilter) {
    ASSERT_EQ(lua((kFilters / "invert.lua").string(), "by_path.png").status, 0);
    ::setenv("PALORAN_DATA_DIR", (fs::path(PALORAN_SOURCE_DIR) / "data").c_str(), 1);
    const Outcome byName = lua("invert.lua", "by_name.png");
    const Outcome elsewhere = lua("no_such_filter.lua", "none.png");
    ::unsetenv("PALORAN_DATA_DIR");
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(slurp(dir / "by_name.png"), slurp(dir / "by_path.png"));
    EXPECT_NE(elsewhere.err.find("no_such_filter.lua"), std::string::npos) << "a name found nowhere is reported as given";
}

}  // namespace
