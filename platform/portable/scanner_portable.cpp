// Scanners through SANE, loaded at run time so that the engine runs where
// SANE is not installed.
#include <dlfcn.h>
#include <sane/sane.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/scanner.h"

namespace plr::platform {
namespace {

struct SaneApi {
    void* library = nullptr;
    SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback) = nullptr;
    void (*exit)() = nullptr;
    SANE_Status (*getDevices)(const SANE_Device***, SANE_Bool) = nullptr;
    SANE_Status (*open)(SANE_String_Const, SANE_Handle*) = nullptr;
    void (*close)(SANE_Handle) = nullptr;
    SANE_Status (*start)(SANE_Handle) = nullptr;
    SANE_Status (*getParameters)(SANE_Handle, SANE_Parameters*) = nullptr;
    SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) = nullptr;
    void (*cancel)(SANE_Handle) = nullptr;
};

template <class F>
bool bind(void* library, const char* name, F& f) {
    f = reinterpret_cast<F>(dlsym(library, name));
    return f != nullptr;
}

// Loaded once; stays loaded (backends keep their own state across inits).
const SaneApi* sane() {
    static const SaneApi api = [] {
        SaneApi a;
        a.library = dlopen("libsane.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!a.library) return a;
        const bool all = bind(a.library, "sane_init", a.init) && bind(a.library, "sane_exit", a.exit) &&
                         bind(a.library, "sane_get_devices", a.getDevices) && bind(a.library, "sane_open", a.open) &&
                         bind(a.library, "sane_close", a.close) && bind(a.library, "sane_start", a.start) &&
                         bind(a.library, "sane_get_parameters", a.getParameters) &&
                         bind(a.library, "sane_read", a.read) && bind(a.library, "sane_cancel", a.cancel);
        if (!all) a.library = nullptr;
        return a;
    }();
    return api.library ? &api : nullptr;
}

// One SANE session: initialised on construction, ended on destruction.
class Session {
public:
    explicit Session(const SaneApi& api) : api_(api) {
        SANE_Int version = 0;
        ok_ = api_.init(&version, nullptr) == SANE_STATUS_GOOD;
    }
    ~Session() {
        if (handle_) {
            api_.cancel(handle_);
            api_.close(handle_);
        }
        if (ok_) api_.exit();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The devices' names, in SANE's order.
    std::vector<std::string> devices() {
        std::vector<std::string> names;
        const SANE_Device** list = nullptr;
        if (ok_ && api_.getDevices(&list, SANE_FALSE) == SANE_STATUS_GOOD && list)
            for (; *list; ++list) names.emplace_back((*list)->name);
        return names;
    }
    bool open(const std::string& name) { return ok_ && api_.open(name.c_str(), &handle_) == SANE_STATUS_GOOD; }
    SANE_Handle handle() const { return handle_; }

private:
    const SaneApi& api_;
    bool ok_ = false;
    SANE_Handle handle_ = nullptr;
};

// The 8-bit value of sample `i` of a line.
std::uint8_t sample(const std::uint8_t* line, std::size_t i, int depth) {
    switch (depth) {
        case 1: return (line[i / 8] >> (7 - i % 8)) & 1 ? 0 : 255;  // a set bit is black
        case 16: {
            std::uint16_t v;
            std::memcpy(&v, line + i * 2, 2);  // host byte order
            return static_cast<std::uint8_t>(v >> 8);
        }
        default: return line[i];
    }
}

// One frame of the scan: its parameters and its bytes.
struct Frame {
    SANE_Parameters p{};
    std::vector<std::uint8_t> bytes;
};

bool readFrame(const SaneApi& api, SANE_Handle h, Frame& f) {
    if (api.start(h) != SANE_STATUS_GOOD || api.getParameters(h, &f.p) != SANE_STATUS_GOOD) return false;
    std::uint8_t buffer[32768];
    for (;;) {
        SANE_Int n = 0;
        const SANE_Status s = api.read(h, buffer, sizeof buffer, &n);
        if (s == SANE_STATUS_EOF) break;
        if (s != SANE_STATUS_GOOD) return false;
        f.bytes.insert(f.bytes.end(), buffer, buffer + n);
    }
    return f.p.bytes_per_line > 0 && f.p.pixels_per_line > 0;
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The frames (one RGB or grey frame, or separate red, green and blue ones)
// as a 24-bit top-down DIB.
bool framesToDib(const std::vector<Frame>& frames, std::vector<std::uint8_t>& dib) {
    const SANE_Parameters& p = frames[0].p;
    const std::size_t width = static_cast<std::size_t>(p.pixels_per_line);
    std::size_t height = frames[0].bytes.size() / static_cast<std::size_t>(p.bytes_per_line);
    for (const Frame& f : frames) {
        if (f.p.pixels_per_line != p.pixels_per_line || f.p.depth != p.depth) return false;
        height = std::min(height, f.bytes.size() / static_cast<std::size_t>(f.p.bytes_per_line));
    }
    if (height == 0 || width > 0x7FFF || height > 0x7FFF) return false;
    const std::size_t row = (width * 3 + 3) & ~std::size_t{3};
    dib.assign(40 + row * height, 0);
    put32(&dib[0], 40);
    put32(&dib[4], static_cast<std::uint32_t>(width));
    put32(&dib[8], static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)));  // top row first
    dib[12] = 1;
    dib[14] = 24;
    put32(&dib[20], static_cast<std::uint32_t>(row * height));
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* d = &dib[40 + y * row];
        for (const Frame& f : frames) {
            const std::uint8_t* line = f.bytes.data() + y * static_cast<std::size_t>(f.p.bytes_per_line);
            for (std::size_t x = 0; x < width; ++x) {
                // DIB order is blue, green, red.
                switch (f.p.format) {
                    case SANE_FRAME_RGB:
                        for (int c = 0; c < 3; ++c) d[x * 3 + 2 - c] = sample(line, x * 3 + c, f.p.depth);
                        break;
                    case SANE_FRAME_RED: d[x * 3 + 2] = sample(line, x, f.p.depth); break;
                    case SANE_FRAME_GREEN: d[x * 3 + 1] = sample(line, x, f.p.depth); break;
                    case SANE_FRAME_BLUE: d[x * 3] = sample(line, x, f.p.depth); break;
                    default: d[x * 3] = d[x * 3 + 1] = d[x * 3 + 2] = sample(line, x, f.p.depth); break;
                }
            }
        }
    }
    return true;
}

}  // namespace

bool scannerAvailable() {
    const SaneApi* api = sane();
    if (!api) return false;
    Session session(*api);
    return !session.devices().empty();
}

bool selectScannerSource(void*, std::string& source) {
    const SaneApi* api = sane();
    if (!api) return false;
    Session session(*api);
    const std::vector<std::string> devices = session.devices();
    if (devices.empty()) return false;
    source = devices.front();
    if (const char* wanted = std::getenv("PALORAN_SCANNER"))
        for (const std::string& d : devices)
            if (d == wanted) source = d;
    return true;
}

bool acquireScannedPicture(void*, const std::string& source, const std::function<void(const void* dib)>& take) {
    const SaneApi* api = sane();
    if (!api) return false;
    Session session(*api);
    const std::vector<std::string> devices = session.devices();
    if (devices.empty()) return false;
    if (!session.open(source.empty() ? devices.front() : source)) return false;
    std::vector<Frame> frames;
    do {
        frames.emplace_back();
        if (!readFrame(*api, session.handle(), frames.back())) return false;
    } while (!frames.back().p.last_frame && frames.size() < 3);
    std::vector<std::uint8_t> dib;
    if (!framesToDib(frames, dib)) return false;
    take(dib.data());
    return true;
}

}  // namespace plr::platform
