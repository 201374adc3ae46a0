#pragma once
// Making fresh memory present before it is written end to end.
//
// A decoded picture is written once from its first byte to its last, and
// every 4 KB page of a fresh block costs a page fault on first touch. Asking
// the system to make the whole range present in one call does the same work
// (zeroed ordinary pages, never huge pages, so no compaction stalls) without
// a trap per page. It is a hint: where the system has no such service or
// declines, the pages fault in as they are written, as they would anyway.
#include <cstddef>

namespace plr::platform {

// The whole pages inside [begin, begin + bytes); small ranges are left alone.
void prefaultForWriting(void* begin, std::size_t bytes) noexcept;

}  // namespace plr::platform
