#pragma once
// How large page walks are split over threads (core/parallel_rows.h). The
// engine state holds the settings in force and defines bandSettings().
#include <cstdint>

namespace plr {

struct BandSettings {
    std::int32_t threads = 1;  // 1..64, the calling thread included
    bool anySize = false;      // bands down to one row whatever the walk asks (tests split small pictures)
};

BandSettings bandSettings() noexcept;
inline std::int32_t threadsInForce() noexcept { return bandSettings().threads; }

}  // namespace plr
