#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/keyboard.h"

namespace plr::platform {

// Bit 0: pressed since the previous call; bit 15: down now.
bool escapePressed() noexcept { return (GetAsyncKeyState(VK_ESCAPE) & 0x8001) != 0; }

}  // namespace plr::platform
