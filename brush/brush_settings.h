#pragma once
// The current tool: every setting a dab reads, the brush colour and the four
// colour banks. All zero at load; only the tool setters change it.
#include <cstdint>

namespace plr {

constexpr int kScaleTableLength = 1001;
constexpr std::int32_t kMixModeNormal = 32;

struct Color16 {
    std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};

// Every field, in order, from the tool list (brush/tool_settings.inc).
using ScaleTable = std::int32_t[kScaleTableLength];
struct BrushSettings {
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) storedAs name = {};
#define PLR_TOOL_PASSED(position, argumentType, name)
#define PLR_TOOL_SETTING(type, name) type name = {};
#include "brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
};

}  // namespace plr
