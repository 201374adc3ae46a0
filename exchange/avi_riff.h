#pragma once
// The bytes of an uncompressed AVI 1.0 file with one video stream: the
// RIFF header lists (main header, stream header, stream format), the
// 'movi' list of '00db' frame chunks and the 'idx1' index. Pure functions
// over bytes; the file writer (avi_file.h) puts them on disk.
#include <cstdint>

namespace plr::avi {

// What the headers describe.
struct StreamHeader {
    std::uint32_t scale = 0;     // one frame lasts scale / rate seconds
    std::uint32_t rate = 1000;
    std::uint32_t suggestedBufferSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint8_t* format = nullptr;  // BITMAPINFOHEADER + colour table
    std::uint32_t formatBytes = 0;
    std::uint32_t frames = 0;
    std::uint32_t moviBytes = 0;  // the frame chunks in 'movi', headers and padding included
};

constexpr std::uint32_t kChunkHeaderBytes = 8;
constexpr std::uint32_t kIndexEntryBytes = 16;

// Bytes from the file's start to the first frame chunk.
std::uint32_t headerBytes(std::uint32_t formatBytes) noexcept;
// Writes headerBytes(h.formatBytes) bytes: 'RIFF' (its size counting the
// index of h.frames entries), 'hdrl', 'strl', 'strf' and the 'movi' list
// header.
void writeHeader(const StreamHeader& h, std::uint8_t* out) noexcept;
// A chunk's 8-byte header: four-character code, little-endian size.
void writeChunkHeader(const char (&fourcc)[5], std::uint32_t size, std::uint8_t* out) noexcept;
// The bytes a frame chunk of `dataBytes` takes in 'movi' (padded to even).
std::uint32_t frameChunkBytes(std::uint32_t dataBytes) noexcept;
// One 'idx1' entry for a key frame whose chunk starts `offset` bytes after
// the 'movi' code.
void writeIndexEntry(std::uint32_t offset, std::uint32_t dataBytes, std::uint8_t* out) noexcept;

}  // namespace plr::avi
