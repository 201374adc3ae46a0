// Process attach for builds without DllMain: runs when the library (or a
// program linking the engine statically) is loaded.
#include "engine/engine.h"
#include "platform/platform.h"

namespace {

char gModuleTag;

[[gnu::constructor]] void attachEngine() { plr::platform::attach(plr::engine().host, &gModuleTag); }

}  // namespace
