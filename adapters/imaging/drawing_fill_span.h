#pragma once
// The colour test and the span fill behind the region calls of
// drawing_fill.cpp (internal to the imaging stand-in).
#include <cstdint>
#include <cstring>

#include "core/block.h"

namespace plr::imaging_lib::fill_span {

// Squared RGB distance to the seed colour at most `tolerance`. Bytes equal to
// the seed's pass without the arithmetic (the common case on flat areas),
// unless the tolerance is negative and nothing passes.
template <int Bpp>
struct ColourTest {
    std::int32_t r, g, b, tolerance;
    std::uint32_t key;  // seed bytes as a little-endian 24-bit value; never matches when nothing may

    static ColourTest of(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::int32_t tolerance) noexcept {
        const std::uint32_t key = tolerance < 0 ? 0xFFFFFFFFu : (r | g << 8 | std::uint32_t{b} << 16);
        return {r, g, b, tolerance, key};
    }
    bool matches(std::int32_t pr, std::int32_t pg, std::int32_t pb) const noexcept {
        const std::int32_t dr = pr - r, dg = pg - g, db = pb - b;
        return dr * dr + dg * dg + db * db <= tolerance;
    }
    bool operator()(const std::uint8_t* p) const noexcept {
        std::uint32_t v = 0;
        if constexpr (Bpp == 4) {
            std::memcpy(&v, p, 4);  // one load; the fourth byte masked off
            v &= 0xFFFFFFu;
        } else {
            v = p[0] | p[1] << 8 | std::uint32_t{p[2]} << 16;  // in registers (a 3-byte copy goes through memory)
        }
        return v == key || matches(p[0], p[1], p[2]);
    }
};

// A run of filled pixels xl..xr on line y whose neighbours on line y + dy
// are still to be explored.
struct Segment {
    std::int32_t y, xl, xr, dy;
};

// The waiting segments: grows by doubling from 1024 entries. Each filled
// span pushes at most three segments, so the stack never holds more than
// three entries a span of the region, whatever its shape.
class SegmentStack {
public:
    [[nodiscard]] bool push(std::int32_t y, std::int32_t xl, std::int32_t xr, std::int32_t dy, std::int32_t h) noexcept {
        const std::int64_t next = std::int64_t{y} + dy;
        if (next < 0 || next >= h) return true;
        if (size_ == store_.size() && !grow()) return false;
        store_[size_++] = {y, xl, xr, dy};
        return true;
    }
    bool pop(Segment& s) noexcept {
        if (size_ == 0) return false;
        s = store_[--size_];
        return true;
    }

private:
    bool grow() noexcept {
        Block<Segment> bigger;
        if (!bigger.allocate(store_.empty() ? 1024 : store_.size() * 2)) return false;
        if (size_) std::memcpy(bigger.data(), store_.data(), size_ * sizeof(Segment));
        store_.swap(bigger);
        return true;
    }
    Block<Segment> store_;
    std::size_t size_ = 0;
};

// Four-connected seed fill by spans (after Heckbert's scanline seed fill).
// `rows` selects a line (select), says whether a pixel of it is still to be
// filled (inside) and fills it (set); a filled pixel must no longer be
// inside. False when the stack cannot grow.
template <class Rows>
bool fill(Rows& rows, std::int32_t w, std::int32_t h, std::int32_t seedX, std::int32_t seedY) noexcept {
    rows.select(seedY);
    if (!rows.inside(seedX)) return true;
    SegmentStack stack;
    // The seed line is explored as the neighbour of a one-pixel segment below
    // it; the line below is explored from the seed's column.
    if (!stack.push(seedY, seedX, seedX, 1, h) || !stack.push(seedY + 1, seedX, seedX, -1, h)) return false;
    Segment s{};
    while (stack.pop(s)) {
        const std::int32_t y = s.y + s.dy, x1 = s.xl, x2 = s.xr, dy = s.dy;
        rows.select(y);
        std::int32_t x = x1;
        while (x >= 0 && rows.inside(x)) rows.set(x--);
        bool inSpan = x < x1;
        std::int32_t left = x + 1;
        if (inSpan) {
            // The span leaks past the parent's left end: look back there too.
            if (left < x1 && !stack.push(y, left, x1 - 1, -dy, h)) return false;
            x = x1 + 1;
        }
        for (;;) {
            if (inSpan) {
                while (x < w && rows.inside(x)) rows.set(x++);
                if (!stack.push(y, left, x - 1, dy, h)) return false;
                if (x > x2 + 1 && !stack.push(y, x2 + 1, x - 1, -dy, h)) return false;
            }
            for (++x; x <= x2 && !rows.inside(x); ++x) {
            }
            if (x > x2) break;
            left = x;
            inSpan = true;
        }
    }
    return true;
}

}  // namespace plr::imaging_lib::fill_span
