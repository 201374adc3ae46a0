#pragma once
// Outside programs some tests check the engine's files with (ffprobe,
// ffmpeg, pdfinfo, pdftoppm): whether one is installed, and running a
// command for its output. Off Windows only; elsewhere none is found.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plr::test {

// The command's standard output; `ok` false when it could not run or
// exited with a failure.
inline std::vector<std::uint8_t> commandOutput(const std::string& command, bool& ok) {
    std::vector<std::uint8_t> out;
    ok = false;
#ifndef _WIN32
    if (std::FILE* p = popen(command.c_str(), "r")) {
        std::uint8_t buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.insert(out.end(), buffer, buffer + n);
        ok = pclose(p) == 0;
    }
#else
    (void)command;
#endif
    return out;
}

inline std::string commandText(const std::string& command, bool& ok) {
    const std::vector<std::uint8_t> out = commandOutput(command, ok);
    return std::string(out.begin(), out.end());
}

inline bool haveProgram(const char* name) {
#ifdef _WIN32
    (void)name;
    return false;
#else
    bool ok = false;
    commandOutput(std::string("command -v ") + name + " >/dev/null 2>&1", ok);
    return ok;
#endif
}

}  // namespace plr::test
