#include "script_player.h"

#include <cmath>
#include <set>

#include "paloran.h"

namespace plr::host {
namespace {

std::int32_t whole(double v) { return static_cast<std::int32_t>(std::trunc(v)); }

}  // namespace

PlayResult playScript(const PaintScript& script, Painter& painter, std::FILE* log) {
    PlayResult result;
    std::set<std::string> reported;
    for (const ScriptRecord& r : script.records) {
        const std::vector<double>& v = r.values;
        if (r.keyword == "DrawStart") {
            painter.beginStroke(v[0], v[1]);
        } else if (r.keyword == "SmoothPlot2") {
            const bool startMark = v[3] != 0, endMark = v[4] != 0;
            if (endMark) {
                painter.endStroke();
            } else if (!startMark) {
                painter.strokeTo({v[0], v[1], v[2]});
            }
        } else if (r.keyword == "DrawStop") {
            painter.endStroke();
        } else if (r.keyword == "SelectBrush") {
            if (!painter.selectBrush(whole(v[0]), whole(v[1]))) {
                result.ok = false;
                result.error = "line " + std::to_string(r.line) + ": unknown brush " + r.texts[0] +
                               " (see 'paloran help' for the built-in brushes)";
                return result;
            }
            // The third value holds host actions done on selection.
            const std::int32_t actions = whole(v[2]);
            if (actions & (kOpenMask | kCloseMask)) {
                const std::int32_t grey = actions & kCloseMask ? 0xFFFF : 0;
                PLR_ClearMask(grey, grey, grey);
                PLR_SaveUndoBuffer(0, 1);
            }
        } else if (r.keyword == "SetBrushSize") {
            painter.setSize(whole(v[0]));
        } else if (r.keyword == "SetBrushDensity") {
            painter.setDensity(whole(v[0]));
        } else if (r.keyword == "SetBrushOpacity") {
            painter.setOpacity(whole(v[0]));
        } else if (r.keyword == "SetColor") {
            painter.setColor(whole(v[0]), whole(v[1]), whole(v[2]));
        } else if (r.keyword == "SetColorBanks") {
            std::int32_t rgb[12];
            for (int i = 0; i < 12; ++i) rgb[i] = whole(v[static_cast<std::size_t>(i) + 1]);
            painter.setColorBanks(rgb);
        } else if (r.keyword == "Line2") {
            painter.line(v[0], v[1], v[2], v[3]);
        } else if (r.keyword == "Spline") {
            painter.spline(v.data());
        } else if (r.keyword == "Dab") {
            painter.dab(v[0], v[1], v[2]);
        } else {
            ++result.skipped;
            if (reported.insert(r.keyword).second && log)
                std::fprintf(log, "note: line %d: \"%s\" records are not supported by this host yet; skipped\n",
                             r.line, r.keyword.c_str());
        }
    }
    painter.endStroke();
    return result;
}

}  // namespace plr::host
