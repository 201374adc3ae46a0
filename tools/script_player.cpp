#include "script_player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "filter_call.h"
#include "paloran.h"

namespace plr::host {
namespace {

// A recorded number as the exports' 32-bit integer: the whole part, held at
// the integer range (a hand-edited script may hold any number); not a number
// counts as 0.
std::int32_t whole(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int32_t>(std::trunc(std::clamp(v, -2147483648.0, 2147483647.0)));
}

// A "Filter" record's twenty values are the filter call's arguments after
// the reserved one: name, random value, P1..P6, options 1..8, red, green,
// blue, text. Every line may be text, so the numbers are read here; a line
// that is not a number counts as 0.
FilterSettings filterOf(const ScriptRecord& r) {
    auto number = [&](std::size_t i) {
        const double v = std::strtod(r.texts[i].c_str(), nullptr);
        return std::isfinite(v) && std::fabs(v) < 2147483647.0 ? whole(v) : 0;
    };
    FilterSettings s;
    s.name = r.texts[0];
    s.random = number(1);
    for (std::size_t i = 0; i < 6; ++i) s.p[i] = number(2 + i);
    for (std::size_t i = 0; i < 8; ++i) s.option[i] = number(8 + i);
    s.red = number(16);
    s.green = number(17);
    s.blue = number(18);
    s.text = r.texts[19];
    return s;
}

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
        } else if (r.keyword == "Filter") {
            painter.endStroke();
            const FilterSettings filter = filterOf(r);
            if (!knownFilterName(filter.name) && reported.insert("Filter " + filter.name).second && log)
                std::fprintf(log, "note: line %d: no filter is named \"%s\"; it changes nothing\n", r.line,
                             filter.name.c_str());
            if (!applyFilter(filter)) {
                result.ok = false;
                result.error = "line " + std::to_string(r.line) + ": filter \"" + filter.name + "\" failed: " +
                               PLR_GetLastError();
                return result;
            }
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
