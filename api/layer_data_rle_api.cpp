// Layer pixel data: run-length codecs and lines. Compressors answer the bytes
// written, decompressors the bytes read (so a host can walk lines stored back
// to back); 0 for a null buffer, a non-positive count, a slot outside 0..63
// or without page-sized pixels, or a row outside the page.
#include "api/export.h"
#include "core/rle_codec.h"
#include "layers/layer_lines.h"

using namespace plr;

namespace {
std::size_t countOf(int32_t n) noexcept { return n > 0 ? static_cast<std::size_t>(n) : 0; }
// Counts are limited below so that every byte count fits.
int32_t bytesOf(std::size_t n) noexcept { return static_cast<int32_t>(n); }
}  // namespace

extern "C" {

int32_t PLR_RLECompressRGBA64ToRGBA32(const void* source, uint8_t* destination, int32_t pixels) noexcept {
    return guardedExport<exported::PLR_RLECompressRGBA64ToRGBA32>([&] {
        if (!source || !destination || pixels <= 0 || pixels > INT32_MAX / 5) return 0;
        return bytesOf(encodeRGBA32Runs(static_cast<const uint8_t*>(source), countOf(pixels), destination));
    });
}

int32_t PLR_RLEUncompressRGBA32ToRGBA64(const uint8_t* source, void* destination, int32_t pixels) noexcept {
    return guardedExport<exported::PLR_RLEUncompressRGBA32ToRGBA64>([&] {
        if (!source || !destination || pixels <= 0 || pixels > INT32_MAX / 5) return 0;
        const std::size_t n = countOf(pixels);
        return bytesOf(decodeRGBA32Runs(source, rgba32RunBudget(n), static_cast<uint8_t*>(destination), n));
    });
}

int32_t PLR_RLECompressG16ToG8(const void* source, uint8_t* destination, int32_t values) noexcept {
    return guardedExport<exported::PLR_RLECompressG16ToG8>([&] {
        if (!source || !destination || values <= 0 || values > INT32_MAX / 2) return 0;
        return bytesOf(encodeG8Runs(static_cast<const uint8_t*>(source), countOf(values), destination));
    });
}

int32_t PLR_RLEUncompressG8ToG16(const uint8_t* source, void* destination, int32_t values) noexcept {
    return guardedExport<exported::PLR_RLEUncompressG8ToG16>([&] {
        if (!source || !destination || values <= 0 || values > INT32_MAX / 2) return 0;
        const std::size_t n = countOf(values);
        return bytesOf(decodeG8Runs(source, g8RunBudget(n), static_cast<uint8_t*>(destination), n));
    });
}

int32_t PLR_GetRGBA32LayerLineRLE(uint8_t* destination, int32_t layer, int32_t row) noexcept {
    return guardedExport<exported::PLR_GetRGBA32LayerLineRLE>([&] { return bytesOf(getLayerLineRuns(page(), destination, layer, row)); });
}

int32_t PLR_PutRGBA32LayerLineRLE(const uint8_t* source, int32_t layer, int32_t row) noexcept {
    return guardedExport<exported::PLR_PutRGBA32LayerLineRLE>([&] { return bytesOf(putLayerLineRuns(page(), source, layer, row)); });
}

int32_t PLR_GetMaskLineRLE(uint8_t* destination, int32_t row) noexcept {
    return guardedExport<exported::PLR_GetMaskLineRLE>([&] { return bytesOf(getMaskLineRuns(page(), destination, row)); });
}

int32_t PLR_PutMaskLineRLE(const uint8_t* source, int32_t row) noexcept {
    return guardedExport<exported::PLR_PutMaskLineRLE>([&] { return bytesOf(putMaskLineRuns(page(), source, row)); });
}

}  // extern "C"
