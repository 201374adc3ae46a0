#pragma once
// The effect-script library the engine is written against: numbered image
// effects and stored effect scripts. Implemented by our own code
// (effect_library.cpp, effect_script.cpp, effect_rotate.cpp). One script at
// a time, process-wide, like the library it stands for: Initialize, build or
// load, run, Finish. Every call returns nonzero on success.
//
// Numbered effects known: 51, rotation about the centre keeping the size
// (parameter 3 = angle in degrees, positive turns the picture anticlockwise
// on screen; parameter 4 = scale in percent, 100 = unchanged, 0 counts as
// 100). Pixels of four bytes are resampled bilinearly with 8-bit weights;
// parts that come from outside the picture are transparent black.
#include <cstdint>

namespace plr::effect_lib {

std::int32_t Initialize() noexcept;
std::int32_t AddEffect(std::int32_t number, std::int32_t count) noexcept;
std::int32_t SetEffectValue(std::int32_t effectIndex, std::int32_t parameter, std::int32_t value) noexcept;
std::int32_t ExecuteScriptOnImage(void* pixels, std::int32_t width, std::int32_t height) noexcept;
std::int32_t LoadScriptFromFile(const char* path) noexcept;
std::int32_t InitBuffers() noexcept;
// header[4] = width, header[5] = height of the picture the script makes;
// header[0] = format version, header[1] = step count, header[2..3] = 0.
std::int32_t ReadScriptHeaderFromFile(const char* path, std::int32_t* header) noexcept;
// Renders the loaded script as BGRA into `out`, which must hold
// width x height x 4 bytes; the size must match the loaded script's
// (the engine passes the header's), otherwise nothing is written.
std::int32_t ExecuteScript(void* out, std::int32_t width, std::int32_t height) noexcept;
std::int32_t Finish() noexcept;

// Effect 51 on its own (used by ExecuteScriptOnImage).
bool rotateImage(std::uint8_t* pixels, std::int32_t width, std::int32_t height, double degrees,
                 double scalePercent) noexcept;

}  // namespace plr::effect_lib
