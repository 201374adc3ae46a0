#include "imaging/levels_tables.h"

#include <algorithm>

namespace plr {
namespace {

constexpr double kOneOver255 = 0.00392156862745098;

// Entries [from, to) take the running value's truncation, the value growing
// by `step` after each and held at 255.
void ramp(LevelsTable& table, int from, int to, double& v, double numerator, int span) {
    if (from >= to || span <= 0) return;
    const double step = numerator / span;
    for (int i = from; i < to; ++i) {
        table[std::size_t(i)] = static_cast<std::uint8_t>(static_cast<int>(v));
        v = std::min(v + step, 255.0);
    }
}

}  // namespace

LevelsTable levelsInputTable(std::uint8_t black, std::uint8_t white) noexcept {
    LevelsTable table{};
    const int b = black, w = white;
    // (w - b) / 2 truncates toward zero, and the middle is kept as a byte.
    const int m = static_cast<std::uint8_t>(b + (w - b) / 2);
    double v = 0.0;
    ramp(table, b, m, v, 127.0, m - b);
    ramp(table, std::max(m, b), w, v, 127.0, w - m);
    std::fill(table.begin() + w, table.end(), std::uint8_t{255});
    return table;
}

LevelsTable levelsOutputTable(std::uint8_t low, std::uint8_t high) noexcept {
    LevelsTable table{};
    const int d = static_cast<std::uint8_t>(high - low);
    double v = low;
    for (std::size_t j = 0; j < table.size(); ++j) {
        table[j] = static_cast<std::uint8_t>(static_cast<int>(v));
        v = std::min(v + d * kOneOver255, 255.0);
    }
    return table;
}

}  // namespace plr
