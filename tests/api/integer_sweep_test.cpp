// Every export that takes integers, called with INT_MIN, -1, 0 and INT_MAX in
// each integer position in turn (the others at ordinary values), and with
// NaN, -inf, 0 and a huge value in each floating-point position, on a small
// page with a few layers. The list comes from the export list itself, so a
// new export is swept as soon as it is declared; one that takes a host
// buffer fails here by name until it is given its buffer rule below. Host
// buffers are allocated at exactly the size the rule gives, so the sanitizer
// lane reports any read or write past them.
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine_fixture.h"

namespace plr::test {
namespace {

constexpr std::int32_t kPageW = 16, kPageH = 12, kBrush = 8;
constexpr std::int64_t kPagePixels = std::int64_t{kPageW} * kPageH;
constexpr std::int64_t kMaxBuffer = 1 << 22;  // larger host buffers are not made for the sweep

// The arguments of one call, by parameter name.
struct Args {
    std::vector<std::string> names;
    std::vector<std::int64_t> ints;  // integer value per position (unused for others)
    std::int64_t operator()(const char* name) const {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return ints[i];
        ADD_FAILURE() << "no parameter " << name;
        return 0;
    }
};

using Bytes = std::optional<std::int64_t>;  // host buffer size; empty: outside the host's contract

// A host buffer of `count` items of `each` bytes; negative counts describe an
// empty buffer.
Bytes items(std::int64_t count, std::int64_t each) {
    if (count <= 0) return 0;
    if (count > kMaxBuffer / each) return std::nullopt;
    return count * each;
}
// w x h items of `each` bytes packed.
Bytes packed(std::int64_t w, std::int64_t h, std::int64_t each) {
    if (w <= 0 || h <= 0) return 0;
    if (w > kMaxBuffer / each || h > kMaxBuffer / (w * each)) return std::nullopt;
    return w * h * each;
}
// `rows` rows `stride` bytes apart holding rows of `rowBytes`: a stride
// shorter than a row (negative included) is not a bitmap the host can pass;
// stride 0 lays every row over the first.
Bytes strided(std::int64_t stride, std::int64_t rows, std::int64_t rowBytes) {
    if (rows <= 0 || rowBytes <= 0) return 0;
    if (stride == 0) return items(1, rowBytes);
    if (stride < rowBytes) return std::nullopt;
    if (stride > kMaxBuffer / rows) return std::nullopt;
    return stride * (rows - 1) + rowBytes;
}
Bytes maxOf(Bytes a, Bytes b) {
    if (!a || !b) return std::nullopt;
    return std::max(*a, *b);
}

// The buffer rule of an export: which integer parameters describe its host
// buffers, their ordinary values, and the size every pointer argument gets
// (the largest the export may touch).
struct Rule {
    std::set<std::string> describes;
    std::map<std::string, std::int64_t> ordinary;
    std::function<Bytes(const Args&)> bytes;
};

const Bytes kPage64 = kPagePixels * 8, kPage32 = kPagePixels * 4, kPage24 = kPagePixels * 3,
            kPage16 = kPagePixels * 2, kPage8 = kPagePixels;

Rule fixed(Bytes b) {
    return {{}, {}, [b](const Args&) { return b; }};
}
// (buffer, width, height) of `each` bytes a pixel.
Rule sized(std::int64_t each) {
    return {{"width", "height"}, {}, [each](const Args& a) { return packed(a("width"), a("height"), each); }};
}
// (buffer, stride) over the page's rows, `each` bytes a pixel.
Rule pageRows(const char* stride, std::int64_t each) {
    const std::string s = stride;
    return {{s}, {{s, kPageW * each}}, [s, each](const Args& a) {
                return strided(a(s.c_str()), kPageH, kPageW * each);
            }};
}

const std::map<std::string, Rule>& rules() {
    static const std::map<std::string, Rule> r = [] {
        std::map<std::string, Rule> m;
        // Host services: the host's own blocks.
        m["PLR_Memcpy"] = {{"bytes"}, {{"bytes", 16}}, [](const Args& a) {
                               return items(static_cast<std::uint32_t>(a("bytes")), 1);
                           }};
        // Page-sized planes and buffers in the formats of the layer data.
        for (const char* n : {"PLR_SetLayerData", "PLR_GetLayerData", "PLR_MergeLayerInto", "PLR_Merge",
                              "PLR_GetRGBAAt", "PLR_GetColorAt", "PLR_DoCopyBlendBuffer", "PLR_DoMixBlendBuffer"})
            m[n] = fixed(kPage64);
        // Packed width x height RGBA64 buffers of a page rectangle.
        for (const char* n : {"PLR_MergeRect", "PLR_MergeLayerIntoRect"}) m[n] = sized(8);
        for (const char* n : {"PLR_AdjustRGBA32ForAlphaComp", "PLR_CreateMaskFromDiff_RGBA32",
                              "PLR_CreateMaskFromRGBAImageColor", "PLR_CreateMaskFromRGBAImageColorRange",
                              "PLR_CreateMaskFromRGBAImageAlphaRange", "PLR_CreateMaskFromRGBAImageLuminanceRange",
                              "PLR_CreateMaskFromRGBAImageHueRange", "PLR_CreateMaskFromRGBAImageHSLRange",
                              "PLR_ApplyMaskToAlpha_RGBA32", "PLR_ReplaceFromRGBAImageAlphaRange",
                              "PLR_InvertAlpha_RGBA32", "PLR_SetAlphaFromRGBAImageColor",
                              "PLR_ColorRGBA32FromFloodMask"})
            m[n] = fixed(kPage32);
        m["PLR_CreateMaskFromRGB24ImageColor"] = fixed(kPage24);
        for (const char* n : {"PLR_GetMaskData16", "PLR_SetMaskData16"}) m[n] = fixed(kPage16);
        m["PLR_CreateMaskFromFloodMask"] = fixed(kPage8);
        m["PLR_FindDataExtentsLayer"] = fixed(4);
        // Run-length lines: one page row, at worst one run a value.
        for (const char* n : {"PLR_GetRGBA32LayerLineRLE", "PLR_PutRGBA32LayerLineRLE"}) m[n] = fixed(kPageW * 5 + 16);
        for (const char* n : {"PLR_GetMaskLineRLE", "PLR_PutMaskLineRLE"}) m[n] = fixed(kPageW * 2 + 16);
        // (buffer, width, height) buffers.
        for (const char* n : {"PLR_AdjustRGBA32PreFilter", "PLR_AdjustRGBA32PostFilter",
                              "PLR_AdjustRGBA32ByMaskAndTexture", "PLR_ClearRGBA32Buf", "PLR_ProcessBuffer_HSLAdjust",
                              "PLR_ProcessBuffer_HSVAdjust", "PLR_SetColorAlphaRGBABuf", "PLR_SetColorRGBABuf",
                              "PLR_RGBAlphaToRGB", "PLR_RGBToRGBAlpha", "PLR_RGBToRGBA", "PLR_RGBAToRGB"})
            m[n] = sized(4);
        for (const char* n : {"PLR_AdjustRGBA64PreFilter", "PLR_AdjustRGBA64PostFilter"}) m[n] = sized(8);
        // A width x height RGBA32 buffer whose top-left pixel lies at page position (x, y).
        m["PLR_AdjustRGBA32RectByMaskAndTexture"] = sized(4);
        // The old whole-layer load: a page-sized RGBA32 source, adjusted as maskStride x count.
        m["PLR_LoadRGBA32Layer_BAD"] = {{"maskStride", "count"}, {{"maskStride", kPageW}, {"count", kPageH}},
                                        [](const Args& a) {
                                            return maxOf(packed(a("maskStride"), a("count"), 4), kPage32);
                                        }};
        // (buffer, stride) over the page's rows, bytes a pixel (the mask is saved as grey RGB24).
        const std::pair<const char*, std::int64_t> strideRows[] = {
            {"PLR_LoadRGBA32", 4},     {"PLR_LoadRGB24", 3},       {"PLR_LoadRGB24ToAlpha", 3},
            {"PLR_SetRGBA64Layer", 8}, {"PLR_GetRGBA32Layer", 4},  {"PLR_GetRGBA32", 4},
            {"PLR_GetRGB24", 3},       {"PLR_GetRGB24Layer", 3},   {"PLR_GetRGB24FromAlpha", 3},
            {"PLR_GetRGBA64Layer", 8}, {"PLR_ClearRGBA64", 8},     {"PLR_ClearRGBA32", 4},
            {"PLR_SaveMask", 3}};
        for (const auto& [n, each] : strideRows) m[n] = pageRows("stride", each);
        // Two page-sized buffers, each with its stride.
        for (const char* n : {"PLR_GetRGBA32FromRGBA64", "PLR_GetRGB24FromRGBA64"}) {
            const std::int64_t out = std::string(n).find("RGB24") != std::string::npos ? 3 : 4;
            m[n] = {{"destinationStride", "sourceStride", "width", "height"},
                    {{"destinationStride", kPageW * out}, {"sourceStride", kPageW * 8}, {"width", kPageW},
                     {"height", kPageH}},
                    [out](const Args& a) -> Bytes {
                        // The RGB24 form has no size of its own: the page's.
                        const bool sized = a.names.size() > 4;
                        const std::int64_t w = sized ? a("width") : kPageW, h = sized ? a("height") : kPageH;
                        return maxOf(strided(a("destinationStride"), h, w * out), strided(a("sourceStride"), h, w * 8));
                    }};
        }
        // Rectangles of page-sized planes into host buffers of the rectangle's rows.
        // A width x height block: the pointers are its first pixels, x and y
        // only number the loop.
        for (const char* n : {"PLR_GetRGBA32FromRGBA64Rect", "PLR_GetRGB24FromRGBA64Rect"}) {
            const std::int64_t out = std::string(n).find("RGB24") != std::string::npos ? 3 : 4;
            m[n] = {{"destinationStride", "sourceStride", "width", "height"},
                    {{"destinationStride", 4 * out}, {"sourceStride", kPageW * 8}, {"width", 4}, {"height", 4}},
                    [out](const Args& a) {
                        return maxOf(strided(a("destinationStride"), a("height"), a("width") * out),
                                     strided(a("sourceStride"), a("height"), a("width") * 8));
                    }};
        }
        // The source block starts at pixel (x, y) of rows sourceRowPixels wide;
        // the destination is packed.
        for (const char* n : {"PLR_RGBA64RectToRGBA32", "PLR_RGBA64RectToRGBA24"}) {
            const std::int64_t out = std::string(n).find("24") != std::string::npos ? 3 : 4;
            m[n] = {{"x", "y", "width", "height", "sourceRowPixels"},
                    {{"sourceRowPixels", kPageW}, {"x", 2}, {"y", 2}, {"width", 4}, {"height", 4}},
                    [out](const Args& a) -> Bytes {
                        const std::int64_t w = std::max<std::int64_t>(a("width"), 0);
                        const std::int64_t h = std::max<std::int64_t>(a("height"), 0);
                        // Pixels before the source or past its row are not the host's to give.
                        if (a("x") < 0 || a("y") < 0 || a("x") + w > a("sourceRowPixels")) return std::nullopt;
                        if (w == 0 || h == 0) return 0;
                        return maxOf(strided(a("sourceRowPixels") * 8, a("y") + h, (a("x") + w) * 8),
                                     packed(w, h, out));
                    }};
        }
        m["PLR_GetRGBA64LayerRect"] = {{"stride", "width", "height"}, {{"stride", 4 * 8}, {"width", 4}, {"height", 4}},
                                       [](const Args& a) { return strided(a("stride"), a("height"), a("width") * 8); }};
        m["PLR_LoadRGBA32Layer"] = {{"stride", "width", "height"}, {{"stride", 4 * 4}, {"width", 4}, {"height", 4}},
                                    [](const Args& a) { return strided(a("stride"), a("height"), a("width") * 4); }};
        m["PLR_LoadRGBA32Into"] = m["PLR_LoadRGBA32Layer"];
        m["PLR_Load"] = {{"stride", "width", "height"}, {{"stride", kPageW * 3}, {"width", kPageW}, {"height", kPageH}},
                         [](const Args& a) { return strided(a("stride"), a("height"), a("width") * 3); }};
        m["PLR_LoadMask"] = {{"stride", "width", "height"},
                             {{"stride", kPageW * 3}, {"width", kPageW}, {"height", kPageH}},
                             [](const Args& a) { return strided(a("stride"), a("height"), a("width") * 3); }};
        // The pointer is the rectangle's top-left pixel; x0..x1, y0..y1 inclusive.
        m["PLR_ApplyMaskToAlphaRect_RGBA32"] = {
            {"stride", "x0", "y0", "x1", "y1"}, {{"stride", 5 * 4}, {"x0", 1}, {"y0", 1}, {"x1", 5}, {"y1", 5}},
            [](const Args& a) {
                return strided(a("stride"), a("y1") - a("y0") + 1, (a("x1") - a("x0") + 1) * 4);
            }};
        m["PLR_SetPixelRGB24"] = {{"rowBytes"}, {{"rowBytes", kPageW * 3}},
                                  [](const Args& a) { return strided(a("rowBytes"), kPageH, kPageW * 3); }};
        // Compressed and run-length data: the length or count describes the buffers.
        m["PLR_LoadRGBA32LayerCompressed"] = {{"length"}, {{"length", 64}},
                                              [](const Args& a) { return items(a("length"), 1); }};
        m["PLR_GetRGBA32LayerCompressed"] = {{"capacity"}, {{"capacity", 4096}},
                                             [](const Args& a) { return items(a("capacity"), 1); }};
        for (const char* n : {"PLR_RLECompressRGBA64ToRGBA32", "PLR_RLEUncompressRGBA32ToRGBA64"})
            m[n] = {{"pixels"}, {{"pixels", 8}}, [](const Args& a) { return items(a("pixels"), 10); }};
        for (const char* n : {"PLR_RLECompressG16ToG8", "PLR_RLEUncompressG8ToG16"})
            m[n] = {{"values"}, {{"values", 8}}, [](const Args& a) { return items(a("values"), 3); }};
        // The canvas bitmap: the extent after the view cut (the view is 20 x 20 display pixels).
        m["PLR_Render"] = {{"stride"}, {{"stride", 20 * 3}, {"width", 8}, {"height", 8}},
                           [](const Args& a) { return strided(a("stride"), 20, 20 * 3); }};
        // Packed width x height pictures of the file exports.
        for (const char* n : {"PLR_ReadFromFileRGB24", "PLR_WriteToFileRGB24", "PLR_GetResizedNewRGBA24"}) m[n] = sized(3);
        for (const char* n : {"PLR_ReadFromFileRGBA32", "PLR_WriteToFileRGBA32", "PLR_RGBA32ToClipboardRect",
                              "PLR_LoadImageBrushFromRGBA32"})
            m[n] = sized(4);
        m["PLR_BlurMoreBufferRGB24"] = sized(3);
        // Movie frames from host pixels.
        m["PLR_WriteAVI_RGB24"] = sized(3);
        return m;
    }();
    return r;
}

// Ordinary values by parameter name, for the positions not being swept.
std::int64_t ordinaryValue(const std::string& name) {
    static const std::map<std::string, std::int64_t> byName = {
        {"x", 2},       {"y", 2},      {"x0", 1},       {"y0", 1},         {"x1", 5},      {"y1", 5},
        {"width", 4},   {"height", 4}, {"left", 1},     {"top", 1},        {"right", 5},   {"bottom", 5},
        {"index", 2},   {"layer", 2},  {"layerIndex", 2}, {"fromIndex", 3}, {"toIndex", 2}, {"targetIndex", 2},
        {"indexA", 2},  {"indexB", 3}, {"row", 1},      {"size", 4},       {"maxBrushSize", kBrush},
        {"percent", 50}, {"opacityPercent", 60}, {"amount", 128}, {"strength", 128}, {"tolerance", 20},
        {"alpha", 200}, {"red", 100},  {"green", 150},  {"blue", 200},     {"visible", 1}, {"seed", 7},
    };
    const auto it = byName.find(name);
    if (it != byName.end()) return it->second;
    if (name.find("Percent") != std::string::npos) return 50;
    return 1;
}

std::vector<std::string> parameterNames(const char* params) {
    std::vector<std::string> names;
    std::string s(params);
    s = s.substr(1, s.size() - 2);
    if (s == "void") return names;
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t end = s.find(',', start);
        if (end == std::string::npos) end = s.size();
        std::string p = s.substr(start, end - start);
        const std::size_t cut = p.find_last_of(" *");
        names.push_back(p.substr(cut + 1));
        start = end + 1;
    }
    return names;
}

template <class T>
constexpr bool kInteger = std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::uint32_t>;
template <class T>
constexpr bool kReal = std::is_floating_point_v<T>;

// One call's argument values: integers and reals by position, a host buffer
// for every data pointer, a text for every text.
struct Call {
    Args args;
    std::vector<double> reals;
    std::vector<std::vector<std::uint8_t>*> buffers;
};

template <class T>
T argument(const Call& c, std::size_t i) {
    if constexpr (kInteger<T>) {
        return static_cast<T>(static_cast<std::uint32_t>(static_cast<std::int32_t>(c.args.ints[i])));
    } else if constexpr (kReal<T>) {
        return static_cast<T>(c.reals[i]);
    } else if constexpr (std::is_same_v<T, const char*>) {
        if (c.args.names[i] == "fillMode") return "Paint Connected";
        if (c.args.names[i] == "wandMode") return "Connected";
        return c.args.names[i] == "modeName" ? "Multiply" : "";
    } else {
        static_assert(std::is_pointer_v<T>);
        if (!c.buffers[i]) return nullptr;  // windows and engine blocks
        return reinterpret_cast<T>(c.buffers[i]->data());
    }
}

struct Export {
    const char* name;
    const char* params;
    std::function<void(const Call&)> invoke;
    std::function<std::vector<int>()> kinds;  // per position: 0 other, 1 integer, 2 real, 3 data pointer
};

template <class R, class... A, std::size_t... I>
void invokeWith(R (*fn)(A...) noexcept, const Call& c, std::index_sequence<I...>) {
    if constexpr (std::is_same_v<R, void>) {
        fn(argument<A>(c, I)...);
    } else {
        [[maybe_unused]] const R result = fn(argument<A>(c, I)...);
        if constexpr (std::is_same_v<R, void*>) {
            if (reinterpret_cast<void*>(fn) == reinterpret_cast<void*>(&PLR_Alloc)) PLR_Free(result);
        }
    }
}

template <class T>
int kindOf() {
    if constexpr (kInteger<T>) return 1;
    else if constexpr (kReal<T>) return 2;
    else if constexpr (std::is_pointer_v<T> && !std::is_same_v<T, const char*>) return 3;
    else return 0;
}

template <class R, class... A>
Export makeExport(const char* name, const char* params, R (*fn)(A...) noexcept) {
    return {name, params, [fn](const Call& c) { invokeWith(fn, c, std::index_sequence_for<A...>{}); },
            [] { return std::vector<int>{kindOf<A>()...}; }};
}

const std::vector<Export>& allExports() {
    static const std::vector<Export> list = {
#define PLR_EXPORT(result, name, params, ...) makeExport(#name, #params, &name),
#include "api/exports.inc"
#undef PLR_EXPORT
    };
    return list;
}

// Pointers that are not host data buffers: windows, and blocks the engine
// itself hands out.
bool notAHostBuffer(const std::string& exportName, const std::string& param) {
    return param.find("indow") != std::string::npos || exportName == "PLR_Free" || exportName == "BankAdrs";
}

void makeScene() {
    PLR_CreateImage(nullptr, kPageW, kPageH, kBrush, 0);
    for (std::int32_t slot : {1, 2, 3}) {
        PLR_CreateLayer(slot, kPageW, kPageH);
        PLR_SetLayerOptions(slot, 1, 0, 100, slot == 3 ? "Multiply" : "Normal");
    }
    PLR_SetLayer(2);
    PLR_SetViewSize(20, 20);
    PLR_SetSize(4);
    PLR_SetAlpha(100);
    PLR_SetTool(1.0f, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, "", "", 0);
    PLR_SetMixMode(32, 256);
    PLR_CreatePaintLayer(80, "Normal");
    page().paintLayer.visible = 1;
}

// What a setting is then used by: a dab, the mixing buffer's pick-ups, the
// paint layer's merge, history and a render, at ordinary values.
void useTheSettings() {
    PLR_CopyBlendBufferSurface(6, 6, 128, 0);
    PLR_MixBlendBufferSurface(6, 6, 128);
    PLR_DrawDabGrit(6, 6, 100, 150, 200);
    PLR_DecDrawingLength();
    PLR_DrawDabGrit(9, 4, 10, 20, 30);
    PLR_MergePaintLayer(2);
    PLR_SaveUndoBuffer(1, 1);
    PLR_Undo();
    PLR_SetViewSize(20, 20);
    std::vector<std::uint8_t> bitmap(20 * 20 * 3);
    PLR_Render(bitmap.data(), 20 * 3, 0, 0, kPageW, kPageH);
}

using IntegerSweep = EngineTest;

TEST_F(IntegerSweep, EveryExportTakesTheEndsOfEachIntegerAndRealPosition) {
    const std::int64_t kInts[] = {INT_MIN, -1, 0, INT_MAX};
    const double kReals[] = {std::nan(""), -HUGE_VAL, 0.0, 3.0e38};
    int calls = 0;
    const bool trace = std::getenv("PALORAN_SWEEP_TRACE") != nullptr;  // names each call on stderr
    for (const Export& e : allExports()) {
        const std::vector<int> kinds = e.kinds();
        const std::vector<std::string> names = parameterNames(e.params);
        ASSERT_EQ(kinds.size(), names.size()) << e.name;
        bool sweeps = false, hasBuffer = false;
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            sweeps |= kinds[i] == 1 || kinds[i] == 2;
            hasBuffer |= kinds[i] == 3 && !notAHostBuffer(e.name, names[i]);
        }
        if (!sweeps) continue;
        const auto ruleAt = rules().find(e.name);
        if (hasBuffer && ruleAt == rules().end()) {
            ADD_FAILURE() << e.name << " takes a host buffer but has no buffer rule in this sweep";
            continue;
        }
        const Rule* rule = ruleAt == rules().end() ? nullptr : &ruleAt->second;
        Call base;
        base.args.names = names;
        base.args.ints.assign(kinds.size(), 0);
        base.reals.assign(kinds.size(), 1.0);
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            if (kinds[i] != 1) continue;
            const auto o = rule ? rule->ordinary.find(names[i]) : decltype(rule->ordinary.end()){};
            base.args.ints[i] = rule && o != rule->ordinary.end() ? o->second : ordinaryValue(names[i]);
        }
        for (std::size_t pos = 0; pos < kinds.size(); ++pos) {
            if (kinds[pos] != 1 && kinds[pos] != 2) continue;
            for (int v = 0; v < 4; ++v) {
                Call c = base;
                if (kinds[pos] == 1) c.args.ints[pos] = kInts[v];
                else c.reals[pos] = kReals[v];
                Bytes size = 0;
                if (hasBuffer) {
                    size = rule->bytes(c.args);
                    // A host buffer no host can hand over for these values: outside the contract.
                    if (!size) continue;
                }
                std::vector<std::vector<std::uint8_t>> storage(kinds.size());
                c.buffers.assign(kinds.size(), nullptr);
                for (std::size_t i = 0; i < kinds.size(); ++i) {
                    if (kinds[i] != 3 || notAHostBuffer(e.name, names[i])) continue;
                    storage[i].assign(static_cast<std::size_t>(*size), 0x40);
                    // Exactly sized; an empty buffer has no valid address at all.
                    c.buffers[i] = *size > 0 ? &storage[i] : nullptr;
                }
                makeScene();
                if (trace) std::fprintf(stderr, "%s %s = %g\n", e.name, names[pos].c_str(),
                                        kinds[pos] == 1 ? double(c.args.ints[pos]) : c.reals[pos]);
                e.invoke(c);
                // Settings the host can pass to setters must stay usable.
                if (!hasBuffer) useTheSettings();
                ++calls;
            }
        }
    }
    EXPECT_GT(calls, 500);
    // Each call above stayed inside its buffers (the sanitizer lane checks
    // every access); none may leave the page unusable.
    makeScene();
    EXPECT_EQ(PLR_GetLayerCount(), 3);
}

}  // namespace
}  // namespace plr::test
