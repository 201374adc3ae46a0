#pragma once
// The system's movie-file service: one AVI file holding one video stream,
// driven in the order a movie writer needs it (raw stream, compression
// choice, compressed stream with its format, key frames).
#include <cstdint>
#include <memory>

namespace plr::platform {

// The raw video stream's header: one frame lasts `scale` / `rate` seconds.
struct MovieStreamSetup {
    std::uint32_t scale = 0;
    std::uint32_t rate = 1000;
    std::uint32_t suggestedBufferSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// An open movie file. Destroying it releases its streams and closes the file.
class MovieFile {
public:
    virtual ~MovieFile() = default;
    // Makes the raw video stream. False on failure.
    virtual bool createStream(const MovieStreamSetup& setup) = 0;
    // Lets the user choose the compression, the dialog owned by `owner`.
    // False when the choice was cancelled.
    virtual bool chooseCompression(void* owner) = 0;
    // Makes the compressed stream from the choice and gives it the frame
    // format: a BITMAPINFOHEADER followed by its colour table.
    virtual bool makeCompressedStream(const std::uint8_t* format, std::uint32_t formatBytes) = 0;
    // Writes one key frame at `index`: the frame's pixel bits.
    virtual bool writeFrame(std::int32_t index, const std::uint8_t* bits, std::uint32_t bytes) = 0;
};

// Opens (creating or truncating) an AVI file for writing.
//   Windows: the AVI file services of AVIFIL32.dll, loaded at run time; null
//     when the library is missing or the file cannot be created. The
//     compression choice is the system's video-compression dialog.
//   portable: null; the system has no such service (see systemMovieFiles).
using MovieFileOpener = std::unique_ptr<MovieFile> (*)(const char* path);
std::unique_ptr<MovieFile> openSystemMovieFile(const char* path);
// True where openSystemMovieFile is the system's service (Windows).
bool systemMovieFiles() noexcept;

}  // namespace plr::platform
