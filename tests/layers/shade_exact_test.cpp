// The Shade rule of the alpha-mode row kernels works in integers; the plain
// rule (blendrule::shade) divides in double. Every channel value against
// every alpha, for every pivot and divisor of the mode table, with the four-
// and (where the processor has it) eight-lane forms: the two are the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "layers/blend_alpha.h"
#include "layers/blend_modes.h"
#include "layers/blend_pixel.h"

namespace plr::test {
namespace {

using ShadeFn = void (*)(const std::int32_t*, const std::int32_t*, std::int32_t*, std::int32_t,
                         const ShadeConstants&) noexcept;

struct Mismatch {
    std::int64_t count = 0;
    std::int32_t v = 0, a = 0, got = 0, want = 0;
};

// Alphas first..last (one side of the pivot) against every channel value,
// each form's results beside the one double result.
Mismatch compareAlphas(const std::vector<ShadeFn>& forms, const ShadeParams& p, std::int32_t first,
                       std::int32_t last) {
    std::vector<std::int32_t> v(65536), a(65536);
    std::vector<std::vector<std::int32_t>> out(forms.size(), std::vector<std::int32_t>(65536));
    std::iota(v.begin(), v.end(), 0);
    const ShadeConstants k = shadeConstantsOf(p);
    Mismatch m;
    for (std::int32_t alpha = first; alpha <= last; ++alpha) {
        std::fill(a.begin(), a.end(), alpha);
        for (std::size_t f = 0; f < forms.size(); ++f) forms[f](v.data(), a.data(), out[f].data(), 65536, k);
        for (std::int32_t value = 0; value < 65536; ++value) {
            const auto want = static_cast<std::int32_t>(
                blendrule::shade(static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(alpha), p));
            for (const std::vector<std::int32_t>& o : out)
                if (o[value] != want && m.count++ == 0) m = {1, value, alpha, o[value], want};
        }
    }
    return m;
}

TEST(ShadeInIntegers, EqualsTheDoubleRuleForEveryValueAndAlpha) {
    std::vector<ShadeFn> forms = {&shadeValues};
    if (__builtin_cpu_supports("avx2")) forms.push_back(&shadeValuesAvx2);
    // Each pivot and divisor once per side: above the pivot only Dl counts, from it down only Dd.
    std::set<std::tuple<std::int32_t, double, bool>> done;
    int sides = 0;
    for (const BlendMode& mode : kBlendModes) {
        const ShadeParams& p = mode.shade;
        if (p.pivot == 0) continue;
        for (const bool above : {true, false}) {
            if (!done.insert({p.pivot, above ? p.lighten : p.darken, above}).second) continue;
            ++sides;
            const std::int32_t first = above ? p.pivot + 1 : 0, last = above ? 0xFFFF : p.pivot;
            // Two halves of the alphas on two threads.
            const std::int32_t middle = first + (last - first) / 2;
            Mismatch low, high;
            std::thread t([&] { low = compareAlphas(forms, p, first, middle); });
            high = compareAlphas(forms, p, middle + 1, last);
            t.join();
            for (const Mismatch& m : {low, high})
                EXPECT_EQ(m.count, 0) << "pivot " << p.pivot << (above ? " above" : " below") << ": v " << m.v
                                      << " a " << m.a << " gives " << m.got << ", the double rule " << m.want;
        }
    }
    EXPECT_EQ(sides, 5);  // the table's three Shade settings share the 0x7FFF lighten divisor
}

}  // namespace
}  // namespace plr::test
