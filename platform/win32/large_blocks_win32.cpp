#include "platform/large_blocks.h"

namespace plr::platform {

// Large pages on Windows need the lock-pages privilege, which a painting
// host does not hold: small pages it is.
void adviseLargeBlock(void*, std::size_t) noexcept {}

}  // namespace plr::platform
