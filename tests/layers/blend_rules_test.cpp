// The blend rules pixel by pixel. Every expected value is worked out by hand
// from the mode tables (the derivation is in the comment beside it); each
// pixel runs through the fast path and the reference.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "layers/blend_modes.h"
#include "layers/blend_pixel.h"
#include "layers/blend_request.h"

namespace plr::test {
namespace {

using Px = std::array<std::uint16_t, 4>;

struct Options {
    std::int32_t opacity = 256;
    bool lock = false;
    bool same = false;
    std::uint16_t O = 0xFFFF;
    const Px* mask = nullptr;
    std::int32_t maskMode = kModeLayerMask;
};

// One source pixel onto one destination pixel; checks both paths agree.
Px blendOne(std::int32_t mode, Px src, Px dst, const Options& o = {}) {
    BlendRequest rq;
    rq.source = src.data();
    rq.width = rq.height = 1;
    rq.sourceRowValues = rq.destRowValues = 4;
    rq.mask = o.mask ? o.mask->data() : nullptr;
    rq.maskMode = o.maskMode;
    rq.mode = mode;
    rq.opacity = o.opacity;
    rq.alphaLock = o.lock;
    rq.sameAlphaMode = o.same;
    rq.alphaLayerOpacity = o.O;
    Px viaReference = dst;
    rq.destination = viaReference.data();
    blendReference(rq);
    Px viaFast = dst;
    rq.destination = viaFast.data();
    blend(rq);
    EXPECT_EQ(viaReference, viaFast) << "mode " << mode;
    return viaFast;
}

// Colour values that are exact fractions of 0xFF00 (1.0).
constexpr std::uint16_t kEighth = 8160, kQuarter = 16320, kHalf = 32640, kThreeQuarters = 48960, kOne = 65280;
constexpr std::uint16_t kOpaque = 0xFFFF;

TEST(BlendModeTable, NamesMatchExactly) {
    EXPECT_EQ(blendModeNumber("Normal"), 0);
    EXPECT_EQ(blendModeNumber("Hard Light"), 9);
    EXPECT_EQ(blendModeNumber("Texturize3"), 19);
    EXPECT_EQ(blendModeNumber("Alpha Normal"), 21);
    EXPECT_EQ(blendModeNumber("Alpha Highlight Texture2"), 30);
    EXPECT_EQ(blendModeNumber("Layer Mask"), 40);
    EXPECT_EQ(blendModeNumber("Luminance Alpha Invert"), 42);
    EXPECT_EQ(blendModeNumber("multiply"), 0);    // case matters
    EXPECT_EQ(blendModeNumber("Multiply "), 0);   // no trimming
    EXPECT_EQ(blendModeNumber("HardLight"), 0);
    EXPECT_EQ(blendModeNumber(""), 0);
    EXPECT_EQ(blendModeNumber(nullptr), 0);
    for (const BlendMode& m : kBlendModes) {
        if (!m.name.empty()) {
            EXPECT_EQ(blendModeNumber(std::string(m.name).c_str()), m.number);
        }
    }
}

// Opaque source over opaque destination: as = ad = 1, so S = s, D = d,
// E = 0 and ao = 1; each channel is then a plain function of s and d.
struct ColourCase {
    std::int32_t mode;
    Px src, dst, expected;
};

TEST(BlendColourModes, OpaqueOverOpaqueFollowTheFormulas) {
    const ColourCase cases[] = {
        // Multiply: s*d = 0.25; Screen: s + d - s*d = 0.75.
        {1, {kHalf, kHalf, kOne, kOpaque}, {kHalf, 0, kQuarter, kOpaque}, {kQuarter, 0, kQuarter, kOpaque}},
        {2, {kHalf, kHalf, 0, kOpaque}, {kHalf, 0, kQuarter, kOpaque}, {kThreeQuarters, kHalf, kQuarter, kOpaque}},
        // Darken keeps the smaller, Lighten the larger channel.
        {3, {kQuarter, kThreeQuarters, kHalf, kOpaque}, {kThreeQuarters, kQuarter, kHalf, kOpaque}, {kQuarter, kQuarter, kHalf, kOpaque}},
        {4, {kQuarter, kThreeQuarters, kHalf, kOpaque}, {kThreeQuarters, kQuarter, kHalf, kOpaque}, {kThreeQuarters, kThreeQuarters, kHalf, kOpaque}},
        // Difference: s + d - 2 min = |s - d|.
        {5, {kQuarter, kOne, 0, kOpaque}, {kThreeQuarters, kQuarter, kHalf, kOpaque}, {kHalf, kThreeQuarters, kHalf, kOpaque}},
        // Negation and Exclusion: s + d - 2sd: 0.25 + 0.75 - 0.375 = 0.625 (40800).
        {6, {kQuarter, kOne, kHalf, kOpaque}, {kThreeQuarters, kOne, kHalf, kOpaque}, {40800, 0, kHalf, kOpaque}},
        {7, {kQuarter, kOne, kHalf, kOpaque}, {kThreeQuarters, kOne, kHalf, kOpaque}, {40800, 0, kHalf, kOpaque}},
        // Overlay: 2d < 1: 2sd (0.75, 0.25 -> 0.375); else 1 - 2(1-d)(1-s) (0.5, 0.75 -> 0.75).
        {8, {kThreeQuarters, kHalf, 0, kOpaque}, {kQuarter, kThreeQuarters, kHalf, kOpaque}, {24480, kThreeQuarters, 0, kOpaque}},
        // Hard Light: the test on 2s < 1: (0.25, 0.75 -> 0.375); (0.75, 0.5 -> 0.75).
        {9, {kQuarter, kThreeQuarters, kHalf, kOpaque}, {kThreeQuarters, kHalf, kHalf, kOpaque}, {24480, kThreeQuarters, kHalf, kOpaque}},
        // Soft Light, k = d: 2s < 1: d(1 + (2s-1)(1-k)) = 0.5 * 0.75 = 0.375;
        // 8d <= 1: d(1 + (2s-1)(1-k)(3-8k)) = 0.125 * (1 + 0.5 * 0.875 * 2) = 0.234375 (15300);
        // else d + (2s-1)(sqrt(k) - d) = 0.25 + 0.5 * 0.25 = 0.375.
        {10, {kQuarter, kThreeQuarters, kThreeQuarters, kOpaque}, {kHalf, kEighth, kQuarter, kOpaque}, {24480, 15300, 24480, kOpaque}},
        // Dodge: s + d >= 1 gives 1; else d / (1 - s) = 0.25 / 0.5 = 0.5.
        {11, {kHalf, kHalf, kQuarter, kOpaque}, {kHalf, kQuarter, 0, kOpaque}, {kOne, kHalf, 0, kOpaque}},
        // Burn: s + d <= 1 gives 0; else (s + d - 1) / s = 0.25 / 0.5 = 0.5.
        {12, {kHalf, kHalf, kOne, kOpaque}, {kQuarter, kThreeQuarters, kQuarter, kOpaque}, {0, kHalf, kQuarter, kOpaque}},
        // Reflect and Glow compose as Normal: the source.
        {13, {kQuarter, kHalf, kOne, kOpaque}, {kOne, kOne, 0, kOpaque}, {kQuarter, kHalf, kOne, kOpaque}},
        {14, {kQuarter, kHalf, kOne, kOpaque}, {kOne, kOne, 0, kOpaque}, {kQuarter, kHalf, kOne, kOpaque}},
        // Add: s + d, clamped; Subtract: s + d - 1, clamped at 0.
        {15, {kQuarter, kThreeQuarters, 0, kOpaque}, {kHalf, kHalf, 0, kOpaque}, {kThreeQuarters, kOne, 0, kOpaque}},
        {16, {kThreeQuarters, kQuarter, kOne, kOpaque}, {kHalf, kHalf, kOne, kOpaque}, {kQuarter, 0, kOne, kOpaque}},
        // Texturize: u = 0.5, L = 0.75, M = 0.5 - (0.5 - 0.75) = 0.75,
        // r = 0.5 + 1.75 * 0.25 = 0.9375 (61200).
        {17, {kThreeQuarters, kThreeQuarters, kThreeQuarters, kOpaque}, {kHalf, kHalf, kHalf, kOpaque}, {61200, 61200, 61200, kOpaque}},
        // Texturize2: L = 0.25, r = 0.5 + 1.75 * (0.25 - 0.5) = 0.0625 (4080).
        {18, {kQuarter, kQuarter, kQuarter, kOpaque}, {kHalf, kHalf, kHalf, kOpaque}, {4080, 4080, 4080, kOpaque}},
        // Texturize3 changes nothing, its alpha neither.
        {19, {kOne, kOne, kOne, kOpaque}, {1234, 5678, 9999, 0x8000}, {1234, 5678, 9999, 0x8000}},
    };
    for (const ColourCase& c : cases) EXPECT_EQ(blendOne(c.mode, c.src, c.dst), c.expected) << "mode " << c.mode;
}

TEST(BlendColourModes, HalfAlphaNormalTruncates) {
    // as = 0x8000 / 65535: red 1.0 * as * 65280 = 32640.498 -> 0x7F80;
    // blue 1.0 * (1 - as) * 65280 = 32639.502 -> 0x7F7F; alpha as(1 - 1) + 1 = 1.
    // Reflect, Glow and the unused number 20 compose the same way.
    for (std::int32_t mode : {0, 13, 14, 20})
        EXPECT_EQ(blendOne(mode, {kOne, 0, 0, 0x8000}, {0, 0, kOne, kOpaque}), (Px{0x7F80, 0, 0x7F7F, kOpaque}))
            << mode;
}

TEST(BlendColourModes, PartialAlphasPremultiply) {
    // Screen, as = ad = 0x8000 / 65535 = 0.500008: S = 0.375006, D = 0.125002,
    // r = S + D - SD = 0.453133, ao = 0.750004; r / ao * 65280 = 39440.1;
    // alpha 0.750004 * 65535 = 49151.7.
    EXPECT_EQ(blendOne(2, {kThreeQuarters, 0, 0, 0x8000}, {kQuarter, 0, 0, 0x8000}), (Px{39440, 0, 0, 49151}));
    // Multiply, opaque source over ad = 0.500008: r = 0.5(1 - ad) + 0.5 * 0.25 = 0.374998
    // -> 24479; the alpha lock keeps 0x8000.
    Options lock;
    lock.lock = true;
    EXPECT_EQ(blendOne(1, {kHalf, kHalf, kHalf, kOpaque}, {kHalf, kHalf, kHalf, 0x8000}, lock),
              (Px{24479, 24479, 24479, 0x8000}));
}

TEST(BlendColourModes, BurnByZeroAgainstChannelsAboveFF00GivesFF00) {
    // S = 0 and D = 65535/65280 > ad: as(D - 1)/0 = +inf, clamped to 1.
    EXPECT_EQ(blendOne(12, {0, 0, 0, kOpaque}, {0xFFFF, 0xFFFF, 0xFFFF, kOpaque}), (Px{kOne, kOne, kOne, kOpaque}));
}

TEST(BlendStageTwo, FastPathsAndTransparentDestinations) {
    // Normal, A >= 0xFF00: a straight copy, 0xFFFF channels included.
    EXPECT_EQ(blendOne(0, {0xFF00, 0, 0, 0xFFFF}, {1, 2, 3, 0x4000}), (Px{0xFF00, 0, 0, 0xFFFF}));
    EXPECT_EQ(blendOne(0, {0xFFFF, 0xFFFF, 1, 0xFF00}, {1, 2, 3, kOpaque}), (Px{0xFFFF, 0xFFFF, 1, 0xFF00}));
    // Any colour mode copies onto a transparent destination...
    for (std::int32_t mode : {0, 1, 5, 12, 16})
        EXPECT_EQ(blendOne(mode, {100, 200, 300, 0x1234}, {7, 8, 9, 0}), (Px{100, 200, 300, 0x1234})) << mode;
    // ...the Texturize family clears it, also under the alpha lock.
    Options lock;
    lock.lock = true;
    for (std::int32_t mode : {17, 18, 19}) {
        EXPECT_EQ(blendOne(mode, {100, 200, 300, 0x1234}, {7, 8, 9, 0}), (Px{0, 0, 0, 0})) << mode;
        EXPECT_EQ(blendOne(mode, {100, 200, 300, 0x1234}, {7, 8, 9, 0}, lock), (Px{0, 0, 0, 0})) << mode;
    }
    // A transparent source pixel in a colour mode is skipped, even over a transparent destination.
    EXPECT_EQ(blendOne(17, {100, 200, 300, 0}, {7, 8, 9, 0}), (Px{7, 8, 9, 0}));
    // An alpha that opacity brings to 0 clears a transparent destination and keeps an opaque one.
    Options zero;
    zero.opacity = 0;  // a = 1 * 0xFF >> 8 = 0
    EXPECT_EQ(blendOne(0, {100, 200, 300, 0xFF}, {7, 8, 9, 0}, zero), (Px{0, 0, 0, 0}));
    EXPECT_EQ(blendOne(0, {100, 200, 300, 0xFF}, {7, 8, 9, kOpaque}, zero), (Px{7, 8, 9, kOpaque}));
    // The alpha lock keeps the destination alpha on the copy path too.
    EXPECT_EQ(blendOne(0, {0xFF00, 0, 0, 0xFFFF}, {1, 2, 3, 0x4000}, lock), (Px{0xFF00, 0, 0, 0x4000}));
}

TEST(BlendStageOne, OpacityScalesTheAlpha) {
    const Px src{100, 200, 300, 0xFFFF}, clear{0, 0, 0, 0};
    auto alphaAt = [&](std::int32_t opacity) {
        Options o;
        o.opacity = opacity;
        return blendOne(1, src, clear, o)[3];
    };
    EXPECT_EQ(alphaAt(256), 0xFFFF);
    EXPECT_EQ(alphaAt(255), 0xFFFF);  // 255 or more is full
    EXPECT_EQ(alphaAt(254), 65279);   // 255 * 65535 >> 8 = 65279.004
    EXPECT_EQ(alphaAt(128), 33023);   // 129 * 65535 >> 8 = 33023.5
    EXPECT_EQ(alphaAt(0), 255);       // 1 * 65535 >> 8
    EXPECT_EQ(alphaAt(-40), 255);     // held to 0
    EXPECT_EQ(alphaAt(0x7FFFFFFF), 0xFFFF);
}

TEST(BlendStageOne, LayerMaskScalesTheAlphaByItsMeanGrey) {
    const Px src{100, 200, 300, 0xFFFF}, clear{0, 0, 0, 0};
    Options o;
    const Px grey{0x8000, 0x8000, 0x8000, 1};
    o.mask = &grey;
    EXPECT_EQ(blendOne(0, src, clear, o)[3], 32767);  // 0x8000 * 0xFFFF >> 16 = 32767.5
    const Px mixed{0x1000, 0x2000, 0x3001, 0xFFFF};   // mean 0x6001 / 3 = 8192 (truncated)
    o.mask = &mixed;
    EXPECT_EQ(blendOne(0, src, clear, o)[3], 8191);  // 8192 * 65535 >> 16 = 8191.9
    o.opacity = 128;
    EXPECT_EQ(blendOne(0, src, clear, o)[3], 4127);  // mask first, then 129 * 8191 >> 8 = 4127.5
    o.opacity = 256;
    const Px transparentMask{0, 0, 0, 0};  // does not mask
    o.mask = &transparentMask;
    EXPECT_EQ(blendOne(0, src, clear, o)[3], 0xFFFF);
    o.mask = &grey;
    o.maskMode = 0;  // a mask plane that is not a Layer Mask does nothing
    EXPECT_EQ(blendOne(0, src, clear, o)[3], 0xFFFF);
}

// Alpha modes over a transparent destination: the result is the stage-1
// pixel itself. Source colour (0x4000, 0x8000, 0xC000); O = 0x9000.
struct AlphaCase {
    std::int32_t mode;
    std::uint16_t a;
    Px expected;
};

TEST(BlendAlphaModes, StageOneRulesWithoutTheSwitch) {
    constexpr std::uint16_t O = 0x9000;
    const AlphaCase cases[] = {
        {21, 0x1234, {0x4000, 0x8000, 0xC000, O}},
        {21, 0, {0, 0, 0, 0}},  // a = 0: A = 0 clears the transparent destination
        {22, 0x1000, {0xFFFF, 0xFFFF, 0xFFFF, 0xEFFF}},
        {22, 0, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}},  // transparent becomes opaque white
        {23, 0x5000, {0, 0, 0, O}},
        {23, 0xFF00, {0x4000, 0x8000, 0xC000, 0xFF00}},
        {38, 0xFEFF, {0, 0, 0, O}},
        {24, 0x2FFF, {0x4000, 0x8000, 0xC000, O}},
        {25, 0x2FFE, {0x4000, 0x8000, 0xC000, 0xD001}},  // 0xFFFF - 0x2FFE
        {26, 0x3000, {0x4000, 0x8000, 0xC000, 0xCFFF}},
        {27, 0x3000, {0x3000, 0x3000, 0x3000, O}},
        // k = 2 * (0x7FFF - 0x4000) = 32766: 16384 - k < 0 -> 0, 32768 - k = 2, 49152 - k = 16386.
        {28, 0x4000, {0, 2, 16386, O}},
        // k = 2 * 0xC000 - 0xFFFE = 32770: 49154, then two channels held at 0xFFFF.
        {28, 0xC000, {49154, 0xFFFF, 0xFFFF, O}},
        {29, 0x4000, {0, 0, 0, 0}},  // composes as Texturize2: a transparent destination is cleared
        {30, 0x6000, {0, 0, 0, 0}},
        {31, 0x7FFF, {0x4000, 0x8000, 0xC000, O}},
        {31, 0x7000, {0x4000, 0x8000, 0xC000, 12292}},  // 28672 - 4 * 4095
        {32, 0x1FFE, {0, 0, 0, 0}},                     // Ramp 0
        {32, 0x2000, {0x4000, 0x8000, 0xC000, 63}},     // 65535 - 1023 * 64
        {32, 0x2200, {0x4000, 0x8000, 0xC000, 32831}},  // 65535 - 511 * 64
        {32, 0x23FF, {0x4000, 0x8000, 0xC000, O}},
        // Shade(0x7FFF, 32767, 32767) above: v + (65535 - v) * 16384 / 32767.
        {33, 0xBFFF, {40960, 49152, 57343, O}},
        // below: v - v * 16384 / 32767.
        {33, 0x3FFF, {8191, 16383, 24575, O}},
        {34, 0x3FFF, {12287, 24575, 36863, O}},  // v - v * 16384 / 65535
        // Shade(0x8FFE, 28672, 30000): v + (65535 - v) * 12290 / 28672.
        {35, 0xC000, {37452, 46813, 56174, O}},
        {35, 0xFFFF, {0xFFFF, 0xFFFF, 0xFFFF, O}},  // 28673 / 28672 overshoots: held at 0xFFFF
        {35, 0x2000, {726, 1452, 2179, O}},         // v * (1 - 28670 / 30000)
        {35, 0x1FFE, {0, 0, 0, 0}},                 // below 0x1FFF: A = 0
        {36, 0x2200, {1005, 2011, 3017, 32831}},    // v * (1 - 28158 / 30000), Ramp
        {37, 0x23FF, {4607, 9215, 13822, O}},       // v * (1 - 23552 / 32767)
        {39, 0x7F00, {0x4000, 0x8000, 0xC000, 0x7F00}},
        {39, 0x7F01, {0, 0, 0, 0}},
        {40, 0xFFFF, {0, 0, 0, 0}},
        // Luminance: mean (0x4000 + 0x8000 + 0xC000) / 3 = 0x8000, whatever the alpha.
        {41, 0, {0xFFFF, 0xFFFF, 0xFFFF, 0x8000}},
        {42, 0x1234, {0, 0, 0, 0x7FFF}},
    };
    for (const AlphaCase& c : cases) {
        Options o;
        o.O = O;
        EXPECT_EQ(blendOne(c.mode, {0x4000, 0x8000, 0xC000, c.a}, {7, 8, 9, 0}, o), c.expected)
            << "mode " << c.mode << " a " << c.a;
    }
}

TEST(BlendAlphaModes, LuminanceModesIgnoreMaskAndOpacity) {
    Options o;
    o.opacity = 0;
    const Px mask{0, 0, 0, 0xFFFF};  // would zero any other alpha
    o.mask = &mask;
    EXPECT_EQ(blendOne(41, {0x3000, 0x6000, 0x9000, 0x10}, {7, 8, 9, 0}, o), (Px{0xFFFF, 0xFFFF, 0xFFFF, 0x6000}));
    EXPECT_EQ(blendOne(42, {0x3000, 0x6000, 0x9000, 0x10}, {7, 8, 9, 0}, o), (Px{0, 0, 0, 0x9FFF}));
}

TEST(BlendAlphaModes, TextureModesComposeAsTexturize2) {
    // 29, a = 0x4000, source 0xFEFF: k = 32766, colour 32513; O = 0xFFFF so as = 1.
    // L - 0.5 = -127 / 65280; r = 0.5 - 1.75 * 127 / 65280 -> 32640 - 222.25 = 32417.75.
    EXPECT_EQ(blendOne(29, {0xFEFF, 0xFEFF, 0xFEFF, 0x4000}, {kHalf, kHalf, kHalf, kOpaque}),
              (Px{32417, 32417, 32417, kOpaque}));
    // 30, a = 0x6000: colour kept, A = 24576 - 2 * 8191 = 8194, as = 0.125032;
    // L = 1: r = 0.5 + 1.75 * as * 0.5 = 0.609403 -> 39781.85.
    EXPECT_EQ(blendOne(30, {kOne, kOne, kOne, 0x6000}, {kHalf, kHalf, kHalf, kOpaque}),
              (Px{39781, 39781, 39781, kOpaque}));
}

TEST(BlendAlphaModes, SameAlphaModeSwitch) {
    Options same;
    same.same = true;
    same.O = 0x9000;
    const Px opaque{9, 9, 9, kOpaque};
    // Replace: the source pixel (its colour, A = a) replaces the destination; no colour rule.
    for (std::int32_t mode : {21, 22, 23, 26, 27, 28, 29, 30, 31, 38})
        EXPECT_EQ(blendOne(mode, {1, 2, 3, 0x4000}, opaque, same), (Px{1, 2, 3, 0x4000})) << mode;
    // Replace under the alpha lock writes the colour only.
    Options sameLocked = same;
    sameLocked.lock = true;
    EXPECT_EQ(blendOne(21, {1, 2, 3, 0x4000}, {9, 9, 9, 0x5000}, sameLocked), (Px{1, 2, 3, 0x5000}));
    // a = 0 replaces nothing: A = 0 keeps an opaque destination.
    EXPECT_EQ(blendOne(21, {1, 2, 3, 0}, opaque, same), opaque);
    // Ramp family: below 0x1FFF A = 0; from 0x23FF replace; between: Multiply.
    for (std::int32_t mode : {32, 36, 37}) {
        EXPECT_EQ(blendOne(mode, {1, 2, 3, 0x1000}, opaque, same), opaque) << mode;
        EXPECT_EQ(blendOne(mode, {1, 2, 3, 0x3000}, opaque, same), (Px{1, 2, 3, 0x3000})) << mode;
        // as = 0x2100 / 65535 = 0.128908: r = 0.5(1 - as) + 0.5 * as * 0.5 -> 30536.2.
        EXPECT_EQ(blendOne(mode, {kHalf, kHalf, kHalf, 0x2100}, {kHalf, kHalf, kHalf, kOpaque}, same),
                  (Px{30536, 30536, 30536, kOpaque}))
            << mode;
    }
    // Step family: below 0x1FFF A = 0, otherwise replace without shading.
    for (std::int32_t mode : {33, 34, 35}) {
        EXPECT_EQ(blendOne(mode, {1, 2, 3, 0x1000}, opaque, same), opaque) << mode;
        EXPECT_EQ(blendOne(mode, {0x4000, 0x8000, 0xC000, 0xBFFF}, opaque, same), (Px{0x4000, 0x8000, 0xC000, 0xBFFF}))
            << mode;
    }
    // Alpha Highlight: above 0x7F00 replace, otherwise A = 0.
    EXPECT_EQ(blendOne(39, {1, 2, 3, 0x8000}, opaque, same), (Px{1, 2, 3, 0x8000}));
    EXPECT_EQ(blendOne(39, {1, 2, 3, 0x7000}, opaque, same), opaque);
    // Layer Mask and the luminance modes ignore the switch.
    EXPECT_EQ(blendOne(40, {1, 2, 3, 0xFFFF}, opaque, same), opaque);
    EXPECT_EQ(blendOne(41, {0x3000, 0x6000, 0x9000, 0}, {7, 8, 9, 0}, same), (Px{0xFFFF, 0xFFFF, 0xFFFF, 0x6000}));
}

TEST(BlendFloatDestination, RunningResultStaysUnrounded) {
    Stage1Settings st;
    // Normal, a = 0x8000 over opaque blue: red as = 0.5000076, blue 1 - as; alpha 1.
    ComposedPixel running{{0.0f, 0.0f, 1.0f}, 1.0f};
    const std::uint16_t half[4] = {kOne, 0, 0, 0x8000};
    stage2Float(stage1(half, nullptr, st), running);
    EXPECT_FLOAT_EQ(running.c[0], 32768.0f / 65535.0f);
    EXPECT_FLOAT_EQ(running.c[2], 1.0f - 32768.0f / 65535.0f);
    EXPECT_EQ(running.a, 1.0f);
    // A straight copy (A >= 0xFF00, Normal) makes the running alpha exactly opaque.
    const std::uint16_t nearlyOpaque[4] = {kHalf, kQuarter, 0, 0xFF00};
    stage2Float(stage1(nearlyOpaque, nullptr, st), running);
    EXPECT_EQ(running.c[0], 0.5f);
    EXPECT_EQ(running.c[1], 0.25f);
    EXPECT_EQ(running.a, 1.0f);
    // Onto nothing: the source as it is; Texturize clears.
    ComposedPixel empty{{0.0f, 0.0f, 0.0f}, 0.0f};
    const std::uint16_t quarterAlpha[4] = {kHalf, 0, 0, 0x4000};
    stage2Float(stage1(quarterAlpha, nullptr, st), empty);
    EXPECT_EQ(empty.c[0], 0.5f);
    EXPECT_FLOAT_EQ(empty.a, 16384.0f / 65535.0f);
    st.mode = kModeTexturize;
    empty = ComposedPixel{{0.3f, 0.3f, 0.3f}, 0.0f};
    stage2Float(stage1(quarterAlpha, nullptr, st), empty);
    EXPECT_EQ(empty.a, 0.0f);
    EXPECT_EQ(empty.c[0], 0.0f);
}

TEST(BlendAlphaModes, LayerMaskNeverShowsItself) {
    EXPECT_EQ(blendOne(40, {1, 2, 3, 0xFFFF}, {9, 9, 9, kOpaque}), (Px{9, 9, 9, kOpaque}));
}

}  // namespace
}  // namespace plr::test
