#pragma once
// Stored effect scripts: a small text format that describes a picture by a
// few generator steps, so that brush tips and paper textures can ship as
// text. The format is documented at the top of effect_script.cpp and in
// docs/effect-scripts.md.
#include <cstdint>

namespace plr::effect_lib {

constexpr std::int32_t kMaxScriptSide = 8192;   // per side, pixels
constexpr int kMaxScriptSteps = 256;
constexpr long kMaxScriptBytes = 64 * 1024;
constexpr int kMaxStepValues = 12;
constexpr int kScriptEffectValues = 20;  // parameters 0..19 of a numbered effect
constexpr int kNewestScriptVersion = 2;

enum class StepKind { Fill, Noise, Gradient, Circle, Blur, Effect };

struct ScriptStep {
    StepKind kind = StepKind::Fill;
    std::int32_t v[kMaxStepValues] = {};
    // Effect steps: v[0] is the effect number; its parameters.
    std::int32_t effect[kScriptEffectValues] = {};
};

struct EffectScript {
    std::int32_t version = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    int stepCount = 0;
    ScriptStep steps[kMaxScriptSteps];
};

// Parses the file; false (and `script` unusable) for a missing, oversized or
// malformed file. Never reads more than kMaxScriptBytes.
bool parseScriptFile(const char* path, EffectScript& script) noexcept;
// Parses text already in memory (length bytes, need not be terminated).
bool parseScriptText(const char* text, std::size_t length, EffectScript& script) noexcept;

// Renders the script into width x height RGBA bytes (row length width * 4).
// False when a work buffer cannot be had.
bool renderScript(const EffectScript& script, std::uint8_t* rgba) noexcept;

}  // namespace plr::effect_lib
