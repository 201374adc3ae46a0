// libFuzzer target for the clipboard's DIB reader: the input is the block
// another program left on the clipboard. Nothing may crash, leak, read out
// of bounds or hang; a decoded picture must have the size it claims.
#include <cstdint>
#include <cstdlib>

#include "exchange/clipboard_dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plr::formats::RgbaImage image;
    if (plr::decodeClipboardDib(data, size, image)) {
        const std::size_t expected = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
        if (image.pixels.size() != expected) std::abort();
        volatile std::uint8_t sum = 0;
        for (std::size_t i = 0; i < image.pixels.size(); i += 64) sum = sum + image.pixels[i];
        (void)sum;
    }
    return 0;
}
