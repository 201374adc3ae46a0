#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plr::host {

struct RenderOptions {
    int scale = 1;      // magnification (display pixels per page pixel)
    float zoom = 1.0f;  // reduction (page pixels per display pixel)
    bool showMask = false;
    bool solidMask = false;
    bool tracing = false;
};

struct RgbImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // rows of width * 3 bytes
};

// Renders the whole page through PLR_Render, as a host does into its window
// bitmap (a bottom-up 24-bit bitmap), and returns it top-down in RGB order.
RgbImage renderPage(int pageWidth, int pageHeight, const RenderOptions& o);

// FNV-1a over the pixels: a digest that tests and people can compare.
std::uint64_t digestOf(const RgbImage& image);
std::string hex64(std::uint64_t v);

}  // namespace plr::host
