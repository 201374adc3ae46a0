#pragma once
// The marker-colour search as plainly as it can be said: for each (green,
// blue) pair in order, one pass collecting the reds in use with that pair.
// The tests hold findFreeColour to it.
#include <cstddef>
#include <cstdint>

namespace plr::reference {

std::uint32_t findFreeColour(const std::uint8_t* rgba, std::size_t count);

}  // namespace plr::reference
