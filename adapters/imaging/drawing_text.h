#pragma once
// The drawing family's text call: one line of text in a font described by a
// logical-font record, shaped with HarfBuzz and rasterised with FreeType,
// drawn over a 4-byte RGBA raster. Fonts are found through platform/fonts.h.
#include <cstdint>
#include <memory>

#include "platform/fonts.h"

namespace plr::imaging_lib {

// What the text calls keep between calls: the FreeType library, every face
// loaded so far with its shaping font and its rendered glyphs (per size and
// rendering mode), and the font files already looked up. The caller keeps
// one (the engine keeps it in its state); it loads nothing until first used.
struct TextState {
    struct Fonts;
    TextState() noexcept;
    ~TextState();
    TextState(const TextState&) = delete;
    TextState& operator=(const TextState&) = delete;
    std::unique_ptr<Fonts> fonts;
};

// A rectangle with exclusive right and bottom edges.
struct TextRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const noexcept { return right <= left || bottom <= top; }
};

// Text modes: kTextAliased renders every pixel fully in or out (FreeType's
// monochrome rendering); any other mode (the engine passes kTextSmooth)
// renders 256 levels of coverage.
constexpr std::int32_t kTextAliased = 1;
constexpr std::int32_t kTextSmooth = 4;

// How the record is read:
//   - face name: the family (platform::findFontFile, with its fallback);
//     empty asks for the system's default sans-serif face;
//   - height: < 0 the character (em) height in pixels, > 0 the cell height
//     (ascender to descender) in pixels, 0 a 16-pixel character height;
//     held to 1..4096 pixels; width, escapement and orientation are not used;
//   - weight: 0 means 400 (normal), else held to 1..1000; italic: nonzero.
// Text: UTF-8 when it is valid UTF-8, else the system code page
// (platform::decodeSystemCodePage). The line starts with the top of its
// cell (the face's ascender above the baseline) at (rect.left, rect.top);
// glyph positions are rounded to whole pixels; nothing is drawn outside
// `rect` or the raster.

// The pixels the text would touch, clipped to `rect` and the raster, into
// `ink` (empty for empty text or text without visible glyphs). 0 when the
// text cannot be laid out (no font file, a face FreeType cannot load).
std::int32_t MeasureSmoothText(TextState& state, std::int32_t width, std::int32_t height, const char* text,
                               const platform::LogFontA* font, std::int32_t mode, const TextRect& rect,
                               TextRect& ink) noexcept;

// Draws the text in `colour` (red in the low byte, then green, blue, alpha)
// over the raster (4 bytes a pixel, red, green, blue, alpha in memory): each
// byte d of a pixel with glyph coverage c (0..255) becomes
// round((colour byte * c + d * (255 - c)) / 255), the "over" of a
// premultiplied raster. The two reserved arguments are not used.
std::int32_t DrawSmoothTextOnRGBA2(TextState& state, void* pixels, std::int32_t width, std::int32_t height,
                                   std::int32_t stride, const char* text, const platform::LogFontA* font,
                                   std::int32_t mode, const TextRect& rect, std::int32_t reserved1,
                                   std::int32_t reserved2, std::uint32_t colour) noexcept;

// Drops every loaded face, rendered glyph and looked-up font file; the next
// call loads what it needs again.
void unloadFonts(TextState& state) noexcept;

// The font file the last laid-out text used (an empty path before any).
platform::FontFile lastTextFont(const TextState& state);

// Appends the code points of `text` to `out`: UTF-8 when the whole text is
// valid UTF-8 (shortest forms, no surrogates), else the system code page.
void decodeText(const char* text, std::u32string& out);

}  // namespace plr::imaging_lib
