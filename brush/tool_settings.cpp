#include "brush/tool_settings.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "brush/brush_shape.h"
#include "brush/grit_textures.h"
#include "brush/page_brush.h"
#include "brush/engine_services.h"
#include "core/crt_random.h"
#include "core/saturate.h"

namespace plr {
namespace {

// The mask-making switch lives with the mask state; the tool switches it
// off. Written against whatever MaskState holds, so that it builds before
// and after the switch is there.
// The arguments are listed at positions 1, 2, 3, ... in order.
constexpr int kListedPositions[] = {
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) position,
#define PLR_TOOL_PASSED(position, argumentType, name) position,
#define PLR_TOOL_SETTING(type, name)
#include "brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
};
constexpr bool positionsRunInOrder() {
    for (std::size_t i = 0; i < std::size(kListedPositions); ++i)
        if (kListedPositions[i] != static_cast<int>(i) + 1) return false;
    return true;
}
static_assert(positionsRunInOrder(), "tool list: PLR_SetTool argument positions out of order");

template <class M>
void clearMaskMaker(M& mask) noexcept {
    if constexpr (requires { mask.makerOn; }) mask.makerOn = 0;
}

}  // namespace

void setTool(PageBrush& page, const ToolArguments& a) {
    CrtRandom& rng = engineRandom();
    rng.seed(static_cast<std::uint32_t>(engineRandomSeed()));
    BrushBuffers& b = page.brush;
    BrushSettings& s = b.settings;
    // Every kept argument; a byte keeps the argument's low byte.
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) s.name = static_cast<storedAs>(a.name);
#define PLR_TOOL_PASSED(position, argumentType, name)
#define PLR_TOOL_SETTING(type, name)
#include "brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
    s.mixMode = kMixModeNormal;
    b.currentGrit = kGritTextures - 1;
    b.currentGritOffset = 0;

    if (s.gritCellSize != 0) {
        generateGritTextures(page, rng);
        b.drawingCounter = s.drawingLength;
    }
    if (a.textureSource && a.textureSource[0] && a.textureSource[1]) gritTexturesFromSource(page, a.textureSource, rng);
    setBrushShapeGuarded(page, a.shapeSource, a.shapeAngle, ShapeBuilder::Current);
    if (s.blendStrength > 0) s.blendStrengthInverse = 256 - s.blendStrength;
    if (s.blendPrimaryStrength > 0) s.blendPrimaryInverse = 256 - s.blendPrimaryStrength;
    s.tempDisableBlend = 0;
    clearMaskMaker(page.mask);
    s.eraseMode = 0;
}

void setSize(BrushSettings& s, std::int32_t size, std::int32_t maxBrushSize) noexcept {
    // The scale table has 1001 entries and every brush-sized plane has
    // maxBrushSize on a side: a larger size would walk past both.
    std::int32_t n = std::clamp(size, 1, kScaleTableLength);
    if (maxBrushSize > 0) n = std::min(n, maxBrushSize);
    s.brushSize = s.scaledSize = n;
    for (std::int32_t i = 0; i < n; ++i) s.scaleTable[i] = i;
}

void setScaleSize(BrushSettings& s, std::int32_t size) noexcept {
    size = std::max(size, 1);
    size = std::min(size, s.brushSize);
    size = std::min(size, 999);
    s.scaledSize = size;
    if (size <= 0) return;
    const float f = static_cast<float>(s.brushSize) / static_cast<float>(size);
    float at = f / 2.0f;
    for (std::int32_t i = 0; i < size; ++i, at += f) s.scaleTable[i] = static_cast<std::int32_t>(at);
}

void setMixMode(BrushSettings& s, std::int32_t mode, std::int32_t strength) noexcept {
    s.mixMode = mode;
    s.mixStrength = strength;
    s.mixStrengthInverse = saturate32(256 - std::int64_t{strength});
    s.posterizeShift = static_cast<std::int32_t>(16.0 * (static_cast<double>(strength) - 127.0) * 0.007874015748031496);
}

void setRotateBrushMode(BrushSettings& s, std::int32_t mode, std::int32_t degrees) noexcept {
    s.rotateMode = mode;
    s.rotateAngle = degrees;
    const float radians = static_cast<float>(degrees * 0.005555555555555556 * 3.14159);
    s.rotateSin = std::sin(radians);
    s.rotateCos = std::cos(radians);
}

void setAlpha(BrushSettings& s, std::int32_t percent) noexcept {
    s.alphaPercent = percent;
    // Truncated, then held to 32 bits: a huge percentage is full alpha many times over, not a wrapped value.
    s.alpha128 = saturate32(static_cast<std::int64_t>(percent * 1.28));
}

void setBlendStrength(BrushSettings& s, std::int32_t value) noexcept {
    s.blendStrength = value;
    if (value > 0) s.blendStrengthInverse = 256 - value;
}

void setBlendPrimaryStrength(BrushSettings& s, std::int32_t value) noexcept {
    s.blendPrimaryStrength = value;
    if (value > 0) s.blendPrimaryInverse = 256 - value;
}

void setPixColorVary(PageBrush& page, std::int32_t value) {
    page.brush.settings.pixColorVary = value;
    if (value <= 0) return;
    const std::int64_t length = std::int64_t{page.maxBrushSize} * 3;
    buildRandomTable(page.brush.colorVaryTable, 1000, static_cast<std::int32_t>(length), engineRandomSeed(), engineRandom());
}

void setPixLumVary(PageBrush& page, std::int32_t value) {
    page.brush.settings.pixLumVary = value;
    if (value <= 0) return;
    const std::int64_t length = std::int64_t{page.maxBrushSize} * 3;
    buildRandomTable(page.brush.lumVaryTable, 256, static_cast<std::int32_t>(length), engineRandomSeed(), engineRandom());
}

}  // namespace plr
