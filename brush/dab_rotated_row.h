#pragma once
// The shape cells of one row of a turned dab and the shape values there:
// pixel i samples the shape at the rotated position when that lies inside
// the shape square, else at its unrotated cell. The products of each
// column's offset from the centre with the cosine and sine are made once per
// dab (uCos, uSin) and the row's own products once per row (vCos, vSin), so
// each position is the same two rounded sums the reference forms, truncated
// the same way. The AVX2 row kernel performs these steps lane for lane.
#include <cstddef>
#include <cstdint>

namespace plr::dab {

struct RotatedRow {
    const float* uCos;             // per pixel: (column - half) * cos
    const float* uSin;             // per pixel: (column - half) * sin
    const std::int32_t* columns;   // per pixel: the unrotated shape column
    float vCos, vSin;              // (row - half) * cos, * sin
    std::int32_t half;
    std::uint32_t size;            // the shape square's side
    std::int32_t maxBrushSize;     // row stride of the shape planes
    std::int32_t rowCell;          // row * maxBrushSize: the unrotated row
    const std::uint16_t* shape;    // the shape plane
    std::size_t shapeCells;        // its length: maxBrushSize^2
    std::int32_t ahead;            // cells from a sample to its place a few rows on (fetched early)
};

inline std::int32_t rotatedCell(const RotatedRow& r, std::int32_t i) noexcept {
    const std::int32_t rx = static_cast<std::int32_t>(r.uCos[i] - r.vSin) + r.half;
    const std::int32_t ry = static_cast<std::int32_t>(r.vCos + r.uSin[i]) + r.half;
    // Branch-free so that the baseline loop vectorises.
    const std::int32_t inside = static_cast<std::int32_t>(static_cast<std::uint32_t>(rx) < r.size) &
                                static_cast<std::int32_t>(static_cast<std::uint32_t>(ry) < r.size);
    const std::int32_t turned = ry * r.maxBrushSize + rx, plain = r.rowCell + r.columns[i];
    return plain + ((turned - plain) & -inside);
}

// Fills cells[0, count) and the shape values there; returns whether the
// cells run contiguous (cells[0], cells[0] + 1, ...).
inline bool rotatedRowScalar(const RotatedRow& r, std::int32_t count, std::int32_t* cells,
                             std::uint32_t* shapeValues) noexcept {
    for (std::int32_t i = 0; i < count; ++i) cells[i] = rotatedCell(r, i);
    std::int32_t breaks = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        shapeValues[i] = r.shape[cells[i]];
        breaks |= cells[i] - cells[0] - i;
    }
    return breaks == 0;
}

// The same with AVX2, eight pixels a step. Only on processors with AVX2.
bool rotatedRowAvx2(const RotatedRow& r, std::int32_t count, std::int32_t* cells, std::uint32_t* shapeValues) noexcept;

// The row kernel the engine chose at load (engine/cpu_kernels.h defines it
// from its kernel table): the AVX2 form where the processor has it.
using RotatedRowFn = bool (*)(const RotatedRow& r, std::int32_t count, std::int32_t* cells,
                              std::uint32_t* shapeValues) noexcept;
RotatedRowFn rotatedRowKernel() noexcept;

}  // namespace plr::dab
