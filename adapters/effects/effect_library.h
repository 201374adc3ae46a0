#pragma once
// The effect-script library the engine is written against: numbered image
// effects and stored effect scripts. Implemented by our own code
// (effect_library.cpp, effect_script.cpp, effect_rotate.cpp). One script at
// a time, like the library it stands for: Initialize, build or load, run,
// Finish. The library's state is a value the caller keeps (the engine keeps
// one in its state) and passes to every call. Every call returns nonzero on
// success.
//
// Numbered effects known: those of effect_numbered.h, and 51, rotation about the centre keeping the size
// (parameter 3 = angle in degrees, positive turns the picture anticlockwise
// on screen; parameter 4 = scale in percent, 100 = unchanged, 0 counts as
// 100). Pixels of four bytes are resampled bilinearly with 8-bit weights;
// parts that come from outside the picture are transparent black.
#include <cstdint>

#include "adapters/effects/effect_script.h"
#include "adapters/effects/transforms.h"

namespace plr::effect_lib {

constexpr int kEffectParameters = 20;
static_assert(kEffectParameters == kScriptEffectValues, "a stored effect step sets every parameter");

// Everything the library remembers between calls.
struct LibraryState {
    bool initialized = false;
    bool hasEffect = false;
    std::int32_t effectNumber = 0;
    std::int32_t values[kEffectParameters] = {};
    bool scriptLoaded = false;
    bool buffersReady = false;
    EffectScript script;        // the loaded script
    EffectScript headerScript;  // work space of ReadScriptHeaderFromFile
    TransformList transforms;   // the geometric effects' list (transforms.h)
};

std::int32_t Initialize(LibraryState& lib) noexcept;
std::int32_t AddEffect(LibraryState& lib, std::int32_t number, std::int32_t count) noexcept;
std::int32_t SetEffectValue(LibraryState& lib, std::int32_t effectIndex, std::int32_t parameter,
                            std::int32_t value) noexcept;
std::int32_t ExecuteScriptOnImage(LibraryState& lib, void* pixels, std::int32_t width, std::int32_t height) noexcept;
std::int32_t LoadScriptFromFile(LibraryState& lib, const char* path) noexcept;
std::int32_t InitBuffers(LibraryState& lib) noexcept;
// header[4] = width, header[5] = height of the picture the script makes;
// header[0] = format version, header[1] = step count, header[2..3] = 0.
std::int32_t ReadScriptHeaderFromFile(LibraryState& lib, const char* path, std::int32_t* header) noexcept;
// Renders the loaded script as BGRA into `out`, which must hold
// width x height x 4 bytes; the size must match the loaded script's
// (the engine passes the header's), otherwise nothing is written.
std::int32_t ExecuteScript(LibraryState& lib, void* out, std::int32_t width, std::int32_t height) noexcept;
std::int32_t Finish(LibraryState& lib) noexcept;

// Effect 51 on its own (used by ExecuteScriptOnImage).
bool rotateImage(std::uint8_t* pixels, std::int32_t width, std::int32_t height, double degrees,
                 double scalePercent) noexcept;

}  // namespace plr::effect_lib
