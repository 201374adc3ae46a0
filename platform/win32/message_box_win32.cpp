#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/message_box.h"

namespace plr::platform {

void showMessageBox(const char* text, const char* caption) noexcept {
    MessageBoxA(nullptr, text ? text : "", caption ? caption : "", MB_OK);
}

void debugOutput(const char* text) noexcept {
    if (text) OutputDebugStringA(text);
}

}  // namespace plr::platform
