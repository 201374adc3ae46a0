#pragma once
// The fuzzers' view of their input: a stream of choices. Every read takes
// the next bytes; once the input is used up every read gives 0, so any
// input, even an empty one, decodes to something definite.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace plr::fuzz {

class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) noexcept : p_(data), n_(size) {}

    bool empty() const noexcept { return n_ == 0; }
    std::size_t left() const noexcept { return n_; }
    std::uint8_t byte() noexcept {
        if (n_ == 0) return 0;
        --n_;
        return *p_++;
    }
    std::uint32_t u32() noexcept {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return v;
    }
    // 0 .. count - 1 (0 for count 0).
    std::uint32_t below(std::uint32_t count) noexcept {
        if (count == 0) return 0;
        return (count <= 256 ? byte() : u32()) % count;
    }
    template <class T, std::size_t N>
    const T& pick(const T (&table)[N]) noexcept {
        return table[below(static_cast<std::uint32_t>(N))];
    }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

// A scratch file of this process for inputs that must pass through a file:
// in /dev/shm where there is one, as every input is written and read back
// once and a disk folder made that round trip a large part of a run.
inline std::string scratchPath(const char* stem, const char* extension) {
    struct stat folder {};
    const bool memory = ::stat("/dev/shm", &folder) == 0 && S_ISDIR(folder.st_mode) && ::access("/dev/shm", W_OK) == 0;
    return std::string(memory ? "/dev/shm/" : "/tmp/") + stem + std::to_string(::getpid()) + extension;
}

}  // namespace plr::fuzz
