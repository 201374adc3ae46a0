// Every export that allocates, with its first allocation failing: the
// last-error text is the export list's operation text followed by " Excpt"
// (nothing when the list gives the export no guard) and the result is the
// list's failure value. One valid call per export, keyed by name; an export
// that allocates without a call here fails the test by name.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <unistd.h>

#include "core/export_failures.h"
#include "engine/devices.h"
#include "engine/engine_invariants.h"
#include "exchange/avi_file.h"
#include "engine_fixture.h"

namespace plr::test {
namespace {

using ExportFailures = EngineTest;

constexpr int kSide = 16;
constexpr int kPixels = kSide * kSide;
// Stored effect scripts for the shape and grit sources.
constexpr const char* kTip = PALORAN_TEST_DATA "/scripts/soft_dot.efs";
constexpr const char* kGrain = PALORAN_TEST_DATA "/scripts/canvas_grain.efs";
// A Lua filter shipped with the engine.
constexpr const char* kLuaFilter = PALORAN_SOURCE_DIR "/data/lua/grayscale.lua";

// Host buffers for the calls: page-sized in every exchange format, plus room
// for compressed and run-length output.
struct HostBuffers {
    std::uint8_t rgba[kPixels * 4];
    std::uint8_t rgb[kPixels * 3];
    std::uint16_t rgba64[kPixels * 4];
    std::uint16_t mask[kPixels];
    std::uint8_t out[kPixels * 16 + 4096];
    std::vector<std::uint8_t> encoded;  // compressed or run-length data a prepare step made
    std::int32_t left, top, right, bottom;
};
HostBuffers host;

// A small live page: layers 0..3, layer 2 current, a 4-pixel brush with a
// tool and a blend strength, a saved stroke in the history.
void preparePage() {
    resetEngine();
    PLR_SetLastError("");
    PLR_CreateImage(nullptr, kSide, kSide, 8, 0);
    for (int i = 0; i < 4; ++i) PLR_CreateLayer(i, kSide, kSide);
    PLR_SetLayer(2);
    PLR_SetSize(4);
    PLR_SetScaleSize(4);
    PLR_SetTool(1.0f, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, "", "", 0);
    PLR_SetAlpha(100);
    PLR_SetDensity(256);
    PLR_SetBlendStrength(100);
    PLR_SetUndoMB(64);
    PLR_SetUndoLevels(10);
    PLR_DrawDabGrit(8, 8, 0x8000, 0x4000, 0x2000);
    PLR_SaveUndoBuffer(1, 1);
    for (int i = 0; i < kPixels * 4; ++i) {
        host.rgba[i] = static_cast<std::uint8_t>(i * 7);
        host.rgba64[i] = static_cast<std::uint16_t>(i * 257);
    }
    for (int i = 0; i < kPixels * 3; ++i) host.rgb[i] = static_cast<std::uint8_t>(i * 5);
    for (int i = 0; i < kPixels; ++i) host.mask[i] = static_cast<std::uint16_t>(i * 255);
}

// What a call gave: whether the export returns a value and, if so, whether it
// was the export list's failure value.
struct Outcome {
    bool isFailValue = true;
};

template <class Export, class F>
Outcome outcomeOf(F&& call) {
    if constexpr (std::is_void_v<typename Export::Result>) {
        call();
        return {};
    } else {
        const auto failValue = Export::failValue();
        return {call() == failValue};
    }
}

struct Call {
    void (*prepare)();  // after preparePage, before the call; may be null
    Outcome (*run)();
    // The export answers a failed allocation with its failure value alone;
    // its text is written only for a raised failure.
    bool resultOnly = false;
};

void encodeLayer() {
    const auto n = PLR_GetRGBA32LayerCompressed(host.out, 0, sizeof host.out, 2, 6);
    host.encoded.assign(host.out, host.out + (n > 0 ? n : 0));
}
void encodeLayerLine() {
    const auto n = PLR_GetRGBA32LayerLineRLE(host.out, 2, 3);
    host.encoded.assign(host.out, host.out + (n > 0 ? n : 0));
}
void encodeMaskLine() {
    const auto n = PLR_GetMaskLineRLE(host.out, 3);
    host.encoded.assign(host.out, host.out + (n > 0 ? n : 0));
}
void encodeRgba64() {
    const auto n = PLR_RLECompressRGBA64ToRGBA32(host.rgba64, host.out, kPixels);
    host.encoded.assign(host.out, host.out + (n > 0 ? n : 0));
}
void encodeG16() {
    const auto n = PLR_RLECompressG16ToG8(host.mask, host.out, kPixels);
    host.encoded.assign(host.out, host.out + (n > 0 ? n : 0));
}
void paintLayer() { PLR_CreatePaintLayer(80, "Normal"); }
constexpr const char* kPicture = PALORAN_TEST_DATA "/images/png_rgb.png";
void readPicture() { PLR_ReadFromFile(kPicture); }
const std::string& scratchPicture() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("paloran_export_failures_" + std::to_string(::getpid()))).string();
    return path;
}
void undone() { PLR_Undo(); }
void copied() { PLR_ToClipboard(); }
void imageBrush() { PLR_FillImageBrush(1, 2, 3); }
void sizedImageBrush() {
    PLR_FillImageBrush(1, 2, 3);
    PLR_SizeImageBrush();
}
void dabbed() { PLR_DrawDabGrit(4, 4, 0x1000, 0x2000, 0x3000); }
void panBuffers() {
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
}
void filterBuffers() {
    engine().messageSink = [](const char*, const char*) {};  // a script error never opens a box here
    PLR_IPLAllocSrcBuffer32();
    PLR_IPLAllocDstBuffer32();
}

// A movie open on the engine's own writer (never the system's dialog), and
// a picture collected for a PDF document (a copy: making the document
// deletes the pictures it converted).
void openMovie() {
    devices().movieFileOpener = openRiffMovieFile;
    PLR_CreateAVI((scratchPicture() + ".avi").c_str(), 40);
}
void pdfPicture() {
    std::filesystem::copy_file(kPicture, scratchPicture() + ".png", std::filesystem::copy_options::overwrite_existing);
    PLR_I2PDF_AddImage((scratchPicture() + ".png").c_str());
}

#define CALL(name, ...) \
    {#name, {nullptr, [] { return outcomeOf<exported::name>([] { return name(__VA_ARGS__); }); }}}
#define CALL_RESULT_ONLY(name, ...) \
    {#name, {nullptr, [] { return outcomeOf<exported::name>([] { return name(__VA_ARGS__); }); }, true}}
#define CALL_RESULT_ONLY_AFTER(prepare, name, ...) \
    {#name, {prepare, [] { return outcomeOf<exported::name>([] { return name(__VA_ARGS__); }); }, true}}
#define CALL_AFTER(prepare, name, ...) \
    {#name, {prepare, [] { return outcomeOf<exported::name>([] { return name(__VA_ARGS__); }); }}}

const std::map<std::string, Call>& calls() {
    static const std::map<std::string, Call> table = {
        // Page lifecycle and host services
        CALL(PLR_CreateImage, nullptr, kSide, kSide, 8, 0),
        CALL(PLR_NewSize, nullptr, kSide, kSide, 8, 0),
        CALL(PLR_DeleteImage),
        // The block goes back at once: only the address is compared.
        {"PLR_Alloc", {nullptr, [] {
             return outcomeOf<exported::PLR_Alloc>([] {
                 void* block = PLR_Alloc(64);
                 PLR_Free(block);
                 return block;
             });
         }}},
        // Layer stack
        CALL_RESULT_ONLY(PLR_CreateLayer, 5, kSide, kSide),  // after the history gave up its snapshots
        CALL(PLR_DeleteLayer, 3),
        CALL(PLR_SetLayer, 1),
        CALL(PLR_SetLayerOptions, 2, 1, 0, 80, "Multiply"),
        CALL(PLR_CopyLayerData, 2, 3),
        CALL(PLR_FindDataExtentsLayer, 2, &host.left, &host.top, &host.right, &host.bottom),
        CALL(PLR_SwapLayers, 2, 3),
        CALL(PLR_MergeLayer, 2, 1),
        CALL(PLR_MergeLayerIntoRect, 2, host.rgba64, 0, 0, kSide, kSide),
        CALL(PLR_MergeLayerInto, 2, host.rgba64),
        CALL(PLR_MergeRect, host.rgba64, 0, 0, kSide, kSide),
        CALL(PLR_Merge, host.rgba64),
        // Layer data in and out
        CALL(PLR_LoadRGBA32Layer_BAD, host.rgba, 0, 2, 0, kPixels, 0),
        CALL(PLR_LoadRGBA32Layer, host.rgba, kSide * 4, 2, 0, 0, kSide, kSide, 1),
        CALL(PLR_LoadRGBA32, host.rgba, kSide * 4, 1),
        CALL(PLR_LoadRGBA32Into, host.rgba, kSide * 4, 2, 0, 0, kSide, kSide),
        CALL_AFTER(encodeLayer, PLR_LoadRGBA32LayerCompressed, host.encoded.data(), 0,
                   static_cast<std::int32_t>(host.encoded.size()), 3),
        CALL(PLR_Load, host.rgb, kSide * 3, kSide, kSide),
        CALL(PLR_LoadRGB24, host.rgb, kSide * 3, 1),
        CALL(PLR_LoadRGB24ToAlpha, host.rgb, kSide * 3, 1),
        CALL(PLR_SetRGBA64Layer, host.rgba64, kSide * 8, 2),
        CALL(PLR_SetLayerData, host.rgba64, 2),
        CALL(PLR_GetRGBA32Layer, host.out, kSide * 4, 2),
        CALL(PLR_GetRGBA32, host.out, kSide * 4),
        CALL(PLR_GetRGBA32LayerCompressed, host.out, 0, static_cast<std::int32_t>(sizeof host.out), 2, 6),
        CALL(PLR_GetRGB24, host.out, kSide * 3),
        CALL(PLR_GetRGB24Layer, host.out, kSide * 3, 2),
        CALL(PLR_GetRGB24FromAlpha, host.out, kSide * 3),
        CALL(PLR_GetRGBA64Layer, host.out, kSide * 8, 2),
        CALL(PLR_GetRGBA64LayerRect, host.out, kSide * 8, 2, 0, 0, kSide, kSide),
        CALL(PLR_GetLayerData, host.out, 2),
        CALL(PLR_RGBA64RectToRGBA32, host.rgba64, 0, 0, kSide, kSide, kSide, 0, host.out),
        CALL(PLR_RGBA64RectToRGBA24, host.rgba64, 0, 0, kSide, kSide, kSide, 0, host.out),
        CALL(PLR_GetRGBA32FromRGBA64Rect, host.out, kSide * 4, host.rgba64, kSide * 8, 0, 0, kSide, kSide),
        CALL(PLR_GetRGB24FromRGBA64Rect, host.out, kSide * 3, host.rgba64, kSide * 8, 0, 0, kSide, kSide),
        CALL(PLR_GetRGBA32FromRGBA64, host.out, kSide * 4, kSide, kSide, host.rgba64, kSide * 8),
        CALL(PLR_GetRGB24FromRGBA64, host.out, kSide * 3, host.rgba64, kSide * 8),
        CALL(PLR_Clear, 1, 2, 3, 4),
        CALL(PLR_ClearMasked, 1, 2, 3, 4),
        CALL(PLR_ClearMaskedAlpha, 1, 2, 3, 4),
        CALL(PLR_ClearRGBA64, host.rgba64, kSide * 8, 1, 2, 3, 4),
        CALL(PLR_ClearRGBA32, host.rgba, kSide * 4, 1, 2, 3, 4),
        CALL(PLR_ClearRGBA32Buf, host.rgba, kSide, kSide, 1, 2, 3, 4),
        CALL(PLR_RLECompressRGBA64ToRGBA32, host.rgba64, host.out, kPixels),
        CALL_AFTER(encodeRgba64, PLR_RLEUncompressRGBA32ToRGBA64, host.encoded.data(), host.out, kPixels),
        CALL(PLR_RLECompressG16ToG8, host.mask, host.out, kPixels),
        CALL_AFTER(encodeG16, PLR_RLEUncompressG8ToG16, host.encoded.data(), host.out, kPixels),
        CALL(PLR_GetRGBA32LayerLineRLE, host.out, 2, 3),
        CALL_AFTER(encodeLayerLine, PLR_PutRGBA32LayerLineRLE, host.encoded.data(), 2, 4),
        CALL(PLR_GetMaskLineRLE, host.out, 3),
        CALL_AFTER(encodeMaskLine, PLR_PutMaskLineRLE, host.encoded.data(), 4),
        // History
        CALL_RESULT_ONLY_AFTER(dabbed, PLR_SaveUndoBuffer, 1, 1),  // the change is simply not recorded
        CALL_AFTER(dabbed, PLR_SaveUndoBackBuffer, 2),
        CALL(PLR_Undo),
        CALL_AFTER(undone, PLR_Redo),
        CALL(PLR_ClearUndo),
        CALL(PLR_ReduceUndo, 1),
        CALL(PLR_SetUndoLevels, 3),
        CALL(PLR_SetUndoMB, 4),
        // Colour adjusters
        CALL(PLR_ProcessBuffer_HSLAdjust, host.rgba, kSide, kSide, 30, 10, 10),
        CALL(PLR_ProcessBuffer_HSVAdjust, host.rgba, kSide, kSide, 30, 10, 10),
        // Mask store and builders
        CALL(PLR_InvertMask),
        CALL(PLR_ClearMask, 1, 2, 3),
        CALL(PLR_GetMaskData16, host.out),
        CALL(PLR_SetMaskData16, host.mask),
        CALL(PLR_SaveMask, host.out, kSide * 3),
        CALL(PLR_LoadMask, host.rgb, kSide * 3, kSide, kSide),
        CALL(PLR_CreateImageFromMask),
        CALL(PLR_CreateAlphaFromMask),
        CALL(PLR_CreateMaskFromAlpha),
        CALL(PLR_CreateMaskFromImage),
        CALL(PLR_CreateMaskFromImageLuma),
        CALL(PLR_CreateMaskFromDiff_RGBA32, host.rgba, host.out, 10),
        CALL(PLR_CreateMaskFromRGBAImageColor, host.rgba, 10, 20, 30, 50),
        CALL(PLR_CreateMaskFromRGB24ImageColor, host.rgb, 10, 20, 30, 50),
        CALL(PLR_CreateMaskFromFloodMask, host.rgba, 50),
        CALL(PLR_CreateMaskFromRGBAImageColorRange, host.rgba, 10, 20, 30, 40, 50),
        CALL(PLR_CreateMaskFromRGBAImageAlphaRange, host.rgba, 128, 40, 50),
        CALL(PLR_CreateMaskFromRGBAImageLuminanceRange, host.rgba, 10, 20, 30, 40, 50),
        CALL(PLR_CreateMaskFromRGBAImageHueRange, host.rgba, 10, 20, 30, 40, 50),
        CALL(PLR_CreateMaskFromRGBAImageHSLRange, host.rgba, 10, 20, 30, 0.2, 0.2, 0.2, 50),
        CALL(PLR_ApplyMaskToAlphaRect_RGBA32, host.rgba, kSide * 4, 0, 0, kSide - 1, kSide - 1),
        CALL(PLR_ApplyMaskToAlpha_RGBA32, host.rgba),
        // Processing buffers
        CALL(PLR_IPLAllocSrcBuffer32),
        CALL(PLR_IPLAllocDstBuffer32),
        CALL(PLR_IPLAllocSrcBuffer24),
        CALL(PLR_IPLAllocDstBuffer24),
        // Filter dispatcher: a filter that takes the 24-bit buffers and a work copy
        CALL_AFTER(filterBuffers, PLR_IPLImageProcess, 0, "Sharpen", 1, 500, 500, 500, 500, 500, 500, 0, 0, 0, 0, 0, 0,
                   0, 0, 10, 20, 30, ""),
        CALL(PLR_ReplaceFromRGBAImageAlphaRange, host.rgba, 128, 40, 1, 2, 3, 200),
        CALL(PLR_RGBAlphaToRGB, host.out, kSide, kSide, host.rgba),
        CALL(PLR_RGBToRGBAlpha, host.out, kSide, kSide, host.rgb),
        CALL(PLR_RGBToRGBA, host.out, kSide, kSide, host.rgb),
        CALL(PLR_RGBAToRGB, host.out, kSide, kSide, host.rgba),
        // Tool, shape, texture, dabs
        // A grit or shape source that cannot be had leaves the random grit and the circle.
        CALL_RESULT_ONLY(PLR_SetTool, 1.0f, 3, 128, 128, 60, 0, 4, 100, 0, 0, 0, 0, 0, kGrain, kTip, 0),
        CALL(PLR_SetPixColorVary, 20),
        CALL(PLR_SetPixLumVary, 20),
        CALL_RESULT_ONLY(PLR_SetBrushShape, kTip, 30),  // the circle stays
        CALL(PLR_SetBrushShape_ORIGINAL, kTip, 30),
        CALL(PLR_CreateTexture, 2),
        CALL(PLR_CreateBlobFromImage, 2, 0),
        CALL(PLR_DrawDabGrit, 5, 5, 0x1000, 0x2000, 0x3000),
        CALL(PLR_DrawDabGritMask, 5, 5),
        // Mixing buffer
        CALL(PLR_DoCopyBlendBuffer, 5, 5, host.rgba64, 64, 0),
        CALL(PLR_CopyBlendBufferSurface, 5, 5, 64, 0),
        CALL(PLR_CopyBlendBufferLayer, 2, 5, 5, 64),
        CALL(PLR_CopyBlendBufferUnderLayer, 5, 5, 64),
        CALL(PLR_CopyBlendBufferHistory, 5, 5, 64),
        CALL(PLR_CopyBlendBufferTrace, 5, 5, 64),
        CALL(PLR_DoCopyBlendBufferMask, 5, 5, 64),
        CALL(PLR_DoMixBlendBuffer, 5, 5, host.rgba64, 64),
        CALL(PLR_MixBlendBufferSurface, 5, 5, 64),
        CALL(PLR_MixBlendBufferLayer, 2, 5, 5, 64),
        CALL(PLR_MixBlendBufferUnderLayer, 5, 5, 64),
        CALL(PLR_MixBlendBufferHistory, 5, 5, 64),
        CALL(PLR_MixBlendBufferTrace, 5, 5, 64),
        CALL(PLR_DoColorBlendBuffer, 5, 5, 1, 2, 3, 0, 64),
        CALL(PLR_ClearBlendBuffer),
        CALL(PLR_FillBlendBuffer, 0, 0, 0, 7),
        CALL(PLR_FilterBlendBuffer, 289, 50),
        // Paint layer and alpha
        CALL(PLR_CreatePaintLayer, 80, "Normal"),
        CALL_AFTER(paintLayer, PLR_ClearPaintLayer),
        CALL_AFTER(paintLayer, PLR_ClearPaintLayer_old),
        CALL_AFTER(paintLayer, PLR_DeletePaintLayer),
        CALL_AFTER(paintLayer, PLR_MergePaintLayer, 2),
        CALL_AFTER(paintLayer, PLR_BlurPaintLayerAlpha),
        CALL(PLR_SetLayerAlpha, 2, 30000),
        CALL(PLR_InvertAlpha, 2),
        CALL(PLR_NormalizeLayerAlpha, 2),
        CALL(PLR_SetColorAlpha, 1, 2, 3),
        CALL(PLR_InvertAlpha_RGBA32, host.rgba),
        CALL(PLR_SetColorAlphaRGBABuf, host.rgba, kSide, kSide, 1, 2, 3),
        CALL(PLR_SetColorRGBABuf, host.rgba, kSide, kSide, 1, 2, 3),
        CALL(PLR_SetAlphaFromRGBAImageColor, host.rgba, 1, 2, 3),
        // Render
        CALL(PLR_Render, host.out, kSide * 3, 0, 0, kSide, kSide),
        CALL_RESULT_ONLY(PLR_GetColorAtMerged, 3, 3),
        // Shapes and gradients
        CALL(PLR_IPLRectangle, 1, 2, 3, 2, 2, 9, 9, 100),
        CALL(PLR_IPLEllipse, 1, 2, 3, 2, 2, 9, 9, 100),
        CALL(PLR_IPLGradient, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 4, 0, 0, 15, 15, "Linear"),
        // Flood fill and magic wand
        CALL(PLR_IPLFloodFill, 1, 2, 3, 8, 8, 1000, "Erase Connected"),
        CALL(PLR_IPLMaskWand, 8, 8, 1000, 50, "Connected"),
        CALL(PLR_IPLMaskEllipse, 2, 2, 9, 9, 50),
        CALL(PLR_IPLMaskRectangle, 2, 2, 9, 9, 50),
        // Whole-page geometry and pan
        CALL(PLR_IPLRotateLeft),
        CALL(PLR_IPLRotateRight),
        CALL(PLR_IPLCrop, 1, 1, 5, 5),
        CALL(PLR_IPLResize, 8, 8, "Bicubic"),
        CALL(PLR_IPLResizePage, 20, 20, "MC", 1, 2, 3),
        CALL(PLR_IPLSeamCarvingRGBA, 12, 16, 0),
        CALL_AFTER(panBuffers, PLR_IPLPan, 2, 3, 0, 0, 0, 0, 0, 1),
        // Image files and the transfer image (a 13 x 7 picture). The writers
        // and the two conveniences answer a failed allocation with their
        // result alone.
        CALL(PLR_ReadFromFile, kPicture),
        CALL(PLR_ReadFromFileRGB24, host.rgb, 13, 7, kPicture),
        CALL(PLR_ReadFromFileRGBA32, host.rgba, 13, 7, kPicture),
        CALL_AFTER(readPicture, PLR_GetResizedNewRGBA24, host.rgb, 5, 3),
        CALL_RESULT_ONLY(PLR_WriteToFileRGB24, host.rgb, kSide, kSide, scratchPicture().c_str(), ".bmp", 72),
        CALL_RESULT_ONLY(PLR_WriteToFileRGBA32, host.rgba, kSide, kSide, scratchPicture().c_str(), ".tga", 72),
        CALL(PLR_SavePageToFileRGB24, scratchPicture().c_str(), ".png", 72),
        CALL(PLR_SavePageToFileRGB32, scratchPicture().c_str(), ".png", 72),
        CALL_RESULT_ONLY(PLR_MakeThumbnail, kPicture, scratchPicture().c_str(), 8),
        CALL_RESULT_ONLY(PLR_MakeWebPic, kPicture, scratchPicture().c_str(), 8, 8),
        // Clipboard and screen capture (the clipboard holds the current layer)
        CALL(PLR_ToClipboard),
        CALL(PLR_ToClipboardRect, 1, 1, 5, 5),
        CALL(PLR_RGBA32ToClipboardRect, host.rgba, 0, 0, kSide, kSide, 1),
        CALL(PLR_ToClipboardFromFile, kPicture),
        CALL_AFTER(copied, PLR_FromClipboard),
        CALL_AFTER(copied, PLR_FromClipboardInto, 1, 1, 0),
        CALL_AFTER(copied, PLR_FromClipboardIntoEX, 1, 1, 2.0f, 30, 0, 1),
        CALL_AFTER(copied, PLR_FromClipboardIntoEX2, 1, 1, 8, 30, 0, 1, 200),
        CALL_AFTER(copied, PLR_FromClipboardIntoEX2_1602, 1, 1, 8, 30, 0, 1),
        CALL_AFTER(copied, PLR_FromClipboardToFile, scratchPicture().c_str(), ".png", 72),
        CALL(PLR_ScreenCapture),
        CALL(PLR_ScreenCaptureInto),
        // Image brushes
        CALL(PLR_LoadImageBrush, kPicture),
        CALL(PLR_LoadImageBrushArray, kPicture),
        CALL(PLR_LoadImageBrushFromRGBA32, host.rgba, 4, 4),
        CALL_AFTER(imageBrush, PLR_SaveImageBrush, scratchPicture().c_str()),
        CALL(PLR_CopyToImageBrush),
        CALL_AFTER(imageBrush, PLR_CopyFromImageBrush, 50),
        CALL_AFTER(imageBrush, PLR_CopyFromImageBrushArray, 0.5f),
        CALL_AFTER(sizedImageBrush, PLR_CopyFromImageBrushRotate, 50),
        CALL(PLR_ColorImageBrush, 1, 2, 3),
        CALL(PLR_FillImageBrush, 1, 2, 3),
        CALL_AFTER(sizedImageBrush, PLR_RotateImageBrush, 30),
        CALL_AFTER(imageBrush, PLR_SizeImageBrush),
        CALL_AFTER(copied, PLR_FromClipboardToImageBrush, 8),
        // Lua filters
        CALL_AFTER(filterBuffers, PLR_LuaFilterRun, kLuaFilter, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        // Composite filters
        CALL_AFTER(filterBuffers, PLR_IPLPhotoPop, 600, 70.0, 1),
        CALL(PLR_BlurMoreBufferRGB24, host.rgb, kSide, kSide, 10, 50),
        // Scanner (where a scanner answers), movie frames and PDF documents;
        // the movie and PDF exports report nothing.
        CALL(PLR_TwainAcquire),
        CALL_AFTER(openMovie, PLR_WriteAVI_RGB24, host.rgb, kSide, kSide),
        CALL_AFTER(openMovie, PLR_WriteAVI, PALORAN_TEST_DATA "/images/bmp_8bit.bmp"),
        CALL_AFTER(pdfPicture, PLR_I2PDF_MakePDF, (scratchPicture() + ".pdf").c_str()),
        // Generators and textures
        CALL_AFTER(filterBuffers, PLR_IPLDisplacementBummp, PALORAN_SOURCE_DIR "/data/effects/Utility/canvas.efs", 10.0,
                   0u),
    };
    return table;
}

#undef CALL
#undef CALL_RESULT_ONLY
#undef CALL_RESULT_ONLY_AFTER
#undef CALL_AFTER

// An export called with every argument zero (null pointers, zero sizes), for
// the exports without a call above: enough to see whether it allocates.
template <class R, class... A>
void callZeroed(R(PLR_CALL* f)(A...) noexcept) {
    f(A{}...);
}

struct Listed {
    const char* name;
    const char* operation;
    void (*zeroedCall)();
};
constexpr Listed kListed[] = {
#define PLR_EXPORT(result, name, params, operationText, failure) {#name, operationText, [] { callZeroed(&::name); }},
#include "api/exports.inc"
#undef PLR_EXPORT
};

std::uint64_t allocationsDuring(void (*prepare)(), const std::function<void()>& call) {
    preparePage();
    if (prepare) prepare();
    const std::uint64_t before = mem::stats().allocations;
    call();
    return mem::stats().allocations - before;
}

TEST_F(ExportFailures, EveryAllocatingExportReportsItsTextAndReturnsItsFailureValue) {
    int checked = 0, withText = 0;
    for (const Listed& e : kListed) {
#ifdef _WIN32
        // The real font dialog waits for a user who is not there.
        if (std::string_view(e.name) == "PLR_ChooseFont") continue;
#endif
        const auto found = calls().find(e.name);
        if (found == calls().end()) {
            EXPECT_EQ(allocationsDuring(nullptr, e.zeroedCall), 0u)
                << e.name << " allocates but has no call in this test's table";
            continue;
        }
        const Call& c = found->second;
        if (allocationsDuring(c.prepare, [&] { c.run(); }) == 0) continue;
        preparePage();
        if (c.prepare) c.prepare();
        PLR_SetLastError("");
        // Every allocation from the first on fails, so no retry can succeed.
        const std::uint64_t before = mem::stats().allocations;
        mem::injectFailure(1, 1u << 30);
        const Outcome o = c.run();
        const bool reached = mem::stats().allocations > before;
        mem::injectFailure(0);
        const bool reportsText = *e.operation && !c.resultOnly;
        const std::string expected = reportsText ? std::string(e.operation) + " Excpt" : std::string();
        EXPECT_TRUE(reached) << e.name;
        EXPECT_EQ(PLR_GetLastError(), expected) << e.name;
        EXPECT_TRUE(o.isFailValue) << e.name << " did not return its failure value";
        ++checked;
        if (reportsText) ++withText;
        std::printf("  %s: \"%s\"\n", e.name, expected.c_str());
    }
    // The table's names are all exports.
    for (const auto& [name, call] : calls()) {
        bool listed = false;
        for (const Listed& e : kListed) listed = listed || name == e.name;
        EXPECT_TRUE(listed) << name;
    }
    RecordProperty("allocatingExportsChecked", checked);
    RecordProperty("failureTextsChecked", withText);
    std::printf("allocating exports checked: %d, failure texts checked: %d\n", checked, withText);
    EXPECT_GT(withText, 0);
}

// Exports that run a step under another export's guard: a failure there
// reports that export's text (the tool builds its shape as the shape export does).
const std::map<std::string, std::string> kNestedTexts = {{"PLR_SetTool", "SetBrushShape Excpt"}};

// Every allocation of every allocating export failing in turn (the 1st, the
// 2nd, ... alone): a failure the export reports has the list's text and
// failure value, the engine stays consistent, nothing leaks, and the same
// call made again at once succeeds.
TEST_F(ExportFailures, EachAllocationFailingInTurnIsReportedLeaksNothingAndTheNextCallWorks) {
    int exportsSwept = 0, failuresInjected = 0;
    for (const Listed& e : kListed) {
        const auto found = calls().find(e.name);
        if (found == calls().end()) continue;
        const Call& c = found->second;
        if (allocationsDuring(c.prepare, [&] { c.run(); }) == 0) continue;
        // A raised failure writes the list's text; an export may also answer by its result alone.
        const std::string expected = *e.operation ? std::string(e.operation) + " Excpt" : std::string();
        const auto prepare = [&] {
            preparePage();
            if (c.prepare) c.prepare();
            PLR_SetLastError("");
        };
        Outcome failed;
        const int made = forEachAllocationFailure(prepare, [&] { failed = c.run(); }, [&](int n) {
            ++failuresInjected;
            const std::string text = PLR_GetLastError();
            const auto nested = kNestedTexts.find(e.name);
            if (!text.empty() && !(nested != kNestedTexts.end() && text == nested->second)) {
                EXPECT_EQ(text, expected) << e.name << ", allocation " << n;
                EXPECT_TRUE(failed.isFailValue) << e.name << ", allocation " << n;
            }
            EXPECT_EQ(engineInvariantViolation(engine()), "") << e.name << ", allocation " << n;
            PLR_SetLastError("");
            c.run();
            EXPECT_STREQ(PLR_GetLastError(), "") << e.name << " failed again after allocation " << n;
            resetEngine();
            EXPECT_EQ(mem::stats().liveBlocks, 0) << e.name << " leaked when allocation " << n << " failed";
        });
        EXPECT_GT(made, 0) << e.name;
        ++exportsSwept;
    }
    std::printf("exports swept: %d, failures injected: %d\n", exportsSwept, failuresInjected);
    EXPECT_GT(exportsSwept, 50);
}

}  // namespace
}  // namespace plr::test
