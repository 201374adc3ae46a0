#include "engine/text_drawing.h"

#include "adapters/imaging/drawing_text.h"
#include "brush/alpha_ops.h"
#include "core/last_error.h"
#include "engine/engine.h"
#include "engine/page_buffers.h"
#include "imaging/alpha_premultiply.h"
#include "layers/layer_load.h"
#include "platform/fonts.h"

namespace plr {

namespace {

constexpr std::uint32_t kScreenFonts = 0x1;
constexpr std::uint32_t kInitFromRecord = 0x40;

struct FontError {
    std::uint32_t code;
    const char* text;
};
constexpr FontError kFontErrors[] = {
    {2, "Font Err: CDERR_INITIALIZATION"},     {5, "Font Err: CDERR_LOADSTRFAILURE"},
    {6, "Font Err: CDERR_FINDRESFAILURE"},     {7, "Font Err: CDERR_LOADRESFAILURE"},
    {8, "Font Err: CDERR_LOCKRESFAILURE"},     {9, "Font Err: CDERR_MEMALLOCFAILURE"},
    {10, "Font Err: CDERR_MEMLOCKFAILURE"},    {0x2001, "Font Err: CFERR_NOFONTS"},
    {0x2002, "Font Err: CFERR_MAXLESSTHANMIN"}, {0xFFFF, "Font Err: CDERR_DIALOGFAILURE"},
};

// Runs `op` on the rows of the box in a page-wide packed RGBA32 buffer.
template <class Op>
void eachBoxRow(std::uint8_t* image, std::int32_t pageWidth, const imaging_lib::TextRect& box, Op&& op) {
    for (std::int32_t y = box.top; y < box.bottom; ++y)
        op(image + (std::size_t(y) * std::size_t(pageWidth) + std::size_t(box.left)) * 4,
           std::size_t(box.right - box.left));
}

}  // namespace

const char* fontErrorText(std::uint32_t code) noexcept {
    for (const FontError& e : kFontErrors)
        if (e.code == code) return e.text;
    return "Font Err: Other Error";
}

void drawText(EngineState& engine, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t x,
              std::int32_t y, const char* text, bool smooth) {
    Page& page = engine.page;
    LayerRecord* layer = page.currentPageLayer();
    if (!layer || !text || !*text || !updateSrcBuffer32(page)) return;
    const std::uint32_t colour = red | (green << 8) | (blue << 16) | 0xFF000000u;
    const imaging_lib::TextRect rect{x, y, page.width, page.height};
    const std::int32_t mode = smooth ? imaging_lib::kTextSmooth : imaging_lib::kTextAliased;
    imaging_lib::TextRect box;
    if (!imaging_lib::MeasureSmoothText(engine.text, page.width, page.height, text, &engine.font, mode, rect, box) ||
        box.empty())
        return;
    std::uint8_t* image = page.processing.src32.data();
    if (smooth) {
        // Black behind transparent pixels, so soft edges over them darken toward nothing but the text's colour.
        eachBoxRow(image, page.width, box, [](std::uint8_t* row, std::size_t n) {
            setColorWhereTransparent(row, n, 0, 0, 0);
            premultiplyRGBA32(row, n);
        });
    }
    if (!imaging_lib::DrawSmoothTextOnRGBA2(engine.text, image, page.width, page.height, page.width * 4, text,
                                            &engine.font, mode, rect, 0, 0, colour))
        return;
    if (smooth) eachBoxRow(image, page.width, box, [](std::uint8_t* row, std::size_t n) { unpremultiplyRGBA32(row, n); });
    loadRGBA32IntoLayer(page, *layer, image + (std::size_t(box.top) * std::size_t(page.width) + std::size_t(box.left)) * 4,
                        page.width * 4, box.left, box.top, box.right - box.left, box.bottom - box.top, true);
}

std::int32_t chooseFont(EngineState& engine) {
    std::uint32_t error = 0;
    const std::int32_t chosen =
        platform::chooseFont(engine.page.ownerWindow, engine.font, kScreenFonts | kInitFromRecord, error);
    if (chosen != 0 || error == 0) return chosen;
    setLastError(fontErrorText(error));
    engine.font = platform::LogFontA{};
    return platform::chooseFont(engine.page.ownerWindow, engine.font, kScreenFonts, error);
}

}  // namespace plr
