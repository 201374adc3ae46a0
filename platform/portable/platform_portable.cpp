// Portable back end: no window system. Memory figures come from the
// operating system; colours and metrics are the classic Windows defaults a
// host laid out for Windows expects.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <unistd.h>
#endif

namespace plr::platform {

namespace {
// A stand-in handle: the portable back end has no window, but hosts test the
// handle against null.
char gHiddenWindowTag;
}  // namespace

void attach(HostWindow& host, void* moduleInstance) noexcept {
    host.moduleInstance = moduleInstance;
    host.hiddenWindow = &gHiddenWindowTag;
}

void detach(HostWindow& host) noexcept { host.hiddenWindow = nullptr; }

void sendToHiddenWindow(HostWindow& host, std::uint32_t message, std::uintptr_t wParam) noexcept {
    if (isDisplayChangeMessage(message, wParam)) host.displayChanged = 1;
}

bool memoryStatus(MemoryStatus& out) noexcept {
    out = MemoryStatus{};
#if defined(__linux__)
    struct sysinfo si{};
    if (sysinfo(&si) != 0) return false;
    const std::uint64_t unit = si.mem_unit ? si.mem_unit : 1;
    out.totalPhys = si.totalram * unit;
    out.availPhys = (si.freeram + si.bufferram) * unit;
    // MemAvailable counts reclaimable cache too; prefer it when the kernel has it.
    if (FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned long long kb = 0;
            if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
                out.availPhys = kb * 1024ull;
                break;
            }
        }
        std::fclose(f);
    }
    // The page file's counterpart is the commit limit: memory plus swap.
    out.totalPageFile = out.totalPhys + si.totalswap * unit;
    out.availPageFile = out.availPhys + si.freeswap * unit;
    // Address space: the process limit if one is set, else the 47-bit user space.
    std::uint64_t total = 1ull << 47;
    struct rlimit rl{};
    if (getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) total = rl.rlim_cur;
    std::uint64_t used = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        unsigned long long pages = 0;
        if (std::fscanf(f, "%llu", &pages) == 1)
            used = pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
        std::fclose(f);
    }
    out.totalVirtual = total;
    out.availVirtual = used < total ? total - used : 0;
    return true;
#else
    return false;
#endif
}

std::uint32_t sysColor(int index) noexcept {
    switch (index) {
        case kColorBtnFace: return 0x00C8D0D4;  // RGB(212, 208, 200)
        case kColorBtnText: return 0x00000000;
        default: return 0;
    }
}

std::int32_t systemMetric(int index) noexcept {
    switch (index) {
        case kSmCyCaption: return 19;
        case kSmCySmCaption: return 15;
        case kSmCyDlgFrame: return 3;
        default: return 0;
    }
}

void windowsDirectory(char* out, std::size_t capacity) noexcept {
    if (!out || capacity == 0) return;
    const char* dir = std::getenv("PALORAN_WINDOWS_DIR");
    if (!dir || std::strlen(dir) > 260) dir = "/usr/share";
    const std::size_t n = std::strlen(dir);
    if (n >= capacity) {
        out[0] = '\0';
        return;
    }
    std::memcpy(out, dir, n + 1);
}

bool renameFile(const char* from, const char* to) noexcept {
    if (!from || !to) return false;
    std::error_code ec;
    // Windows' MoveFile refuses to replace an existing file; keep that.
    if (std::filesystem::exists(to, ec)) return false;
    std::filesystem::rename(from, to, ec);
    return !ec;
}

bool getRestoredRect(void*, Rect32&) noexcept { return false; }
bool setRestoredRect(void*, const Rect32&) noexcept { return false; }
bool isCompositionEnabled() noexcept { return false; }
void setWindowRedraw(void*, std::uint32_t) noexcept {}
void redrawWindow(void*) noexcept {}

}  // namespace plr::platform
