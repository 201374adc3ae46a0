// PDF documents of picture files: one picture a page at 96 pixels per
// inch inside a 20-pixel border of grey 196; a slide show opens full screen
// and shows each page 4 seconds, turning with a 1-second wipe.
#include <cstdio>

#include "engine/devices.h"
#include "exchange/image_files.h"
#include "exchange/pdf_document.h"

namespace plr {
namespace {

constexpr PdfSlideShow kSlideShow{true, 9, 1, 4};

}  // namespace

void addPdfPicture(const char* path) {
    if (path && *path) devices().pdfPictures.emplace_back(path);
}

bool makePdf(const char* output, bool slideShow) {
    // The collection is forgotten whatever happens, as after every document.
    std::vector<std::string> pictures;
    pictures.swap(devices().pdfPictures);
    if (!output || !*output) return false;
    PdfLayout layout;
    if (slideShow) layout.slideShow = kSlideShow;
    PdfBuilder pdf;
    beginPdf(pdf, layout);
    std::vector<const std::string*> converted;
    for (const std::string& path : pictures) {
        formats::RgbaImage picture;
        MetafileCanvas canvas;
        canvas.background[0] = canvas.background[1] = canvas.background[2] = 255;
        // A picture that cannot be read is left out (and left alone).
        if (!readPictureFile(path.c_str(), canvas, picture)) continue;
        if (addPdfPage(pdf, picture.pixels.data(), picture.width, picture.height)) converted.push_back(&path);
    }
    if (converted.empty()) return false;
    finishPdf(pdf);
    std::FILE* f = std::fopen(output, "wb");
    if (!f) return false;
    const bool written = std::fwrite(pdf.bytes.data(), 1, pdf.bytes.size(), f) == pdf.bytes.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(output);
        return false;
    }
    // The pictures were handed over to be converted: once they are safely in
    // the document, they go.
    for (const std::string* path : converted) std::remove(path->c_str());
    return true;
}

}  // namespace plr
