// Effects laid out over the whole picture: vignette, reflection, fader,
// borders.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "adapters/imaging/drawing.h"
#include "adapters/imaging/filters_blur.h"
#include "core/block.h"
#include "core/sizes.h"
#include "imaging/filters/effect_params.h"

namespace plr {

void effectVignette(EffectParams& e) {
    const std::int32_t w = e.width, h = e.height;
    const std::size_t n = saturatingProduct(std::uint64_t(w), std::uint64_t(h));
    Block<std::uint8_t> plane, blurred;
    if (!plane.allocate(n) || !blurred.allocate(n)) return;  // effects report nothing
    const double p6 = e.p[6], p5 = e.p[5];
    std::int32_t level = 255;
    if (e.option[5] == 0) {
        std::memset(plane.data(), EffectParams::clampByte(255.0 - p6 * 255.0), n);
    } else {
        std::memset(plane.data(), 0, n);
        level = e.option[5] == 1 ? EffectParams::clampByte(p6 * 255.0) : 255;
    }
    std::int32_t mx, my;
    if (e.option[7] == 0) {
        my = (h - 2 * static_cast<std::int32_t>(h * p5)) / 2;
        mx = (w - 2 * static_cast<std::int32_t>(w * p5)) / 2;
    } else {
        const std::int32_t longer = std::max(w, h);
        mx = my = (longer - 2 * static_cast<std::int32_t>(longer * p5)) / 2;
    }
    if (e.option[6] != 0)
        imaging_lib::FillSolidRect(plane.data(), w, h, 1, w, mx, my, w - mx - 1, h - my, std::uint32_t(level));
    else
        imaging_lib::DrawEllipseOnImage(plane.data(), w, h, 1, w, w / 2, h / 2, std::max(2, (w - 2 * mx) / 2),
                                std::max(2, (h - 2 * my) / 2), std::uint32_t(level));
    double radius = std::max(w, h) * 0.1 * e.p[4];
    if (radius == 0.0) radius = 0.1;
    if (!imaging_lib::GaussianBlurImage(plane.data(), blurred.data(), w, h, 1, w, radius, 15)) return;

    if (e.p[1] == 0.0) e.p[1] = 0.001;
    const bool tint = e.option[3] == 1, invert = e.option[5] == 1, clearAlpha = e.option[4] == 1;
    double tone[3] = {e.p[1], e.p[2], e.p[3]};
    if (e.option[8] != 0 && e.around)
        for (int c = 0; c < 3; ++c) tone[c] = e.around->dabColour[c] / 255.0;
    auto store = [](double f) { return static_cast<std::uint8_t>(std::clamp(f, 0.0, 1.0) * 255.0); };
    for (std::int64_t y = 0; y < h; ++y)
        for (std::int64_t x = 0; x < w; ++x) {
            const double t = blurred[y * w + x] / 255.0;
            const double g = invert ? 1.0 - t : t, in = 1.0 - g;
            const double alpha = e.at(x, y, 3) / 255.0;
            std::uint8_t* out = e.destination + (y * w + x) * 4;
            if (tint)
                for (int c = 0; c < 3; ++c)
                    out[c] = store(alpha != 0.0 ? in * tone[c] + g * (e.at(x, y, c) / 255.0) : tone[c]);
            out[3] = store(in * (clearAlpha ? 0.0 : 1.0) + g * alpha);
        }
}

void effectReflection(EffectParams& e) {
    const std::int32_t w = e.width, h = e.height;
    // The horizon row; a slider far out of range puts it far above or below
    // the picture, held to where row numbers stay exact.
    const std::int64_t g = static_cast<std::int64_t>(std::clamp((1.0 - e.p[1]) * (h - 1), -0x1p52, 0x1p52));
    std::int64_t common = 0;
    if (e.option[3] == 1)
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                if (e.at(x, y, 3) > 253) common = y;
    // Integer h / 16 as the rate's divisor; pictures under 16 rows use 1.
    const double rows16 = std::max(h / 16, 1);
    const double rateStep = e.p[2] * e.p[3] / rows16, sourceStep = 4.0 * e.p[4];
    for (std::int32_t x = 0; x < w; ++x) {
        std::int64_t n = common;
        if (e.option[3] != 1) {
            n = g - 1;
            if (e.option[4] != 1)
                for (std::int64_t y = h - 1; y >= g + 1; --y)
                    if (e.at(x, y, 3) != 0) {
                        n = y;
                        break;
                    }
        }
        if (n >= h - 1) continue;
        double o = static_cast<double>(n) - 1.0, r = e.p[2];
        std::int64_t j = n;
        // Rows above the picture are not written, but they take their steps.
        // More than a picture's height of them are taken in one step each
        // for the source row and the rate.
        if (j < -std::int64_t{h}) {
            const double skipped = static_cast<double>(-std::int64_t{h} - j);
            o -= skipped * sourceStep, r -= skipped * rateStep, j = -std::int64_t{h};
        }
        for (; j <= h - 1; ++j, o -= sourceStep, r -= rateStep) {
            // Outside the 64-bit range the source row is off the picture anyway.
            const std::int64_t from = std::fabs(o) < 0x1p62 ? static_cast<std::int64_t>(o) : -1;
            for (int c = 0; c < 3; ++c) e.put(x, j, c, e.at(x, from, c));
            e.put(x, j, 3, e.at(x, from, 3) * r);
        }
    }
}

void effectBorderize(EffectParams& e) {
    const std::int32_t w = e.width, h = e.height;
    // A ring k paints only while k is inside the picture's longer side: more
    // rings than that (a slider far out of range) change nothing.
    const double wanted = std::min(w, h) / 2 * e.p[2];
    const std::int32_t rings = wanted < 1 ? 0 : static_cast<std::int32_t>(std::min(wanted, double(std::max(w, h))));
    const double p1 = e.p[1];
    for (std::int32_t k = 0; k < rings; ++k) {
        std::int64_t sx, sy;
        if (p1 < 0.25) sx = static_cast<std::int64_t>(p1 * 4 * w), sy = k;
        else if (p1 < 0.5) sx = w - 1 - k, sy = static_cast<std::int64_t>((p1 - 0.25) * 4 * h);
        else if (p1 < 0.75) sx = static_cast<std::int64_t>(w - w * (p1 - 0.5) * 4), sy = h - 1 - k;
        else sx = k, sy = static_cast<std::int64_t>(h - h * (p1 - 0.75) * 4);
        const int colour[3] = {e.at(sx, sy, 0), e.at(sx, sy, 1), e.at(sx, sy, 2)};
        auto paint = [&](std::int64_t x, std::int64_t y) {
            for (int c = 0; c < 3; ++c) e.put(x, y, c, colour[c]);
        };
        for (std::int64_t x = k; x <= w - 1 - k; ++x) paint(x, k), paint(x, h - 1 - k);
        for (std::int64_t y = k; y <= h - 1 - k; ++y) paint(k, y), paint(w - 1 - k, y);
    }
}

}  // namespace plr

namespace plr {

// The ramps run over the picture, or with option 3 over the current layer's
// data extents (clipped to the picture); pixels outside stay.
void effectFader(EffectParams& e) {
    const bool hsl = e.option[4] == 1 || e.option[5] == 1;
    std::int64_t left = 0, top = 0, right = e.width - 1, bottom = e.height - 1;
    if (e.option[3] == 1) {
        Rect extents{};
        if (!e.around || !e.around->layerExtents || !e.around->layerExtents(e.around->context, extents)) return;
        if (extents.empty()) return;
        left = std::max<std::int64_t>(extents.left, 0);
        top = std::max<std::int64_t>(extents.top, 0);
        right = std::min<std::int64_t>(extents.lastColumn(), e.width - 1);
        bottom = std::min<std::int64_t>(extents.lastRow(), e.height - 1);
    }
    if (right < left || bottom < top) return;
    const double spanX = right > left ? double(right - left) : 1.0, spanY = bottom > top ? double(bottom - top) : 1.0;
    const bool alpha = e.option[6] == 1;
    for (std::int64_t y = top; y <= bottom; ++y) {
        const double fy = 2 * e.p[1] + (2 * e.p[2] - 2 * e.p[1]) * ((y - top) / spanY);
        for (std::int64_t x = left; x <= right; ++x) {
            const double f = (2 * e.p[3] + (2 * e.p[4] - 2 * e.p[3]) * ((x - left) / spanX)) * fy;
            if (hsl)
                faderInHsl(e, x, y, f);
            else
                for (int c = 0; c < 3; ++c) e.put(x, y, c, e.at(x, y, c) * f);
            if (alpha) e.put(x, y, 3, e.at(x, y, 3) * f);
        }
    }
}

}  // namespace plr
