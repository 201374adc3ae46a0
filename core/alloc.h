#pragma once
// The engine's heap. Every block the engine owns comes from here, so that
// tests can count live blocks (leak checks) and make the Nth allocation fail
// (failure-path checks). Allocation returns null on exhaustion; it never throws.
#include <cstddef>
#include <cstdint>

namespace plr::mem {

// 64-byte aligned block of `bytes` bytes, or null. A request of 0 bytes still
// returns a distinct block so that "has pixels" stays a null test.
void* allocate(std::size_t bytes) noexcept;
void release(void* block) noexcept;
// The same, for a block the caller is about to write from end to end (a
// decoded picture): fresh memory from the system is made present in one go
// rather than a page fault at a time; a kept block already is.
void* allocateToFill(std::size_t bytes) noexcept;

// Large blocks (layer planes, snapshots, pictures) are not handed back to the
// system at once: the last few released are kept, already faulted in, and
// serve the next request of about their size. On a virtual machine the first
// touch of fresh memory costs several times a copy of it, and whole-page work
// (turning every layer, an undo snapshot per stroke, reading one picture after
// another) releases and asks for planes of the same size again and again.
// Kept blocks count in neither live figure; when memory runs short they are
// given back before a request fails.
inline constexpr std::size_t kRetainFromBytes = std::size_t{8} << 20;
inline constexpr int kRetainedBlocks = 2;
// A 32-bit process has little address space to spare: it keeps less.
inline constexpr std::size_t kRetainedBytesAtMost = sizeof(void*) >= 8 ? std::size_t{1} << 30 : std::size_t{1} << 27;
// Gives every kept block back to the system (a page deleted, the engine
// reset or shut down); returns how many bytes that was.
std::size_t releaseRetained() noexcept;
std::size_t retainedBytes() noexcept;

struct Stats {
    std::int64_t liveBlocks = 0;
    std::int64_t liveBytes = 0;
    std::uint64_t allocations = 0;  // successful and failed requests since start
};
Stats stats() noexcept;

// Test-only: the `nth` allocation request from now (1 = the next one) and the
// `count` - 1 requests after it fail. nth = 0 switches injection off.
void injectFailure(std::uint64_t nth, std::uint64_t count = 1) noexcept;
// Test-only: true while an injected failure is still pending.
bool failurePending() noexcept;

}  // namespace plr::mem
