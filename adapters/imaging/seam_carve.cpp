#include "adapters/imaging/seam_carve.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/block.h"

namespace plr::imaging_lib {
namespace {

constexpr std::int32_t kMaxWidth = 10000;

// The working picture: packed rows of `capacity` pixels of which the first
// `width` are in use, its energy and guide bonus per pixel, and for each
// pixel the column it came from in the round's input.
struct Carver {
    std::int32_t capacity = 0, width = 0, height = 0, bpp = 0;
    Block<std::uint8_t> pixels;
    Block<std::int64_t> bonus;  // guide energy per pixel
    Block<std::int64_t> energy;
    Block<std::int64_t> cost;
    Block<std::int32_t> origin;
    Block<std::int32_t> seam;

    bool allocate(std::int32_t w, std::int32_t h, std::int32_t b) noexcept {
        capacity = width = w;
        height = h;
        bpp = b;
        const std::size_t n = std::size_t(w) * std::size_t(h);
        return pixels.allocate(n * std::size_t(b)) && bonus.allocate(n) && energy.allocate(n) && cost.allocate(n) &&
               origin.allocate(n) && seam.allocate(std::size_t(h));
    }
    std::uint8_t* px(std::int32_t x, std::int32_t y) noexcept {
        return pixels.data() + (std::size_t(y) * std::size_t(capacity) + std::size_t(x)) * std::size_t(bpp);
    }
    std::size_t at(std::int32_t x, std::int32_t y) const noexcept {
        return std::size_t(y) * std::size_t(capacity) + std::size_t(x);
    }

    std::int64_t pixelEnergy(std::int32_t x, std::int32_t y) noexcept {
        const std::uint8_t* l = px(std::max(x - 1, 0), y);
        const std::uint8_t* r = px(std::min(x + 1, width - 1), y);
        const std::uint8_t* u = px(x, std::max(y - 1, 0));
        const std::uint8_t* d = px(x, std::min(y + 1, height - 1));
        std::int64_t e = 0;
        for (std::int32_t c = 0; c < bpp; ++c) e += std::abs(r[c] - l[c]) + std::abs(d[c] - u[c]);
        return e + bonus[at(x, y)];
    }
    void renewEnergy(std::int32_t y, std::int32_t x0, std::int32_t x1) noexcept {
        for (std::int32_t x = std::max(x0, 0); x <= std::min(x1, width - 1); ++x) energy[at(x, y)] = pixelEnergy(x, y);
    }

    // The cheapest seam into `seam`, leftmost on ties.
    void findSeam() noexcept {
        for (std::int32_t x = 0; x < width; ++x) cost[at(x, 0)] = energy[at(x, 0)];
        for (std::int32_t y = 1; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
                std::int64_t best = cost[at(x, y - 1)];
                if (x > 0) best = std::min(best, cost[at(x - 1, y - 1)]);
                if (x + 1 < width) best = std::min(best, cost[at(x + 1, y - 1)]);
                cost[at(x, y)] = energy[at(x, y)] + best;
            }
        std::int32_t x = 0;
        for (std::int32_t i = 1; i < width; ++i)
            if (cost[at(i, height - 1)] < cost[at(x, height - 1)]) x = i;
        seam[std::size_t(height - 1)] = x;
        for (std::int32_t y = height - 1; y > 0; --y) {
            std::int32_t best = x;
            if (x > 0 && cost[at(x - 1, y - 1)] <= cost[at(best, y - 1)]) best = x - 1;
            if (x + 1 < width && cost[at(x + 1, y - 1)] < cost[at(best, y - 1)]) best = x + 1;
            x = best;
            seam[std::size_t(y - 1)] = x;
        }
    }

    // Removes the seam, closing each row up, and renews the energy where the
    // neighbours changed.
    void removeSeam() noexcept {
        for (std::int32_t y = 0; y < height; ++y) {
            const std::int32_t x = seam[std::size_t(y)], tail = width - 1 - x;
            std::memmove(px(x, y), px(x + 1, y), std::size_t(tail) * std::size_t(bpp));
            const std::size_t i = at(x, y);
            std::memmove(&bonus[i], &bonus[i + 1], std::size_t(tail) * sizeof(std::int64_t));
            std::memmove(&energy[i], &energy[i + 1], std::size_t(tail) * sizeof(std::int64_t));
            std::memmove(&origin[i], &origin[i + 1], std::size_t(tail) * sizeof(std::int32_t));
        }
        --width;
        for (std::int32_t y = 0; y < height; ++y) {
            std::int32_t lo = seam[std::size_t(y)], hi = lo;
            for (std::int32_t n = std::max(y - 1, 0); n <= std::min(y + 1, height - 1); ++n) {
                lo = std::min(lo, seam[std::size_t(n)]);
                hi = std::max(hi, seam[std::size_t(n)]);
            }
            renewEnergy(y, lo - 1, hi);
        }
    }
};

// Loads a width x height picture (and guide bonus) into the carver.
bool load(Carver& c, const std::uint8_t* src, std::int32_t w, std::int32_t h, std::int32_t bpp, std::int64_t ss,
          const std::uint16_t* guide, std::int64_t gs, std::int32_t threshold, bool keep) noexcept {
    if (!c.allocate(w, h, bpp)) return false;
    for (std::int32_t y = 0; y < h; ++y) {
        std::memcpy(c.px(0, y), src + y * ss, std::size_t(w) * std::size_t(bpp));
        for (std::int32_t x = 0; x < w; ++x) {
            const std::int64_t g = guide ? std::int64_t{guide[y * gs + x]} * threshold / 256 : 0;
            c.bonus[c.at(x, y)] = keep ? g : -g;
            c.origin[c.at(x, y)] = x;
        }
    }
    for (std::int32_t y = 0; y < h; ++y) c.renewEnergy(y, 0, w - 1);
    return true;
}

}  // namespace

std::int32_t SeamCarve(const void* src, std::int32_t width, std::int32_t height, std::int32_t bytesPerPixel,
                       std::int32_t srcStride, const std::uint16_t* guide, std::int32_t guideStride, void* dst,
                       std::int32_t dstStride, std::int32_t deltaWidth, std::int32_t threshold,
                       std::int32_t flags) noexcept {
    if (!src || !dst || width < 1 || height < 1 || bytesPerPixel < 1 || bytesPerPixel > 4) return 0;
    const std::int64_t target = std::int64_t{width} + deltaWidth;
    if (target < 1 || target > kMaxWidth || std::int64_t{srcStride} < std::int64_t{width} * bytesPerPixel ||
        std::int64_t{dstStride} < target * bytesPerPixel || (guide && guideStride < width))
        return 0;
    const bool keep = (flags & 1) != 0;
    const auto* s = static_cast<const std::uint8_t*>(src);
    auto* d = static_cast<std::uint8_t*>(dst);
    const std::size_t bpp = std::size_t(bytesPerPixel);
    Carver c;
    if (!load(c, s, width, height, bytesPerPixel, srcStride, guide, guideStride, threshold, keep)) return 0;
    if (target <= width) {
        while (c.width > target) {
            c.findSeam();
            c.removeSeam();
        }
        for (std::int32_t y = 0; y < height; ++y)
            std::memcpy(d + std::int64_t{y} * dstStride, c.px(0, y), std::size_t(target) * bpp);
        return 1;
    }
    // Widening: each round doubles the seams the carver would remove first.
    Block<std::uint8_t> current, doubled;  // the round's input and the columns to double
    std::int32_t w = width;
    if (!current.allocate(std::size_t(target) * std::size_t(height) * bpp) ||
        !doubled.allocate(std::size_t(target) * std::size_t(height)))
        return 0;
    for (std::int32_t y = 0; y < height; ++y)
        std::memcpy(current.data() + std::size_t(y) * std::size_t(w) * bpp, s + std::int64_t{y} * srcStride,
                    std::size_t(w) * bpp);
    while (w < target) {
        const auto seams = static_cast<std::int32_t>(std::min<std::int64_t>(target - w, w));
        if (w != width && !load(c, current.data(), w, height, bytesPerPixel, std::int64_t{w} * std::int64_t(bpp),
                                nullptr, 0, 0, keep))
            return 0;
        std::memset(doubled.data(), 0, std::size_t(w) * std::size_t(height));
        for (std::int32_t k = 0; k < seams; ++k) {
            c.findSeam();
            for (std::int32_t y = 0; y < height; ++y)
                doubled[std::size_t(y) * std::size_t(w) + std::size_t(c.origin[c.at(c.seam[std::size_t(y)], y)])] = 1;
            if (c.width > 1) c.removeSeam();
        }
        // Rebuild the rows right to left in place, each doubled pixel followed
        // by its mean with its right neighbour.
        const std::int32_t nw = w + seams;
        for (std::int32_t y = height - 1; y >= 0; --y) {
            const std::uint8_t* in = current.data() + std::size_t(y) * std::size_t(w) * bpp;
            std::uint8_t row[4 * kMaxWidth];
            std::size_t o = 0;
            for (std::int32_t x = 0; x < w; ++x) {
                const std::uint8_t* p = in + std::size_t(x) * bpp;
                std::memcpy(row + o, p, bpp);
                o += bpp;
                if (doubled[std::size_t(y) * std::size_t(w) + std::size_t(x)]) {
                    const std::uint8_t* q = x + 1 < w ? p + bpp : p;
                    for (std::size_t ch = 0; ch < bpp; ++ch) row[o + ch] = static_cast<std::uint8_t>((p[ch] + q[ch] + 1) / 2);
                    o += bpp;
                }
            }
            std::memcpy(current.data() + std::size_t(y) * std::size_t(nw) * bpp, row, o);
        }
        w = nw;
    }
    for (std::int32_t y = 0; y < height; ++y)
        std::memcpy(d + std::int64_t{y} * dstStride, current.data() + std::size_t(y) * std::size_t(w) * bpp,
                    std::size_t(w) * bpp);
    return 1;
}

}  // namespace plr::imaging_lib
