// The transform rows built for AVX2 processors: the same source as the
// baseline (transform_row_formulas.h), eight floats or four doubles a step.
#include "adapters/effects/transform_row_formulas.h"
#include "adapters/effects/transform_rows.h"

namespace plr::effect_lib {

void applyTransformToRowAvx2(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept {
    applyRow(t, xs, ys, n);
}

void applyTransformToGridRowAvx2(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept {
    applyGridRow(t, y, xs, ys, n);
}

void marbleGridRowAvx2(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                       std::int32_t n) noexcept {
    marbleGrid(t, y, tables, xs, ys, n);
}

}  // namespace plr::effect_lib
