#include "adapters/imaging/library_life.h"

#include <algorithm>
#include <opencv2/core.hpp>

#include "core/band_settings.h"
#include "platform/thread_pool.h"

namespace plr::imaging_lib {
namespace {
int threadsBefore = -1;  // OpenCV's thread count before Initialize, -1 when not initialised

// The engine's count, but no more than the processors: OpenCV gains nothing
// from more, and its task scheduler complains when asked for them.
int openCvThreads() noexcept { return std::min(threadsInForce(), platform::processorCount()); }
}

std::int32_t Initialize() noexcept {
    try {
        if (threadsBefore < 0) threadsBefore = cv::getNumThreads();
        cv::setNumThreads(openCvThreads());
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t Exit() noexcept {
    try {
        if (threadsBefore >= 0) cv::setNumThreads(threadsBefore);
        threadsBefore = -1;
        return 1;
    } catch (...) {
        return 0;
    }
}

void FollowEngineThreads() noexcept {
    try {
        // Asking costs nothing; changing the count may restart OpenCV's pool.
        if (cv::getNumThreads() != threadsInForce()) cv::setNumThreads(openCvThreads());
    } catch (...) {
    }
}

}  // namespace plr::imaging_lib
