// paloran: the command-line host. It drives the engine only through its
// exports, as a windowed host does, and doubles as a reference for host
// developers.
#include <cstdio>
#include <cstring>

#include "paloran.h"

namespace {

// The exports this host was built against, counted from the export list.
constexpr int kExportCount = 0
#define PLR_EXPORT(result, name, params) +1
#include "paloran_exports.inc"
#undef PLR_EXPORT
    ;

int usage(std::FILE* out) {
    std::fputs(
        "usage: paloran <command> [options]\n"
        "commands:\n"
        "  info      print the engine version and the number of exports\n",
        out);
    return out == stdout ? 0 : 2;
}

int info() {
    std::printf("paloran %s\n", PALORAN_VERSION);
    std::printf("exports: %d\n", kExportCount);
    // A round trip through the engine proves the library loaded and answers.
    PLR_SetLastError("ready");
    std::printf("engine: %s\n", PLR_GetLastError());
    std::printf("physical memory: %u MiB total, %u MiB available\n", PLR_GetTotalPhyMemory(),
                PLR_GetAvailPhyMemory());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage(stderr);
    const char* cmd = argv[1];
    if (!std::strcmp(cmd, "info")) return info();
    if (!std::strcmp(cmd, "help") || !std::strcmp(cmd, "--help") || !std::strcmp(cmd, "-h")) return usage(stdout);
    std::fprintf(stderr, "paloran: unknown command '%s'\n", cmd);
    return usage(stderr);
}
