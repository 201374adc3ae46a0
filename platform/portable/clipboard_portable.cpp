// A clipboard private to the process: the DIB bytes of the last copy.
#include <cstdlib>
#include <cstring>

#include "platform/clipboard.h"

namespace plr::platform {
namespace {

// Plain malloc, not the engine heap: the clipboard outlives engine resets
// and must not count as an engine block.
struct LocalClipboard {
    std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    ~LocalClipboard() { std::free(bytes); }
};

LocalClipboard& clipboard() noexcept {
    static LocalClipboard c;
    return c;
}

}  // namespace

bool putClipboardDib(std::size_t bytes, ClipboardWriter write, void* context) noexcept {
    if (!write || bytes == 0) return false;
    auto* block = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
    if (!block) return false;
    if (!write(context, block, bytes)) {
        std::free(block);
        return false;
    }
    LocalClipboard& c = clipboard();
    std::free(c.bytes);
    c.bytes = block;
    c.size = bytes;
    return true;
}

bool readClipboardDib(ClipboardReader read, void* context) noexcept {
    const LocalClipboard& c = clipboard();
    if (!read || !c.bytes) return false;
    read(context, c.bytes, c.size);
    return true;
}

bool emptyClipboard() noexcept {
    LocalClipboard& c = clipboard();
    std::free(c.bytes);
    c.bytes = nullptr;
    c.size = 0;
    return true;
}

}  // namespace plr::platform
