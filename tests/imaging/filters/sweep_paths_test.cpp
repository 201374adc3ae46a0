// The table-driven sweep path gives the reference's bytes.
#include <vector>

#include "imaging/filters/effect_params.h"
#include "imaging/filters/sweep_filters.h"
#include "brush_test_support.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using SweepPaths = EngineTest;

TEST_F(SweepPaths, FastPathMatchesTheReferenceOnRandomPictures) {
    RefRand r{2024};
    const SweepKind kinds[] = {SweepKind::ValueBlur, SweepKind::NoiseReduction, SweepKind::NoiseReductionRgb,
                               SweepKind::AntiAlias};
    const int edgeValues[] = {0, 1000, -200, 1500, 500, 999, 1};
    SweepTables& tables = engine().filters.sweep;
    for (int w = 1; w <= 67; w += 3)
        for (int h : {1, 2, 5, 13}) {
            std::vector<std::uint8_t> base(static_cast<std::size_t>(w) * h * 4);
            // Flat runs as well as noise, so that both sides of every test occur.
            for (std::size_t i = 0; i < base.size(); ++i)
                base[i] = static_cast<std::uint8_t>(r.next() % 4 == 0 ? (r.next() % 2) * 255 : r.next() % 256);
            for (SweepKind kind : kinds)
                for (int trial = 0; trial < 3; ++trial) {
                    EffectParams ref, fast;
                    ref.width = fast.width = w;
                    ref.height = fast.height = h;
                    for (int k = 1; k <= 6; ++k)
                        ref.p[k] = fast.p[k] = (trial == 0 ? edgeValues[(k + w) % 7] : r.next() % 1001) * 0.001;
                    std::vector<std::uint8_t> a = base, b = base;
                    ref.destination = ref.source = a.data();
                    fast.destination = fast.source = b.data();
                    runSweep(ref, kind, nullptr);
                    runSweep(fast, kind, &tables);
                    ASSERT_EQ(a, b) << "kind " << static_cast<int>(kind) << " " << w << "x" << h << " trial " << trial;
                }
        }
}

}  // namespace
}  // namespace plr::test
