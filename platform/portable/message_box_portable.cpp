// No window system: message boxes and debugger output go to standard error.
#include <cstdio>

#include "platform/message_box.h"

namespace plr::platform {

void showMessageBox(const char* text, const char* caption) noexcept {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

void debugOutput(const char* text) noexcept {
    if (!text) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}

}  // namespace plr::platform
