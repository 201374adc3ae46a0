#include "fuzz/call_sequence.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz/fuzz_page.h"
#include "paloran.h"

namespace plr::fuzz {
namespace {

// What a parameter is, from its type and name in the export list.
enum class Role { Value, Size, LayerSize, BrushSize, Window, Text, NoFile, Buffer, IntOut };

struct Context;
using Caller = void (*)(Context&);

struct ExportEntry {
    const char* name;
    const char* params;
    Caller call;
};

// ---- values ----

constexpr std::int32_t kWideValues[] = {0,  1,   -1,   2,     3,     INT_MIN, INT_MAX, 10001, 255,
                                        256, 63, 64, 65535, 65536, -48,     100,     1000};
// Exports given host buffers: nothing that could make them reach past it
// (negative strides walk rows backwards, as bottom-up bitmaps do, so the
// buffers start in the middle of the arena).
constexpr std::int32_t kBufferValues[] = {0, 1, -1, 2, 3, -48, -255, 8, 16, 63, 64, 100, 255};
constexpr std::int32_t kSizeValues[] = {0, 1, -1, 2, 3, INT_MIN, INT_MAX, 10001, 7, 16};
// A layer's second side once its first was 10001: a layer may be a long
// strip, but 10001 by 10001 is 800 MB to clear (more under the address
// checker), which no input may spend its time on.
constexpr std::int32_t kOtherSideValues[] = {0, 1, -1, 2, 3, INT_MIN, INT_MAX, 7, 16};
// The largest brush sizes every brush buffer: values out of range are held
// to 10000, which would make every page a gigabyte of brush buffers.
constexpr std::int32_t kBrushSizeValues[] = {0, 1, -1, 2, 3, INT_MIN, 7, 16};
constexpr std::int32_t kSmallLimit = 48;
constexpr double kReals[] = {0.0, 1.0, -1.0, 0.5, 2.0, 1e30, -1e30, 1e-30,
                             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};

const char* const kFilterNames[] = {
#define PLR_FILTER(display, pipeline, operation, inHouse) display,
#include "paloran_filters.inc"
#undef PLR_FILTER
};
const std::string kLongText(600, 'A');
const char* const kTexts[] = {"",       "Normal",          "Multiply", "Screen",  "Linear",   "Radial",
                              "Connected", "Erase Connected", "Global",   "MC",      "TL",       "BR",
                              "Bicubic",   "Bilinear",        "normal",   "Normal ", "\xff\xfe\x80", "x",
                              kLongText.c_str()};

// The arena every host pointer points into, from its middle: big enough for
// what the small values above let an export touch either way, refilled for
// every input.
constexpr std::size_t kArenaBytes = 2 << 20;

struct Context {
    ByteSource& in;
    std::vector<std::uint8_t>& arena;
    const std::vector<Role>* roles = nullptr;
    bool hostBuffers = false;
    bool bigSide = false;  // a layer side of 10001 drawn for this call
    std::size_t param = 0;
    std::int32_t outs[8] = {};
    std::size_t nextOut = 0;
    std::string* trace = nullptr;
    bool echo = false;  // print each call to standard error before making it
    std::size_t lineStart = 0;

    Role role() const { return param < roles->size() ? (*roles)[param] : Role::Value; }
    void note(const std::string& s) {
        if (trace) *trace += s + " ";
    }

    std::int32_t int32() {
        const Role r = role();
        const std::uint8_t how = in.byte();
        std::int32_t v;
        if (how < 96) {
            v = static_cast<std::int32_t>(in.below(kSmallLimit + 1));
        } else if (hostBuffers) {
            v = in.pick(kBufferValues);
        } else if (r == Role::Size) {
            v = in.pick(kSizeValues);
        } else if (r == Role::LayerSize) {
            v = bigSide ? in.pick(kOtherSideValues) : in.pick(kSizeValues);
            bigSide = bigSide || v == 10001;
        } else if (r == Role::BrushSize) {
            v = in.pick(kBrushSizeValues);
        } else {
            v = how < 224 ? in.pick(kWideValues) : static_cast<std::int32_t>(in.u32());
        }
        if (trace) note(std::to_string(v));
        return v;
    }
    double real() {
        const double v = in.byte() < 128 ? static_cast<double>(in.below(2001)) / 100.0 - 10.0 : in.pick(kReals);
        note(std::to_string(v));
        return v;
    }
    const char* text() {
        if (role() == Role::NoFile) return "";
        const char* t = in.byte() < 128 ? in.pick(kFilterNames) : in.pick(kTexts);
        if (trace) note(std::strlen(t) > 20 ? std::string("(long text)") : std::string(t));
        return t;
    }
    void* pointer() {
        switch (role()) {
            case Role::Window: return nullptr;
            case Role::IntOut: return &outs[nextOut++ % 8];
            default: {
                // The middle, or an 8-byte aligned place a little after it.
                const std::size_t offset = kArenaBytes / 2 + (in.byte() < 192 ? 0 : std::size_t{in.below(1024)} * 8);
                if (trace) note(std::to_string(offset) + "@");
                return arena.data() + offset;
            }
        }
    }

    template <class T>
    T next() {
        T v{};
        if constexpr (std::is_same_v<T, std::int32_t>) v = int32();
        else if constexpr (std::is_same_v<T, std::uint32_t>) v = static_cast<std::uint32_t>(int32());
        else if constexpr (std::is_floating_point_v<T>) v = static_cast<T>(real());
        else if constexpr (std::is_same_v<T, const char*>) v = text();
        else if constexpr (std::is_pointer_v<T>) v = static_cast<T>(pointer());
        else static_assert(sizeof(T) == 0, "a parameter type the call sequences do not know");
        ++param;
        return v;
    }
};

template <class R, class... A>
void callWith(R(PLR_CALL* f)(A...) noexcept, Context& c) {
    std::tuple<A...> args{c.template next<A>()...};  // braces: left to right
    if (c.echo) {
        // Before the call, so that the line of a call that crashes shows.
        std::fprintf(stderr, "%s\n", c.trace->c_str() + c.lineStart);
        std::fflush(stderr);
    }
    std::apply(f, args);
}

constexpr ExportEntry kAll[] = {
#define PLR_EXPORT(result, name, params, operationText, failure) {#name, #params, [](Context& c) { callWith(&::name, c); }},
#include "api/exports.inc"
#undef PLR_EXPORT
};

// Export-name parts that reach outside the engine or take raw host addresses.
constexpr std::string_view kLeftOutNames[] = {
    "Clipboard", "Twain", "AVI", "PDF", "Plugin", "ScreenCapture", "Tablet", "Packet", "ChooseFont", "Window",
    "PLR_Alloc", "PLR_Free", "PLR_Memcpy", "BankAdrs", "Memory", "DirInfo", "StartDir", "RenameFile",
    "DisplayChanged", "CompositionEnabled"};
// Texts that are names the engine looks up, not files.
constexpr std::string_view kNameTexts[] = {"text", "modeName", "name", "method", "anchor", "fillMode", "wandMode", "kind"};
constexpr std::string_view kSourceTexts[] = {"shapeSource", "textureSource"};
constexpr std::string_view kSizeNames[] = {"width", "height", "size", "maxWidth", "maxHeight"};

template <class T, std::size_t N>
bool among(std::string_view s, const T (&table)[N]) {
    for (const auto& t : table)
        if (s == t) return true;
    return false;
}

struct Prepared {
    const ExportEntry* entry;
    std::vector<Role> roles;
    bool hostBuffers;
};

// Splits "(type name, type name)" and gives each parameter its role; false
// when the export is left out.
bool prepare(const ExportEntry& e, Prepared& out) {
    for (std::string_view part : kLeftOutNames)
        if (std::string_view(e.name).find(part) != std::string_view::npos) return false;
    out = {&e, {}, false};
    std::string_view list(e.params);
    list = list.substr(1, list.size() - 2);
    if (list == "void") return true;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        std::string_view p = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        while (!p.empty() && p.front() == ' ') p.remove_prefix(1);
        const std::size_t space = p.rfind(' ');
        const std::string_view type = p.substr(0, space), name = p.substr(space + 1);
        Role r = Role::Value;
        if (type == "const char*") {
            if (among(name, kSourceTexts)) r = Role::NoFile;
            else if (among(name, kNameTexts)) r = Role::Text;
            else return false;  // a file or folder
        } else if (type == "int32_t*") {
            r = Role::IntOut;
        } else if (type.find('*') != std::string_view::npos) {
            r = name == "ownerWindow" || name == "window" ? Role::Window : Role::Buffer;
            out.hostBuffers = out.hostBuffers || r == Role::Buffer;
        } else if (among(name, kSizeNames)) {
            r = std::string_view(e.name) == "PLR_CreateLayer" ? Role::LayerSize : Role::Size;
        } else if (name == "maxBrushSize") {
            r = Role::BrushSize;
        }
        out.roles.push_back(r);
    }
    return true;
}

const std::vector<Prepared>& taking() {
    static const std::vector<Prepared> list = [] {
        std::vector<Prepared> l;
        for (const ExportEntry& e : kAll) {
            Prepared p;
            if (prepare(e, p)) l.push_back(std::move(p));
        }
        return l;
    }();
    return list;
}

std::vector<std::uint8_t>& arenaPattern() {
    static std::vector<std::uint8_t> pattern = [] {
        std::vector<std::uint8_t> a(kArenaBytes);
        std::uint32_t x = 2463534242u;
        for (auto& b : a) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = static_cast<std::uint8_t>(x);
        }
        return a;
    }();
    return pattern;
}

}  // namespace

int sequenceExportCount() { return static_cast<int>(taking().size()); }
const char* sequenceExportName(int index) { return taking()[static_cast<std::size_t>(index)].entry->name; }

int runCallSequence(ByteSource& in, int maxCalls, std::string* trace, std::vector<int>* counts) {
    // PALORAN_FUZZ_TRACE=1 in the environment prints every call as it is made.
    static const bool echo = std::getenv("PALORAN_FUZZ_TRACE") != nullptr;
    std::string echoed;
    if (echo && !trace) trace = &echoed;
    static std::vector<std::uint8_t> arena;
    arena = arenaPattern();
    const std::int32_t width = 1 + static_cast<std::int32_t>(in.below(24));
    const std::int32_t height = 1 + static_cast<std::int32_t>(in.below(24));
    freshPage(width, height, static_cast<std::int32_t>(in.below(4)));
    if (trace) *trace += "page " + std::to_string(width) + " x " + std::to_string(height) + "\n";
    const auto& exports = taking();
    int calls = 0;
    while (calls < maxCalls && !in.empty()) {
        const std::uint32_t which = in.below(static_cast<std::uint32_t>(exports.size()));
        const Prepared& p = exports[which];
        if (counts) {
            counts->resize(exports.size());
            ++(*counts)[which];
        }
        Context c{in, arena};
        c.roles = &p.roles;
        c.hostBuffers = p.hostBuffers;
        c.trace = trace;
        c.echo = echo;
        if (trace) {
            c.lineStart = trace->size();
            *trace += std::string(p.entry->name) + " ";
        }
        const auto started = std::chrono::steady_clock::now();
        p.entry->call(c);
        if (echo)
            std::fprintf(stderr, "  %lld us\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                      std::chrono::steady_clock::now() - started).count()));
        if (trace) *trace += "\n";
        ++calls;
        checkInvariants(p.entry->name);
    }
    return calls;
}

int callSequenceOne(const std::uint8_t* data, std::size_t size) {
    ByteSource in(data, size);
    runCallSequence(in, 64);
    finishPage();
    return 0;
}

}  // namespace plr::fuzz
