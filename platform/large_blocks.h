#pragma once
// Large blocks (page-sized layers, processing buffers, decoded pictures): the
// first touch of their fresh memory costs more than filling them does, one
// small page fault for every 4 KB. Where the system offers huge pages on
// request, asking for them on the block turns those thousands of faults into
// a few dozen; elsewhere this does nothing. Contents and size are unchanged.
#include <cstddef>

namespace plr::platform {

// Blocks at least this long are worth the request.
constexpr std::size_t kLargeBlockBytes = std::size_t{4} << 20;

void adviseLargeBlock(void* block, std::size_t bytes) noexcept;

}  // namespace plr::platform
