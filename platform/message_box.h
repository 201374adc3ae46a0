#pragma once
// Messages a script shows the user or sends to the developer.
namespace plr::platform {

// Receives what would go into a message box instead of the system: a host
// without a window system, or a test, catches the texts here.
using MessageSink = void (*)(const char* text, const char* caption);

// A modal box with an OK button and no owner window (Windows: MessageBoxA).
// The portable back end has no window system: it writes "caption: text" and
// a line end to standard error.
void showMessageBox(const char* text, const char* caption) noexcept;

// The system debugger's output (Windows: OutputDebugStringA). Portable:
// standard error, as the text stands.
void debugOutput(const char* text) noexcept;

}  // namespace plr::platform
