#include "brush/mixing_buffer.h"

#include <algorithm>
#include <cstring>

#include "brush/dab_mix_modes.h"
#include "core/rect.h"
#include "core/saturate.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

using u32 = std::uint32_t;

// The brush square of a pick-up, clipped to the page, and where its first
// pixel lies in the mixing buffer.
struct Square {
    Rect area;
    std::int64_t rowOffset = 0, columnOffset = 0;
    bool clipped = false;
    bool empty() const noexcept { return area.empty(); }
};

Square brushSquare(const PageBrush& page, std::int32_t x, std::int32_t y) noexcept {
    const std::int32_t size = page.brush.settings.brushSize;
    Square q;
    // In 64 bits: a centre at either end of the 32-bit range puts the square
    // partly outside it. Once clipped, a square with pixels fits 32 bits.
    std::int64_t left = std::int64_t{x} - size / 2, top = std::int64_t{y} - size / 2;
    std::int64_t right = left + size, bottom = top + size;
    if (left < 0) q.columnOffset = -left, left = 0, q.clipped = true;
    if (top < 0) q.rowOffset = -top, top = 0, q.clipped = true;
    if (right > page.width) right = page.width, q.clipped = true;
    if (bottom > page.height) bottom = page.height, q.clipped = true;
    q.area = {saturate32(left), saturate32(top), saturate32(right), saturate32(bottom)};
    return q;
}

// The buffer when it holds the brush size; null otherwise (or without a page).
std::uint16_t* bufferFor(PageBrush& page) noexcept {
    const std::int32_t mbs = page.maxBrushSize, size = page.brush.settings.brushSize;
    if (page.width <= 0 || page.height <= 0 || mbs <= 0 || size < 1 || size > mbs) return nullptr;
    if (page.brush.mixingBuffer.size() < static_cast<std::size_t>(mbs) * mbs * 4) return nullptr;
    return page.brush.mixingBuffer.data();
}

// Alpha of a picked-up pixel under the mask.
u32 maskedAlpha(u32 a, const std::uint16_t* mask, std::size_t at) noexcept {
    if (!mask) return a;
    const u32 mv = mask[at];
    const u32 m = mv == 65535 ? 65535 : (mv * 65535) >> 16;
    return a * m / 65535;
}

template <class F>
void forEachSquarePixel(PageBrush& page, const Square& q, std::uint16_t* buffer, F&& f) {
    const std::int64_t brv = std::int64_t{page.maxBrushSize} * 4;
    for (std::int64_t py = q.area.top; py < q.area.bottom; ++py) {
        const std::int64_t br = py - q.area.top + q.rowOffset;
        for (std::int64_t px = q.area.left; px < q.area.right; ++px) {
            const std::int64_t bc = px - q.area.left + q.columnOffset;
            f(static_cast<std::size_t>(py * page.width + px), buffer + br * brv + bc * 4);
        }
    }
}

std::uint16_t lo16(u32 v) noexcept { return static_cast<std::uint16_t>(v); }

}  // namespace

const std::uint16_t* surfaceSource(PageBrush& page) noexcept {
    LayerRecord* l = page.currentPageLayer();
    return l ? l->pixels.data() : nullptr;
}
const std::uint16_t* layerSource(PageBrush& page, std::int32_t index) noexcept {
    LayerRecord* l = page.pageLayer(index);
    return l ? l->pixels.data() : nullptr;
}
const std::uint16_t* underLayerSource(PageBrush& page) noexcept {
    const auto& u = page.history.underPixels;
    return !u.empty() && u.size() == page.pixelCount() * 4 ? u.data() : nullptr;
}
const std::uint16_t* traceSource(PageBrush& page) noexcept {
    LayerRecord* l = page.traceLayer;
    return l && l->hasPixelsOfSize(page.width, page.height) ? l->pixels.data() : nullptr;
}

void copyPickup(PageBrush& page, std::int32_t x, std::int32_t y, const std::uint16_t* source, std::int32_t amount,
                std::int32_t keep) noexcept {
    std::uint16_t* buffer = bufferFor(page);
    if (page.brush.settings.blendStrength == 0 || !buffer || !source) return;
    const u32 a = static_cast<u32>(std::clamp(amount, 0, 256)), inv = 256 - a;
    const bool keepColours = (keep & 0xFF) != 0;
    const Color16 b = page.brush.dabColor;
    const Square q = brushSquare(page, x, y);
    if (q.clipped) {
        const std::int32_t size = page.brush.settings.brushSize;
        for (std::int32_t r = 0; r < size; ++r) {
            std::uint16_t* m = buffer + static_cast<std::size_t>(r) * page.maxBrushSize * 4;
            for (std::int32_t k = 0; k < size; ++k, m += 4) {
                if (!keepColours)
                    m[0] = b.red, m[1] = b.green, m[2] = b.blue, m[3] = lo16(a * 256);
                else
                    m[3] = 65535;
            }
        }
    }
    if (q.empty()) return;
    const std::uint16_t* mask = page.maskIfEnabled();
    const u32 bc[4] = {b.red, b.green, b.blue, b.alpha};
    forEachSquarePixel(page, q, buffer, [&](std::size_t at, std::uint16_t* m) {
        const std::uint16_t* s = source + at * 4;
        const u32 sa = maskedAlpha(s[3], mask, at);
        if (sa == 0) {
            m[0] = b.red, m[1] = b.green, m[2] = b.blue;
            m[3] = lo16((keepColours ? inv : a) * 256);
            return;
        }
        for (int c = 0; c < 3; ++c) m[c] = lo16(std::min<u32>(65280, ((s[c] * inv + bc[c] * a) >> 8) + 1));
        m[3] = lo16((sa * inv + bc[3] * a) >> 8);
    });
}

void maskPickup(PageBrush& page, std::int32_t x, std::int32_t y, std::int32_t amount) noexcept {
    std::uint16_t* buffer = bufferFor(page);
    if (page.brush.settings.blendStrength == 0 || !buffer || page.mask.plane.size() != page.pixelCount()) return;
    const Color16 b = page.brush.dabColor;
    const u32 l = (u32{b.red} + b.green + b.blue) / 3;
    const u32 v = l < 256 ? 65535 : 65280 - l;
    const u32 a = static_cast<u32>(std::clamp(amount, 0, 256));
    const Square q = brushSquare(page, x, y);
    const std::size_t brv = static_cast<std::size_t>(page.maxBrushSize) * 4;
    if (q.clipped) {
        const std::int32_t size = page.brush.settings.brushSize;
        for (std::int32_t r = 0; r < size; ++r) std::fill_n(buffer + r * brv, size, static_cast<std::uint16_t>(v));
    }
    if (q.empty()) return;
    const std::uint16_t* mask = page.mask.plane.data();
    for (std::int64_t py = q.area.top; py < q.area.bottom; ++py) {
        std::uint16_t* row = buffer + static_cast<std::size_t>(py - q.area.top + q.rowOffset) * brv;
        for (std::int64_t px = q.area.left; px < q.area.right; ++px) {
            const u32 w = a * v + u32{mask[py * page.width + px]} * (256 - a);
            row[px - q.area.left + q.columnOffset] = lo16(w < 0xFF0000 ? (w >> 8) + 1 : 65280);
        }
    }
}

void mixPickup(PageBrush& page, std::int32_t x, std::int32_t y, const std::uint16_t* source, std::int32_t amount) noexcept {
    std::uint16_t* buffer = bufferFor(page);
    const BrushSettings& st = page.brush.settings;
    if (st.blendStrength == 0 || !buffer || !source) return;
    const u32 k = std::min<u32>(65535, static_cast<u32>(std::clamp(amount, 0, 256)) * 256), ik = 65536 - k;
    const Square q = brushSquare(page, x, y);
    if (q.empty()) return;
    const std::uint16_t* mask = page.maskIfEnabled();
    const std::int32_t mode = st.mixMode;
    const bool listed = isListedMixMode(mode);
    forEachSquarePixel(page, q, buffer, [&](std::size_t at, std::uint16_t* m) {
        const std::uint16_t* src = source + at * 4;
        const u32 d[4] = {src[0], src[1], src[2], maskedAlpha(src[3], mask, at)};
        if (d[3] == 0) {
            m[3] = lo16((ik * m[3]) >> 16);
            return;
        }
        if (m[3] == 0) {
            for (int c = 0; c < 3; ++c) m[c] = lo16(std::min<u32>(65280, d[c]));
            m[3] = lo16(d[3]);
            return;
        }
        const u32 s[3] = {m[0], m[1], m[2]};
        u32 x3[3] = {s[0], s[1], s[2]}, xa = m[3];
        if (mode == 33) {
            for (int c = 0; c < 3; ++c) x3[c] = (s[c] * d[c]) >> 16;
        } else if (listed) {
            u32 l = 0;
            switch (mixModeValue(mode, s, d, page.brush.colorBanks, st.posterizeShift, x3, l)) {
                case MixOutcome::Unchanged:
                    x3[0] = d[0], x3[1] = d[1], x3[2] = d[2], xa = d[3];
                    break;
                case MixOutcome::Grey:
                    xa = l;
                    break;
                default:
                    break;
            }
        }
        for (int c = 0; c < 3; ++c)
            m[c] = lo16(std::min<u32>(65280, ((((x3[c] * ik) >> 8) + ((d[c] * k) >> 8)) >> 8) + 1));
        m[3] = lo16((((xa * ik) >> 8) + ((d[3] * k) >> 8)) >> 8);
    });
}

void tintBuffer(PageBrush& page, std::int32_t x, std::int32_t y, std::int32_t red, std::int32_t green, std::int32_t blue,
                std::int32_t amount) noexcept {
    std::uint16_t* buffer = bufferFor(page);
    if (page.brush.settings.blendStrength == 0 || !buffer) return;
    const u32 f = std::min<u32>(65535, static_cast<u32>(std::clamp(amount, 0, 256)) * 256), inv = 65536 - f;
    const u32 tint[3] = {static_cast<u32>(red & 0xFF), static_cast<u32>(green & 0xFF), static_cast<u32>(blue & 0xFF)};
    const Square q = brushSquare(page, x, y);
    if (q.empty()) return;
    forEachSquarePixel(page, q, buffer, [&](std::size_t, std::uint16_t* m) {
        for (int c = 0; c < 3; ++c) {
            const u32 v = m[3] == 0 ? tint[c] * 256 : ((tint[c] * f + ((m[c] * inv) >> 8)) >> 8) + 1;
            m[c] = lo16(std::min<u32>(65280, v));
        }
    });
}

void clearBuffer(PageBrush& page) noexcept { fillBuffer(page, 0); }

void fillBuffer(PageBrush& page, std::uint8_t fill) noexcept {
    auto& b = page.brush.mixingBuffer;
    if (!b.empty()) std::memset(b.data(), fill, b.size() * sizeof(std::uint16_t));
}

void filterBuffer(PageBrush& page, std::int32_t kind, std::int32_t levelPercent) noexcept {
    std::uint16_t* buffer = bufferFor(page);
    if (!buffer || kind < 289 || kind > 292) return;
    const u32 d = static_cast<u32>(std::max<std::int64_t>(0, static_cast<std::int64_t>(levelPercent * 655.35)));
    const std::int32_t size = page.brush.settings.brushSize;
    for (std::int32_t r = 0; r < size; ++r) {
        std::uint16_t* m = buffer + static_cast<std::size_t>(r) * page.maxBrushSize * 4;
        for (std::int32_t k = 0; k < size; ++k, m += 4) {
            switch (kind) {
                case 289:
                    m[0] = m[1] = m[2] = lo16((u32{m[0]} + m[1] + m[2]) / 3);
                    break;
                case 290:
                    for (int c = 0; c < 3; ++c) m[c] = lo16(65535 - m[c]);
                    break;
                case 291:
                    for (int c = 0; c < 3; ++c)
                        if (m[c] < d) m[c] = 0;
                    break;
                default:
                    for (int c = 0; c < 3; ++c)
                        if (m[c] > d) m[c] = 65280;
                    break;
            }
        }
    }
}

}  // namespace plr
