#pragma once
// The devices pictures leave and enter by besides files: the scanner, the
// movie writer and the PDF document being collected. Each works on the
// engine state it is given.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "exchange/movie_writer.h"
#include "platform/movie_file.h"

namespace plr {

struct EngineState;

// Part of the engine state (EngineState::devices): reset with it.
struct Devices {
    std::string scannerSource;             // the source chosen last (portable: a SANE device name)
    std::unique_ptr<MovieWriter> movie;    // the open movie; null when none
    platform::MovieFileOpener movieFileOpener = nullptr;  // null: the system's service, else the engine's writer
    std::vector<std::string> pdfPictures;  // picture files for the next document, in order
};

// The engine state's devices.
Devices& devices() noexcept;

// Scanner: the answers of PLR_IsTwain, PLR_TwainSelectSource and
// PLR_TwainAcquire (the picture lands in the transfer image).
bool scannerReady();
bool selectScanner(EngineState& e);
bool acquireScan(EngineState& e);

// Movie: a new movie replaces (and closes) one still open. The result is
// the writer, null when the file cannot be created.
MovieWriter* createMovie(const char* path, std::int32_t framePeriod);
// Appends a BMP file's picture / host RGB24 pixels as the next frame.
void appendMovieBmp(EngineState& e, const char* path);
void appendMovieRGB24(EngineState& e, const std::uint8_t* rgb, std::int32_t width, std::int32_t height);
void closeMovie() noexcept;

// PDF: pictures collected by path; making the document writes one page a
// picture (a slide show when asked), deletes the pictures it converted and
// forgets the collection. False when no document was written.
void addPdfPicture(const char* path);
bool makePdf(const char* output, bool slideShow);

}  // namespace plr
