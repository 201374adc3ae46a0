#include "exchange/formats/file_pieces.h"

namespace plr::formats {

FileReader::FileReader(const char* path) noexcept {
    if (!path || !*path) return;
    f_ = std::fopen(path, "rb");
    if (!f_) return;
    // Reads are large or few: the C library's buffer would only add a copy.
    std::setvbuf(f_, nullptr, _IONBF, 0);
    const long end = std::fseek(f_, 0, SEEK_END) == 0 ? std::ftell(f_) : -1;
    if (end < 0) {
        std::fclose(f_);
        f_ = nullptr;
        return;
    }
    size_ = static_cast<std::uint64_t>(end);
}

FileReader::~FileReader() {
    if (f_) std::fclose(f_);
}

bool FileReader::readAt(std::uint64_t offset, void* dst, std::size_t n) noexcept {
    if (!f_ || offset > size_ || n > size_ - offset) return false;
    if (n == 0) return true;
    // The length fits a long (ftell gave it), so does every offset within it.
    return std::fseek(f_, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(dst, 1, n, f_) == n;
}

bool FileReader::readRange(std::uint64_t offset, std::size_t n, Block<std::uint8_t>& data) noexcept {
    data.reset();
    if (!f_ || offset > size_ || n > size_ - offset) return false;
    if (!data.allocate(n) || !readAt(offset, data.data(), n)) {
        data.reset();
        return false;
    }
    return true;
}

bool StoredRows::open(FileReader& file, std::uint64_t offset, std::size_t stride, std::size_t rows) noexcept {
    constexpr std::size_t kChunkBytes = 256 * 1024;
    file_ = &file;
    offset_ = offset;
    stride_ = stride;
    rowsLeft_ = rows;
    chunkRows_ = stride && stride < kChunkBytes ? kChunkBytes / stride : 1;
    if (chunkRows_ > rows) chunkRows_ = rows ? rows : 1;
    inChunk_ = used_ = 0;
    return chunk_.allocate(chunkRows_ * stride);
}

const std::uint8_t* StoredRows::next() noexcept {
    if (used_ == inChunk_) {
        if (!rowsLeft_) return nullptr;
        const std::size_t n = rowsLeft_ < chunkRows_ ? rowsLeft_ : chunkRows_;
        if (!file_->readAt(offset_, chunk_.data(), n * stride_)) {
            rowsLeft_ = 0;
            return nullptr;
        }
        offset_ += n * stride_;
        rowsLeft_ -= n;
        inChunk_ = n;
        used_ = 0;
    }
    return chunk_.data() + used_++ * stride_;
}

}  // namespace plr::formats
