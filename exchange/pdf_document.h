#pragma once
// A PDF 1.4 document of pictures, one picture a page: each page is the
// picture at the layout's resolution inside a border of the border colour.
// Pictures are stored as deflate-compressed RGB image objects; the
// cross-reference table is written at the end. A slide show opens full
// screen and turns its pages by itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plr {

struct PdfSlideShow {
    bool on = false;
    std::int32_t transition = 0;         // index into the transition styles (pdf_document.cpp)
    std::int32_t transitionSeconds = 0;  // how long a transition takes
    std::int32_t pageSeconds = 0;        // how long a page shows before the next
};

struct PdfLayout {
    std::int32_t dpi = 96;                                  // picture pixels per inch
    std::int32_t border[4] = {20, 20, 20, 20};              // left, top, right, bottom, in picture pixels
    std::uint8_t borderColour[3] = {196, 196, 196};
    PdfSlideShow slideShow;
};

// Where a picture lands on its page, in points (1/72 inch), the origin at
// the page's bottom left.
struct PdfPageBox {
    double pageWidth = 0, pageHeight = 0;
    double x = 0, y = 0, width = 0, height = 0;
};
PdfPageBox pdfPageBox(const PdfLayout& layout, std::int32_t width, std::int32_t height) noexcept;

// The document being built, in memory.
struct PdfBuilder {
    PdfLayout layout;
    std::string bytes;
    std::vector<std::size_t> offsets;  // object number - 1 -> its offset in bytes
    std::vector<std::size_t> pages;    // page object numbers
};

void beginPdf(PdfBuilder& pdf, const PdfLayout& layout);
// Appends a page showing the RGBA32 picture (rows top to bottom), its
// transparency laid over white. False (nothing added) when the size is not
// positive or compression fails.
bool addPdfPage(PdfBuilder& pdf, const std::uint8_t* rgba, std::int32_t width, std::int32_t height);
// Writes the page tree, the catalogue, the cross-reference table and the
// trailer. The document needs at least one page.
void finishPdf(PdfBuilder& pdf);

}  // namespace plr
