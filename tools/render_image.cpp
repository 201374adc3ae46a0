#include "render_image.h"

#include <cstdio>

#include "paloran.h"

namespace plr::host {

RgbImage renderPage(int pageWidth, int pageHeight, const RenderOptions& o) {
    RgbImage img;
    if (o.scale > 1) {
        img.width = pageWidth * o.scale;
        img.height = pageHeight * o.scale;
    } else if (o.zoom > 1.0f) {
        img.width = static_cast<int>(pageWidth / o.zoom);
        img.height = static_cast<int>(pageHeight / o.zoom);
    } else {
        img.width = pageWidth;
        img.height = pageHeight;
    }
    if (img.width <= 0 || img.height <= 0) return img;
    PLR_SetScale(o.scale > 1 ? o.scale : 1, o.scale > 1 ? 1.0f : o.zoom);
    PLR_SetViewSize(img.width, img.height);
    PLR_SetTracingMode(o.tracing ? 1 : 0);
    PLR_SetMaskOptions(255, 64, 64, 255, 96, 96, o.solidMask ? 1 : 0);
    PLR_DisplayMask(o.showMask ? 1 : 0);

    // A Windows DIB is bottom-up: the engine is handed the top row's address
    // and a negative stride, as the host application does.
    const int stride = (img.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> dib(static_cast<std::size_t>(stride) * static_cast<std::size_t>(img.height), 0);
    std::uint8_t* top = dib.data() + static_cast<std::size_t>(stride) * static_cast<std::size_t>(img.height - 1);
    PLR_Render(top, -stride, 0, 0, pageWidth, pageHeight);

    img.rgb.resize(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) * 3);
    for (int y = 0; y < img.height; ++y) {
        const std::uint8_t* src = top - static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* dst = &img.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) * 3];
        for (int x = 0; x < img.width; ++x) {
            dst[x * 3 + 0] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3 + 0];
        }
    }
    PLR_DisplayMask(0);
    return img;
}

std::uint64_t digestOf(const RgbImage& image) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    auto mix = [&](std::uint8_t b) { h = (h ^ b) * 0x100000001b3ull; };
    for (int shift = 0; shift < 32; shift += 8) mix(static_cast<std::uint8_t>(image.width >> shift));
    for (int shift = 0; shift < 32; shift += 8) mix(static_cast<std::uint8_t>(image.height >> shift));
    for (std::uint8_t b : image.rgb) mix(b);
    return h;
}

std::string hex64(std::uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

}  // namespace plr::host
