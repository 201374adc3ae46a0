// A paint session recorded by a Lua filter, read back by the host's script
// reader and replayed by its player, paints exactly what the session paints
// when the host drives it directly.
#include <sstream>

#include "lua_test_support.h"
#include "tools/document.h"
#include "tools/paint_script.h"
#include "tools/painter.h"
#include "tools/script_player.h"

namespace plr::test {
namespace {

using RecordedSession = LuaFilterTest;

constexpr int kW = 96, kH = 64;

// Every slot of the host's document, 16 bits a channel.
std::vector<std::uint16_t> documentPixels() {
    std::vector<std::uint16_t> all;
    std::vector<std::uint16_t> one(static_cast<std::size_t>(kW) * kH * 4);
    for (int slot = host::kTraceSlot; slot <= host::kPaperSlot; ++slot) {
        PLR_GetRGBA64Layer(reinterpret_cast<std::uint8_t*>(one.data()), kW * 8, slot);
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

void startDocument(std::int32_t seed) {
    resetEngine();
    std::string error;
    ASSERT_TRUE(host::createDocument({kW, kH, seed}, error)) << error;
}

TEST_F(RecordedSession, ReplayingTheRecordedFileGivesTheSessionsPixels) {
    std::filesystem::create_directories(dir / "scripts");
    const std::string start = dir.string() + static_cast<char>(std::filesystem::path::preferred_separator);
    PLR_SetStartDir(start.c_str());
    makePage(8, 8);
    run("paint_open(7)\n"
        "paint_select_brush(2, 2, 0)\n"
        "paint_brush_size(14)\n"
        "paint_brush_opacity(90)\n"
        "paint_brush_color(0.8, 0.2, 0.1)\n"
        "paint_set_color_banks(0, 1, 1, 1, 0.5, 0.5, 0.5, 0, 0, 0, 0.25, 0.75, 0.125)\n"
        "paint_stroke_start(10.5, 12)\n"
        "paint_stroke_pos(30.25, 20, 0.75)\n"
        "paint_stroke_pos(60, 14.125, 1)\n"
        "paint_stroke_stop()\n"
        "paint_select_brush(1, 3, 0)\n"
        "paint_brush_size('9')\n"
        "paint_brush_color(0.1, 0.3, 0.9)\n"
        "paint_line(5, 50, 90, 40)\n"
        "paint_spline(10, 30, 30, 0, 60, 60, 90, 30)\n"
        "paint_dab(48, 32, 0.5)\n"
        "paint_close()\n");
    ASSERT_TRUE(caughtMessages().empty()) << caughtMessages().front().text;
    const std::string file = slurp(dir / "scripts" / "luapaint.srp");

    // The host's reader takes the file and writes it back byte for byte.
    std::istringstream in(file);
    host::PaintScript script;
    std::string error;
    ASSERT_TRUE(host::parsePaintScript(in, script, error)) << error;
    EXPECT_TRUE(script.ended);
    EXPECT_EQ(script.seed, 7);
    EXPECT_EQ(script.records.size(), 17u);
    EXPECT_EQ(host::formatPaintScript(script), file);

    // The session, driven directly.
    startDocument(7);
    {
        host::Painter p;
        ASSERT_TRUE(p.selectBrush(2, 2));
        p.setSize(14);
        p.setOpacity(90);
        p.setColor(204, 51, 25);
        const std::int32_t banks[12] = {255, 255, 255, 127, 127, 127, 0, 0, 0, 63, 191, 31};
        p.setColorBanks(banks);
        p.beginStroke(10.5, 12);
        p.strokeTo({30.25, 20, 0.75});
        p.strokeTo({60, 14.125, 1});
        p.endStroke();
        ASSERT_TRUE(p.selectBrush(1, 3));
        p.setSize(9);
        p.setColor(25, 76, 229);
        p.line(5, 50, 90, 40);
        const double spline[8] = {10, 30, 30, 0, 60, 60, 90, 30};
        p.spline(spline);
        p.dab(48, 32, 0.5);
        p.endStroke();
        EXPECT_GT(p.dabCount(), 10);
    }
    const auto session = documentPixels();
    host::deleteDocument();

    // The recording, replayed.
    startDocument(script.seed);
    host::Painter replayer;
    const host::PlayResult played = host::playScript(script, replayer, nullptr);
    ASSERT_TRUE(played.ok) << played.error;
    EXPECT_EQ(played.skipped, 0);
    const auto replayed = documentPixels();
    host::deleteDocument();
    EXPECT_EQ(replayed, session);
}

// A stroke running far past a small page is walked only where its dabs can
// reach the page: the row it crosses is painted edge to edge, by no more dabs
// than the page and the largest brush on either side hold.
TEST_F(RecordedSession, AStrokeFarPastThePageWalksOnlyWhereItsDabsReach) {
    startDocument(3);
    host::Painter p(kW, kH);
    ASSERT_TRUE(p.selectBrush(1, 2));
    p.setSize(1);
    p.setColor(255, 0, 0);
    p.line(-1e6, 30, 1e6, 30);
    EXPECT_GT(p.dabCount(), kW);
    EXPECT_LE(p.dabCount(), kW + 2 * host::kMaxBrushSize + 2);
    std::vector<std::uint16_t> row(static_cast<std::size_t>(kW) * kH * 4);
    PLR_GetRGBA64Layer(reinterpret_cast<std::uint8_t*>(row.data()), kW * 8, host::kPaintSlot);
    for (int x = 0; x < kW; ++x) EXPECT_GT(row[(static_cast<std::size_t>(30) * kW + x) * 4 + 3], 0) << x;
    host::deleteDocument();
}

}  // namespace
}  // namespace plr::test
