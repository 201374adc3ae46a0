// A filter plug-in for the host's tests: inverts every plane the host gives
// it, a band of rows at a time (several Continue rounds on any image taller
// than a band), and reports a cancel when the host's abort check says so.
#include <cstdint>

#include "platform/win32/plugin_protocol.h"

namespace pp = plr::plugin_protocol;

namespace {

constexpr std::int16_t kBandRows = 2;

// Asks for the band starting at `top`, all planes, or nothing past the end.
void requestBand(pp::FilterRecord* r, std::int16_t top) {
    const std::int16_t bottom = top + kBandRows < r->filterRect.bottom ? top + kBandRows : r->filterRect.bottom;
    if (top >= r->filterRect.bottom) {
        r->inRect = r->outRect = pp::Rect16{0, 0, 0, 0};
        return;
    }
    r->inRect = r->outRect = pp::Rect16{top, r->filterRect.left, bottom, r->filterRect.right};
    r->inLoPlane = r->outLoPlane = 0;
    r->inHiPlane = r->outHiPlane = static_cast<std::int16_t>(r->planes - 1);
}

}  // namespace

extern "C" __declspec(dllexport) void InvertPlanes(std::int16_t selector, pp::FilterRecord* r, std::intptr_t*,
                                                   std::int16_t* result) {
    *result = 0;
    switch (selector) {
        case pp::kPrepare:
            r->bufferSpace = 0;
            return;
        case pp::kStart:
            requestBand(r, r->filterRect.top);
            return;
        case pp::kContinue: {
            if (r->abortProc && r->abortProc()) {
                *result = pp::kUserCancelled;
                return;
            }
            const int rows = r->outRect.bottom - r->outRect.top;
            const auto* in = static_cast<const std::uint8_t*>(r->inData);
            auto* out = static_cast<std::uint8_t*>(r->outData);
            for (int y = 0; y < rows; ++y)
                for (int i = 0; i < r->outRowBytes; ++i)
                    out[y * r->outRowBytes + i] = static_cast<std::uint8_t>(255 - in[y * r->inRowBytes + i]);
            if (r->progressProc) r->progressProc(r->outRect.bottom, r->filterRect.bottom);
            requestBand(r, r->outRect.bottom);
            return;
        }
        default:
            return;
    }
}
