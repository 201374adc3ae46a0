#pragma once
// The host's built-in brushes: what a brush number in a paint script means.
// Each is a set of tool settings for PLR_SetTool and the setters, plus how
// the host drives its strokes.
#include <cstdint>
#include <type_traits>

namespace plr::host {

// The arguments of PLR_SetTool, named and ordered as the engine's tool list
// (brush/tool_settings.inc) names them; texts default to empty.
template <class T>
constexpr T toolArgumentDefault() {
    if constexpr (std::is_pointer_v<T>) {
        return "";
    } else {
        return T{};
    }
}
struct ToolCall {
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) argumentType name = toolArgumentDefault<argumentType>();
#define PLR_TOOL_PASSED(position, argumentType, name) argumentType name = toolArgumentDefault<argumentType>();
#define PLR_TOOL_SETTING(type, name)
#include "../brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
};

// Selects the tool: every argument in the list's order.
void setTool(const ToolCall& t);

enum class StrokeKind {
    Direct,      // dabs go straight into the target layer
    PaintLayer,  // dabs build a paint layer merged at the end of the stroke
    Smudge,      // dabs carry colour picked up through the mixing buffer
    Erase,       // every dab lowers alpha
    MaskPen,     // dabs paint the selection mask: black opens, white closes
};

struct Brush {
    int number;
    const char* name;
    const char* description;
    ToolCall tool;         // PLR_SetTool
    std::int32_t density;  // PLR_SetDensity
    std::int32_t pixColorVary, pixLumVary;
    StrokeKind kind;
    std::int32_t strokeOpacity;  // paint-layer opacity percent
    const char* strokeMode;      // paint-layer blend mode
    bool paper;                  // show the paper layer while this brush paints
    double spacing;              // dab spacing as a fraction of the dab size
};

// Null for an unknown number.
const Brush* findBrush(int number);
int brushCount();
const Brush& brushAt(int index);

// Selects the tool: size first (the shape is built for it), then the tool,
// then the switches PLR_SetTool resets.
void applyBrush(const Brush& b, std::int32_t size, std::int32_t densityOverride);

}  // namespace plr::host
