// The hidden window: registered and created at process attach, on the
// loading thread. Its procedure only notes that the display may have changed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/platform.h"

namespace plr::platform {
namespace {

constexpr char kClassName[] = "Quenvale DLL window";
constexpr char kWindowTitle[] = "QV Internal WND";

// The window carries its HostWindow in its user data (set right after
// creation; messages before that find none).
HostWindow* hostOf(HWND window) noexcept {
    return reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK hiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HostWindow* host = hostOf(window);
    switch (message) {
        case WM_DESTROY:
            if (!host || !host->detaching) PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        default:
            break;
    }
    if (host && isDisplayChangeMessage(message, wParam)) host->displayChanged = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void attach(HostWindow& host, void* moduleInstance) noexcept {
    auto* instance = static_cast<HINSTANCE>(moduleInstance);
    host.moduleInstance = moduleInstance;
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = hiddenWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    // Never shown: no style, default position and size, no parent.
    HWND window = CreateWindowExA(0, kClassName, kWindowTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
    host.hiddenWindow = window;
}

void detach(HostWindow& host) noexcept {
    auto* window = static_cast<HWND>(host.hiddenWindow);
    host.detaching = true;
    if (window) DestroyWindow(window);
    UnregisterClassA(kClassName, static_cast<HINSTANCE>(host.moduleInstance));
    host.hiddenWindow = nullptr;
    host.detaching = false;
}

void sendToHiddenWindow(HostWindow& host, std::uint32_t message, std::uintptr_t wParam) noexcept {
    if (auto* window = static_cast<HWND>(host.hiddenWindow)) SendMessageA(window, message, wParam, 0);
}

}  // namespace plr::platform
