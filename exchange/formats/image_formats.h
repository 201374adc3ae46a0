#pragma once
// Image files in and out: one description per file format, one table of
// them, and the lookups the engine reads and writes files through. A file is
// recognised by its first bytes, never by its name; the extension lookup
// serves callers that choose a format for a name (saving, file dialogs).
//
// Each format lives in its own file (format_<name>.cpp) with its sniffer,
// extensions, reader, dimension query and writers; PNG, JPEG, TIFF and GIF go
// through libpng, libjpeg-turbo, libtiff and giflib, BMP, TGA, PCX, PSD and
// the metafiles through our own bounded parsers. Readers are parsers of
// outside data: every header field is checked against the bytes the file has
// before it is used. BMP, TGA and PSD read their headers first and take
// uncompressed rows from the file a chunk at a time straight into the
// picture (file_pieces.h); run-length data, PCX and metafiles are read whole.
//
// Size cap: a file whose header asks for more than kMaxDecodeSide pixels on a
// side or kMaxDecodePixels pixels in all is refused before anything is
// allocated, so a hostile header cannot make the engine ask for gigabytes.
// 32768 x 32768 covers the page limit of 10000 x 10000 with room to spare;
// 2^27 pixels (512 MB of RGBA) is the most one decoded picture may take.
//
// Truncated files: PNG, TIFF and GIF are refused, as their libraries report
// them; JPEG gives what libjpeg-turbo decodes (the rows present, the rest
// filled by the library). Our own readers refuse uncompressed pixel data that
// ends early; run-length streams that end early (BMP RLE, TGA RLE, PCX, PSD
// PackBits) keep the pixels decoded so far, the rest as each format's file
// states. Metafiles draw the bitmap records that are whole.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "core/block.h"

namespace plr::formats {

constexpr std::int32_t kMaxDecodeSide = 32768;
#if defined(PALORAN_DECODE_PIXELS_AT_MOST)  // fuzzing builds decode smaller pictures
constexpr std::uint64_t kMaxDecodePixels = PALORAN_DECODE_PIXELS_AT_MOST;
#else
constexpr std::uint64_t kMaxDecodePixels = std::uint64_t{1} << 27;
#endif
// How many leading bytes the sniffers may look at (an EMF's signature sits at 40,
// the PCX plane count at 65).
constexpr std::size_t kSniffBytes = 128;

enum class FileType { Unknown, Bmp, Jpeg, Png, Tiff, Gif, Tga, Pcx, Psd, Emf, Wmf };

// A decoded picture: width x height pixels of red, green, blue, alpha bytes,
// rows top to bottom, row length width * 4. Pixels come from the engine heap.
struct RgbaImage {
    Block<std::uint8_t> pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Set when the picture's pixel memory was refused (not a fault of the file).
    bool outOfMemory = false;
};

// Pixels handed to a writer: `channels` 3 (red, green, blue) or 4 (plus
// alpha) bytes a pixel, rows top to bottom, `stride` bytes apart.
struct ImageView {
    const std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;
    std::int32_t channels = 4;
    const std::uint8_t* row(std::int32_t y) const noexcept {
        return pixels + static_cast<std::ptrdiff_t>(y) * stride;
    }
};

// A resolution as a file stores it: the value and the unit code of the
// format's own field (see kUnit* below); unit < 0 means "write none".
struct Resolution {
    double x = 0;
    double y = 0;
    std::int32_t unit = -1;
    bool present() const noexcept { return unit >= 0 && x > 0 && y > 0; }
};

// Unit codes of the dimension queries (ImageInfo::unit) and of the
// resolution records the writers take, per format:
//   BMP   record: pixels per metre (unit ignored); query: 2 = per metre
//   JPEG  0 = aspect only, 1 = per inch, 2 = per centimetre (JFIF's codes)
//   PNG   0 = aspect only, 1 = per metre (pHYs's codes)
//   TIFF  1 = none, 2 = per inch, 3 = per centimetre (ResolutionUnit's codes)
//   PSD   2 = per inch, 3 = per centimetre
//   PCX   query and record: 1 = per inch
struct ImageInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;
    double resolution = 0;  // horizontal
    std::int32_t unit = 0;  // 0: no resolution stored
};

// JPEG encoder settings.
enum class DctMethod { Integer = 0, FastInteger = 1, Float = 2, Best = 3 };  // Best: the exact integer one
struct JpegSettings {
    std::int32_t quality = 75;  // 1..100
    DctMethod dct = DctMethod::Integer;
    std::int32_t smoothing = 0;                 // 0..100
    std::int32_t sampling[3][2] = {{2, 2}, {1, 1}, {1, 1}};  // h, v per component (Y, Cb, Cr)
};

struct WriteSettings {
    Resolution resolution;
    JpegSettings jpeg;
    bool dither = false;  // GIF: Floyd-Steinberg error diffusion while mapping to the palette
};

// A writer fed one row at a time (PNG, BMP, JPEG, TGA, TIFF): rows in the
// format's file order (BMP bottom row first, all others top row first).
// `finish` completes the file; destroying an unfinished writer leaves a
// partial file behind.
class RowWriter {
public:
    virtual ~RowWriter() = default;
    virtual bool next(const std::uint8_t* row) noexcept = 0;
    virtual bool finish() noexcept = 0;
};

// One file format. `read` decodes the file's first picture into `out`
// (replacing its contents): true on success; false, with `out` empty or
// partly filled, for a missing, truncated, corrupt or oversized file or when
// memory runs out. `info` reads the size and resolution without decoding.
// `write` writes 3- or 4-channel pixels. `openRows` opens a row writer
// (`channels` 3 or 4). Null slots: the format has no such operation.
struct ImageFormat {
    FileType type;
    std::string_view name;
    std::string_view extensions[4];  // lower case, without the dot; unused slots empty
    bool (*isA)(const std::uint8_t* bytes, std::size_t length) noexcept;
    bool (*read)(const char* path, RgbaImage& out) noexcept;
    bool (*info)(const char* path, ImageInfo& out) noexcept;
    bool (*write)(const char* path, const ImageView& image, const WriteSettings& settings) noexcept;
    std::unique_ptr<RowWriter> (*openRows)(const char* path, std::int32_t width, std::int32_t height,
                                           std::int32_t channels, const WriteSettings& settings) noexcept;
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
// The format of a type, or null.
const ImageFormat* formatOfType(FileType type) noexcept;

// The file's type from its first bytes; Unknown when unreadable.
FileType sniffFile(const char* path) noexcept;

// Decodes the first picture of the file, whose format its first bytes tell.
// True on success; false, with `out` empty, when the file is missing, of no
// known format or its reader fails.
bool readImage(const char* path, RgbaImage& out) noexcept;
// Size and resolution of the file, whose format its first bytes tell.
bool readImageInfo(const char* path, ImageInfo& out) noexcept;
// Writes through the format's whole-picture writer.
bool writeImage(const ImageFormat& format, const char* path, const ImageView& image,
                const WriteSettings& settings) noexcept;

// Feeds a picture to a row writer, top row first (bottom row first when
// `bottomUp`), and finishes it. False when the writer is null or fails.
bool writeByRows(std::unique_ptr<RowWriter> rows, const ImageView& image, bool bottomUp) noexcept;

// Renders a metafile's bitmap records at width x height (its own frame size
// when either is 0 or less) over an opaque background of `background`
// (red, green, blue). True on success.
bool renderMetafile(const char* path, std::int32_t width, std::int32_t height, const std::uint8_t background[3],
                    RgbaImage& out) noexcept;

// True when width x height is positive and within the cap above.
bool decodeSizeAllowed(std::int64_t width, std::int64_t height) noexcept;
// Allocates out.pixels for width x height RGBA after the size check.
bool allocateRgba(RgbaImage& out, std::int64_t width, std::int64_t height) noexcept;
// The whole file into `data` (engine heap), refusing files larger than any
// picture within the cap could need. False when unreadable or empty.
bool readFileBytes(const char* path, Block<std::uint8_t>& data) noexcept;

// The formats, one per file.
extern const ImageFormat kPngFormat;
extern const ImageFormat kJpegFormat;
extern const ImageFormat kTiffFormat;
extern const ImageFormat kGifFormat;
extern const ImageFormat kBmpFormat;
extern const ImageFormat kTgaFormat;
extern const ImageFormat kPcxFormat;
extern const ImageFormat kPsdFormat;
extern const ImageFormat kEmfFormat;
extern const ImageFormat kWmfFormat;

}  // namespace plr::formats
