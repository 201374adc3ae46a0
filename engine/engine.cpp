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
    void* module = e.moduleInstance;
    void* window = e.hiddenWindow;
    e.~EngineState();
    new (&e) EngineState();
    e.moduleInstance = module;
    e.hiddenWindow = window;
}

}  // namespace plr
