// Pen tablets through Wintab32.dll, loaded the first time an entry point is
// needed (under the error mode that keeps a missing driver from raising a
// dialog); each entry point is looked up once and remembered. A missing
// library or entry point makes the call answer "nothing".
#include <windows.h>

#include <cstring>

#include "platform/tablet_system.h"

namespace plr::platform::system_tablet {

namespace {

// The driver's records, as the Wintab interface lays them out.
struct WintabAxis {
    LONG minimum;
    LONG maximum;
    UINT units;
    DWORD resolution;
};

struct WintabContext {
    char name[40];
    UINT options, status, locks, msgBase, device, pktRate;
    DWORD pktData, pktMode, moveMask;
    DWORD btnDnMask, btnUpMask;
    LONG inOrgX, inOrgY, inOrgZ, inExtX, inExtY, inExtZ;
    LONG outOrgX, outOrgY, outOrgZ, outExtX, outExtY, outExtZ;
    DWORD sensX, sensY, sensZ;
    BOOL sysMode;
    int sysOrgX, sysOrgY, sysExtX, sysExtY;
    DWORD sysSensX, sysSensY;
};

constexpr UINT kCategoryDevices = 100;
constexpr UINT kDeviceNormalPressure = 15;
constexpr UINT kCategoryDefaultContext = 3;
constexpr UINT kSystemCursorContext = 1;
constexpr DWORD kPacketStatusXYPressure = 0x0002 | 0x0080 | 0x0100 | 0x0400;  // 0x582

using InfoFn = UINT(WINAPI*)(UINT, UINT, LPVOID);
using OpenFn = HANDLE(WINAPI*)(HWND, WintabContext*, BOOL);
using PacketsGetFn = int(WINAPI*)(HANDLE, int, LPVOID);
using QueueSizeSetFn = BOOL(WINAPI*)(HANDLE, int);
using CloseFn = BOOL(WINAPI*)(HANDLE);

struct Wintab {
    HMODULE module = nullptr;
    bool tried = false;
    FARPROC entries[5] = {};
    bool looked[5] = {};

    ~Wintab() {
        if (module) FreeLibrary(module);
    }
};

Wintab& wintab() noexcept {
    static Wintab w;
    return w;
}

enum Entry { Info, Open, PacketsGet, QueueSizeSet, Close };
constexpr const char* kEntryNames[] = {"WTInfoA", "WTOpenA", "WTPacketsGet", "WTQueueSizeSet", "WTClose"};

template <class Fn>
Fn entry(Entry e) noexcept {
    Wintab& w = wintab();
    if (!w.tried) {
        w.tried = true;
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        w.module = LoadLibraryA("Wintab32.dll");
        SetErrorMode(oldMode);
    }
    if (!w.module) return nullptr;
    if (!w.looked[e]) {
        w.looked[e] = true;
        w.entries[e] = GetProcAddress(w.module, kEntryNames[e]);
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(w.entries[e]));
}

}  // namespace

bool pressureAxis(TabletAxis& axis) noexcept {
    const auto info = entry<InfoFn>(Info);
    WintabAxis a{};
    if (!info || info(kCategoryDevices, kDeviceNormalPressure, &a) == 0) return false;
    axis.minimum = a.minimum;
    axis.maximum = a.maximum;
    return true;
}

TabletContext openContext(void* window) noexcept {
    const auto info = entry<InfoFn>(Info);
    const auto open = entry<OpenFn>(Open);
    if (!info || !open) return nullptr;
    WintabContext c{};
    info(kCategoryDefaultContext, 0, &c);
    std::strncpy(c.name, "paloran tablet context", sizeof c.name - 1);
    c.options = kSystemCursorContext;
    c.pktData = c.moveMask = kPacketStatusXYPressure;
    c.pktMode = 0;  // every item absolute
    c.btnUpMask = c.btnDnMask;
    // Screen pixels with y growing downward.
    c.outOrgX = c.outOrgY = 0;
    c.outExtX = GetSystemMetrics(SM_CXSCREEN);
    c.outExtY = -GetSystemMetrics(SM_CYSCREEN);
    return open(static_cast<HWND>(window), &c, TRUE);
}

bool setQueueSize(TabletContext context, std::int32_t packets) noexcept {
    const auto set = entry<QueueSizeSetFn>(QueueSizeSet);
    return set && context && set(static_cast<HANDLE>(context), packets) != 0;
}

std::int32_t takePackets(TabletContext context, std::int32_t maximum, TabletPacket* buffer) noexcept {
    const auto get = entry<PacketsGetFn>(PacketsGet);
    return get && context ? get(static_cast<HANDLE>(context), maximum, buffer) : 0;
}

void closeContext(TabletContext context) noexcept {
    const auto close = entry<CloseFn>(Close);
    if (close && context) close(static_cast<HANDLE>(context));
}

ScreenPoint clientOrigin(void* window) noexcept {
    POINT p{0, 0};
    ClientToScreen(static_cast<HWND>(window), &p);
    return {p.x, p.y};
}

}  // namespace plr::platform::system_tablet
