// The hidden window: registered and created at process attach, on the
// loading thread. Its procedure only notes that the display may have changed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "engine/engine.h"
#include "platform/platform.h"

namespace plr::platform {
namespace {

constexpr char kClassName[] = "Quenvale DLL window";
constexpr char kWindowTitle[] = "QV Internal WND";

// Set while the library unloads: the window goes away without ending the
// host's message loop.
bool gDetaching = false;

LRESULT CALLBACK hiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            if (!gDetaching) PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        default:
            break;
    }
    if (isDisplayChangeMessage(message, wParam)) engine().displayChanged = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void attach(void* moduleInstance) noexcept {
    auto* instance = static_cast<HINSTANCE>(moduleInstance);
    engine().moduleInstance = moduleInstance;
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = hiddenWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    // Never shown: no style, default position and size, no parent.
    engine().hiddenWindow = CreateWindowExA(0, kClassName, kWindowTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

void detach() noexcept {
    auto* window = static_cast<HWND>(engine().hiddenWindow);
    gDetaching = true;
    if (window) DestroyWindow(window);
    UnregisterClassA(kClassName, static_cast<HINSTANCE>(engine().moduleInstance));
    engine().hiddenWindow = nullptr;
    gDetaching = false;
}

void sendToHiddenWindow(std::uint32_t message, std::uintptr_t wParam) noexcept {
    if (auto* window = static_cast<HWND>(engine().hiddenWindow)) SendMessageA(window, message, wParam, 0);
}

}  // namespace plr::platform
