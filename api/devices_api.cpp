// Scanner, movie and PDF exports. The movie and PDF exports report nothing:
// a failure leaves the frame unwritten or the document unmade.
#include "api/export.h"
#include "engine/devices.h"

using namespace plr;

extern "C" {

int32_t PLR_IsTwain(void) noexcept {
    return guardedQuietly<int32_t>(0, [] { return scannerReady() ? 1 : 0; });
}

int32_t PLR_TwainSelectSource(void) noexcept {
    return guardedQuietly<int32_t>(0, [] { return selectScanner(engine()) ? 1 : 0; });
}

int32_t PLR_TwainAcquire(void) noexcept {
    return guardedExport<exported::PLR_TwainAcquire>([] { return acquireScan(engine()) ? 1 : 0; });
}

void* PLR_CreateAVI(const char* path, int32_t framePeriod) noexcept {
    return guardedQuietly<void*>(nullptr, [&] { return static_cast<void*>(createMovie(path, framePeriod)); });
}

void PLR_WriteAVI(const char* bmpPath) noexcept {
    guardedQuietly([&] { appendMovieBmp(engine(), bmpPath); });
}

void PLR_WriteAVI_RGB24(const uint8_t* rgb, int32_t width, int32_t height) noexcept {
    guardedQuietly([&] { appendMovieRGB24(engine(), rgb, width, height); });
}

int32_t PLR_CloseAVI(void) noexcept {
    closeMovie();
    return 0;
}

void PLR_I2PDF_Reset(void) noexcept { devices().pdfPictures.clear(); }

void PLR_I2PDF_AddImage(const char* path) noexcept {
    guardedQuietly([&] { addPdfPicture(path); });
}

void PLR_I2PDF_MakePDF(const char* outputPath) noexcept {
    guardedQuietly([&] { makePdf(outputPath, false); });
}

void PLR_I2PDF_MakePDFSlideshow(const char* outputPath) noexcept {
    guardedQuietly([&] { makePdf(outputPath, true); });
}

}  // extern "C"
