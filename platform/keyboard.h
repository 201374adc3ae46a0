#pragma once
// Polling the keyboard while a long operation blocks the host's thread.
namespace plr::platform {

// True when the Escape key was pressed since the previous query, or is down
// now (Windows: GetAsyncKeyState). The portable back end has no keyboard of
// its own: never pressed.
bool escapePressed() noexcept;

}  // namespace plr::platform
