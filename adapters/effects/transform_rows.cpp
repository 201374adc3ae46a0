#include "adapters/effects/transform_rows.h"

#include "adapters/effects/transform_row_formulas.h"
#include "core/cpu_features.h"

namespace plr::effect_lib {
namespace {

struct RowKernels {
    void (*apply)(const Transform&, float*, float*, std::int32_t) noexcept;
    void (*grid)(const Transform&, std::int32_t, float*, float*, std::int32_t) noexcept;
    void (*marbleGrid)(const Transform&, std::int32_t, const float*, float*, float*, std::int32_t) noexcept;
};

// Chosen once, on first use: the AVX2 build where the processor has it and
// PALORAN_NO_AVX2 does not forbid it. Both give the same bits.
const RowKernels& rowKernels() noexcept {
    static const RowKernels kernels = processorHasAvx2() && avx2AllowedByEnvironment()
                                          ? RowKernels{applyTransformToRowAvx2, applyTransformToGridRowAvx2, marbleGridRowAvx2}
                                          : RowKernels{applyTransformToRowBaseline, applyTransformToGridRowBaseline,
                                                       marbleGridRowBaseline};
    return kernels;
}

}  // namespace

void applyTransformToRowBaseline(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    applyRow(t, xs, ys, n);
}

void applyTransformToGridRowBaseline(const Transform& t, std::int32_t y, float* xs, float* ys,
                                     std::int32_t n) noexcept {
    applyGridRow(t, y, xs, ys, n);
}

void marbleGridRowBaseline(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                           std::int32_t n) noexcept {
    marbleGrid(t, y, tables, xs, ys, n);
}

void applyTransformToRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    rowKernels().apply(t, xs, ys, n);
}

// The tables of sin and cos of 2 sin(f x / 2) and of f x for each column x.
void applyTransformToGridRow(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    rowKernels().grid(t, y, xs, ys, n);
}

void marbleColumns(const Transform& t, float* tables, std::int32_t n) noexcept {
    const double f = t.a / 128.0, half = 0.5 * f;
    constexpr double kRadianTurns = 0.318309886183790672;
    float* sinB = tables;
    float* cosB = tables + n;
    float* sinP = tables + 2 * std::size_t(n);
    float* cosP = tables + 3 * std::size_t(n);
    for (std::int32_t x = 0; x < n; ++x) {
        const double b = kRadianTurns * fast::sinTurns(half * x), p = f * x;
        sinB[x] = fast::sinTurns(b);
        cosB[x] = fast::cosTurns(b);
        sinP[x] = fast::sinTurns(p);
        cosP[x] = fast::cosTurns(p);
    }
}

void marbleGridRow(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                   std::int32_t n) noexcept {
    rowKernels().marbleGrid(t, y, tables, xs, ys, n);
}

}  // namespace plr::effect_lib
