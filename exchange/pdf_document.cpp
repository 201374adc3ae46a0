#include "exchange/pdf_document.h"

#include <zlib.h>

#include <cstdio>
#include <iterator>

namespace plr {
namespace {

// Page transitions a slide show can use, by index; out of range: replace.
constexpr const char* kTransitions[] = {
    "/S /R",
    "/S /Split /Dm /H /M /O",
    "/S /Split /Dm /H /M /I",
    "/S /Split /Dm /V /M /O",
    "/S /Split /Dm /V /M /I",
    "/S /Blinds /Dm /H",
    "/S /Blinds /Dm /V",
    "/S /Box /M /O",
    "/S /Box /M /I",
    "/S /Wipe /Di 0",
    "/S /Dissolve",
    "/S /Glitter /Di 0",
};

void append(std::string& out, const char* format, auto... values) {
    char text[256];
    const int n = std::snprintf(text, sizeof text, format, values...);
    if (n > 0) out.append(text, static_cast<std::size_t>(n) < sizeof text ? static_cast<std::size_t>(n) : sizeof text - 1);
}

// Starts object `number` (1-based) at the current end of the document.
void beginObject(PdfBuilder& pdf, std::size_t number) {
    if (pdf.offsets.size() < number) pdf.offsets.resize(number, 0);
    pdf.offsets[number - 1] = pdf.bytes.size();
    append(pdf.bytes, "%zu 0 obj\n", number);
}

std::size_t newObject(PdfBuilder& pdf) {
    const std::size_t number = pdf.offsets.size() + 1;
    beginObject(pdf, number);
    return number;
}

// The RGB rows of the picture over white, deflated.
bool deflatePicture(const std::uint8_t* rgba, std::int32_t width, std::int32_t height, std::string& out) {
    z_stream z{};
    if (deflateInit(&z, 6) != Z_OK) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> row(rowBytes);
    std::vector<std::uint8_t> chunk(1 << 16);
    bool ok = true;
    for (std::int32_t y = 0; y < height && ok; ++y) {
        const std::uint8_t* s = rgba + static_cast<std::size_t>(y) * width * 4;
        for (std::int32_t x = 0; x < width; ++x, s += 4)
            for (int c = 0; c < 3; ++c)
                row[static_cast<std::size_t>(x) * 3 + c] =
                    static_cast<std::uint8_t>((s[c] * s[3] + 255 * (255 - s[3]) + 127) / 255);
        z.next_in = row.data();
        z.avail_in = static_cast<uInt>(rowBytes);
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        int r = Z_OK;
        do {
            z.next_out = chunk.data();
            z.avail_out = static_cast<uInt>(chunk.size());
            r = deflate(&z, flush);
            if (r == Z_STREAM_ERROR) ok = false;
            out.append(reinterpret_cast<const char*>(chunk.data()), chunk.size() - z.avail_out);
        } while (ok && (z.avail_out == 0 || (flush == Z_FINISH && r != Z_STREAM_END)));
    }
    deflateEnd(&z);
    return ok;
}

constexpr std::size_t kCatalogue = 1;
constexpr std::size_t kPageTree = 2;

}  // namespace

PdfPageBox pdfPageBox(const PdfLayout& l, std::int32_t width, std::int32_t height) noexcept {
    const double k = 72.0 / (l.dpi > 0 ? l.dpi : 96);
    PdfPageBox b;
    b.width = width * k;
    b.height = height * k;
    b.x = l.border[0] * k;
    b.y = l.border[3] * k;
    b.pageWidth = b.width + (l.border[0] + l.border[2]) * k;
    b.pageHeight = b.height + (l.border[1] + l.border[3]) * k;
    return b;
}

void beginPdf(PdfBuilder& pdf, const PdfLayout& layout) {
    pdf.layout = layout;
    pdf.bytes.assign("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    // The catalogue and the page tree come last, once the pages are known.
    pdf.offsets.assign(2, 0);
    pdf.pages.clear();
}

bool addPdfPage(PdfBuilder& pdf, const std::uint8_t* rgba, std::int32_t width, std::int32_t height) {
    if (!rgba || width <= 0 || height <= 0) return false;
    std::string image;
    if (!deflatePicture(rgba, width, height, image)) return false;
    const PdfPageBox box = pdfPageBox(pdf.layout, width, height);
    const std::uint8_t* c = pdf.layout.borderColour;
    std::string content;
    append(content, "%.4f %.4f %.4f rg 0 0 %.4f %.4f re f\n", c[0] / 255.0, c[1] / 255.0, c[2] / 255.0,
           box.pageWidth, box.pageHeight);
    append(content, "q %.4f 0 0 %.4f %.4f %.4f cm /Im0 Do Q\n", box.width, box.height, box.x, box.y);

    const std::size_t imageObject = newObject(pdf);
    append(pdf.bytes,
           "<< /Type /XObject /Subtype /Image /Width %d /Height %d /ColorSpace /DeviceRGB /BitsPerComponent 8 "
           "/Filter /FlateDecode /Length %zu >>\nstream\n",
           width, height, image.size());
    pdf.bytes += image;
    pdf.bytes += "\nendstream\nendobj\n";
    const std::size_t contentObject = newObject(pdf);
    append(pdf.bytes, "<< /Length %zu >>\nstream\n", content.size());
    pdf.bytes += content;
    pdf.bytes += "endstream\nendobj\n";
    const std::size_t pageObject = newObject(pdf);
    append(pdf.bytes,
           "<< /Type /Page /Parent %zu 0 R /MediaBox [0 0 %.4f %.4f] /Contents %zu 0 R "
           "/Resources << /XObject << /Im0 %zu 0 R >> >>",
           kPageTree, box.pageWidth, box.pageHeight, contentObject, imageObject);
    const PdfSlideShow& s = pdf.layout.slideShow;
    if (s.on) {
        const bool known = s.transition >= 0 && s.transition < static_cast<std::int32_t>(std::size(kTransitions));
        append(pdf.bytes, " /Dur %d /Trans << /Type /Trans %s /D %d >>", s.pageSeconds,
               kTransitions[known ? s.transition : 0], s.transitionSeconds);
    }
    pdf.bytes += " >>\nendobj\n";
    pdf.pages.push_back(pageObject);
    return true;
}

void finishPdf(PdfBuilder& pdf) {
    beginObject(pdf, kPageTree);
    pdf.bytes += "<< /Type /Pages /Kids [";
    for (std::size_t p : pdf.pages) append(pdf.bytes, " %zu 0 R", p);
    append(pdf.bytes, " ] /Count %zu >>\nendobj\n", pdf.pages.size());
    beginObject(pdf, kCatalogue);
    append(pdf.bytes, "<< /Type /Catalog /Pages %zu 0 R%s >>\nendobj\n", kPageTree,
           pdf.layout.slideShow.on ? " /PageMode /FullScreen" : "");
    const std::size_t xref = pdf.bytes.size();
    append(pdf.bytes, "xref\n0 %zu\n0000000000 65535 f \n", pdf.offsets.size() + 1);
    for (std::size_t offset : pdf.offsets) append(pdf.bytes, "%010zu 00000 n \n", offset);
    append(pdf.bytes, "trailer\n<< /Size %zu /Root %zu 0 R >>\nstartxref\n%zu\n%%%%EOF\n", pdf.offsets.size() + 1,
           kCatalogue, xref);
}

}  // namespace plr
