// Effects that look at each pixel and at most its 3 x 3 neighbourhood.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/effects/effect_params.h"
#include "engine/engine.h"
#include "layers/layer_load.h"
#include "core/sizes.h"

namespace plr {
namespace {

// Sum of channel c over the 3 x 3 block around (x, y).
int blockSum(const EffectParams& e, std::int64_t x, std::int64_t y, int c) {
    int s = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) s += e.at(x + dx, y + dy, c);
    return s;
}

double blockMeanGrey(const EffectParams& e, std::int64_t x, std::int64_t y) {
    int s = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) s += e.grey(x + dx, y + dy);
    return s / 9.0;
}

void threshold(EffectParams& e, double level) {
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x) {
            const int v = e.grey(x, y) < level ? 0 : 255;
            for (int c = 0; c < 3; ++c) e.put(x, y, c, v);
        }
}

}  // namespace

void effectBasicThreshold(EffectParams& e) { threshold(e, e.p[1] * 255.0); }

void effectGrayscale(EffectParams& e) {
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x) {
            const int g = e.grey(x, y);
            for (int c = 0; c < 3; ++c) e.put(x, y, c, g);
        }
}

void effectInvert(EffectParams& e) {
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x)
            for (int c = 0; c < 3; ++c) e.put(x, y, c, 255 - e.at(x, y, c));
}

void effectChannel(EffectParams& e) {
    int keep = -1;
    if (e.option[3] == 1) keep = 0;
    else if (e.option[4] == 1) keep = 1;
    else if (e.option[5] == 1) keep = 2;
    if (keep < 0) return;
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x) {
            const int v = e.at(x, y, keep);
            for (int c = 0; c < 3; ++c) e.put(x, y, c, c == keep ? 255 : 0);
            e.put(x, y, 3, v);
        }
}

void effectClamp(EffectParams& e) {
    const double low = e.p[1] * 255.0, lowTo = e.p[2] * 255.0, high = e.p[3] * 255.0, highTo = e.p[4] * 255.0;
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x)
            for (int c = 0; c < 4; ++c) {
                if (e.option[3 + c] != 1) continue;
                double v = e.at(x, y, c);
                if (v < low) v = lowTo;
                if (v > high) v = highTo;
                e.put(x, y, c, v);
            }
}

void effectAdaptiveBlur(EffectParams& e) {
    const double limit = (1.0 - e.p[1]) * 255.0;
    static const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
    for (std::int64_t y = 1; y < e.height - 1; ++y)
        for (std::int64_t x = 1; x < e.width - 1; ++x) {
            const int g = e.grey(x, y);
            double w = -1.0;
            for (int k = 0; k < 4 && w < 0.0; ++k) {
                const int n = e.grey(x + dx[k], y + dy[k]);
                if (g - n > limit) w = e.p[2];
                else if (n - g > limit) w = e.p[3];
            }
            if (w < 0.0) continue;
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int k = 0; k < 4; ++k) sum += e.at(x + dx[k], y + dy[k], c);
                e.put(x, y, c, (1.0 - w) * e.at(x, y, c) + w * (sum / 4.0));
            }
        }
}

void effectDetailBlur(EffectParams& e) {
    const double limit = e.p[1] * 255.0;
    for (std::int64_t y = 1; y < e.height - 1; ++y)
        for (std::int64_t x = 1; x < e.width - 1; ++x) {
            if (!(std::abs(e.grey(x, y) - blockMeanGrey(e, x, y)) > limit)) continue;
            int mean[4];
            for (int c = 0; c < 4; ++c) mean[c] = blockSum(e, x, y, c) / 9;
            for (int c = 0; c < 4; ++c) e.put(x, y, c, mean[c]);
        }
}

void effectLineArtCleaner(EffectParams& e) {
    threshold(e, e.p[1] * 255.0);
    // The thresholded picture goes into the current layer (through mask and
    // texture) and feeds the pass that removes specks. The load reads no
    // more of the picture than it has.
    if (LayerRecord* layer = page().currentLayer)
        loadRGBA32Layer(page(), e.destination, e.width * 4, page().currentLayerIndex, 0, 0,
                        std::min<std::int32_t>(layer->width, e.width), std::min<std::int32_t>(layer->height, e.height),
                        true);
    const std::size_t bytes = saturatingProduct(std::uint64_t(e.width), std::uint64_t(e.height), 4);
    if (e.source != e.destination) std::memmove(e.source, e.destination, bytes);
    const std::uint8_t keep = e.keepDestination;
    e.keepDestination = 0;
    const double dark = e.p[1] * 255.0, rise = e.p[2] * 255.0;
    for (std::int64_t y = 1; y < e.height - 1; ++y)
        for (std::int64_t x = 1; x < e.width - 1; ++x) {
            const int g = e.grey(x, y);
            if (g < dark && blockMeanGrey(e, x, y) - g > rise)
                for (int c = 0; c < 3; ++c) e.put(x, y, c, 255);
        }
    e.keepDestination = keep;
}

void effectMaskDetail(EffectParams& e) {
    Page& p = page();
    if (p.width != e.width || p.height != e.height || p.mask.plane.size() != p.pixelCount() || p.mask.plane.empty())
        return;  // the mask plane has the page's size only
    const int limit = static_cast<int>(e.p[1] * 255.0);
    const double level = (1.0 - e.p[2]) * 65535.0;
    const auto value = static_cast<std::uint16_t>(level <= 0.0 ? 0.0 : level >= 65535.0 ? 65535.0 : level);
    std::uint16_t* mask = p.mask.plane.data();
    for (std::int64_t y = 1; y < e.height - 1; ++y)
        for (std::int64_t x = 1; x < e.width - 1; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = e.at(x, y, c);
                const bool vertical = std::abs(v - e.at(x, y - 1, c)) > limit && std::abs(v - e.at(x, y + 1, c)) > limit;
                const bool horizontal = std::abs(v - e.at(x - 1, y, c)) > limit && std::abs(v - e.at(x + 1, y, c)) > limit;
                if (vertical || horizontal) {
                    mask[y * e.width + x] = value;
                    break;
                }
            }
}

}  // namespace plr
