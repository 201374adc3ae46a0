// The root window of the X display, when the build has libX11 and DISPLAY
// names a display that opens; otherwise there is no screen to capture.
#include "platform/screen_capture.h"

#if defined(PALORAN_HAVE_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace plr::platform {

#if defined(PALORAN_HAVE_X11)
namespace {

// The byte a channel mask selects, scaled to 0..255.
std::uint8_t channel(unsigned long pixel, unsigned long mask) noexcept {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1ul)) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255ul / max);
}

// Quiet failures: a missing or closing display must not end the process.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool captureScreen(CaptureTarget target, void* context) noexcept {
    if (!target) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XErrorHandler previous = XSetErrorHandler(ignoreXError);
    bool ok = false;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    XImage* image = width > 0 && height > 0
                        ? XGetImage(display, root, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                    AllPlanes, ZPixmap)
                        : nullptr;
    // Displays of 8 bits or fewer carry colour-map indices, not channel masks.
    const bool indexed = image && !image->red_mask && !image->green_mask && !image->blue_mask && image->depth <= 8;
    XColor colours[256] = {};
    if (indexed) {
        const int count = 1 << image->depth;
        for (int i = 0; i < count; ++i) colours[i].pixel = static_cast<unsigned long>(i);
        XQueryColors(display, DefaultColormap(display, screen), colours, count);
    }
    if (image) {
        if (std::uint8_t* pixels = target(context, width, height)) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const unsigned long v = XGetPixel(image, x, y);
                    std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                                static_cast<std::size_t>(x)) * 4;
                    if (indexed) {
                        const XColor& c = colours[v & 0xFF];
                        p[0] = static_cast<std::uint8_t>(c.red >> 8);
                        p[1] = static_cast<std::uint8_t>(c.green >> 8);
                        p[2] = static_cast<std::uint8_t>(c.blue >> 8);
                    } else {
                        p[0] = channel(v, image->red_mask);
                        p[1] = channel(v, image->green_mask);
                        p[2] = channel(v, image->blue_mask);
                    }
                    p[3] = 255;
                }
            ok = true;
        }
        XDestroyImage(image);
    }
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return ok;
}

#else

bool captureScreen(CaptureTarget, void*) noexcept { return false; }

#endif

}  // namespace plr::platform
