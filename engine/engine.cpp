#include "engine/engine.h"

#include <memory>
#include <new>

#include "adapters/imaging/library_life.h"
#include "core/alloc.h"
#include "brush/engine_services.h"
#include "core/export_failures.h"

namespace plr {
namespace {

// Constructed on first use and never destroyed: the engine lives as long as
// the process, and a host may call in from its own static destructors.
EngineState* gEngine = nullptr;

}  // namespace

EngineState& engine() noexcept {
    if (!gEngine) gEngine = new EngineState();
    return *gEngine;
}

void resetEngine() noexcept {
    EngineState& e = engine();
    // The hidden window names this HostWindow in its user data: same place, same handles.
    const platform::HostWindow host = e.host;
    closeTablet(e.tablet);
    e.~EngineState();
    new (&e) EngineState();
    e.host.moduleInstance = host.moduleInstance;
    e.host.hiddenWindow = host.hiddenWindow;
    // The heap's failure injection is a seam of the engine's state too; its
    // block counters are not: they count across resets, which is what a leak
    // check compares.
    mem::injectFailure(0);
    mem::releaseRetained();
    // The thread count went back to the one at load: OpenCV's pool follows.
    imaging_lib::FollowEngineThreads();
}

}  // namespace plr

namespace plr {

std::int32_t undoLevelsInForce() noexcept { return page().history.undoLevels; }

}  // namespace plr

// The accessors through which the levels below reach process-wide state.
namespace plr {

void setMemoryStatusSource(MemoryStatusSource source) noexcept { engine().memoryStatusSource = source; }
MemoryStatusSource memoryStatusSource() noexcept { return engine().memoryStatusSource; }
CrtRandom& engineRandom() noexcept { return engine().rng; }
std::int32_t engineRandomSeed() noexcept { return engine().randomSeed; }
effect_lib::LibraryState& effectLibraryState() noexcept { return engine().effectLibrary; }
FilterState& filterState() noexcept { return engine().filters; }

}  // namespace plr
