#pragma once
// The current tool's settings: PLR_SetTool and the setters that derive values.
#include <cstdint>

namespace plr {

struct PageBrush;
struct BrushSettings;

// The arguments of PLR_SetTool, in the order it takes them (brush/tool_settings.inc).
struct ToolArguments {
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) argumentType name = {};
#define PLR_TOOL_PASSED(position, argumentType, name) argumentType name = {};
#define PLR_TOOL_SETTING(type, name)
#include "brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
};

// Seeds the generator, stores the tool, builds the grit textures (random
// cells, then the texture source if any) and the brush shape, and clears the
// one-dab switches. Raises on a failure the caller's guard reports.
void setTool(PageBrush& page, const ToolArguments& args);

// Brush size 1..1001, and at most the page's maxBrushSize while a page with
// brush buffers exists; scaledSize follows and the scale table is the identity.
void setSize(BrushSettings& s, std::int32_t size, std::int32_t maxBrushSize) noexcept;
// scaledSize = size clamped to 1..brushSize..999, with its scale table.
void setScaleSize(BrushSettings& s, std::int32_t size) noexcept;
void setMixMode(BrushSettings& s, std::int32_t mode, std::int32_t strength) noexcept;
void setRotateBrushMode(BrushSettings& s, std::int32_t mode, std::int32_t degrees) noexcept;
void setAlpha(BrushSettings& s, std::int32_t percent) noexcept;
void setBlendStrength(BrushSettings& s, std::int32_t value) noexcept;
void setBlendPrimaryStrength(BrushSettings& s, std::int32_t value) noexcept;
// Per-pixel variation: stores the range and, when positive, (re)builds the
// table from the engine seed. Raises "MakeRandArrayByte" when it cannot.
void setPixColorVary(PageBrush& page, std::int32_t value);
void setPixLumVary(PageBrush& page, std::int32_t value);

}  // namespace plr
