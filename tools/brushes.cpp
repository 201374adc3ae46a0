#include "brushes.h"

#include <tuple>

#include "paloran.h"

namespace plr::host {
namespace {

// number, name, description,
// tool {gain, grit cell/cellThr/pixThr, edge, colorVary, drawingLength,
//       blend strength/primary/remix}, density, pixColorVary, pixLumVary,
// kind, stroke opacity, stroke mode, paper, spacing
constexpr Brush kBrushes[] = {
    {1, "hard", "hard round, painted straight into the layer", {1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 256, 0, 0,
     StrokeKind::Direct, 100, "Normal", false, 0.10},
    {2, "soft", "soft round on a paint layer (stroke opacity applied once)", {1.0f, 0, 0, 0, 255, 0, 0, 0, 0, 0}, 256,
     0, 0, StrokeKind::PaintLayer, 80, "Normal", false, 0.08},
    {3, "chalk", "grit brush on the paper texture", {1.0f, 3, 190, 150, 60, 0, 24, 0, 0, 0}, 200, 0, 0,
     StrokeKind::Direct, 100, "Normal", true, 0.15},
    {4, "smudge", "carries and blends the colours under it (mixing buffer with remix)",
     {1.0f, 0, 0, 0, 200, 0, 0, 224, 0, 1}, 256, 0, 0, StrokeKind::Smudge, 100, "Normal", false, 0.06},
    {5, "variation", "colour and lightness variation per dab and per pixel", {1.0f, 0, 0, 0, 160, 24, 0, 0, 0, 0}, 256,
     40, 64, StrokeKind::Direct, 100, "Normal", false, 0.20},
    {6, "eraser", "lowers alpha", {1.0f, 0, 0, 0, 180, 0, 0, 0, 0, 0}, 256, 0, 0, StrokeKind::Erase, 100, "Normal",
     false, 0.10},
    {7, "mask", "paints the selection mask: black opens, white closes", {1.0f, 0, 0, 0, 120, 0, 0, 0, 0, 0}, 256, 0,
     0, StrokeKind::MaskPen, 100, "Normal", false, 0.10},
    {8, "glaze", "soft Multiply strokes on a paint layer", {1.0f, 0, 0, 0, 255, 0, 0, 0, 0, 0}, 256, 0, 0,
     StrokeKind::PaintLayer, 60, "Multiply", false, 0.08},
};

}  // namespace

void setTool(const ToolCall& t) {
    std::apply(PLR_SetTool, std::tuple_cat(std::tuple<>{}
#define PLR_TOOL_ARGUMENT(position, argumentType, name, storedAs) , std::tuple<argumentType>(t.name)
#define PLR_TOOL_PASSED(position, argumentType, name) , std::tuple<argumentType>(t.name)
#define PLR_TOOL_SETTING(type, name)
#include "../brush/tool_settings.inc"
#undef PLR_TOOL_ARGUMENT
#undef PLR_TOOL_PASSED
#undef PLR_TOOL_SETTING
                                           ));
}

const Brush* findBrush(int number) {
    for (const Brush& b : kBrushes)
        if (b.number == number) return &b;
    return nullptr;
}

int brushCount() { return static_cast<int>(sizeof kBrushes / sizeof kBrushes[0]); }
const Brush& brushAt(int index) { return kBrushes[index]; }

void applyBrush(const Brush& b, std::int32_t size, std::int32_t densityOverride) {
    PLR_SetSize(size);
    PLR_SetScaleSize(size);
    setTool(b.tool);
    PLR_SetDensity(densityOverride > 0 ? densityOverride : b.density);
    PLR_SetPixColorVary(b.pixColorVary);
    PLR_SetPixLumVary(b.pixLumVary);
    PLR_SetBlendStrength(b.tool.blendStrength);
    PLR_SetMixMode(32, 256);
    if (b.kind == StrokeKind::MaskPen) PLR_SetMaskMakerOn();
}

}  // namespace plr::host
