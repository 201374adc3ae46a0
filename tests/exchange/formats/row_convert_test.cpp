// The readers' word-at-a-time row conversions against their byte-by-byte
// references, on random rows of every short length and a few long ones.
#include <cstring>
#include <random>
#include <vector>

#include "exchange/formats/row_convert.h"
#include "exchange/formats/row_convert_reference.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using RowConvert = EngineTest;

std::vector<std::uint8_t> randomBytes(std::mt19937& rng, std::size_t n) {
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

TEST_F(RowConvert, FastFormsMatchTheirReferences) {
    std::mt19937 rng(1234);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 70; ++n) lengths.push_back(n);
    lengths.insert(lengths.end(), {255, 4000, 4001});
    for (std::size_t n : lengths) {
        // Exact-sized sources: a read past the end shows under the address checker.
        const auto three = randomBytes(rng, 3 * n), four = randomBytes(rng, 4 * n);
        const auto r = randomBytes(rng, n), g = randomBytes(rng, n), b = randomBytes(rng, n);
        std::vector<std::uint8_t> fast(4 * n + 1, 0xA5), ref(4 * n + 1, 0x5A);
        auto same = [&](const char* what) {
            EXPECT_EQ(0, std::memcmp(fast.data(), ref.data(), 4 * n)) << what << " " << n;
            EXPECT_EQ(fast[4 * n], 0xA5) << what << " wrote past the row, " << n;
        };
        formats::bgrToRgba(three.data(), fast.data(), n);
        reference::bgrToRgba(three.data(), ref.data(), n);
        same("bgr");
        formats::bgrToRgbaWords(three.data(), fast.data(), n);
        same("bgr words");
        formats::bgraToRgba(four.data(), fast.data(), n);
        reference::bgraToRgba(four.data(), ref.data(), n);
        same("bgra");
        formats::bgrxToRgba(four.data(), fast.data(), n);
        reference::bgrxToRgba(four.data(), ref.data(), n);
        same("bgrx");
        formats::planesToRgba(r.data(), g.data(), b.data(), fast.data(), n);
        reference::planesToRgba(r.data(), g.data(), b.data(), ref.data(), n);
        same("planes");
    }
}

TEST_F(RowConvert, AnyFourthByteSeesOneByteAnywhere) {
    std::vector<std::uint8_t> px(4 * 37, 0);
    for (std::size_t i = 0; i < px.size(); ++i)
        if (i % 4 != 3) px[i] = 0xFF;
    EXPECT_FALSE(formats::anyFourthByte(px.data(), 37));
    for (std::size_t p : {0u, 17u, 36u}) {
        px[p * 4 + 3] = 1;
        EXPECT_TRUE(formats::anyFourthByte(px.data(), 37)) << p;
        EXPECT_FALSE(formats::anyFourthByte(px.data(), p)) << p;
        px[p * 4 + 3] = 0;
    }
}

}  // namespace
}  // namespace plr::test
