#pragma once
// Conversions between the mask and the current layer. Each walks the whole
// page and does nothing without a page-sized current layer or mask plane.
namespace plr {

struct MaskPage;

// red = green = blue = min(0xFFFF - m, 0xFF00), alpha 0xFFFF: masked shows light.
void createImageFromMask(const MaskPage& p) noexcept;
// alpha = m; colour untouched.
void createAlphaFromMask(const MaskPage& p) noexcept;
// m = alpha: opaque is open, transparent is masked.
void createMaskFromAlpha(const MaskPage& p) noexcept;
// m = grey-to-mask of (R + G + B) / 3.
void createMaskFromImage(const MaskPage& p) noexcept;
// m = grey-to-mask of (3R + 4G + B) >> 3.
void createMaskFromImageLuma(const MaskPage& p) noexcept;

}  // namespace plr
