#include "adapters/imaging/drawing_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace plr::imaging_lib {

namespace {

constexpr std::int32_t kDefaultPixels = 16;
constexpr std::int32_t kMaxPixels = 4096;
// Hinted outlines for both modes: the aliased glyph differs from the smooth
// one only in how edge pixels are decided, not in where the outline lies.
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT;

// A rendered glyph trimmed to its inked pixels: the offset of its top-left
// pixel from the pen position on the baseline (y grows downwards) and one
// coverage byte per pixel.
struct Glyph {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
};

struct LoadedFace {
    FT_Face face = nullptr;
    hb_font_t* shaper = nullptr;
    std::uint32_t sizeKey = 0;  // the size the face is set to, 0 before any
    std::unordered_map<std::uint64_t, Glyph> glyphs;  // by size, mode and glyph index
    ~LoadedFace() {
        if (shaper) hb_font_destroy(shaper);  // releases its reference to the face
        if (face) FT_Done_Face(face);
    }
};

// One glyph placed on the raster: its bitmap's top-left pixel.
struct Placed {
    const Glyph* glyph;
    std::int64_t x, y;
};

}  // namespace

struct TextState::Fonts {
    FT_Library library = nullptr;
    std::map<std::string, std::unique_ptr<LoadedFace>> faces;   // by file and face index
    std::map<std::string, platform::FontFile> lookups;          // by family, weight and style
    platform::FontFile lastFile;
    // Scratch reused by every call, so a line in a loaded font allocates nothing once warm.
    hb_buffer_t* buffer = nullptr;
    std::u32string codePoints;
    std::vector<Placed> placed;
    ~Fonts() {
        if (buffer) hb_buffer_destroy(buffer);
        faces.clear();
        if (library) FT_Done_FreeType(library);
    }
};

TextState::TextState() noexcept = default;
TextState::~TextState() = default;

namespace {

// Length of the valid UTF-8 sequence at `p` and its code point; 0 when invalid.
int utf8Sequence(const unsigned char* p, char32_t& cp) noexcept {
    const unsigned char c = p[0];
    if (c < 0x80) return cp = c, 1;
    int n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || c > 0xF4) return 0;
    cp = c & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;  // also stops at the terminating zero
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    static constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return 0;
    return n;
}

std::uint32_t sizeKeyOf(const platform::LogFontA& font) noexcept {
    // Bit 31: cell height (> 0 in the record); low bits: pixels.
    if (font.height > 0) return 0x80000000u | static_cast<std::uint32_t>(std::min(font.height, kMaxPixels));
    if (font.height == 0) return static_cast<std::uint32_t>(kDefaultPixels);
    return static_cast<std::uint32_t>(font.height < -kMaxPixels ? kMaxPixels : -font.height);
}

bool setSize(LoadedFace& lf, std::uint32_t key) {
    if (lf.sizeKey == key) return true;
    const FT_Long pixels = static_cast<FT_Long>(key & 0x7FFFFFFFu);
    FT_Error error;
    if (key & 0x80000000u) {
        FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, pixels * 64, 0, 0};
        error = FT_Request_Size(lf.face, &request);
    } else {
        error = FT_Set_Pixel_Sizes(lf.face, 0, static_cast<FT_UInt>(pixels));
    }
    if (error) return false;
    lf.sizeKey = key;
    hb_ft_font_changed(lf.shaper);
    return true;
}

platform::FontFile* lookUp(TextState::Fonts& fonts, const platform::LogFontA& font) {
    platform::FontQuery query;
    query.family.assign(font.faceName, strnlen(font.faceName, sizeof font.faceName));
    query.weight = font.weight == 0 ? 400 : std::clamp(font.weight, 1, 1000);
    query.italic = font.italic != 0;
    const std::string key = query.family + '|' + std::to_string(query.weight) + (query.italic ? "|i" : "|r");
    auto it = fonts.lookups.find(key);
    if (it == fonts.lookups.end()) {
        platform::FontFile file;
        if (!platform::findFontFile(query, file)) return nullptr;
        it = fonts.lookups.emplace(key, file).first;
    }
    return &it->second;
}

LoadedFace* faceFor(TextState::Fonts& fonts, const platform::FontFile& file) {
    const std::string key = file.path + '#' + std::to_string(file.faceIndex);
    auto it = fonts.faces.find(key);
    if (it != fonts.faces.end()) return it->second.get();
    auto lf = std::make_unique<LoadedFace>();
    if (FT_New_Face(fonts.library, file.path.c_str(), file.faceIndex, &lf->face)) {
        lf->face = nullptr;
        return nullptr;
    }
    lf->shaper = hb_ft_font_create_referenced(lf->face);
    hb_ft_font_set_load_flags(lf->shaper, kLoadFlags);
    return fonts.faces.emplace(key, std::move(lf)).first->second.get();
}

const Glyph& glyphFor(LoadedFace& lf, std::uint32_t glyphIndex, bool aliased) {
    const std::uint64_t key = (std::uint64_t{lf.sizeKey} << 32) | (aliased ? 0x80000000u : 0u) | (glyphIndex & 0x7FFFFFFFu);
    auto it = lf.glyphs.find(key);
    if (it != lf.glyphs.end()) return it->second;
    Glyph g;
    FT_GlyphSlot slot = lf.face->glyph;
    if (!FT_Load_Glyph(lf.face, glyphIndex, kLoadFlags) &&
        !FT_Render_Glyph(slot, aliased ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL)) {
        const FT_Bitmap& bm = slot->bitmap;
        const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
        if (mono || bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const std::int32_t w = static_cast<std::int32_t>(bm.width), h = static_cast<std::int32_t>(bm.rows);
            const std::int32_t pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
            auto at = [&](std::int32_t x, std::int32_t y) -> std::uint8_t {
                const unsigned char* row = bm.buffer + std::int64_t{y} * pitch;
                if (mono) return (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                return row[x];
            };
            // Trim to the inked pixels so the glyph's box is its ink.
            std::int32_t x0 = w, x1 = -1, y0 = h, y1 = -1;
            for (std::int32_t y = 0; y < h; ++y)
                for (std::int32_t x = 0; x < w; ++x)
                    if (at(x, y)) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
            if (x1 >= x0) {
                g.left = slot->bitmap_left + x0;
                g.top = y0 - slot->bitmap_top;
                g.width = x1 - x0 + 1;
                g.height = y1 - y0 + 1;
                g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
                for (std::int32_t y = 0; y < g.height; ++y)
                    for (std::int32_t x = 0; x < g.width; ++x)
                        g.coverage[static_cast<std::size_t>(y) * g.width + x] = at(x0 + x, y0 + y);
            }
        }
    }
    return lf.glyphs.emplace(key, std::move(g)).first->second;
}

// Shapes and places the text; fonts.placed receives every inked glyph.
bool layOut(TextState& state, const char* text, const platform::LogFontA* font, std::int32_t mode,
            const TextRect& rect) {
    if (!state.fonts) state.fonts = std::make_unique<TextState::Fonts>();
    TextState::Fonts& fonts = *state.fonts;
    fonts.placed.clear();
    fonts.codePoints.clear();
    if (!text || !*text) return true;
    decodeText(text, fonts.codePoints);
    if (fonts.codePoints.empty()) return true;
    if (!fonts.library && FT_Init_FreeType(&fonts.library)) {
        fonts.library = nullptr;
        return false;
    }
    if (!fonts.buffer) fonts.buffer = hb_buffer_create();
    const platform::LogFontA record = font ? *font : platform::LogFontA{};
    const platform::FontFile* file = lookUp(fonts, record);
    if (!file) return false;
    fonts.lastFile = *file;
    LoadedFace* lf = faceFor(fonts, *file);
    if (!lf || !setSize(*lf, sizeKeyOf(record))) return false;

    hb_buffer_t* buffer = fonts.buffer;
    hb_buffer_clear_contents(buffer);
    hb_buffer_add_utf32(buffer, reinterpret_cast<const std::uint32_t*>(fonts.codePoints.data()),
                        static_cast<int>(fonts.codePoints.size()), 0, static_cast<int>(fonts.codePoints.size()));
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(lf->shaper, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, nullptr);

    const bool aliased = mode == kTextAliased;
    const std::int64_t baseline = std::int64_t{rect.top} + ((lf->face->size->metrics.ascender + 63) >> 6);
    std::int64_t penX = std::int64_t{rect.left} * 64, penY = 0;  // 26.6, y upwards
    for (unsigned i = 0; i < count; ++i) {
        const Glyph& g = glyphFor(*lf, info[i].codepoint, aliased);
        if (g.width > 0) {
            const std::int64_t x = ((penX + pos[i].x_offset + 32) >> 6) + g.left;
            const std::int64_t y = baseline - ((penY + pos[i].y_offset + 32) >> 6) + g.top;
            fonts.placed.push_back({&g, x, y});
        }
        penX += pos[i].x_advance;
        penY += pos[i].y_advance;
    }
    return true;
}

// `rect` cut to the raster.
TextRect clipRect(const TextRect& rect, std::int32_t width, std::int32_t height) noexcept {
    return {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, width), std::min(rect.bottom, height)};
}

// The part of a placed glyph inside `clip`, in raster coordinates.
TextRect glyphArea(const Placed& p, const TextRect& clip) noexcept {
    const std::int64_t l = std::max<std::int64_t>(p.x, clip.left), t = std::max<std::int64_t>(p.y, clip.top);
    const std::int64_t r = std::min<std::int64_t>(p.x + p.glyph->width, clip.right);
    const std::int64_t b = std::min<std::int64_t>(p.y + p.glyph->height, clip.bottom);
    if (r <= l || b <= t) return {};
    return {static_cast<std::int32_t>(l), static_cast<std::int32_t>(t), static_cast<std::int32_t>(r),
            static_cast<std::int32_t>(b)};
}

// round(v / 255) for v in 0..65025.
inline std::uint8_t divide255(std::uint32_t v) noexcept { return std::uint8_t((v + 128 + ((v + 128) >> 8)) >> 8); }

}  // namespace

void decodeText(const char* text, std::u32string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const std::size_t start = out.size();
    char32_t cp = 0;
    for (int n; *p; p += n) {
        n = utf8Sequence(p, cp);
        if (n == 0) {
            out.resize(start);
            platform::decodeSystemCodePage(text, out);
            return;
        }
        out.push_back(cp);
    }
}

std::int32_t MeasureSmoothText(TextState& state, std::int32_t width, std::int32_t height, const char* text,
                               const platform::LogFontA* font, std::int32_t mode, const TextRect& rect,
                               TextRect& ink) noexcept {
    ink = {};
    try {
        if (width < 0 || height < 0 || !layOut(state, text, font, mode, rect)) return 0;
        const TextRect clip = clipRect(rect, width, height);
        for (const Placed& p : state.fonts->placed) {
            const TextRect a = glyphArea(p, clip);
            if (a.empty()) continue;
            ink = ink.empty() ? a
                              : TextRect{std::min(ink.left, a.left), std::min(ink.top, a.top),
                                         std::max(ink.right, a.right), std::max(ink.bottom, a.bottom)};
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

std::int32_t DrawSmoothTextOnRGBA2(TextState& state, void* pixels, std::int32_t width, std::int32_t height,
                                   std::int32_t stride, const char* text, const platform::LogFontA* font,
                                   std::int32_t mode, const TextRect& rect, std::int32_t /*reserved1*/,
                                   std::int32_t /*reserved2*/, std::uint32_t colour) noexcept {
    if (!pixels || width < 0 || height < 0 || std::int64_t{stride} < std::int64_t{width} * 4) return 0;
    try {
        if (!layOut(state, text, font, mode, rect)) return 0;
    } catch (...) {
        return 0;
    }
    std::uint8_t c[4];
    std::memcpy(c, &colour, 4);
    const TextRect clip = clipRect(rect, width, height);
    for (const Placed& p : state.fonts->placed) {
        const TextRect a = glyphArea(p, clip);
        for (std::int32_t y = a.top; y < a.bottom; ++y) {
            const std::uint8_t* cov = p.glyph->coverage.data() + (y - p.y) * p.glyph->width + (a.left - p.x);
            std::uint8_t* px = static_cast<std::uint8_t*>(pixels) + std::int64_t{y} * stride + std::int64_t{a.left} * 4;
            for (std::int32_t x = a.left; x < a.right; ++x, ++cov, px += 4) {
                const std::uint32_t k = *cov;
                if (k == 0) continue;
                if (k == 255) {
                    std::memcpy(px, c, 4);
                    continue;
                }
                for (int ch = 0; ch < 4; ++ch) px[ch] = divide255(c[ch] * k + px[ch] * (255 - k));
            }
        }
    }
    return 1;
}

void unloadFonts(TextState& state) noexcept { state.fonts.reset(); }

platform::FontFile lastTextFont(const TextState& state) {
    return state.fonts ? state.fonts->lastFile : platform::FontFile{};
}

}  // namespace plr::imaging_lib
