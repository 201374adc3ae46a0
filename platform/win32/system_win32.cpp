// System queries, files and the host's windows through the Win32 API.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/platform.h"

namespace plr::platform {

// The engine passes these records to the system with their sizes; the
// 32-bit and 64-bit layouts are the same.
static_assert(sizeof(MEMORYSTATUSEX) == 64);
static_assert(sizeof(WINDOWPLACEMENT) == 44);

bool memoryStatus(MemoryStatus& out) noexcept {
    out = MemoryStatus{};
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    if (!GlobalMemoryStatusEx(&ms)) return false;
    out.totalPhys = ms.ullTotalPhys;
    out.availPhys = ms.ullAvailPhys;
    out.totalPageFile = ms.ullTotalPageFile;
    out.availPageFile = ms.ullAvailPageFile;
    out.totalVirtual = ms.ullTotalVirtual;
    out.availVirtual = ms.ullAvailVirtual;
    return true;
}

std::uint32_t sysColor(int index) noexcept { return GetSysColor(index); }
std::int32_t systemMetric(int index) noexcept { return GetSystemMetrics(index); }

void windowsDirectory(char* out, std::size_t capacity) noexcept {
    if (!out || capacity == 0) return;
    const UINT size = static_cast<UINT>(capacity < MAX_PATH + 1 ? capacity : MAX_PATH + 1);
    const UINT n = GetWindowsDirectoryA(out, size);
    if (n == 0 || n >= size) out[0] = '\0';  // failed, or the buffer was too short
}

bool renameFile(const char* from, const char* to) noexcept {
    return from && to && MoveFileA(from, to) != 0;
}

namespace {
bool readPlacement(void* window, WINDOWPLACEMENT& wp) {
    wp = WINDOWPLACEMENT{};
    wp.length = sizeof wp;
    return GetWindowPlacement(static_cast<HWND>(window), &wp) != 0;
}
}  // namespace

bool getRestoredRect(void* window, Rect32& out) noexcept {
    WINDOWPLACEMENT wp;
    if (!readPlacement(window, wp)) return false;
    out = {wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
           wp.rcNormalPosition.bottom};
    return true;
}

bool setRestoredRect(void* window, const Rect32& r) noexcept {
    WINDOWPLACEMENT wp;
    if (!readPlacement(window, wp)) return false;
    wp.rcNormalPosition = RECT{r.left, r.top, r.right, r.bottom};
    return SetWindowPlacement(static_cast<HWND>(window), &wp) != 0;
}

// Loaded by name at every call: the library is optional (absent before
// Vista) and the answer can change while the host runs.
bool isCompositionEnabled() noexcept {
    HMODULE dwm = LoadLibraryA("dwmapi.dll");
    if (!dwm) return false;
    using IsEnabledFn = HRESULT(WINAPI*)(BOOL*);
    auto fn = reinterpret_cast<IsEnabledFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    const bool on = fn && SUCCEEDED(fn(&enabled)) && enabled;
    FreeLibrary(dwm);
    return on;
}

void setWindowRedraw(void* window, std::uint32_t on) noexcept {
    SendMessageA(static_cast<HWND>(window), WM_SETREDRAW, on, 0);
}

void redrawWindow(void* window) noexcept {
    RedrawWindow(static_cast<HWND>(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

}  // namespace plr::platform
