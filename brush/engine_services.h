#pragma once
// Process-wide state the brush draws on: the random generator, the effect
// library and the in-house filters' parameter block. It lives in the one
// engine state that resetEngine() puts back; the engine defines these
// accessors, so the brush reaches that state without seeing its headers.
#include <cstdint>

namespace plr {

struct CrtRandom;
struct FilterState;
namespace effect_lib {
struct LibraryState;
}

CrtRandom& engineRandom() noexcept;       // every random draw of the brush comes from it
std::int32_t engineRandomSeed() noexcept;  // PLR_SetTool restarts the generator from it
effect_lib::LibraryState& effectLibraryState() noexcept;
FilterState& filterState() noexcept;

}  // namespace plr
