// paloran: the command-line host. It drives the engine only through its
// exports, as a windowed host does, and doubles as a reference for host
// developers: page set-up (document.cpp), tools (brushes.cpp), pen strokes
// into dabs (painter.cpp), paint-script replay (script_player.cpp) and
// rendering into a window bitmap (render_image.cpp).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "data_files.h"
#include "demo_script.h"
#include "document.h"
#include "help.h"
#include "paint_script.h"
#include "paloran.h"
#include "render_image.h"
#include "script_player.h"

using namespace plr::host;

namespace {

// The exports this host was built against, counted from the export list.
constexpr int kExportCount = 0
#define PLR_EXPORT(result, name, params) +1
#include "paloran_exports.inc"
#undef PLR_EXPORT
    ;

struct Options {
    std::string output;
    std::string script;
    std::string writeScript;
    int width = 960, height = 640;
    bool haveSeed = false;
    int seed = 1;
    RenderOptions render;
};

bool parseSize(const char* text, int& w, int& h) {
    return std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 10000 && h <= 10000;
}

// Parses options after the command; returns false with a message.
bool parseOptions(int argc, char** argv, int first, Options& o, std::string& error) {
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "-o") {
            const char* v = value("-o");
            if (!v) return false;
            o.output = v;
        } else if (a == "--size") {
            const char* v = value("--size");
            if (!v) return false;
            if (!parseSize(v, o.width, o.height)) {
                error = "--size takes WxH with sides 1..10000";
                return false;
            }
        } else if (a == "--seed") {
            const char* v = value("--seed");
            if (!v) return false;
            o.seed = std::atoi(v);
            o.haveSeed = true;
        } else if (a == "--scale") {
            const char* v = value("--scale");
            if (!v) return false;
            o.render.scale = std::atoi(v);
            if (o.render.scale < 1 || o.render.scale > 16) {
                error = "--scale takes 1..16";
                return false;
            }
        } else if (a == "--zoom") {
            const char* v = value("--zoom");
            if (!v) return false;
            o.render.zoom = static_cast<float>(std::atof(v));
            if (!(o.render.zoom >= 1.0f && o.render.zoom <= 64.0f)) {
                error = "--zoom takes a reduction factor from 1 to 64";
                return false;
            }
        } else if (a == "--mask") {
            o.render.showMask = true;
        } else if (a == "--solid-mask") {
            o.render.showMask = o.render.solidMask = true;
        } else if (a == "--trace") {
            o.render.tracing = true;
        } else if (a == "--write-script") {
            const char* v = value("--write-script");
            if (!v) return false;
            o.writeScript = v;
        } else if (!a.empty() && a[0] != '-' && o.script.empty()) {
            o.script = a;
        } else {
            error = "unknown option '" + a + "'";
            return false;
        }
    }
    if (o.render.scale > 1 && o.render.zoom > 1.0f) {
        error = "--scale and --zoom exclude each other";
        return false;
    }
    return true;
}

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Plays a script and reports progress for long stages.
PlayResult playWithProgress(const PaintScript& script, Painter& painter) {
    PaintScript part;
    part.seed = script.seed;
    PlayResult total;
    const std::size_t n = script.records.size(), step = n / 4 + 1;
    for (std::size_t begin = 0; begin < n; begin += step) {
        const std::size_t end = std::min(n, begin + step);
        part.records.assign(script.records.begin() + static_cast<std::ptrdiff_t>(begin),
                            script.records.begin() + static_cast<std::ptrdiff_t>(end));
        const PlayResult r = playScript(part, painter, stderr);
        total.skipped += r.skipped;
        if (!r.ok) return r;
        std::printf("  painting: %3d%% (%lld dabs)\n", static_cast<int>(100 * end / n),
                    static_cast<long long>(painter.dabCount()));
    }
    return total;
}

int finish(const Options& o, const std::string& output) {
    auto t = Clock::now();
    const RgbImage image = renderPage(o.width, o.height, o.render);
    std::printf("render: %dx%d in %.1f ms\n", image.width, image.height, msSince(t));
    t = Clock::now();
    std::string error;
    if (!savePictureRGB(output, image.rgb.data(), image.width, image.height, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 1;
    }
    std::printf("write: %s in %.1f ms\n", output.c_str(), msSince(t));
    std::printf("digest: %s\n", hex64(digestOf(image)).c_str());
    return 0;
}

bool startDocument(const Options& o, int seed) {
    const auto t = Clock::now();
    std::string error;
    if (!createDocument({o.width, o.height, seed}, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return false;
    }
    std::printf("page: %dx%d, 6 layers, seed %d in %.1f ms\n", o.width, o.height, seed, msSince(t));
    return true;
}

// Undo and redo of the last stroke must give back the same pixels.
bool undoRedoCheck(const Options& o) {
    const auto t = Clock::now();
    const std::size_t bytes = static_cast<std::size_t>(o.width) * static_cast<std::size_t>(o.height) * 4;
    std::vector<std::uint8_t> before(bytes), undone(bytes), after(bytes);
    const int slot = PLR_GetLayerNum();
    PLR_GetRGBA32Layer(before.data(), o.width * 4, slot);
    PLR_Undo();
    PLR_GetRGBA32Layer(undone.data(), o.width * 4, slot);
    const bool redoable = PLR_CanRedo() == 1;
    PLR_Redo();
    PLR_GetRGBA32Layer(after.data(), o.width * 4, slot);
    const bool changed = before != undone, restored = before == after;
    std::printf("undo/redo: last stroke %s, redo %s in %.1f ms\n", changed ? "undone" : "NOT undone",
                restored && redoable ? "restored it" : "FAILED", msSince(t));
    return changed && restored && redoable;
}

int demo(Options o) {
    if (o.output.empty()) o.output = "demo.png";
    const int seed = o.haveSeed ? o.seed : 1;
    const PaintScript script = demoScript(o.width, o.height, seed);
    if (!o.writeScript.empty()) {
        std::ofstream f(o.writeScript, std::ios::binary);
        f << formatPaintScript(script);
        if (!f) {
            std::fprintf(stderr, "paloran: cannot write %s\n", o.writeScript.c_str());
            return 1;
        }
        std::printf("script: %s (%zu records)\n", o.writeScript.c_str(), script.records.size());
    }
    if (!startDocument(o, seed)) return 1;
    Painter painter(o.width, o.height);
    auto t = Clock::now();
    const PlayResult r = playWithProgress(script, painter);
    if (!r.ok) {
        std::fprintf(stderr, "paloran: demo script: %s\n", r.error.c_str());
        return 1;
    }
    std::printf("paint: %lld strokes, %lld dabs in %.1f ms\n", static_cast<long long>(painter.strokeCount()),
                static_cast<long long>(painter.dabCount()), msSince(t));
    if (!undoRedoCheck(o)) return 1;
    const int rc = finish(o, o.output);
    deleteDocument();
    return rc;
}

int replay(Options o) {
    if (o.script.empty()) {
        std::fprintf(stderr, "paloran: replay needs a script file\n");
        return 2;
    }
    // The picture goes beside the name given (a shipped script's folder may not be writable).
    const std::string given = o.script;
    o.script = findDataFile(given, "");
    std::ifstream in(o.script, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "paloran: cannot open %s\n", o.script.c_str());
        return 1;
    }
    PaintScript script;
    std::string error;
    if (!parsePaintScript(in, script, error)) {
        std::fprintf(stderr, "paloran: %s: %s\n", o.script.c_str(), error.c_str());
        return 1;
    }
    if (o.output.empty()) {
        const std::size_t dot = given.rfind('.');
        o.output = (dot == std::string::npos ? given : given.substr(0, dot)) + ".png";
    }
    if (!startDocument(o, o.haveSeed ? o.seed : script.seed)) return 1;
    Painter painter(o.width, o.height);
    const auto t = Clock::now();
    const PlayResult r = playWithProgress(script, painter);
    if (!r.ok) {
        std::fprintf(stderr, "paloran: %s: %s\n", o.script.c_str(), r.error.c_str());
        deleteDocument();
        return 1;
    }
    std::printf("paint: %zu records, %lld strokes, %lld dabs in %.1f ms%s\n", script.records.size(),
                static_cast<long long>(painter.strokeCount()), static_cast<long long>(painter.dabCount()),
                msSince(t), r.skipped ? " (some records skipped)" : "");
    const int rc = finish(o, o.output);
    deleteDocument();
    return rc;
}

int info() {
    std::printf("paloran %s\n", PALORAN_VERSION);
    std::printf("exports: %d\n", kExportCount);
    PLR_SetLastError("ready");
    std::printf("engine: %s\n", PLR_GetLastError());
    std::printf("physical memory: %u MiB total, %u MiB available\n", PLR_GetTotalPhyMemory(),
                PLR_GetAvailPhyMemory());
    return 0;
}

}  // namespace

namespace plr::host {

namespace {

int withOptions(int argc, char** argv, int (*command)(Options)) {
    Options o;
    std::string error;
    if (!parseOptions(argc, argv, 0, o, error)) {
        std::fprintf(stderr, "paloran: %s\n", error.c_str());
        return 2;
    }
    return command(o);
}

}  // namespace

int runDemo(int argc, char** argv) { return withOptions(argc, argv, demo); }
int runReplay(int argc, char** argv) { return withOptions(argc, argv, replay); }
int runInfo(int argc, char** argv) { return argc > 0 ? runFileInfo(argc, argv) : info(); }

}  // namespace plr::host

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const std::string cmd = argv[1];
    if (cmd == "help" || cmd == "--help" || cmd == "-h") return runHelp(argc - 2, argv + 2);
    if (cmd == "--version") {
        std::printf("paloran %s\n", PALORAN_VERSION);
        return 0;
    }
    for (const Command& c : kCommands)
        if (cmd == c.name) return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "paloran: unknown command '%s' (try 'paloran help')\n", cmd.c_str());
    return 2;
}
