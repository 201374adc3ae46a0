#pragma once
// The plug-in filter protocol as this host speaks it: the module's resource
// that names its filters, the entry point, the selectors it is called with
// and the filter record through which image data moves. Plug-in modules
// built against this header (the test filter in tests/plugins/) and the host
// (plugins_win32.cpp) share it.
#include <cstdint>

namespace plr::plugin_protocol {

constexpr std::uint32_t fourCC(char a, char b, char c, char d) noexcept {
    return std::uint32_t(std::uint8_t(a)) << 24 | std::uint32_t(std::uint8_t(b)) << 16 |
           std::uint32_t(std::uint8_t(c)) << 8 | std::uint32_t(std::uint8_t(d));
}

// The property list resource ("PiPL"): a 16-bit version (1), a 32-bit
// version (0), a 32-bit property count, then the properties, each a vendor
// code, a key, a 32-bit id, a 32-bit data length and the data padded to a
// multiple of 4 bytes. Numbers are little-endian.
inline constexpr const char kPropertyListType[] = "PiPL";
inline constexpr std::uint32_t kVendor = fourCC('8', 'B', 'I', 'M');
inline constexpr std::uint32_t kKindKey = fourCC('k', 'i', 'n', 'd');      // data: 32-bit code
inline constexpr std::uint32_t kFilterKind = fourCC('8', 'B', 'F', 'M');   // the kind of a filter
inline constexpr std::uint32_t kNameKey = fourCC('n', 'a', 'm', 'e');      // data: length-prefixed text
inline constexpr std::uint32_t kCategoryKey = fourCC('c', 'a', 't', 'g');  // data: length-prefixed text
inline constexpr std::uint32_t kEntryX64Key = fourCC('8', '6', '6', '4');  // data: entry point name, 0-terminated
inline constexpr std::uint32_t kEntryX86Key = fourCC('w', 'x', '8', '6');

// What the host asks of the filter, in calling order; About is never sent by
// this host.
enum Selector : std::int16_t {
    kAbout = 0,
    kParameters = 1,  // settle the filter's settings
    kPrepare = 2,     // say how much memory it needs
    kStart = 3,       // set the first rectangles to read and write
    kContinue = 4,    // process the buffers; set the next rectangles (empty when done)
    kFinish = 5,      // clean up
};

// Result codes besides 0 (success).
inline constexpr std::int16_t kUserCancelled = -128;
inline constexpr std::int16_t kBadParameters = -30100;

struct Point16 {
    std::int16_t v, h;
};
struct Rect16 {
    std::int16_t top, left, bottom, right;
};
struct Colour16 {
    std::uint16_t red, green, blue;
};

using TestAbortProc = std::uint8_t (*)();                 // nonzero: the user cancelled
using ProgressProc = void (*)(std::int32_t done, std::int32_t total);

// The filter record. The host fills the image description; in Start and
// Continue the filter names the rectangles and planes it wants next
// (inRect/inLoPlane/inHiPlane, outRect/outLoPlane/outHiPlane) and the host
// hands them over in inData and outData, planes interleaved, rows of
// inRowBytes and outRowBytes bytes. Plane 0 is red, 1 green, 2 blue, 3
// transparency when `planes` is 4. outData arrives holding the image as it
// stands and is taken back after each Continue.
struct FilterRecord {
    std::int32_t serialNumber;
    TestAbortProc abortProc;
    ProgressProc progressProc;
    void* parameters;  // the filter's own settings block, kept across runs of one host
    Point16 imageSize;
    std::int16_t planes;
    Rect16 filterRect;
    Colour16 background;
    Colour16 foreground;
    std::int32_t maxSpace;
    std::int32_t bufferSpace;  // set by the filter in Prepare
    Rect16 inRect;
    std::int16_t inLoPlane, inHiPlane;
    Rect16 outRect;
    std::int16_t outLoPlane, outHiPlane;
    void* inData;
    std::int32_t inRowBytes;
    void* outData;
    std::int32_t outRowBytes;
    std::uint8_t isFloating, haveMask, autoMask;
    Rect16 maskRect;
    void* maskData;
    std::int32_t maskRowBytes;
    std::uint8_t backColor[4];
    std::uint8_t foreColor[4];
    std::uint32_t hostSig;
    void* hostProc;
    std::int16_t imageMode;  // 3: RGB colour
    std::int32_t imageHRes, imageVRes;  // 16.16 fixed point, dots per inch
    Point16 floatCoord;
    Point16 wholeSize;
    void* platformData;  // points at the owner window handle
};

inline constexpr std::int16_t kRgbMode = 3;

// The entry point the property list names.
using EntryPoint = void (*)(std::int16_t selector, FilterRecord* record, std::intptr_t* data, std::int16_t* result);

}  // namespace plr::plugin_protocol
