#pragma once
// A line of text on the current layer, and the font choice that describes
// its font.
#include <cstdint>

namespace plr {

struct EngineState;

// Draws `text` in the engine's font description with its top-left at (x, y),
// clipped to the page, onto the current layer. Needs the page's 32-bit
// source buffer (nothing happens without it), which it refreshes from the
// layer. Smooth: transparent pixels of the buffer get black, the buffer is
// premultiplied, the text drawn anti-aliased over it and the alpha divided
// out again; aliased: the text drawn pixel-sharp. Only the pixels the glyphs
// cover are loaded back into the layer, through the mask and the paper
// texture, so the rest of the layer keeps its full 16-bit values; empty text
// changes nothing. A font that cannot be had draws nothing.
void drawText(EngineState& engine, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t x,
              std::int32_t y, const char* text, bool smooth);

// The font dialog with the engine's font description (flags screen fonts and
// initialise-from-record): a nonzero answer is returned as it is; a zero one
// with an error code records "Font Err: <code name>", clears the description
// and opens the dialog once more with the screen-fonts flag only, whose
// answer is returned.
std::int32_t chooseFont(EngineState& engine);

// The last-error text of a dialog error code.
const char* fontErrorText(std::uint32_t code) noexcept;

}  // namespace plr
