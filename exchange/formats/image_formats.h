#pragma once
// Image files in and out: one description per file format, one table of
// them, and the lookups the engine reads files through. A file is recognised
// by its first bytes, never by its name; the extension lookup serves callers
// that choose a format for a name (saving, file dialogs).
//
// Each format lives in its own file (format_<name>.cpp) with its sniffer,
// extensions and reader; PNG, JPEG, TIFF and GIF go through libpng,
// libjpeg-turbo, libtiff and giflib, BMP through our own bounded parser.
// Readers are parsers of outside data: every header field is checked against
// the bytes the file has before it is used.
//
// Size cap: a file whose header asks for more than kMaxDecodeSide pixels on a
// side or kMaxDecodePixels pixels in all is refused before anything is
// allocated, so a hostile header cannot make the engine ask for gigabytes.
// 32768 x 32768 covers the page limit of 10000 x 10000 with room to spare;
// 2^27 pixels (512 MB of RGBA) is the most one decoded picture may take.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/block.h"

namespace plr::formats {

constexpr std::int32_t kMaxDecodeSide = 32768;
constexpr std::uint64_t kMaxDecodePixels = std::uint64_t{1} << 27;
// How many leading bytes the sniffers may look at.
constexpr std::size_t kSniffBytes = 16;

enum class FileType { Unknown, Bmp, Jpeg, Png, Tiff, Gif };

// A decoded picture: width x height pixels of red, green, blue, alpha bytes,
// rows top to bottom, row length width * 4. Pixels come from the engine heap.
struct RgbaImage {
    Block<std::uint8_t> pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// One file format. `read` decodes the file's first picture into `out`
// (replacing its contents): true on success; false, with `out` empty or
// partly filled, for a missing, truncated, corrupt or oversized file or when
// memory runs out. `write` is null while the engine has no writer for the
// format.
struct ImageFormat {
    FileType type;
    std::string_view name;
    std::string_view extensions[4];  // lower case, without the dot; unused slots empty
    bool (*isA)(const std::uint8_t* bytes, std::size_t length) noexcept;
    bool (*read)(const char* path, RgbaImage& out) noexcept;
    bool (*write)(const char* path, const RgbaImage& image) noexcept;
};

// Every format the engine knows, in the order their sniffers are tried (the
// weakest signature last).
std::span<const ImageFormat* const> imageFormats() noexcept;

// The format whose sniffer accepts these leading bytes, or null.
const ImageFormat* formatOfBytes(const std::uint8_t* bytes, std::size_t length) noexcept;
// The format that owns the extension of `path` (the text after its last dot,
// compared case-insensitively; a bare extension with or without the dot
// works too), or null.
const ImageFormat* formatOfExtension(std::string_view path) noexcept;

// The file's type from its first bytes; Unknown when unreadable.
FileType sniffFile(const char* path) noexcept;

// Decodes the first picture of the file, whose format its first bytes tell.
// True on success; false, with `out` empty, when the file is missing, of no
// known format or its reader fails.
bool readImage(const char* path, RgbaImage& out) noexcept;

// True when width x height is positive and within the cap above.
bool decodeSizeAllowed(std::int64_t width, std::int64_t height) noexcept;
// Allocates out.pixels for width x height RGBA after the size check.
bool allocateRgba(RgbaImage& out, std::int64_t width, std::int64_t height) noexcept;

// The formats, one per file.
extern const ImageFormat kPngFormat;
extern const ImageFormat kJpegFormat;
extern const ImageFormat kTiffFormat;
extern const ImageFormat kGifFormat;
extern const ImageFormat kBmpFormat;

}  // namespace plr::formats
