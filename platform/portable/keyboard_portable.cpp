#include "platform/keyboard.h"

namespace plr::platform {

bool escapePressed() noexcept { return false; }

}  // namespace plr::platform
