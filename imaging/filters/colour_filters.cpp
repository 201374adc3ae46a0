// Effects that work on HSL lightness and saturation or on L*a*b*.
#include "imaging/filters/effect_params.h"

#include <algorithm>

#include "imaging/colour_spaces.h"

namespace plr {
namespace {

double unit(double v) { return std::clamp(v, 0.0, 1.0); }

void putRgb(EffectParams& e, std::int64_t x, std::int64_t y, const Rgb8& c) {
    e.put(x, y, 0, c.r);
    e.put(x, y, 1, c.g);
    e.put(x, y, 2, c.b);
}

}  // namespace

void effectAdjustLab(EffectParams& e) {
    const double dl = (e.p[1] - 0.5) * 200.0, da = (e.p[2] - 0.5) * 200.0, db = (e.p[3] - 0.5) * 200.0;
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x) {
            const Lab lab = RgbToLab(e.at(x, y, 0), e.at(x, y, 1), e.at(x, y, 2));
            putRgb(e, x, y, LabToRgb(lab.l + dl, lab.a + da, lab.b + db));
        }
}

// Dark pixels get the curve 255 - (255 - q)^2 / e, light ones q^2 / e, mixed
// by the pixel's lightness (real division; the sum is truncated once).
void effectHyperContrast(EffectParams& e) {
    const double span = std::max(1, static_cast<int>((1.0 - e.p[1]) * 255.0));
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x) {
            const double l = RgbToHsl(e.at(x, y, 0), e.at(x, y, 1), e.at(x, y, 2)).l;
            for (int c = 0; c < 3; ++c) {
                const double q = e.at(x, y, c);
                const double v = (255.0 - (255.0 - q) * (255.0 - q) / span) * (1.0 - l) + (q * q / span) * l;
                e.put(x, y, c, static_cast<double>(static_cast<std::int64_t>(v)));
            }
        }
}

// Each pixel's HSL lightness and saturation move away from those of its
// neighbour (option 1: 0 left, 1 above, 2 above-left; outside the picture
// the neighbour is black) by P1 times the difference, clamped to 0..1; hue
// and alpha stay.
void effectBasRelief(EffectParams& e) {
    static const int dx[3] = {-1, 0, -1}, dy[3] = {0, -1, -1};
    const int k = e.option1 >= 0 && e.option1 <= 2 ? e.option1 : 0;
    const double push = e.p[1];
    for (std::int64_t y = 0; y < e.height; ++y)
        for (std::int64_t x = 0; x < e.width; ++x) {
            const Hsl p = RgbToHsl(e.at(x, y, 0), e.at(x, y, 1), e.at(x, y, 2));
            const Hsl n = RgbToHsl(e.at(x + dx[k], y + dy[k], 0), e.at(x + dx[k], y + dy[k], 1),
                                   e.at(x + dx[k], y + dy[k], 2));
            putRgb(e, x, y, HslToRgb(p.h, unit(p.s + (p.s - n.s) * push), unit(p.l + (p.l - n.l) * push)));
        }
}

void faderInHsl(EffectParams& e, std::int64_t x, std::int64_t y, double factor) {
    Hsl c = RgbToHsl(e.at(x, y, 0), e.at(x, y, 1), e.at(x, y, 2));
    if (e.option[4] == 1) c.s = unit(c.s * factor);
    if (e.option[5] == 1) c.l = unit(c.l * factor);
    putRgb(e, x, y, HslToRgb(c.h, c.s, c.l));
}

}  // namespace plr
