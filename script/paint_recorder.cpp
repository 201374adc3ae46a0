#include "script/paint_recorder.h"

#include <cstring>

namespace plr::script {

bool paintScriptPath(const char* startDir, char* out, std::size_t capacity) noexcept {
    if (capacity == 0) return false;
    out[0] = '\0';
    const std::size_t dir = startDir ? std::strlen(startDir) : 0;
    const std::size_t total = dir + sizeof kPaintScriptFile;  // with the terminator
    if (total > capacity) return false;
    if (dir) std::memcpy(out, startDir, dir);
    std::memcpy(out + dir, kPaintScriptFile, sizeof kPaintScriptFile);
    return true;
}

bool PaintRecorder::open(const char* path) noexcept {
    close(false);
    // Binary, with CR LF written out: the same bytes on every system.
    file_ = path && *path ? std::fopen(path, "wb") : nullptr;
    return file_ != nullptr;
}

void PaintRecorder::close(bool writeEnd) noexcept {
    if (!file_) return;
    if (writeEnd) line("ScriptEnd");
    std::fclose(file_);
    file_ = nullptr;
}

void PaintRecorder::line(const char* text, std::size_t length) noexcept {
    if (!file_) return;
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != '\0') continue;
        std::fwrite(text + start, 1, i - start, file_);
        std::fputc(' ', file_);
        start = i + 1;
    }
    std::fwrite(text + start, 1, length - start, file_);
    std::fwrite("\r\n", 1, 2, file_);
}

void PaintRecorder::line(const char* text) noexcept { line(text, std::strlen(text)); }

}  // namespace plr::script
