#include "platform/memory_prefault.h"

namespace plr::platform {

// Windows has no call that makes fresh committed pages present for writing
// (PrefetchVirtualMemory reads backing store in; private pages have none):
// the pages fault in as they are written.
void prefaultForWriting(void*, std::size_t) noexcept {}

}  // namespace plr::platform
