// The current tool: PLR_SetTool and its setters.
#include "api/export.h"
#include "brush/tool_settings.h"
#include "core/saturate.h"

#include <tuple>
#include <type_traits>

using namespace plr;

namespace {
BrushSettings& tool() noexcept { return page().brush.settings; }
std::uint16_t high8(std::int32_t v) noexcept { return static_cast<std::uint16_t>((v & 0xFF) * 256); }

// PLR_SetTool takes the tool list's arguments, in the list's order and types.
template <class... A>
constexpr bool takesToolArguments(void(PLR_CALL*)(A...) noexcept) {
    using Listed = decltype(std::tuple_cat(std::tuple<>{}
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) , std::tuple<argumentType>{}
#define PLR_TOOL_PASSED(position, argumentType, name) , std::tuple<argumentType>{}
#define PLR_TOOL_SETTING(type, name)
#include "brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
                                           ));
    return std::is_same_v<std::tuple<A...>, Listed>;
}
static_assert(takesToolArguments(&PLR_SetTool), "PLR_SetTool's parameters and the tool list differ");
}  // namespace

extern "C" {

void PLR_SetTool(float shapeGain, int32_t gritCellSize, int32_t gritCellThreshold, int32_t gritPixelThreshold,
                 int32_t edgeSoftness, int32_t colorVary, int32_t drawingLength, int32_t blendStrength,
                 int32_t blendPrimaryStrength, int32_t blendRemix, int32_t reserved11, int32_t shapeInvert,
                 int32_t reserved13, const char* textureSource, const char* shapeSource, int32_t shapeAngle) noexcept {
    // The parameters above bear the tool list's names, so the list spells the copy.
    const ToolArguments args{
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) name,
#define PLR_TOOL_PASSED(position, argumentType, name) name,
#define PLR_TOOL_SETTING(type, name)
#include "brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
    };
    guardedExport<exported::PLR_SetTool>([&] { setTool(page(), args); });
}

void PLR_SetColor(int32_t red, int32_t green, int32_t blue) noexcept {
    page().brush.dabColor = {high8(red), high8(green), high8(blue), 65535};
}
void PLR_SetColor16(int32_t red, int32_t green, int32_t blue) noexcept {
    page().brush.dabColor = {static_cast<uint16_t>(red), static_cast<uint16_t>(green), static_cast<uint16_t>(blue), 65535};
}
void PLR_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2,
                       int32_t b2, int32_t r3, int32_t g3, int32_t b3) noexcept {
    Color16* banks = page().brush.colorBanks;
    banks[0] = {high8(r0), high8(g0), high8(b0), 65535};
    banks[1] = {high8(r1), high8(g1), high8(b1), 65535};
    banks[2] = {high8(r2), high8(g2), high8(b2), 65535};
    banks[3] = {high8(r3), high8(g3), high8(b3), 65535};
}

void PLR_SetShapeBlur(int32_t value) noexcept { tool().shapeBlur = value; }
void PLR_SetBlendStrength(int32_t value) noexcept { setBlendStrength(tool(), value); }
void PLR_SetBlendPrimaryColorStrength(int32_t value) noexcept { setBlendPrimaryStrength(tool(), value); }
void PLR_SetBlendRemix(int32_t value) noexcept { tool().blendRemix = static_cast<uint8_t>(value); }
void PLR_SetDensity(int32_t value) noexcept { tool().density = saturate32(int64_t{value} - 1); }
void PLR_SetAlpha(int32_t percent) noexcept { setAlpha(tool(), percent); }
void PLR_SetColorVary(int32_t value) noexcept { tool().colorVary = value; }
void PLR_SetAlphaLocked(int32_t value) noexcept { tool().alphaLocked = value; }
void PLR_SetColorLocked(int32_t value) noexcept { tool().colorLocked = value; }
void PLR_SetBlobLocked(int32_t value) noexcept { tool().blobLocked = value; }
void PLR_SetAlphaLevel(int32_t value) noexcept { tool().alphaLevel = value; }
void PLR_SetImageBrushMode(int32_t value) noexcept { tool().imageBrushMode = value; }
void PLR_SetSolidBrushMode(int32_t value) noexcept { tool().solidBrushMode = value; }
void PLR_SetRotateBrushMode(int32_t mode, int32_t degrees) noexcept { setRotateBrushMode(tool(), mode, degrees); }
void PLR_SetMixMode(int32_t mode, int32_t strength) noexcept { setMixMode(tool(), mode, strength); }
void PLR_TempDisableBlend(void) noexcept { tool().tempDisableBlend = 1; }
void PLR_SetEraseModeOn(void) noexcept { tool().eraseMode = 1; }
void PLR_SetSize(int32_t size) noexcept { setSize(tool(), size, page().maxBrushSize); }
void PLR_SetScaleSize(int32_t size) noexcept { setScaleSize(tool(), size); }
void PLR_SetPixColorVary(int32_t value) noexcept {
    guardedExport<exported::PLR_SetPixColorVary>([&] { setPixColorVary(page(), value); });
}
void PLR_SetPixLumVary(int32_t value) noexcept {
    guardedExport<exported::PLR_SetPixLumVary>([&] { setPixLumVary(page(), value); });
}
void PLR_DecDrawingLength(void) noexcept {
    int32_t& counter = page().brush.drawingCounter;
    counter = saturate32(int64_t{counter} - 1);
}

void PLR_SetPixelRGB24(uint8_t* buffer, int32_t rowBytes, int32_t x, int32_t y, int32_t red, int32_t green,
                       int32_t blue) noexcept {
    const Page& p = page();
    if (!buffer || x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    uint8_t* px = buffer + static_cast<int64_t>(y) * rowBytes + static_cast<int64_t>(x) * 3;
    px[0] = static_cast<uint8_t>(red >> 8);
    px[1] = static_cast<uint8_t>(green >> 8);
    px[2] = static_cast<uint8_t>(blue >> 8);
}

}  // extern "C"
