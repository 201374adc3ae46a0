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

struct BrushSettings {
    float shapeGain = 0.0f;
    std::int32_t gritCellSize = 0;
    std::int32_t gritCellThreshold = 0;
    std::int32_t gritPixelThreshold = 0;
    std::uint8_t edgeSoftness = 0;
    std::int32_t colorVary = 0;
    std::int32_t drawingLength = 0;
    std::int32_t blendStrength = 0;
    std::int32_t blendStrengthInverse = 0;
    std::int32_t blendPrimaryStrength = 0;
    std::int32_t blendPrimaryInverse = 0;
    std::uint8_t blendRemix = 0;
    std::uint8_t reserved11 = 0;  // stored, nothing reads it
    std::uint8_t shapeInvert = 0;
    std::uint8_t reserved13 = 0;  // stored, nothing reads it
    std::int32_t shapeAngle = 0;  // last angle passed to SetTool for the shape
    std::int32_t mixMode = 0;
    std::int32_t mixStrength = 0;
    std::int32_t mixStrengthInverse = 0;
    std::int32_t posterizeShift = 0;
    std::int32_t brushSize = 0;
    std::int32_t scaledSize = 0;
    std::int32_t scaleTable[kScaleTableLength] = {};
    std::int32_t density = 0;
    std::int32_t alphaPercent = 0;
    std::int32_t alpha128 = 0;
    std::int32_t alphaLocked = 0;
    std::int32_t colorLocked = 0;
    std::int32_t blobLocked = 0;
    std::int32_t alphaLevel = 0;
    std::int32_t imageBrushMode = 0;
    std::int32_t solidBrushMode = 0;
    std::int32_t rotateMode = 0;
    std::int32_t rotateAngle = 0;
    float rotateSin = 0.0f;
    float rotateCos = 0.0f;
    std::int32_t pixColorVary = 0;
    std::int32_t pixLumVary = 0;
    std::int32_t shapeBlur = 0;
    std::uint8_t tempDisableBlend = 0;
    std::uint8_t eraseMode = 0;
};

}  // namespace plr
