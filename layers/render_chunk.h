#pragma once
// The render composes a page row in chunks of up to kChunk pixels: the
// running result of a chunk lives in four float arrays, and each list entry
// is applied to the whole chunk by a kernel chosen once per entry.
#include <cstdint>

namespace plr::draw {

constexpr int kChunk = 256;
constexpr int kChunkPad = 8;  // the widest vector: kernels may touch up to 7 lanes past the chunk

constexpr int kGroup = 8;  // pixels a step of the widest kernel, and of the cover below

struct Running {
    alignas(32) float c[4][kChunk + kChunkPad];  // red, green, blue (1.0 = 0xFF00), alpha (1.0 = 0xFFFF)
    // Per group of kGroup pixels: the highest list entry that covers all of
    // them with opaque Normal pixels (alpha 0xFFFF at full opacity, no
    // mask). Such a pixel makes the result its own colour, exactly opaque,
    // whatever lies below: entries under it are passed over and it is
    // written without reading the running result. 0: nothing covers.
    std::uint8_t cover[kChunk / kGroup];
    bool useCover = false;
};

// Per entry: what stage 1 leaves to the kernel, and the stage-2 decisions
// of the entry's effective mode.
struct KernelParams {
    float opacityPlusOne = 256.0f;
    bool scaleAlpha = false;   // a = (opacity + 1) * a >> 8
    bool forceOpaque = false;  // the background: alpha counts as 0xFFFF
    bool copyOpaque = false;   // Normal: A >= 0xFF00 copies the source and makes the result opaque
    bool clears = false;       // Texturize family: a transparent result stays cleared
    bool first = false;        // the first entry of the list: the running result is still transparent
                               // and is written without being read
};

// Applies n source pixels (16-bit RGBA, alpha already the effective alpha
// A unless the parameters say otherwise) to run[0..n).
// `entry` is the entry's place in the list (compared with run.cover).
// `ahead`: the entry's page pixels of the chunk composed next (null when
// there is none), asked for from memory a line per step while this chunk is
// composed, so that the waits for memory overlap the arithmetic.
using ChunkFn = void (*)(const std::uint16_t* src, std::int32_t n, const KernelParams& kp, Running& run,
                         int entry, const std::uint16_t* ahead) noexcept;

// The kernel for composition formula 0..19 (19: keeps the destination):
// AVX2 when the processor has it and fast paths are allowed, else SSE2.
ChunkFn chunkKernel(std::int32_t formula) noexcept;
ChunkFn chunkKernelSse2(std::int32_t formula) noexcept;
// Defined in the AVX2 file; call only after checking the processor.
ChunkFn chunkKernelAvx2(std::int32_t formula) noexcept;

}  // namespace plr::draw
