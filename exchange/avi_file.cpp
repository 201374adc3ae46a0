#include "exchange/avi_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "exchange/avi_riff.h"
#include "exchange/formats/byte_io.h"

namespace plr {
namespace {

// Bytes of one image in an uncompressed DIB format; 0 when the header is not one.
std::uint32_t dibImageBytes(const std::uint8_t* format, std::uint32_t formatBytes) noexcept {
    if (!format || formatBytes < 40 || formats::le32(format) < 40 || formats::le32(format) > formatBytes) return 0;
    const auto width = static_cast<std::int32_t>(formats::le32(format + 4));
    const auto height = static_cast<std::int32_t>(formats::le32(format + 8));
    const std::uint32_t bits = formats::le16(format + 14);
    const std::uint32_t compression = formats::le32(format + 16);
    if (compression != 0 || width <= 0 || height == 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return 0;
    const std::uint64_t row = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    const std::uint64_t bytes = row * rows;
    return bytes > 0x7FFFFFFFu ? 0 : static_cast<std::uint32_t>(bytes);
}

class RiffMovieFile final : public platform::MovieFile {
public:
    explicit RiffMovieFile(std::FILE* f) : file_(f) {}
    ~RiffMovieFile() override {
        try {
            finish();
        } catch (...) {
            // Out of memory for the closing headers: the file stays incomplete.
        }
        if (file_) std::fclose(file_);
    }

    bool createStream(const platform::MovieStreamSetup& setup) override {
        if (haveStream_) return false;
        setup_ = setup;
        haveStream_ = true;
        return true;
    }
    bool chooseCompression(void*) override { return haveStream_; }
    bool makeCompressedStream(const std::uint8_t* format, std::uint32_t formatBytes) override {
        if (!haveStream_ || !format_.empty()) return false;
        imageBytes_ = dibImageBytes(format, formatBytes);
        if (imageBytes_ == 0) return false;
        format_.assign(format, format + formatBytes);
        // Room for the headers; they are written with their final counts at the end.
        std::vector<std::uint8_t> header(avi::headerBytes(formatBytes));
        return writeAll(header.data(), header.size());
    }
    bool writeFrame(std::int32_t index, const std::uint8_t* bits, std::uint32_t bytes) override {
        if (format_.empty() || !bits || bytes != imageBytes_ || index != static_cast<std::int32_t>(frames_))
            return false;
        const std::uint32_t chunk = avi::frameChunkBytes(bytes);
        if (moviBytes_ > 0x7FFF0000u - chunk) return false;  // the 32-bit RIFF sizes stay sound
        std::uint8_t head[avi::kChunkHeaderBytes];
        avi::writeChunkHeader("00db", bytes, head);
        const std::uint8_t pad = 0;
        if (!writeAll(head, sizeof head) || !writeAll(bits, bytes) || ((bytes & 1) && !writeAll(&pad, 1)))
            return false;
        moviBytes_ += chunk;
        ++frames_;
        return true;
    }

private:
    bool writeAll(const void* p, std::size_t n) {
        if (std::fwrite(p, 1, n, file_) == n) return true;
        broken_ = true;
        return false;
    }

    // Index and headers: a movie without a format (no frame ever prepared)
    // still ends as a well-formed file with a stream of no frames.
    void finish() {
        if (!broken_) {
            if (format_.empty()) {
                // The headers need a format; describe an empty 1 x 1 frame.
                std::uint8_t info[40] = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24};
                format_.assign(info, info + sizeof info);
                std::vector<std::uint8_t> header(avi::headerBytes(40));
                writeAll(header.data(), header.size());
            }
            std::uint8_t head[avi::kChunkHeaderBytes];
            avi::writeChunkHeader("idx1", frames_ * avi::kIndexEntryBytes, head);
            writeAll(head, sizeof head);
            std::uint32_t offset = 4;  // counted from the 'movi' code
            for (std::uint32_t i = 0; i < frames_ && !broken_; ++i) {
                std::uint8_t entry[avi::kIndexEntryBytes];
                avi::writeIndexEntry(offset, imageBytes_, entry);
                writeAll(entry, sizeof entry);
                offset += avi::frameChunkBytes(imageBytes_);
            }
            avi::StreamHeader h;
            h.scale = setup_.scale;
            h.rate = setup_.rate;
            h.suggestedBufferSize = setup_.suggestedBufferSize;
            h.width = setup_.width;
            h.height = setup_.height;
            h.format = format_.data();
            h.formatBytes = static_cast<std::uint32_t>(format_.size());
            h.frames = frames_;
            h.moviBytes = moviBytes_;
            std::vector<std::uint8_t> header(avi::headerBytes(h.formatBytes));
            avi::writeHeader(h, header.data());
            if (std::fseek(file_, 0, SEEK_SET) == 0) writeAll(header.data(), header.size());
        }
        std::fclose(file_);
        file_ = nullptr;
    }

    std::FILE* file_;
    platform::MovieStreamSetup setup_;
    bool haveStream_ = false;
    bool broken_ = false;
    std::vector<std::uint8_t> format_;
    std::uint32_t imageBytes_ = 0;
    std::uint32_t frames_ = 0;
    std::uint32_t moviBytes_ = 0;
};

}  // namespace

std::unique_ptr<platform::MovieFile> openRiffMovieFile(const char* path) {
    if (!path || !*path) return nullptr;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return nullptr;
    return std::make_unique<RiffMovieFile>(f);
}

}  // namespace plr
