// Which bytes of the host's bitmap a render writes: exactly the display
// extent counted from the clipped origin (x and y below 0 become 0, the size
// is cut at the page's right and bottom edges), never a byte more, every
// byte of it. The bitmap is surrounded by guard bytes; random pages, views,
// scales and zooms (0, negative, NaN, infinite and huge included), origins
// and strides (bottom-up included) are checked, through the fast paths and
// the reference.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "engine_fixture.h"
#include "layers/render.h"

namespace plr::test {
namespace {

constexpr std::size_t kGuard = 96;

// Display columns and rows a render draws, worked out from the rules alone.
struct Extent {
    std::int64_t columns = 0, rows = 0;
    bool empty() const { return columns <= 0 || rows <= 0; }
};

// Last display pixel on the reduced path: truncate(size / zoom + origin - 1),
// in the zoom's single precision.
std::int64_t reducedLast(std::int64_t size, float zoom, std::int64_t origin) {
    const float last = static_cast<float>(size) / zoom + static_cast<float>(origin) - 1.0f;
    if (std::isnan(last)) return origin - 1;
    return static_cast<std::int64_t>(std::trunc(std::fmax(std::fmin(static_cast<double>(last), 1e12), -1e12)));
}

Extent expectedExtent(std::int32_t pageW, std::int32_t pageH, std::int32_t scale, float zoom, std::int32_t viewW,
                      std::int32_t viewH, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const std::int64_t x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    const std::int64_t cw = std::min<std::int64_t>(w, pageW - x0), ch = std::min<std::int64_t>(h, pageH - y0);
    if (cw <= 0 || ch <= 0) return {};
    std::int64_t right, bottom;  // inclusive
    if (static_cast<float>(scale) == zoom) {
        right = x0 + cw - 1;
        bottom = y0 + ch - 1;
    } else if (static_cast<float>(scale) < zoom) {
        right = reducedLast(cw, zoom, x0);
        bottom = reducedLast(ch, zoom, y0);
    } else {
        right = x0 + cw * scale - 1;
        bottom = y0 + ch * scale - 1;
    }
    right = std::min<std::int64_t>(right, x0 + viewW - 1);
    bottom = std::min<std::int64_t>(bottom, y0 + viewH - 1);
    return {right - x0 + 1, bottom - y0 + 1};
}

// A host bitmap of `rows` rows `rowBytes` apart (top-down or bottom-up),
// with guard bytes before and after.
struct GuardedBitmap {
    std::vector<std::uint8_t> bytes;
    std::size_t rowBytes, rowCount;
    bool bottomUp;
    GuardedBitmap(std::size_t rowBytes_, std::size_t rows_, bool bottomUp_)
        : bytes(rowBytes_ * rows_ + 2 * kGuard), rowBytes(rowBytes_), rowCount(rows_), bottomUp(bottomUp_) {}
    std::uint8_t* origin() {
        return bytes.data() + kGuard + (bottomUp && rowCount > 0 ? rowBytes * (rowCount - 1) : 0);
    }
    std::int32_t stride() const {
        return bottomUp ? -static_cast<std::int32_t>(rowBytes) : static_cast<std::int32_t>(rowBytes);
    }
    // Offset of display pixel byte (dx * 3 + c, dy) in `bytes`.
    std::size_t offsetOf(std::int64_t byteInRow, std::int64_t dy) const {
        const std::int64_t row = bottomUp ? static_cast<std::int64_t>(rowCount) - 1 - dy : dy;
        return kGuard + static_cast<std::size_t>(row) * rowBytes + static_cast<std::size_t>(byteInRow);
    }
    std::vector<bool> insideMap(const Extent& e) const {
        std::vector<bool> inside(bytes.size(), false);
        for (std::int64_t dy = 0; dy < e.rows; ++dy)
            for (std::int64_t b = 0; b < e.columns * 3; ++b) inside[offsetOf(b, dy)] = true;
        return inside;
    }
};

using RenderFn = void (*)(PageLayers&, std::uint8_t*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                          std::int32_t);

// Renders twice over different fillings: outside the extent every byte
// keeps its filling; inside, every byte is written (the same in both runs).
// Returns the first run's bytes.
std::vector<std::uint8_t> checkWrites(RenderFn fn, GuardedBitmap& bmp, const Extent& e, std::int32_t x,
                                      std::int32_t y, std::int32_t w, std::int32_t h, const char* what) {
    const std::vector<bool> inside = bmp.insideMap(e);
    std::vector<std::uint8_t> first;
    for (std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        std::memset(bmp.bytes.data(), fill, bmp.bytes.size());
        fn(page(), bmp.origin(), bmp.stride(), x, y, w, h);
        for (std::size_t i = 0; i < bmp.bytes.size(); ++i) {
            if (inside[i] && !first.empty() && bmp.bytes[i] != first[i]) {
                ADD_FAILURE() << what << ": byte " << i << " inside the extent not written";
                return first;
            }
            if (!inside[i] && bmp.bytes[i] != fill) {
                ADD_FAILURE() << what << ": byte " << i << " outside the extent written";
                return first;
            }
        }
        if (first.empty()) first = bmp.bytes;
    }
    return first;
}

class RenderExtent : public EngineTest {};

void pageWithLayer(std::int32_t w, std::int32_t h) {
    PLR_CreateImage(nullptr, w, h, 1, 0);
    ASSERT_EQ(PLR_CreateLayer(2, w, h), 1);
    PLR_SetLayerOptions(2, 1, 0, 100, "Normal");
    PLR_SetLayer(2);
}

void setPixel(std::int32_t slot, std::int32_t x, std::int32_t y, std::uint16_t r, std::uint16_t g, std::uint16_t b) {
    std::uint16_t* p = page().layers[slot].pixels.data() + 4 * (static_cast<std::size_t>(y) * page().width + x);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = 0xFFFF;
}

TEST_F(RenderExtent, RectangleAboveThePageDrawsFromRowZeroIntoABottomUpBitmap) {
    pageWithLayer(17, 9);
    PLR_SetViewSize(20, 11);
    setPixel(2, 3, 0, 0xFF00, 0, 0);   // the clipped origin
    setPixel(2, 16, 8, 0, 0, 0xFF00);  // the last page pixel drawn
    // Clipped to (3, 0, 14, 9): a 14 x 9 bitmap, 42 bytes a row, bottom-up.
    GuardedBitmap bmp(42, 9, true);
    const Extent e = expectedExtent(17, 9, 1, 1.0f, 20, 11, 3, -4, 22, 41);
    ASSERT_EQ(e.columns, 14);
    ASSERT_EQ(e.rows, 9);
    for (RenderFn fn : {&render, &renderReference}) {
        const auto out = checkWrites(fn, bmp, e, 3, -4, 22, 41, "above the page");
        ASSERT_FALSE(out.empty());
        const std::size_t topLeft = bmp.offsetOf(0, 0), bottomRight = bmp.offsetOf(13 * 3, 8);
        EXPECT_EQ(topLeft, kGuard + 8 * 42u);
        EXPECT_EQ(out[topLeft + 2], 255);  // red
        EXPECT_EQ(out[topLeft + 0], 0);
        EXPECT_EQ(out[bottomRight + 0], 255);  // blue
        EXPECT_EQ(out[bottomRight + 2], 0);
    }
}

TEST_F(RenderExtent, MagnifiedRectangleLeftOfThePageStartsAtDisplayColumnZero) {
    pageWithLayer(2, 3);
    PLR_SetViewSize(255, 42);
    PLR_SetScale(40, -1.0f);
    for (std::int32_t y = 0; y < 3; ++y) {
        setPixel(2, 0, y, 0xFF00, 0, 0);
        setPixel(2, 1, y, 0, 0, 0xFF00);
    }
    GuardedBitmap bmp(240, 42, false);  // 80 x 42 display pixels
    const Extent e = expectedExtent(2, 3, 40, -1.0f, 255, 42, -5, 0, 32, 3);
    ASSERT_EQ(e.columns, 80);
    ASSERT_EQ(e.rows, 42);
    for (RenderFn fn : {&render, &renderReference}) {
        const auto out = checkWrites(fn, bmp, e, -5, 0, 32, 3, "magnified left of the page");
        ASSERT_FALSE(out.empty());
        // Page column 0 covers display columns 0..39, column 1 covers 40..79.
        for (std::int64_t dy : {0, 41})
            for (std::int64_t dx = 0; dx < 80; ++dx) {
                const std::size_t at = bmp.offsetOf(dx * 3, dy);
                EXPECT_EQ(out[at + 2], dx < 40 ? 255 : 0) << dx << "," << dy;
                EXPECT_EQ(out[at + 0], dx < 40 ? 0 : 255) << dx << "," << dy;
            }
    }
}

TEST_F(RenderExtent, MagnifiedFactorZeroDrawsNothing) {
    pageWithLayer(17, 9);
    PLR_SetViewSize(100, 100);
    PLR_SetScale(0, -1.0f);
    GuardedBitmap bmp(16, 1, false);  // a 16-byte bitmap: nothing may be drawn
    for (RenderFn fn : {&render, &renderReference}) checkWrites(fn, bmp, Extent{}, 0, 0, 17, 9, "factor 0");
    std::memset(bmp.bytes.data(), 0x5A, bmp.bytes.size());
    PLR_Render(bmp.origin(), 51, 0, 0, 17, 9);
    for (std::uint8_t v : bmp.bytes) ASSERT_EQ(v, 0x5A);
}

float randomZoom(std::mt19937& rng, std::int32_t scale) {
    static const float kOdd[] = {0.0f, -0.0f, -1.0f, -3.5f, std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                 1e30f, 1e-30f, 3e9f, 0.25f, 0.5f, 0.999f, 1.0f, 1.01f, 1.5f, 2.0f, 2.7f, 7.3f};
    if (rng() % 5 == 0) return static_cast<float>(scale);
    return kOdd[rng() % (sizeof(kOdd) / sizeof(kOdd[0]))];
}

std::int32_t randomScale(std::mt19937& rng) {
    static const std::int32_t kOdd[] = {INT32_MIN, -7, -1, 0, 1, 1, 2, 3, 5, 40, 1 << 20, INT32_MAX};
    return kOdd[rng() % (sizeof(kOdd) / sizeof(kOdd[0]))];
}

std::int32_t randomCoordinate(std::mt19937& rng, std::int32_t size) {
    switch (rng() % 8) {
        case 0: return INT32_MIN;
        case 1: return INT32_MAX;
        case 2: return -static_cast<std::int32_t>(rng() % 60);
        default: return static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(size + 4)) - 2;
    }
}

std::int32_t randomLength(std::mt19937& rng, std::int32_t size) {
    switch (rng() % 8) {
        case 0: return INT32_MIN;
        case 1: return INT32_MAX;
        case 2: return -static_cast<std::int32_t>(rng() % 5);
        default: return static_cast<std::int32_t>(rng() % static_cast<std::uint32_t>(2 * size + 3));
    }
}

TEST_F(RenderExtent, NoByteOutsideTheExtentChangesAndEveryByteInsideIsWritten) {
    std::mt19937 rng(4711);
    for (int trial = 0; trial < 120 && !HasFailure(); ++trial) {
        const std::int32_t pw = 1 + static_cast<std::int32_t>(rng() % 40), ph = 1 + static_cast<std::int32_t>(rng() % 30);
        pageWithLayer(pw, ph);
        std::uint16_t* px = page().layers[2].pixels.data();
        for (std::size_t i = 0; i < page().pixelCount() * 4; ++i) px[i] = static_cast<std::uint16_t>(rng());
        if (rng() % 3 == 0) PLR_DisplayMask(1);
        for (int call = 0; call < 6 && !HasFailure(); ++call) {
            const std::int32_t scale = randomScale(rng);
            const float zoom = randomZoom(rng, scale);
            const std::int32_t vw = static_cast<std::int32_t>(rng() % 70) - 4;
            const std::int32_t vh = static_cast<std::int32_t>(rng() % 50) - 4;
            PLR_SetScale(scale, zoom);
            PLR_SetViewSize(vw, vh);
            const std::int32_t x = randomCoordinate(rng, pw), y = randomCoordinate(rng, ph);
            const std::int32_t w = randomLength(rng, pw), h = randomLength(rng, ph);
            const Extent e = expectedExtent(pw, ph, scale, zoom, vw, vh, x, y, w, h);
            // The host's bitmap holds the extent (a few spare bytes a row), or is
            // a token 16 bytes when nothing may be drawn.
            const std::size_t rowBytes = e.empty() ? 16 : static_cast<std::size_t>(e.columns) * 3 + rng() % 8;
            const std::size_t rows = e.empty() ? 1 : static_cast<std::size_t>(e.rows);
            GuardedBitmap bmp(rowBytes, rows, rng() % 2 == 0);
            std::ostringstream what;
            what << "page " << pw << "x" << ph << " view " << vw << "x" << vh << " scale " << scale << " zoom "
                 << zoom << " rect " << x << "," << y << " " << w << "x" << h;
            const auto fast = checkWrites(&render, bmp, e, x, y, w, h, what.str().c_str());
            const auto reference = checkWrites(&renderReference, bmp, e, x, y, w, h, what.str().c_str());
            EXPECT_EQ(fast, reference) << what.str();
        }
    }
}

}  // namespace
}  // namespace plr::test
