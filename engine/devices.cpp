#include "engine/devices.h"

namespace plr {

// Made on first use and never destroyed, like the engine state: a host may
// still close its movie from its own static destructors.
Devices& devices() noexcept {
    static Devices* d = new Devices();
    return *d;
}

// An open movie's file is finished as it goes.
void resetDevices() noexcept { devices() = Devices{}; }

}  // namespace plr
