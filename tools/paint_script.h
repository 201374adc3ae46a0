#pragma once
// Paint scripts (.srp): the plain-text brush commands a Lua filter records
// and a host replays. A record is a keyword line followed by a fixed number
// of value lines; the file starts with the six-line "1554" header.
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace plr::host {

struct ScriptRecord {
    std::string keyword;
    std::vector<std::string> texts;  // the value lines as written
    std::vector<double> values;      // the same lines as numbers (0 where text is allowed)
    int line = 0;                    // line number of the keyword
};

struct PaintScript {
    std::int32_t seed = 0;
    bool ended = false;  // a "ScriptEnd" record closed the script
    std::vector<ScriptRecord> records;
};

// Parses a whole script. On failure returns false and sets `error` to
// "line N: reason". Accepts LF and CR LF line ends.
bool parsePaintScript(std::istream& in, PaintScript& out, std::string& error);

// Writes a script in the recorded form (CR LF line ends), e.g. for the demo.
std::string formatPaintScript(const PaintScript& script);

}  // namespace plr::host
