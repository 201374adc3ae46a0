#include "brush/brush_shape.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/raster_grey.h"
#include "adapters/imaging/raster_resize.h"
#include "imaging/filters/filters.h"
#include "brush/grit_textures.h"
#include "brush/source_image.h"
#include "core/failure.h"
#include "core/export_failures.h"
#include "core/saturate.h"
#include "core/sizes.h"
#include "brush/engine_services.h"
#include "brush/page_brush.h"

namespace plr {
namespace {

// Gain times value, truncated and held to the 16-bit range (a gain above 1
// would otherwise wrap a full value into a small one); a gain that is not a
// number gives 0.
std::uint16_t gained(double value, float gain) noexcept {
    const double v = value * static_cast<double>(gain);
    return static_cast<std::uint16_t>(!(v > 0.0) ? 0.0 : v >= 65535.0 ? 65535.0 : v);
}

bool planeReady(const PageBrush& page) noexcept {
    return page.maxBrushSize > 0 &&
           page.brush.shapePlane.size() == saturatingProduct(std::uint64_t(page.maxBrushSize), std::uint64_t(page.maxBrushSize));
}

bool cacheMatches(const BrushBuffers& b, const char* path, std::int32_t angle) noexcept {
    return !b.shapeSource.empty() && std::strlen(path) < kShapePathLength &&
           std::strcmp(b.shapeSourcePath, path) == 0 && b.shapeSourceAngle == angle;
}

void releaseSource(BrushBuffers& b) noexcept {
    b.shapeSource.reset();
    b.shapeSourceWidth = b.shapeSourceHeight = 0;
    b.shapeSourcePath[0] = '\0';
}

// Loads the path and rotates it into the cache. False when nothing loaded.
bool loadAndRotate(BrushBuffers& b, const char* path, std::int32_t angle, ShapeBuilder builder) {
    formats::RgbaImage image;
    loadSourceImage(path, builder == ShapeBuilder::Current, image);
    if (image.pixels.empty()) return false;
    b.shapeSource = std::move(image.pixels);
    b.shapeSourceWidth = image.width;
    b.shapeSourceHeight = image.height;
    // A path too long for the key is kept out of the cache (it never matches).
    if (std::strlen(path) < kShapePathLength) std::strcpy(b.shapeSourcePath, path);
    else b.shapeSourcePath[0] = '\0';
    effect_lib::LibraryState& lib = effectLibraryState();
    if (effect_lib::Initialize(lib)) {
        if (effect_lib::AddEffect(lib, 51, 1)) {
            effect_lib::SetEffectValue(lib, 0, 3, angle);
            effect_lib::SetEffectValue(lib, 0, 4, 100);
            effect_lib::ExecuteScriptOnImage(lib, b.shapeSource.data(), b.shapeSourceWidth, b.shapeSourceHeight);
        }
        effect_lib::Finish(lib);
    }
    b.shapeSourceAngle = angle;
    return true;
}

// Scales the cached source to s x s and turns its grey into coverage. True
// when the shape is complete.
bool shapeFromSource(PageBrush& page, std::int32_t s, ShapeBuilder builder) {
    BrushBuffers& b = page.brush;
    const std::int32_t w = b.shapeSourceWidth, h = b.shapeSourceHeight;
    Block<std::uint8_t> rgba, grey;
    need(rgba.allocate(saturatingProduct(std::uint64_t(s), std::uint64_t(s), 4)));
    need(grey.allocate(saturatingProduct(std::uint64_t(s), std::uint64_t(s))));
    const std::uint8_t* from = b.shapeSource.data();
    Block<std::uint8_t> blurred;
    if (builder == ShapeBuilder::Current && b.settings.shapeBlur >= 1) {
        need(blurred.allocate(b.shapeSource.size()));
        std::memcpy(blurred.data(), from, b.shapeSource.size());
        EffectArguments args;
        args.p[1] = saturate32((100 - std::int64_t{b.settings.shapeBlur}) * 10);
        effectOnImage(filterState(), b.shapeSource.data(), blurred.data(), w, h, "Value Blur", 1, args);
        from = blurred.data();
    }
    const std::int32_t scaled =
        static_cast<std::uint32_t>(s) < static_cast<std::uint32_t>(w)
            ? imaging_lib::DecimateImage(from, w, h, w * 4, rgba.data(), s, s, s * 4, 4, 1)
            : imaging_lib::ResizeImage(from, w, h, w * 4, rgba.data(), s, s, s * 4, 4);
    b.drawingCounter = b.settings.drawingLength;
    if (!scaled) return false;
    imaging_lib::ImageToGrayScale8Bit(rgba.data(), s, s, 4, s * 4, grey.data(), s, 0);
    std::uint16_t* plane = b.shapePlane.data();
    const float gain = b.settings.shapeGain;
    for (std::int32_t r = 0; r < s; ++r)
        for (std::int32_t k = 0; k < s; ++k)
            plane[std::size_t(r) * page.maxBrushSize + k] = gained(grey[std::size_t(r) * s + k] * 256.0, gain);
    return true;
}

void buildShape(PageBrush& page, const char* path, std::int32_t angle, ShapeBuilder builder) {
    if (!planeReady(page)) return;
    BrushBuffers& b = page.brush;
    std::fill_n(b.shapePlane.data(), b.shapePlane.size(), std::uint16_t{0});
    const std::int32_t s = effectiveBrushSize(page);
    if (path && path[0] && path[1] && s > 0) {
        bool have = cacheMatches(b, path, angle);
        if (!have) {
            releaseSource(b);
            have = loadAndRotate(b, path, angle, builder);
        }
        if (have && shapeFromSource(page, s, builder)) return;
    }
    drawCircleShape(page);
}

}  // namespace

void drawCircleShape(PageBrush& page) noexcept {
    if (!planeReady(page)) return;
    const BrushSettings& st = page.brush.settings;
    const std::int32_t size = effectiveBrushSize(page);
    const std::int32_t half = size / 2;
    const float radius = static_cast<float>(size) * 0.5f;
    const float rim = radius * static_cast<float>(st.edgeSoftness) / 255.0f;
    const float inner = radius - rim;
    std::uint16_t* plane = page.brush.shapePlane.data();
    for (std::int32_t i = 0; i < size; ++i)
        for (std::int32_t j = 0; j < size; ++j) {
            const double dx = j - half, dy = i - half;
            const std::int32_t d = std::abs(static_cast<std::int32_t>(std::sqrt(dx * dx + dy * dy)));
            const float df = static_cast<float>(d);
            if (df > radius) continue;
            float m = 65535.0f;
            if (st.edgeSoftness > 0 && df > inner)
                m = std::clamp((rim - (df - inner)) / rim * 65535.0f, 0.0f, 65535.0f);
            if (st.shapeInvert) m = static_cast<float>(std::abs(static_cast<std::int32_t>(m - 65535.0f)));
            plane[std::size_t(j) * page.maxBrushSize + i] = gained(m, st.shapeGain);
        }
}

void setBrushShapeGuarded(PageBrush& page, const char* path, std::int32_t angle, ShapeBuilder builder) noexcept {
    guardedExport<exported::PLR_SetBrushShape>([&] { buildShape(page, path, angle, builder); });
}

}  // namespace plr
