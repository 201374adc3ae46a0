#pragma once
// Files read a piece at a time, for the engine's own readers: the header
// first, then the pixel rows a chunk at a time straight into the picture
// being built, so that a large file never needs a heap copy of its own.
// Every read is exact: a file that ends early (or shrinks while it is
// read) makes the read fail, never hands out bytes it does not have.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "core/block.h"

namespace plr::formats {

class FileReader {
public:
    explicit FileReader(const char* path) noexcept;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader();

    bool ok() const noexcept { return f_ != nullptr; }
    // The file's length when it was opened.
    std::uint64_t size() const noexcept { return size_; }
    // Exactly n bytes from `offset` into dst; false when the file has fewer.
    bool readAt(std::uint64_t offset, void* dst, std::size_t n) noexcept;
    // Bytes [offset, offset + n) into `data` (engine heap); false, `data`
    // empty, when they are not all there or memory runs out.
    bool readRange(std::uint64_t offset, std::size_t n, Block<std::uint8_t>& data) noexcept;

private:
    std::FILE* f_ = nullptr;
    std::uint64_t size_ = 0;
};

// `rows` rows of `stride` bytes stored back to back from `offset`, handed
// out in file order. A chunk of whole rows (about 256 KB, small enough to
// stay in the processor's cache until it is converted) is read at a time.
class StoredRows {
public:
    // False when memory for the chunk runs out.
    bool open(FileReader& file, std::uint64_t offset, std::size_t stride, std::size_t rows) noexcept;
    // The next row, or null when the file no longer has it.
    const std::uint8_t* next() noexcept;

private:
    FileReader* file_ = nullptr;
    std::uint64_t offset_ = 0;
    std::size_t stride_ = 0, rowsLeft_ = 0, chunkRows_ = 0, inChunk_ = 0, used_ = 0;
    Block<std::uint8_t> chunk_;
};

}  // namespace plr::formats
