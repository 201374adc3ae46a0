// The bump-map displacement of the current layer by a stored effect script.
#include "api/export.h"
#include "engine/displacement_bump.h"

using namespace plr;

extern "C" {

void PLR_IPLDisplacementBummp(const char* scriptPath, double amount, uint32_t fillColour) noexcept {
    guardedExport<exported::PLR_IPLDisplacementBummp>([&] { displacementBump(page(), scriptPath, amount, fillColour); });
}

}  // extern "C"
