#pragma once
// The transform list's coordinate formulas in double precision, one pixel
// and one transform at a time, written for reading: the yardstick the fast
// row code in transforms.cpp is held to.
#include <cstdint>

#include "adapters/effects/transforms.h"

namespace plr::reference {

// Where destination row y of the list's result looks in the source.
void transformRow(const effect_lib::TransformList& list, std::int32_t y, double* xs, double* ys,
                  std::int32_t n) noexcept;

}  // namespace plr::reference
