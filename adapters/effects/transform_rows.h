#pragma once
// The transform formulas over a whole row of positions at once, in single
// precision and without per-pixel calls, so that each loop is vector code
// (transform_row_formulas.h). transforms_reference.cpp holds the same
// formulas one pixel at a time in double precision.
#include <cstdint>

#include "adapters/effects/transforms.h"

namespace plr::effect_lib {

// Moves the n positions (xs[i], ys[i]) to where transform t looks before
// it, then folds them by the transform's edge mode.
void applyTransformToRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept;

// Marble applied straight to the pixel grid splits into sums of angles:
// sin(a + b) = sin a cos b + cos a sin b, with a per row and b per column.
// marbleColumns fills the 4 x n column values once; marbleGridRow then maps
// row y with no sine per pixel. Both fold by the transform's edge mode.
constexpr std::int32_t kMarbleTables = 4;
void marbleColumns(const Transform& t, float* tables, std::int32_t n) noexcept;
void marbleGridRow(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                   std::int32_t n) noexcept;

// Row y of the pixel grid through t: as the grid's positions through
// applyTransformToRow, bit for bit, with the radial transforms' factors
// worked out for half the pixels either side of the centre only.
void applyTransformToGridRow(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept;

// The two builds of applyTransformToRow, applyTransformToGridRow and marbleGridRow, which pick one
// of them on first use: the baseline, and the same source built for AVX2
// (call only where processorHasAvx2()). They give the same bits.
void applyTransformToRowBaseline(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept;
void applyTransformToRowAvx2(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept;
void applyTransformToGridRowBaseline(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept;
void applyTransformToGridRowAvx2(const Transform& t, std::int32_t y, float* xs, float* ys, std::int32_t n) noexcept;
void marbleGridRowBaseline(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                           std::int32_t n) noexcept;
void marbleGridRowAvx2(const Transform& t, std::int32_t y, const float* tables, float* xs, float* ys,
                       std::int32_t n) noexcept;

}  // namespace plr::effect_lib
