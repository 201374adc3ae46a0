#include "exchange/avi_riff.h"

#include <cstring>

namespace plr::avi {
namespace {

constexpr std::uint32_t kMainHeaderBytes = 56;    // 'avih' payload
constexpr std::uint32_t kStreamHeaderBytes = 56;  // 'strh' payload
constexpr std::uint32_t kHasIndex = 0x10;         // AVIF_HASINDEX
constexpr std::uint32_t kKeyFrame = 0x10;         // AVIIF_KEYFRAME

struct Out {
    std::uint8_t* p;
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) *p++ = static_cast<std::uint8_t>(v >> (8 * i));
    }
    void u16(std::uint32_t v) {
        *p++ = static_cast<std::uint8_t>(v);
        *p++ = static_cast<std::uint8_t>(v >> 8);
    }
    void code(const char (&c)[5]) {
        std::memcpy(p, c, 4);
        p += 4;
    }
    void chunk(const char (&c)[5], std::uint32_t size) {
        code(c);
        u32(size);
    }
    void bytes(const std::uint8_t* b, std::uint32_t n) {
        if (n) std::memcpy(p, b, n);
        p += n;
    }
};

std::uint32_t even(std::uint32_t n) noexcept { return n + (n & 1); }

// The 'strl' list payload ('strl' code, 'strh' and 'strf' chunks).
std::uint32_t streamListBytes(std::uint32_t formatBytes) noexcept {
    return 4 + kChunkHeaderBytes + kStreamHeaderBytes + kChunkHeaderBytes + even(formatBytes);
}
// The 'hdrl' list payload.
std::uint32_t headerListBytes(std::uint32_t formatBytes) noexcept {
    return 4 + kChunkHeaderBytes + kMainHeaderBytes + kChunkHeaderBytes + streamListBytes(formatBytes);
}

}  // namespace

std::uint32_t headerBytes(std::uint32_t formatBytes) noexcept {
    // 'RIFF' size 'AVI ', LIST hdrl, LIST size 'movi'
    return 12 + kChunkHeaderBytes + headerListBytes(formatBytes) + 12;
}

void writeHeader(const StreamHeader& h, std::uint8_t* out) noexcept {
    const std::uint32_t indexBytes = kChunkHeaderBytes + h.frames * kIndexEntryBytes;
    const std::uint32_t riffBytes = headerBytes(h.formatBytes) - 8 + h.moviBytes + indexBytes;
    const std::uint32_t microseconds =
        h.rate ? static_cast<std::uint32_t>(static_cast<std::uint64_t>(h.scale) * 1000000u / h.rate) : 0;
    Out o{out};
    o.chunk("RIFF", riffBytes);
    o.code("AVI ");
    o.chunk("LIST", headerListBytes(h.formatBytes));
    o.code("hdrl");
    o.chunk("avih", kMainHeaderBytes);
    o.u32(microseconds);
    const std::uint64_t perSecond =
        h.scale ? static_cast<std::uint64_t>(h.suggestedBufferSize) * h.rate / h.scale : 0;
    o.u32(perSecond > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(perSecond));
    o.u32(0);  // padding granularity
    o.u32(kHasIndex);
    o.u32(h.frames);
    o.u32(0);  // initial frames
    o.u32(1);  // streams
    o.u32(h.suggestedBufferSize);
    o.u32(static_cast<std::uint32_t>(h.width));
    o.u32(static_cast<std::uint32_t>(h.height));
    for (int i = 0; i < 4; ++i) o.u32(0);
    o.chunk("LIST", streamListBytes(h.formatBytes));
    o.code("strl");
    o.chunk("strh", kStreamHeaderBytes);
    o.code("vids");
    o.code("DIB ");
    o.u32(0);     // flags
    o.u16(0);     // priority
    o.u16(0);     // language
    o.u32(0);     // initial frames
    o.u32(h.scale);
    o.u32(h.rate);
    o.u32(0);     // start
    o.u32(h.frames);
    o.u32(h.suggestedBufferSize);
    o.u32(0xFFFFFFFFu);  // quality: the default
    o.u32(0);            // sample size: frames vary in principle
    o.u16(0);
    o.u16(0);
    o.u16(static_cast<std::uint32_t>(h.width));
    o.u16(static_cast<std::uint32_t>(h.height));
    o.chunk("strf", h.formatBytes);
    o.bytes(h.format, h.formatBytes);
    if (h.formatBytes & 1) *o.p++ = 0;
    o.chunk("LIST", 4 + h.moviBytes);
    o.code("movi");
}

void writeChunkHeader(const char (&fourcc)[5], std::uint32_t size, std::uint8_t* out) noexcept {
    Out{out}.chunk(fourcc, size);
}

std::uint32_t frameChunkBytes(std::uint32_t dataBytes) noexcept { return kChunkHeaderBytes + even(dataBytes); }

void writeIndexEntry(std::uint32_t offset, std::uint32_t dataBytes, std::uint8_t* out) noexcept {
    Out o{out};
    o.code("00db");
    o.u32(kKeyFrame);
    o.u32(offset);
    o.u32(dataBytes);
}

}  // namespace plr::avi
