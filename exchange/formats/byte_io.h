#pragma once
// Bounded byte access for the engine's own file parsers and a buffered file
// sink for its own writers. Parsers read fields only through a Cursor or
// after checking the range themselves; a Cursor that runs past its end
// turns `ok` false and gives zeros from then on.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace plr::formats {

inline std::uint32_t le16(const std::uint8_t* p) noexcept { return p[0] | (p[1] << 8); }
inline std::uint32_t le32(const std::uint8_t* p) noexcept {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}
inline std::uint32_t be16(const std::uint8_t* p) noexcept { return (p[0] << 8) | p[1]; }
inline std::uint32_t be32(const std::uint8_t* p) noexcept {
    return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

struct Cursor {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool ok = true;

    std::size_t left() const noexcept { return at <= size ? size - at : 0; }
    bool has(std::size_t n) const noexcept { return ok && n <= left(); }
    // The next n bytes, or null (and ok false) when fewer remain.
    const std::uint8_t* take(std::size_t n) noexcept {
        if (!has(n)) {
            ok = false;
            return nullptr;
        }
        const std::uint8_t* p = data + at;
        at += n;
        return p;
    }
    bool skip(std::uint64_t n) noexcept {
        if (!ok || n > left()) return ok = false;
        at += static_cast<std::size_t>(n);
        return true;
    }
    bool seek(std::uint64_t to) noexcept {
        if (!ok || to > size) return ok = false;
        at = static_cast<std::size_t>(to);
        return true;
    }
    std::uint32_t u8() noexcept {
        const std::uint8_t* p = take(1);
        return p ? p[0] : 0;
    }
    std::uint32_t u16le() noexcept {
        const std::uint8_t* p = take(2);
        return p ? le16(p) : 0;
    }
    std::uint32_t u32le() noexcept {
        const std::uint8_t* p = take(4);
        return p ? le32(p) : 0;
    }
    std::uint32_t u16be() noexcept {
        const std::uint8_t* p = take(2);
        return p ? be16(p) : 0;
    }
    std::uint32_t u32be() noexcept {
        const std::uint8_t* p = take(4);
        return p ? be32(p) : 0;
    }
};

// A file written through a 64 KB buffer; every failure sticks in `ok`.
class FileSink {
public:
    explicit FileSink(const char* path) noexcept : f_(path ? std::fopen(path, "wb") : nullptr), ok_(f_ != nullptr) {}
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;
    ~FileSink() { close(); }

    bool ok() const noexcept { return ok_; }
    void put(const void* bytes, std::size_t n) noexcept {
        if (!ok_) return;
        const auto* b = static_cast<const std::uint8_t*>(bytes);
        if (n >= sizeof buf_) {
            flush();
            ok_ = ok_ && std::fwrite(b, 1, n, f_) == n;
            return;
        }
        if (used_ + n > sizeof buf_) flush();
        std::memcpy(buf_ + used_, b, n);
        used_ += n;
    }
    void u8(std::uint32_t v) noexcept {
        const std::uint8_t b = static_cast<std::uint8_t>(v);
        put(&b, 1);
    }
    void u16le(std::uint32_t v) noexcept {
        const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        put(b, 2);
    }
    void u32le(std::uint32_t v) noexcept {
        const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        put(b, 4);
    }
    void u16be(std::uint32_t v) noexcept {
        const std::uint8_t b[2] = {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
        put(b, 2);
    }
    void u32be(std::uint32_t v) noexcept {
        const std::uint8_t b[4] = {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
        put(b, 4);
    }
    void zeros(std::size_t n) noexcept {
        static const std::uint8_t z[64] = {};
        while (n) {
            const std::size_t k = n < sizeof z ? n : sizeof z;
            put(z, k);
            n -= k;
        }
    }
    // Flushes and closes; true when every write reached the file.
    bool close() noexcept {
        if (!f_) return false;
        flush();
        ok_ = (std::fclose(f_) == 0) && ok_;
        f_ = nullptr;
        return ok_;
    }

private:
    void flush() noexcept {
        if (used_ && ok_) ok_ = std::fwrite(buf_, 1, used_, f_) == used_;
        used_ = 0;
    }
    std::FILE* f_;
    bool ok_;
    std::size_t used_ = 0;
    std::uint8_t buf_[65536];
};

}  // namespace plr::formats
