#include "exchange/formats/quantize.h"

#include <cstring>

namespace plr::formats {
namespace {

constexpr int kCells = 32 * 32 * 32;

std::uint32_t cellOf(const std::uint8_t* p) { return (std::uint32_t{p[0]} >> 3) << 10 | (std::uint32_t{p[1]} >> 3) << 5 | (p[2] >> 3); }

// Up to `max` distinct colours through a small open-addressing table; false when there are more.
bool exactColours(const ImageView& image, std::int32_t max, std::uint8_t* indices, Palette& palette) {
    constexpr std::uint32_t kSlots = 1024, kEmpty = 0xFFFFFFFFu;
    std::uint32_t key[kSlots];
    std::uint8_t value[kSlots];
    std::memset(key, 0xFF, sizeof key);
    palette.count = 0;
    std::uint32_t last = kEmpty;
    std::uint8_t lastIndex = 0;
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x, p += image.channels) {
            const std::uint32_t rgb = std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2];
            if (rgb != last) {
                std::uint32_t s = (rgb * 2654435761u) >> 22;
                while (key[s] != kEmpty && key[s] != rgb) s = (s + 1) & (kSlots - 1);
                if (key[s] == kEmpty) {
                    if (palette.count == max) return false;
                    key[s] = rgb;
                    value[s] = static_cast<std::uint8_t>(palette.count);
                    std::memcpy(palette.colours[palette.count++], p, 3);
                }
                last = rgb;
                lastIndex = value[s];
            }
            indices[static_cast<std::size_t>(y) * image.width + x] = lastIndex;
        }
    }
    return true;
}

struct Box {
    int lo[3], hi[3];
    std::uint64_t count;
};

int component(int cell, int axis) { return (cell >> (10 - 5 * axis)) & 31; }

void shrink(Box& b, const std::uint32_t* hist) {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    b.count = 0;
    for (int r = b.lo[0]; r <= b.hi[0]; ++r)
        for (int g = b.lo[1]; g <= b.hi[1]; ++g)
            for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) {
                const std::uint32_t n = hist[r << 10 | g << 5 | bl];
                if (!n) continue;
                b.count += n;
                const int c[3] = {r, g, bl};
                for (int a = 0; a < 3; ++a) {
                    if (c[a] < lo[a]) lo[a] = c[a];
                    if (c[a] > hi[a]) hi[a] = c[a];
                }
            }
    if (b.count)
        for (int a = 0; a < 3; ++a) b.lo[a] = lo[a], b.hi[a] = hi[a];
}

// Splits the most populous box that can split at the median of its longest side.
bool splitOne(Box* boxes, int& n, const std::uint32_t* hist) {
    int best = -1;
    for (int i = 0; i < n; ++i) {
        const Box& b = boxes[i];
        const bool splittable = b.hi[0] > b.lo[0] || b.hi[1] > b.lo[1] || b.hi[2] > b.lo[2];
        if (splittable && (best < 0 || b.count > boxes[best].count)) best = i;
    }
    if (best < 0) return false;
    Box& b = boxes[best];
    int axis = 0;
    for (int a = 1; a < 3; ++a)
        if (b.hi[a] - b.lo[a] > b.hi[axis] - b.lo[axis]) axis = a;
    std::uint64_t slice[32] = {};
    for (int r = b.lo[0]; r <= b.hi[0]; ++r)
        for (int g = b.lo[1]; g <= b.hi[1]; ++g)
            for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl) {
                const int cell = r << 10 | g << 5 | bl;
                slice[component(cell, axis)] += hist[cell];
            }
    std::uint64_t seen = 0;
    int cut = b.lo[axis];
    for (int v = b.lo[axis]; v < b.hi[axis]; ++v) {
        seen += slice[v];
        cut = v;
        if (seen * 2 >= b.count) break;
    }
    Box other = b;
    b.hi[axis] = cut;
    other.lo[axis] = cut + 1;
    shrink(b, hist);
    shrink(other, hist);
    boxes[n++] = other;
    return true;
}

int nearest(const Palette& p, int r, int g, int b) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < p.count; ++i) {
        const int dr = p.colours[i][0] - r, dg = p.colours[i][1] - g, db = p.colours[i][2] - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

int clamp8(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

bool quantizeTo8Bit(const ImageView& image, std::int32_t maxColours, bool dither, std::uint8_t* indices,
                    Palette& palette) noexcept {
    if (maxColours < 1) maxColours = 1;
    if (maxColours > 256) maxColours = 256;
    if (exactColours(image, maxColours, indices, palette)) return true;

    Block<std::uint32_t> hist;
    Block<std::uint64_t> sums;
    Block<std::uint8_t> map;
    if (!hist.allocate(kCells) || !sums.allocate(kCells * 3) || !map.allocate(kCells)) return false;
    std::memset(hist.data(), 0, hist.bytes());
    std::memset(sums.data(), 0, sums.bytes());
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* p = image.row(y);
        for (std::int32_t x = 0; x < image.width; ++x, p += image.channels) {
            const std::uint32_t c = cellOf(p);
            ++hist[c];
            sums[c * 3] += p[0];
            sums[c * 3 + 1] += p[1];
            sums[c * 3 + 2] += p[2];
        }
    }
    Box boxes[256];
    int n = 1;
    boxes[0] = {{0, 0, 0}, {31, 31, 31}, 0};
    shrink(boxes[0], hist.data());
    while (n < maxColours && splitOne(boxes, n, hist.data())) {
    }
    palette.count = n;
    for (int i = 0; i < n; ++i) {
        const Box& b = boxes[i];
        std::uint64_t s[3] = {};
        for (int r = b.lo[0]; r <= b.hi[0]; ++r)
            for (int g = b.lo[1]; g <= b.hi[1]; ++g)
                for (int bl = b.lo[2]; bl <= b.hi[2]; ++bl)
                    for (int a = 0; a < 3; ++a) s[a] += sums[(r << 10 | g << 5 | bl) * 3 + a];
        for (int a = 0; a < 3; ++a)
            palette.colours[i][a] = static_cast<std::uint8_t>(b.count ? (s[a] + b.count / 2) / b.count : 0);
    }
    // Every cell's nearest entry, measured from the cell's centre.
    for (int cell = 0; cell < kCells; ++cell)
        map[cell] = static_cast<std::uint8_t>(
            nearest(palette, component(cell, 0) * 8 + 4, component(cell, 1) * 8 + 4, component(cell, 2) * 8 + 4));
    if (!dither) {
        for (std::int32_t y = 0; y < image.height; ++y) {
            const std::uint8_t* p = image.row(y);
            std::uint8_t* o = indices + static_cast<std::size_t>(y) * image.width;
            for (std::int32_t x = 0; x < image.width; ++x, p += image.channels) o[x] = map[cellOf(p)];
        }
        return true;
    }
    // Floyd-Steinberg: errors of this row and the next, in sixteenths.
    Block<std::int32_t> errors;
    const std::size_t span = static_cast<std::size_t>(image.width + 2) * 3;
    if (!errors.allocate(span * 2)) return false;
    std::memset(errors.data(), 0, errors.bytes());
    for (std::int32_t y = 0; y < image.height; ++y) {
        std::int32_t* cur = errors.data() + (y & 1) * span;
        std::int32_t* nxt = errors.data() + ((y + 1) & 1) * span;
        std::memset(nxt, 0, span * sizeof(std::int32_t));
        const std::uint8_t* p = image.row(y);
        std::uint8_t* o = indices + static_cast<std::size_t>(y) * image.width;
        for (std::int32_t x = 0; x < image.width; ++x, p += image.channels) {
            std::uint8_t want[3];
            for (int a = 0; a < 3; ++a) want[a] = static_cast<std::uint8_t>(clamp8(p[a] + cur[(x + 1) * 3 + a] / 16));
            const int index = map[cellOf(want)];
            o[x] = static_cast<std::uint8_t>(index);
            for (int a = 0; a < 3; ++a) {
                const int e = want[a] - palette.colours[index][a];
                cur[(x + 2) * 3 + a] += e * 7;
                nxt[x * 3 + a] += e * 3;
                nxt[(x + 1) * 3 + a] += e * 5;
                nxt[(x + 2) * 3 + a] += e;
            }
        }
    }
    return true;
}

}  // namespace plr::formats
