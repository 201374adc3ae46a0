#pragma once
// The paint-script file a Lua filter records: plain text, one value a line,
// every line ended by CR LF, no quoting and no escaping. The host's script
// player reads it back.
#include <cstddef>
#include <cstdio>

namespace plr::script {

// The file under the start directory. The start directory ends with the
// separator; nothing is put between the two. Windows separates folders with
// a backslash, the other systems with a slash.
#if defined(_WIN32)
inline constexpr char kPaintScriptFile[] = "scripts\\luapaint.srp";
#else
inline constexpr char kPaintScriptFile[] = "scripts/luapaint.srp";
#endif

// Start directory + kPaintScriptFile into `out`; false (out empty) when it
// does not fit in `capacity` bytes with its terminator.
bool paintScriptPath(const char* startDir, char* out, std::size_t capacity) noexcept;

// At most one open file. Writes are not checked: a full disk loses records
// silently, as a closed file does.
class PaintRecorder {
public:
    PaintRecorder() = default;
    PaintRecorder(const PaintRecorder&) = delete;
    PaintRecorder& operator=(const PaintRecorder&) = delete;
    ~PaintRecorder() { close(false); }

    // Replaces any file at `path`. A file already open is closed first
    // (without "ScriptEnd"). False, and nothing open, when it cannot be made.
    bool open(const char* path) noexcept;
    // Writes "ScriptEnd" first when asked; nothing when no file is open.
    void close(bool writeEnd) noexcept;
    bool isOpen() const noexcept { return file_ != nullptr; }

    // One line. A line break or NUL inside the text would split the record
    // and shift every later one: each becomes a blank.
    void line(const char* text, std::size_t length) noexcept;
    void line(const char* text) noexcept;

private:
    std::FILE* file_ = nullptr;
};

}  // namespace plr::script
