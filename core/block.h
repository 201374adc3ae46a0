#pragma once
// Owned, typed, 64-byte aligned block from the engine heap. Move-only; an
// empty block is "none" (a slot without pixels, a texture not built).
#include <cstddef>
#include <utility>

#include "core/alloc.h"

namespace plr {

template <class T>
class Block {
public:
    Block() = default;
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    Block(Block&& o) noexcept : p_(std::exchange(o.p_, nullptr)), n_(std::exchange(o.n_, 0)) {}
    Block& operator=(Block&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
            n_ = std::exchange(o.n_, 0);
        }
        return *this;
    }
    ~Block() { reset(); }

    // Releases the old contents, then allocates `count` elements (contents
    // undefined). False, and the block empty, when the heap says no.
    [[nodiscard]] bool allocate(std::size_t count) noexcept { return obtain(count, mem::allocate); }
    // The same for contents about to be written end to end (mem::allocateToFill).
    [[nodiscard]] bool allocateToFill(std::size_t count) noexcept { return obtain(count, mem::allocateToFill); }
    void reset() noexcept {
        mem::release(p_);
        p_ = nullptr;
        n_ = 0;
    }
    void swap(Block& o) noexcept {
        std::swap(p_, o.p_);
        std::swap(n_, o.n_);
    }

    T* data() noexcept { return p_; }
    const T* data() const noexcept { return p_; }
    std::size_t size() const noexcept { return n_; }
    std::size_t bytes() const noexcept { return n_ * sizeof(T); }
    bool empty() const noexcept { return p_ == nullptr; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T& operator[](std::size_t i) noexcept { return p_[i]; }
    const T& operator[](std::size_t i) const noexcept { return p_[i]; }

private:
    bool obtain(std::size_t count, void* (*from)(std::size_t) noexcept) noexcept {
        reset();
        if (count > SIZE_MAX / sizeof(T)) return false;
        p_ = static_cast<T*>(from(count * sizeof(T)));
        if (!p_) return false;
        n_ = count;
        return true;
    }

    T* p_ = nullptr;
    std::size_t n_ = 0;
};

}  // namespace plr
