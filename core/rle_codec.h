#pragma once
// Run-length line codecs (byte-exact; the host keeps these lines in its
// documents):
//   RGBA32 run: 5 bytes, count 1..255 then red, green, blue, alpha high bytes;
//   G8 run:     2 bytes, count 1..255 then the value's high byte.
// A line is records only, no header, terminator or padding. Runs are maximal:
// a new record starts when the 8-bit form of the next pixel differs or the run
// holds 255 pixels.
//
// 16-bit data is addressed as little-endian bytes, so host buffers of any
// alignment work.
#include <cstddef>
#include <cstdint>

namespace plr {

constexpr std::size_t kRGBA32RunBytes = 5;
constexpr std::size_t kG8RunBytes = 2;
constexpr std::size_t kMaxRun = 255;

// Encode n RGBA64 pixels / n 16-bit values; the result is the number of bytes
// written (at most 5n / 2n; 0 for n = 0).
std::size_t encodeRGBA32Runs(const std::uint8_t* src, std::size_t n, std::uint8_t* dst) noexcept;
std::size_t encodeG8Runs(const std::uint8_t* src, std::size_t n, std::uint8_t* dst) noexcept;

// Decode until n pixels / values are written, reading at most srcBytes bytes
// of whole records. A record's count is cut to the end of the line; a record
// with count 0 writes nothing. The result is the number of bytes read. When
// the input ends first, the remaining destination is left as it was.
std::size_t decodeRGBA32Runs(const std::uint8_t* src, std::size_t srcBytes, std::uint8_t* dst, std::size_t n) noexcept;
std::size_t decodeG8Runs(const std::uint8_t* src, std::size_t srcBytes, std::uint8_t* dst, std::size_t n) noexcept;

// How much a decoder given only a line length may read: a line of n pixels
// never needs more than n records (the compressor's largest output), so that
// is the budget. Records of count 0 use it up like any other: it keeps a
// stream of zero counts (corrupt or zeroed data) from walking off the
// caller's buffer.
constexpr std::size_t rgba32RunBudget(std::size_t n) noexcept { return n * kRGBA32RunBytes; }
constexpr std::size_t g8RunBudget(std::size_t n) noexcept { return n * kG8RunBytes; }

}  // namespace plr
