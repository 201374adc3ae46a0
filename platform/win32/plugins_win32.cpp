// The filter plug-in host: modules (*.8bf) name their filters in property
// list resources; a run loads the module, walks the filter through the
// selectors and moves the image through the filter record's buffers.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/plugins.h"
#include "platform/win32/plugin_protocol.h"

namespace plr::platform {

namespace {

namespace pp = plugin_protocol;

// One filter a property list describes.
struct FilterProperties {
    bool isFilter = false;
    std::string name, category, entry;
};

std::uint32_t readU32(const std::uint8_t* p) noexcept {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// A length-prefixed text, held to the data's length.
std::string prefixedText(const std::uint8_t* data, std::uint32_t length) {
    if (length == 0) return {};
    return std::string(reinterpret_cast<const char*>(data + 1), std::min<std::uint32_t>(data[0], length - 1));
}

// Reads the properties, never past `size` bytes.
FilterProperties parsePropertyList(const std::uint8_t* list, std::size_t size) {
    FilterProperties f;
    if (size < 10) return f;
    const std::uint32_t count = readU32(list + 6);
    std::size_t at = 10;
    constexpr std::uint32_t entryKey = sizeof(void*) == 8 ? pp::kEntryX64Key : pp::kEntryX86Key;
    for (std::uint32_t i = 0; i < count && at + 16 <= size; ++i) {
        const std::uint32_t vendor = readU32(list + at), key = readU32(list + at + 4);
        const std::uint32_t length = readU32(list + at + 12);
        at += 16;
        if (length > size - at) break;
        const std::uint8_t* data = list + at;
        if (vendor == pp::kVendor) {
            if (key == pp::kKindKey && length >= 4) f.isFilter = readU32(data) == pp::kFilterKind;
            if (key == pp::kNameKey) f.name = prefixedText(data, length);
            if (key == pp::kCategoryKey) f.category = prefixedText(data, length);
            if (key == entryKey)
                f.entry.assign(reinterpret_cast<const char*>(data),
                               strnlen(reinterpret_cast<const char*>(data), length));
        }
        at += (std::size_t(length) + 3) & ~std::size_t(3);
    }
    return f;
}

struct ResourceWalk {
    std::vector<FilterProperties>* filters;
};

BOOL CALLBACK addFilterOfResource(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR param) {
    auto& w = *reinterpret_cast<ResourceWalk*>(param);
    HRSRC found = FindResourceA(m, name, type);
    HGLOBAL loaded = found ? LoadResource(m, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    try {
        if (data) {
            FilterProperties f = parsePropertyList(static_cast<const std::uint8_t*>(data), SizeofResource(m, found));
            if (f.isFilter) w.filters->push_back(std::move(f));
        }
    } catch (...) {
        return FALSE;  // no exception crosses the system's frames
    }
    return TRUE;
}

// Every filter the module's property lists describe, in resource order.
std::vector<FilterProperties> moduleFilters(HMODULE module) {
    std::vector<FilterProperties> filters;
    ResourceWalk walk{&filters};
    EnumResourceNamesA(module, pp::kPropertyListType, addFilterOfResource, reinterpret_cast<LONG_PTR>(&walk));
    return filters;
}

// Loads a module without the system's error dialogs.
HMODULE loadModule(const char* path, DWORD flags) noexcept {
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE m = LoadLibraryExA(path, nullptr, flags);
    SetErrorMode(oldMode);
    return m;
}

std::uint8_t neverCancelled() { return 0; }
void ignoreProgress(std::int32_t, std::int32_t) {}

// Byte of plane p in a blue-green-red-alpha pixel.
constexpr int kPlaneByte[4] = {2, 1, 0, 3};

bool emptyRect(const pp::Rect16& r) noexcept { return r.bottom <= r.top || r.right <= r.left; }

// A rectangle and plane range the filter asked for, checked against the image.
bool validRequest(const pp::Rect16& r, std::int16_t lo, std::int16_t hi, const pp::FilterRecord& rec) noexcept {
    return r.top >= 0 && r.left >= 0 && r.bottom <= rec.imageSize.v && r.right <= rec.imageSize.h && lo >= 0 &&
           lo <= hi && hi < rec.planes;
}

// Copies planes lo..hi of `r` between the image and an interleaved buffer.
void movePlanes(const PluginImage& image, const pp::Rect16& r, int lo, int hi, std::vector<std::uint8_t>& buffer,
                std::int32_t& rowBytes, bool intoBuffer) {
    const int planeCount = hi - lo + 1;
    rowBytes = (r.right - r.left) * planeCount;
    if (intoBuffer) buffer.assign(std::size_t(rowBytes) * (r.bottom - r.top), 0);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* row = image.pixels + (std::size_t(y) * image.rowPixels) * 4;
        std::uint8_t* b = buffer.data() + std::size_t(y - r.top) * rowBytes;
        for (int x = r.left; x < r.right; ++x)
            for (int p = lo; p <= hi; ++p, ++b) {
                std::uint8_t& pixel = row[std::size_t(x) * 4 + kPlaneByte[p]];
                if (intoBuffer)
                    *b = pixel;
                else
                    pixel = *b;
            }
    }
}

std::int32_t runFilter(pp::EntryPoint entry, const PluginImage& source, const PluginImage& destination,
                       void* ownerWindow, PluginMode mode) {
    if (source.width <= 0 || source.height <= 0 || source.width > 32767 || source.height > 32767) return -1;
    // The destination starts as the source: what the filter does not write stays.
    for (std::int32_t y = 0; y < source.height; ++y)
        std::memcpy(destination.pixels + std::size_t(y) * destination.rowPixels * 4,
                    source.pixels + std::size_t(y) * source.rowPixels * 4, std::size_t(source.width) * 4);

    static std::intptr_t filterData = 0;  // the filter's own data, kept across runs as the protocol allows
    HWND window = static_cast<HWND>(ownerWindow);
    pp::FilterRecord rec{};
    rec.abortProc = neverCancelled;
    rec.progressProc = ignoreProgress;
    rec.imageSize = {std::int16_t(source.height), std::int16_t(source.width)};
    rec.planes = mode == PluginMode::Colour ? 3 : 4;
    rec.filterRect = {0, 0, rec.imageSize.v, rec.imageSize.h};
    rec.background = {0xFFFF, 0xFFFF, 0xFFFF};
    rec.maxSpace = 256 << 20;
    rec.imageMode = pp::kRgbMode;
    rec.imageHRes = rec.imageVRes = 72 << 16;
    rec.wholeSize = rec.imageSize;
    rec.hostSig = pp::fourCC('p', 'l', 'r', ' ');
    rec.platformData = &window;

    std::int16_t result = 0;
    auto call = [&](pp::Selector s) {
        result = 0;
        entry(s, &rec, &filterData, &result);
        return result == 0;
    };
    if (!call(pp::kParameters) || !call(pp::kPrepare) || !call(pp::kStart)) return result;

    // Continue while the filter asks for data; a bounded number of rounds
    // keeps a filter that never finishes from hanging the host.
    std::vector<std::uint8_t> in, out;
    const long maxRounds = long(source.height) * 4 + 64;
    for (long round = 0; !(emptyRect(rec.inRect) && emptyRect(rec.outRect)); ++round) {
        if (round > maxRounds) return pp::kBadParameters;
        const bool wantIn = !emptyRect(rec.inRect), wantOut = !emptyRect(rec.outRect);
        if ((wantIn && !validRequest(rec.inRect, rec.inLoPlane, rec.inHiPlane, rec)) ||
            (wantOut && !validRequest(rec.outRect, rec.outLoPlane, rec.outHiPlane, rec)))
            return pp::kBadParameters;
        const pp::Rect16 outRect = rec.outRect;
        const int outLo = rec.outLoPlane, outHi = rec.outHiPlane;
        rec.inData = rec.outData = nullptr;
        rec.inRowBytes = rec.outRowBytes = 0;
        if (wantIn) {
            movePlanes(source, rec.inRect, rec.inLoPlane, rec.inHiPlane, in, rec.inRowBytes, true);
            rec.inData = in.data();
        }
        if (wantOut) {
            movePlanes(destination, outRect, outLo, outHi, out, rec.outRowBytes, true);
            rec.outData = out.data();
        }
        if (!call(pp::kContinue)) return result;
        if (wantOut) movePlanes(destination, outRect, outLo, outHi, out, rec.outRowBytes, false);
    }
    call(pp::kFinish);
    return result;
}

}  // namespace

std::int32_t scanPlugins(const char* folder, PluginFound found, void* context) noexcept {
    try {
        if (!folder || !found) return -1;
        const std::string base = std::string(folder) + "\\";
        WIN32_FIND_DATAA item;
        HANDLE walk = FindFirstFileA((base + "*.8bf").c_str(), &item);
        if (walk == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
        std::int32_t reported = 0;
        do {
            if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::string path = base + item.cFileName;
            HMODULE module = loadModule(path.c_str(), LOAD_LIBRARY_AS_DATAFILE);
            if (!module) continue;
            for (const FilterProperties& f : moduleFilters(module)) {
                found(context, path.c_str(), f.category.c_str(), f.name.c_str());
                ++reported;
            }
            FreeLibrary(module);
        } while (FindNextFileA(walk, &item));
        FindClose(walk);
        return reported;
    } catch (...) {
        return -1;
    }
}

std::int32_t runPlugin(const PluginImage& source, const PluginImage& destination, const char* path,
                       void* ownerWindow, PluginMode mode) noexcept {
    if (!path || !*path || !source.pixels || !destination.pixels) return -1;
    HMODULE module = loadModule(path, 0);
    if (!module) return -1;
    std::int32_t result = -1;
    try {
        const std::vector<FilterProperties> filters = moduleFilters(module);
        const auto entry = filters.empty() ? nullptr
                                           : reinterpret_cast<pp::EntryPoint>(reinterpret_cast<void*>(
                                                 GetProcAddress(module, filters.front().entry.c_str())));
        if (entry) result = runFilter(entry, source, destination, ownerWindow, mode);
    } catch (...) {
        result = -1;
    }
    FreeLibrary(module);
    return result;
}

}  // namespace plr::platform
