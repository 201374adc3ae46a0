#include "engine/threading.h"

#include <algorithm>
#include <cstdlib>

#include "adapters/imaging/library_life.h"
#include "engine/engine.h"
#include "platform/thread_pool.h"

namespace plr {
namespace {

std::int32_t held(std::int64_t n) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 1, platform::kMaxPoolThreads));
}

}  // namespace

BandSettings bandSettingsAtLoad() noexcept {
    BandSettings s;
    s.threads = held(platform::processorCount());
    if (const char* v = std::getenv("PALORAN_THREADS")) {
        char* end = nullptr;
        const long long n = std::strtoll(v, &end, 10);
        if (end != v && *end == '\0' && n > 0) s.threads = held(n);
    }
    return s;
}

void setThreadCount(std::int32_t threads, bool anySize) noexcept {
    engine().bands = BandSettings{held(threads), anySize};
    imaging_lib::FollowEngineThreads();
}

BandSettings bandSettings() noexcept { return engine().bands; }

}  // namespace plr
