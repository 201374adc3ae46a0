#include "engine/engine.h"

#include <memory>
#include <new>

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
    e.~EngineState();
    new (&e) EngineState();
    e.host.moduleInstance = host.moduleInstance;
    e.host.hiddenWindow = host.hiddenWindow;
}

}  // namespace plr
