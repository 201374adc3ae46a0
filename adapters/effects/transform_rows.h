#pragma once
// The transform formulas over a whole row of positions at once, in single
// precision and without per-pixel calls, so that each loop is vector code.
// transforms_reference.cpp holds the same formulas one pixel at a time in
// double precision.
#include <cstdint>

#include "adapters/effects/transforms.h"

namespace plr::effect_lib {

// Moves the n positions (xs[i], ys[i]) to where transform t looks before
// it, then folds them by the transform's edge mode.
void applyTransformToRow(const Transform& t, float* xs, float* ys, std::int32_t n) noexcept;

}  // namespace plr::effect_lib
