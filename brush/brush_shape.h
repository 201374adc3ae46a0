#pragma once
// The brush shape plane: brushSize x brushSize coverage values (row length
// maxBrushSize) built from an image or effect script, or as a soft circle.
#include <cstdint>

namespace plr {

struct PageBrush;

enum class ShapeBuilder {
    Current,   // scripts and images, shapeBlur honoured
    Original,  // image files only, shapeBlur ignored
};

// Builds the shape; failures set "SetBrushShape Excpt" and leave the plane as
// far as it was built. A path of at most one character gives the circle; an
// unreadable source falls back to the circle silently.
void setBrushShapeGuarded(PageBrush& page, const char* path, std::int32_t angle, ShapeBuilder builder) noexcept;

// The soft circle alone (the last step of the builder), into the plane.
void drawCircleShape(PageBrush& page) noexcept;

}  // namespace plr
