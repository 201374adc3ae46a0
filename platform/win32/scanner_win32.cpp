// Scanners through TWAIN: EZTW32.dll, loaded at run time and called by
// ordinal (its exports carry no names the engine relies on).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/scanner.h"

namespace plr::platform {
namespace {

using IsAvailableFn = int(WINAPI*)();
using SelectSourceFn = int(WINAPI*)(HWND);
using AcquireFn = HANDLE(WINAPI*)(HWND, unsigned);
using FreeFn = void(WINAPI*)(HANDLE);

struct Twain {
    HMODULE library = nullptr;
    IsAvailableFn isAvailable = nullptr;  // ordinal 26
    SelectSourceFn selectSource = nullptr;  // ordinal 38
    AcquireFn acquire = nullptr;  // ordinal 2
    FreeFn release = nullptr;  // ordinal 17
};

template <class F>
F byOrdinal(HMODULE library, WORD ordinal) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))));
}

// Loaded once, kept for the life of the process; null without EZTW32.dll.
const Twain* twain() {
    static const Twain t = [] {
        Twain r;
        // No "missing library" message box when the DLL is absent.
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        r.library = LoadLibraryA("EZTW32.dll");
        SetErrorMode(oldMode);
        if (!r.library) return r;
        r.isAvailable = byOrdinal<IsAvailableFn>(r.library, 26);
        r.selectSource = byOrdinal<SelectSourceFn>(r.library, 38);
        r.acquire = byOrdinal<AcquireFn>(r.library, 2);
        r.release = byOrdinal<FreeFn>(r.library, 17);
        if (!r.isAvailable || !r.selectSource || !r.acquire || !r.release) {
            FreeLibrary(r.library);
            r.library = nullptr;
        }
        return r;
    }();
    return t.library ? &t : nullptr;
}

// The global memory of an acquired DIB: locked while in use, handed back
// to the TWAIN library afterwards, even when the taker fails.
class AcquiredDib {
public:
    AcquiredDib(const Twain& t, HANDLE h) : twain_(t), handle_(h), dib_(GlobalLock(h)) {}
    ~AcquiredDib() {
        if (dib_) GlobalUnlock(handle_);
        twain_.release(handle_);
    }
    AcquiredDib(const AcquiredDib&) = delete;
    AcquiredDib& operator=(const AcquiredDib&) = delete;
    const void* dib() const { return dib_; }

private:
    const Twain& twain_;
    HANDLE handle_;
    void* dib_;
};

}  // namespace

bool scannerAvailable() {
    const Twain* t = twain();
    return t && t->isAvailable() != 0;
}

bool selectScannerSource(void*, std::string& source) {
    source.clear();
    // The source dialog is owned by no window, as the TWAIN manager expects here.
    return scannerAvailable() && twain()->selectSource(nullptr) != 0;
}

bool acquireScannedPicture(void*, const std::string&, const std::function<void(const void* dib)>& take) {
    if (!scannerAvailable()) return false;
    const Twain& t = *twain();
    // 4: the pixel types the acquisition accepts, as the library takes them.
    HANDLE h = t.acquire(nullptr, 4);
    if (!h) return false;
    AcquiredDib dib(t, h);
    if (!dib.dib()) return false;
    take(dib.dib());
    return true;
}

}  // namespace plr::platform
