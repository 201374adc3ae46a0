#pragma once
// Helpers for the mask tests: a one-row page whose pixels are test cases, a
// mask pre-filled with values no builder writes, and a pass/keep readout.
#include <cstdint>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace plr::test {

struct Rgba {
    std::uint8_t r, g, b, a;
};

class MaskTest : public EngineTest {
protected:
    // A value no builder writes for pixel i (builders write multiples of 256 or a given value).
    static std::uint16_t sentinel(std::size_t i) { return static_cast<std::uint16_t>(0x0123 + 3 * i); }

    void makePage(int width, int height) {
        PLR_CreateImage(nullptr, width, height, 4, 0);
        std::vector<std::uint16_t> m(static_cast<std::size_t>(width) * height);
        for (std::size_t i = 0; i < m.size(); ++i) m[i] = sentinel(i);
        PLR_SetMaskData16(m.data());
    }

    std::vector<std::uint16_t> mask() {
        std::vector<std::uint16_t> m(page().pixelCount());
        PLR_GetMaskData16(m.data());
        return m;
    }

    static std::vector<std::uint8_t> bytes(const std::vector<Rgba>& px) {
        std::vector<std::uint8_t> b;
        for (const Rgba& p : px) b.insert(b.end(), {p.r, p.g, p.b, p.a});
        return b;
    }

    // One row of test pixels: makes the page, runs `build` on their RGBA32
    // bytes and returns a string with 'P' where the mask took `value` and
    // '.' where it kept its sentinel ('?' for anything else).
    template <class F>
    std::string passes(const std::vector<Rgba>& px, std::uint16_t value, F&& build) {
        makePage(static_cast<int>(px.size()), 1);
        const std::vector<std::uint8_t> b = bytes(px);
        build(b.data());
        std::string out;
        const std::vector<std::uint16_t> m = mask();
        for (std::size_t i = 0; i < m.size(); ++i) out += m[i] == value ? 'P' : m[i] == sentinel(i) ? '.' : '?';
        PLR_DeleteImage();
        return out;
    }
};

}  // namespace plr::test
