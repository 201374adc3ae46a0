// The turned dab's row cells with AVX2, eight pixels a step: the float sums
// and truncations of rotatedCell() lane for lane (sub, add and cvttps round
// and truncate as the scalar forms do), the inside test as an unsigned
// minimum, and the shape values by a gather of 32-bit pairs. The shape
// lines of the samples a few rows on are asked for early (only a hint: the
// values never depend on it).
#include <immintrin.h>

#include <cstdint>

#include "brush/dab_rotated_row.h"

namespace plr::dab {

bool rotatedRowAvx2(const RotatedRow& r, std::int32_t count, std::int32_t* cells, std::uint32_t* shapeValues) noexcept {
    const __m256 vCos = _mm256_set1_ps(r.vCos), vSin = _mm256_set1_ps(r.vSin);
    const __m256i half = _mm256_set1_epi32(r.half);
    const __m256i top = _mm256_set1_epi32(static_cast<int>(r.size - 1));
    const __m256i stride = _mm256_set1_epi32(r.maxBrushSize);
    const __m256i rowCell = _mm256_set1_epi32(r.rowCell);
    // A pair read at the plane's last cell would end past the plane: that
    // lane is masked out of the gather and takes the value read alone.
    const auto last = static_cast<std::int32_t>(r.shapeCells - 1);
    const __m256i lastCell = _mm256_set1_epi32(last);
    const __m256i lastValue = _mm256_set1_epi32(r.shape[last]);
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i eight = _mm256_set1_epi32(8);
    __m256i expected = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i breaks = _mm256_setzero_si256();
    const int* pairs = reinterpret_cast<const int*>(r.shape);
    std::int32_t i = 0;
    if (count >= 8) expected = _mm256_add_epi32(expected, _mm256_set1_epi32(rotatedCell(r, 0)));
    for (; i + 8 <= count; i += 8) {
        const __m256 uc = _mm256_loadu_ps(r.uCos + i), us = _mm256_loadu_ps(r.uSin + i);
        const __m256i rx = _mm256_add_epi32(_mm256_cvttps_epi32(_mm256_sub_ps(uc, vSin)), half);
        const __m256i ry = _mm256_add_epi32(_mm256_cvttps_epi32(_mm256_add_ps(vCos, us)), half);
        const __m256i inside = _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_min_epu32(rx, top), rx),
                                                _mm256_cmpeq_epi32(_mm256_min_epu32(ry, top), ry));
        const __m256i turned = _mm256_add_epi32(_mm256_mullo_epi32(ry, stride), rx);
        const __m256i plain =
            _mm256_add_epi32(rowCell, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r.columns + i)));
        const __m256i cell = _mm256_blendv_epi8(plain, turned, inside);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cells + i), cell);
        const __m256i safe = _mm256_cmpgt_epi32(lastCell, cell);
        const __m256i pair = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), pairs, cell, safe, 2);
        const __m256i value = _mm256_blendv_epi8(lastValue, _mm256_and_si256(pair, low16), safe);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(shapeValues + i), value);
        // Every other lane: eight samples cross about four cache lines.
        for (int k = 0; k < 8; k += 2)
            _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(r.shape) +
                                                       2 * static_cast<std::uintptr_t>(cells[i + k] + r.ahead)),
                         _MM_HINT_T0);
        breaks = _mm256_or_si256(breaks, _mm256_xor_si256(cell, expected));
        expected = _mm256_add_epi32(expected, eight);
    }
    bool contiguous = _mm256_testz_si256(breaks, breaks) != 0;
    for (; i < count; ++i) {
        cells[i] = rotatedCell(r, i);
        shapeValues[i] = r.shape[cells[i]];
        contiguous = contiguous && cells[i] == cells[0] + i;
    }
    return contiguous;
}

}  // namespace plr::dab
