// Effect-script files.
//
// A script is UTF-8/ASCII text, at most 64 KiB, one statement a line. Blank
// lines and everything after '#' are ignored. Tokens are separated by blanks;
// every value is a decimal integer in -1000000..1000000. The first statement
// must be the signature, the second the size; then up to 256 steps, applied
// in order to a picture that starts fully transparent black:
//
//   effect-script 1                 signature and format version
//   size W H                        picture size, 1..8192 on each side
//   fill R G B A                    every pixel becomes the colour
//   noise SEED AMOUNT               adds the same offset in -AMOUNT..AMOUNT
//                                   to red, green and blue of every pixel
//                                   (grey noise); offsets come from the
//                                   generator state = state * 214013 + 2531011,
//                                   draw = (state >> 16) & 0x7FFF, started at
//                                   SEED, one draw per pixel in row order:
//                                   offset = draw % (2 * AMOUNT + 1) - AMOUNT
//   gradient X0 Y0 X1 Y1 R0 G0 B0 A0 R1 G1 B1 A1
//                                   linear blend from colour 0 at (X0, Y0) to
//                                   colour 1 at (X1, Y1), constant beyond the
//                                   ends: t = clamp(((p - P0) . (P1 - P0)) /
//                                   |P1 - P0|^2, 0, 1), channel =
//                                   trunc(c0 + (c1 - c0) * t)
//   circle CX CY RADIUS R G B A     filled disc: every pixel with
//                                   (x - CX)^2 + (y - CY)^2 <= RADIUS^2
//   blur RADIUS                     Gaussian blur of all four channels with
//                                   the given reach in pixels (0 = none)
//
// Version 2 (signature "effect-script 2") adds one step, so that generated
// textures can be stored:
//
//   effect N I=V I=V ...            numbered effect N (effect_numbered.h)
//                                   run on the picture with parameter I
//                                   (0..19) set to V; parameters not named
//                                   are 0; at most 20 pairs, each parameter
//                                   once; an unknown N is an error
//
// Colour values are 0..255; AMOUNT 0..255; RADIUS 0..8192. Anything else - an
// unknown word, a missing or extra value, a value out of range, a size
// statement that is missing, repeated or out of place - makes the whole
// script invalid, and the engine then treats the path as an image file.
#include "adapters/effects/effect_script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "adapters/effects/effect_numbered.h"
#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/raster.h"
#include "adapters/imaging/drawing.h"
#include "core/block.h"
#include "core/crt_random.h"
#include "core/sizes.h"

namespace plr::effect_lib {
namespace {

constexpr std::int32_t kValueLimit = 1000000;
constexpr int kMaxTokens = kScriptEffectValues + 2;

struct Word {
    const char* name;
    StepKind kind;
    int count;
    std::int32_t lo[kMaxStepValues];
    std::int32_t hi[kMaxStepValues];
};

constexpr std::int32_t C = 255, X = kValueLimit, R = kMaxScriptSide;
const Word kWords[] = {
    {"fill", StepKind::Fill, 4, {0, 0, 0, 0}, {C, C, C, C}},
    {"noise", StepKind::Noise, 2, {-X, 0}, {X, C}},
    {"gradient", StepKind::Gradient, 12, {-X, -X, -X, -X, 0, 0, 0, 0, 0, 0, 0, 0}, {X, X, X, X, C, C, C, C, C, C, C, C}},
    {"circle", StepKind::Circle, 7, {-X, -X, 0, 0, 0, 0, 0}, {X, X, R, C, C, C, C}},
    {"blur", StepKind::Blur, 1, {0}, {R}},
};

// Splits one line (comment removed) into at most `max` tokens.
int tokenize(char* line, char** tokens, int max) {
    if (char* hash = std::strchr(line, '#')) *hash = '\0';
    int n = 0;
    for (char* p = line; *p;) {
        while (*p == ' ' || *p == '\t' || *p == '\r') ++p;
        if (!*p) break;
        if (n == max) return max + 1;
        tokens[n++] = p;
        while (*p && *p != ' ' && *p != '\t' && *p != '\r') ++p;
        if (*p) *p++ = '\0';
    }
    return n;
}

bool number(const char* t, std::int32_t lo, std::int32_t hi, std::int32_t& out) {
    char* end = nullptr;
    const long long v = std::strtoll(t, &end, 10);
    if (end == t || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

// effect N I=V ...
bool parseEffect(char** tok, int n, ScriptStep& step) {
    if (n < 2 || n > kScriptEffectValues + 2) return false;
    step.kind = StepKind::Effect;
    if (!number(tok[1], 0, kValueLimit, step.v[0]) || !effect_lib::knownEffect(step.v[0])) return false;
    bool named[kScriptEffectValues] = {};
    for (int i = 0; i < kScriptEffectValues; ++i) step.effect[i] = 0;
    for (int i = 2; i < n; ++i) {
        char* eq = std::strchr(tok[i], '=');
        if (!eq) return false;
        *eq = '\0';
        std::int32_t index = 0, value = 0;
        if (!number(tok[i], 0, kScriptEffectValues - 1, index) || !number(eq + 1, -kValueLimit, kValueLimit, value) ||
            named[index])
            return false;
        named[index] = true;
        step.effect[index] = value;
    }
    return true;
}

bool parseStep(char** tok, int n, int version, ScriptStep& step) {
    if (version >= 2 && std::strcmp(tok[0], "effect") == 0) return parseEffect(tok, n, step);
    for (const Word& w : kWords) {
        if (std::strcmp(tok[0], w.name) != 0) continue;
        if (n != w.count + 1) return false;
        step.kind = w.kind;
        for (int i = 0; i < w.count; ++i)
            if (!number(tok[i + 1], w.lo[i], w.hi[i], step.v[i])) return false;
        return true;
    }
    return false;
}

std::uint8_t clampByte(std::int64_t v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

void gradient(const std::int32_t* v, std::uint8_t* px, std::int32_t w, std::int32_t h) {
    const double dx = double(v[2]) - v[0], dy = double(v[3]) - v[1];
    const double len2 = dx * dx + dy * dy;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x, px += 4) {
            double t = len2 > 0 ? ((x - double(v[0])) * dx + (y - double(v[1])) * dy) / len2 : 0.0;
            t = t < 0 ? 0 : t > 1 ? 1 : t;
            for (int c = 0; c < 4; ++c) px[c] = static_cast<std::uint8_t>(v[4 + c] + (v[8 + c] - v[4 + c]) * t);
        }
}

}  // namespace

bool parseScriptText(const char* text, std::size_t length, EffectScript& script) noexcept {
    script.version = script.width = script.height = 0;
    script.stepCount = 0;
    if (!text || length > static_cast<std::size_t>(kMaxScriptBytes)) return false;
    char line[kMaxScriptBytes + 1];
    int statement = 0;
    for (std::size_t pos = 0; pos < length;) {
        std::size_t end = pos;
        while (end < length && text[end] != '\n') ++end;
        const std::size_t lineLength = end - pos;
        std::memcpy(line, text + pos, lineLength);
        line[lineLength] = '\0';
        pos = end + 1;
        if (std::strlen(line) != lineLength) return false;  // a zero byte inside the line
        char* tok[kMaxTokens + 1];
        const int n = tokenize(line, tok, kMaxTokens);
        if (n == 0) continue;
        if (n > kMaxTokens) return false;
        if (statement == 0) {
            if (n != 2 || std::strcmp(tok[0], "effect-script") != 0 ||
                !number(tok[1], 1, kNewestScriptVersion, script.version))
                return false;
        } else if (statement == 1) {
            if (n != 3 || std::strcmp(tok[0], "size") != 0 || !number(tok[1], 1, kMaxScriptSide, script.width) ||
                !number(tok[2], 1, kMaxScriptSide, script.height))
                return false;
        } else {
            if (script.stepCount == kMaxScriptSteps || !parseStep(tok, n, script.version, script.steps[script.stepCount])) return false;
            ++script.stepCount;
        }
        ++statement;
    }
    return statement >= 2;
}

bool parseScriptFile(const char* path, EffectScript& script) noexcept {
    script.width = script.height = 0;
    script.stepCount = 0;
    if (!path || !*path) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    static char text[kMaxScriptBytes + 1];
    const std::size_t n = std::fread(text, 1, sizeof text, f);
    std::fclose(f);
    if (n > static_cast<std::size_t>(kMaxScriptBytes)) return false;  // larger than any script may be
    return parseScriptText(text, n, script);
}

bool renderScript(const EffectScript& s, std::uint8_t* rgba) noexcept {
    if (!rgba || s.width < 1 || s.height < 1) return false;
    const std::int32_t w = s.width, h = s.height;
    const std::size_t bytes = saturatingProduct(std::uint64_t(w), std::uint64_t(h), 4);
    std::memset(rgba, 0, bytes);
    Block<std::uint8_t> copy;
    for (int i = 0; i < s.stepCount; ++i) {
        const std::int32_t* v = s.steps[i].v;
        switch (s.steps[i].kind) {
            case StepKind::Fill:
                imaging_lib::FillSolidRect(rgba, w, h, 4, w * 4, 0, 0, w - 1, h - 1,
                                   std::uint32_t(v[0]) | v[1] << 8 | v[2] << 16 | std::uint32_t(v[3]) << 24);
                break;
            case StepKind::Noise: {
                CrtRandom rng;
                rng.seed(static_cast<std::uint32_t>(v[0]));
                const int span = 2 * v[1] + 1;
                std::uint8_t* p = rgba;
                for (std::size_t k = 0; k < bytes; k += 4, p += 4) {
                    const int off = rng.next() % span - v[1];
                    for (int c = 0; c < 3; ++c) p[c] = clampByte(p[c] + off);
                }
                break;
            }
            case StepKind::Gradient: gradient(v, rgba, w, h); break;
            case StepKind::Circle:
                if (v[2] == 0) {  // a disc of radius 0 is its centre pixel
                    if (v[0] >= 0 && v[0] < w && v[1] >= 0 && v[1] < h)
                        for (int c = 0; c < 4; ++c) rgba[(std::size_t(v[1]) * w + v[0]) * 4 + c] = std::uint8_t(v[3 + c]);
                    break;
                }
                imaging_lib::DrawEllipseOnImage(rgba, w, h, 4, w * 4, v[0], v[1], v[2], v[2],
                                        std::uint32_t(v[3]) | v[4] << 8 | v[5] << 16 | std::uint32_t(v[6]) << 24);
                break;
            case StepKind::Blur:
                if (v[0] == 0) break;
                if (copy.empty() && !copy.allocate(bytes)) return false;
                std::memcpy(copy.data(), rgba, bytes);
                if (!imaging_lib::GaussianBlurImage(copy.data(), rgba, w, h, 4, w * 4, v[0], 0)) return false;
                break;
            case StepKind::Effect: {
                // Numbered effects work on BGRA pictures.
                imaging_lib::RGBAToBGRA(rgba, w, h, w * 4);
                const bool ok = runNumberedEffect(v[0], s.steps[i].effect, rgba, w, h);
                imaging_lib::RGBAToBGRA(rgba, w, h, w * 4);
                if (!ok) return false;
                break;
            }
        }
    }
    return true;
}

}  // namespace plr::effect_lib
