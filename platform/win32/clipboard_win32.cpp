// The Windows clipboard in CF_DIB, through movable global memory.
#include <windows.h>

#include "platform/clipboard.h"

namespace plr::platform {

bool putClipboardDib(std::size_t bytes, ClipboardWriter write, void* context) noexcept {
    if (!write || bytes == 0) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!block) return false;
    auto* p = static_cast<std::uint8_t*>(GlobalLock(block));
    bool taken = false;
    if (p && write(context, p, bytes)) {
        GlobalUnlock(block);
        p = nullptr;
        if (OpenClipboard(nullptr)) {
            // Ownership passes to the clipboard only when SetClipboardData succeeds.
            if (EmptyClipboard()) taken = SetClipboardData(CF_DIB, block) != nullptr;
            CloseClipboard();
        }
    }
    if (p) GlobalUnlock(block);
    if (!taken) GlobalFree(block);
    return taken;
}

bool readClipboardDib(ClipboardReader read, void* context) noexcept {
    if (!read || !OpenClipboard(nullptr)) return false;
    bool done = false;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const SIZE_T bytes = GlobalSize(data);
        if (const void* p = GlobalLock(data)) {
            read(context, static_cast<const std::uint8_t*>(p), bytes);
            GlobalUnlock(data);
            done = true;
        }
    }
    CloseClipboard();
    return done;
}

bool emptyClipboard() noexcept {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

}  // namespace plr::platform
