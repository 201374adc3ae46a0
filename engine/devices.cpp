#include "engine/devices.h"

#include "engine/engine.h"

namespace plr {

Devices& devices() noexcept { return engine().devices; }

}  // namespace plr
