#include "platform/metafile_playback.h"

namespace plr::platform {

// No system renderer: the engine's own record reader draws the file.
bool playMetafile(const std::uint8_t*, std::size_t, bool, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                  std::int32_t, std::uint8_t*) noexcept {
    return false;
}

}  // namespace plr::platform
