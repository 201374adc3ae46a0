#include "platform/platform.h"

namespace plr::platform {

bool isDisplayChangeMessage(std::uint32_t message, std::uintptr_t wParam) noexcept {
    switch (message) {
        case kWmSettingChange:
        case kWmUserChanged:
        case kWmDisplayChange:
            return true;
        case kWmActivateApp:
            return wParam == 1;
        case kWmPowerBroadcast:
            return wParam == 7;  // PBT_APMRESUMESUSPEND
        default:
            return false;
    }
}

}  // namespace plr::platform
