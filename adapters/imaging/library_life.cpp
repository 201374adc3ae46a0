#include "adapters/imaging/library_life.h"

#include <opencv2/core.hpp>

namespace plr::imaging_lib {
namespace {
int threadsBefore = -1;  // OpenCV's thread count before Initialize, -1 when not initialised
}

std::int32_t Initialize() noexcept {
    try {
        if (threadsBefore < 0) threadsBefore = cv::getNumThreads();
        cv::setNumThreads(1);
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

}  // namespace plr::imaging_lib
