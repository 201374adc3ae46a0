#pragma once
// The operating-system services the engine uses. Two back ends implement this
// interface: platform/win32 (the real Windows calls) and platform/portable
// (everything else, with classic Windows values where no equivalent exists).
#include <cstddef>
#include <cstdint>

namespace plr::platform {

// What process attach leaves behind: the module, the hidden window, and the
// flag its procedure raises when the display may have changed. The engine
// state holds the one instance.
struct HostWindow {
    void* moduleInstance = nullptr;
    void* hiddenWindow = nullptr;
    std::uint8_t displayChanged = 0;
    bool detaching = false;  // the window goes away without ending the host's message loop
};

// Process attach: registers and creates the hidden window into `host`.
void attach(HostWindow& host, void* moduleInstance) noexcept;
// Unloading while the process goes on: the hidden window and its class go
// away (without ending the host's message loop).
void detach(HostWindow& host) noexcept;

// Windows message numbers the hidden window reacts to.
enum : std::uint32_t {
    kWmDestroy = 0x0002,
    kWmClose = 0x0010,
    kWmSettingChange = 0x001A,  // also WM_WININICHANGE
    kWmActivateApp = 0x001C,
    kWmPowerBroadcast = 0x0218,
    kWmDisplayChange = 0x007E,
    kWmUserChanged = 0x0054,
};
// The hidden window's rule: true when `message` means the display may have
// changed (the procedure then sets displayChanged). Shared by both back ends.
bool isDisplayChangeMessage(std::uint32_t message, std::uintptr_t wParam) noexcept;
// Delivers a message to the hidden window the way the system would (portable
// back end: applies the rule directly). Used by tests and by hosts without
// a message loop.
void sendToHiddenWindow(HostWindow& host, std::uint32_t message, std::uintptr_t wParam) noexcept;

struct MemoryStatus {
    std::uint64_t totalPhys = 0, availPhys = 0;
    std::uint64_t totalPageFile = 0, availPageFile = 0;
    std::uint64_t totalVirtual = 0, availVirtual = 0;
};
// False when the system cannot tell.
bool memoryStatus(MemoryStatus& out) noexcept;

// GetSysColor / GetSystemMetrics for the indices the engine asks about.
enum : int { kColorBtnFace = 15, kColorBtnText = 18 };
enum : int { kSmCyCaption = 4, kSmCyDlgFrame = 8, kSmCySmCaption = 51 };
std::uint32_t sysColor(int index) noexcept;
std::int32_t systemMetric(int index) noexcept;

// The Windows directory (portable: the system's shared-data directory, where
// a host finds "fonts") into `out`, at most capacity - 1 characters and a
// terminating zero; empty when the system cannot tell or it does not fit.
void windowsDirectory(char* out, std::size_t capacity) noexcept;
bool renameFile(const char* from, const char* to) noexcept;

// Window placement: false when the window's placement cannot be read.
struct Rect32 {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
bool getRestoredRect(void* window, Rect32& out) noexcept;
bool setRestoredRect(void* window, const Rect32& r) noexcept;

bool isCompositionEnabled() noexcept;

// WM_SETREDRAW with wParam = on, lParam 0.
void setWindowRedraw(void* window, std::uint32_t on) noexcept;
// RedrawWindow: whole window, invalidate, erase, all children, frame.
void redrawWindow(void* window) noexcept;

}  // namespace plr::platform
