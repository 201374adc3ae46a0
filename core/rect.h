#pragma once
// The engine's one rectangle: left, top, right, bottom in pixels, with right
// and bottom EXCLUSIVE (a rectangle holds the pixels left <= x < right,
// top <= y < bottom). A rectangle with right <= left or bottom <= top is
// empty. Sizes are worked in 64 bits, so coordinates anywhere in the 32-bit
// range never overflow. Where inclusive edges are needed (the host's
// convention at the exports), fromInclusive, lastColumn and lastRow convert.
#include <cstdint>

namespace plr {

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;

    // From inclusive right and bottom edges (r + 1, b + 1, held to INT32_MAX).
    static constexpr Rect fromInclusive(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) noexcept {
        return {l, t, past(r), past(b)};
    }
    constexpr std::int32_t lastColumn() const noexcept { return right - 1; }
    constexpr std::int32_t lastRow() const noexcept { return bottom - 1; }

    // 0 for an empty rectangle, never negative.
    constexpr std::int64_t width() const noexcept {
        return right > left ? std::int64_t{right} - left : 0;
    }
    constexpr std::int64_t height() const noexcept {
        return bottom > top ? std::int64_t{bottom} - top : 0;
    }
    constexpr bool empty() const noexcept { return right <= left || bottom <= top; }
    constexpr std::uint64_t pixels() const noexcept {
        return static_cast<std::uint64_t>(width()) * static_cast<std::uint64_t>(height());
    }
    constexpr bool contains(std::int32_t x, std::int32_t y) const noexcept {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr bool operator==(const Rect&) const noexcept = default;

private:
    static constexpr std::int32_t past(std::int32_t v) noexcept { return v == INT32_MAX ? v : v + 1; }
};

// The common part; empty (possibly with crossed edges) when they do not meet.
constexpr Rect intersect(const Rect& a, const Rect& b) noexcept {
    return {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
            a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

// The part inside a pageWidth x pageHeight page.
constexpr Rect clipToPage(const Rect& r, std::int32_t pageWidth, std::int32_t pageHeight) noexcept {
    return intersect(r, Rect{0, 0, pageWidth, pageHeight});
}

// True when r is non-empty and lies wholly inside a pageWidth x pageHeight page.
constexpr bool insidePage(const Rect& r, std::int32_t pageWidth, std::int32_t pageHeight) noexcept {
    return !r.empty() && r.left >= 0 && r.top >= 0 && r.right <= pageWidth && r.bottom <= pageHeight;
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
constexpr Rect unite(const Rect& a, const Rect& b) noexcept {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

// r grown to hold pixel (x, y); an empty r becomes that one pixel. A pixel in
// the last column or row (INT32_MAX) cannot be held and leaves r as it is.
constexpr Rect includePoint(const Rect& r, std::int32_t x, std::int32_t y) noexcept {
    if (x == INT32_MAX || y == INT32_MAX) return r;
    return unite(r, Rect{x, y, x + 1, y + 1});
}

}  // namespace plr
