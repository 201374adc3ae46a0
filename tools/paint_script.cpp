#include "paint_script.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace plr::host {
namespace {

struct Shape {
    const char* keyword;
    int values;
    int textValues;  // the first N values may be text (not numbers)
};

// Every record the format knows, with its number of value lines.
constexpr Shape kShapes[] = {
    {"DrawStart", 3, 0},      {"SmoothPlot2", 5, 0},   {"DrawStop", 1, 0},      {"SelectBrush", 3, 0},
    {"SetBrushSize", 1, 0},   {"SetBrushDensity", 1, 0}, {"SetBrushOpacity", 1, 0}, {"SetColor", 3, 0},
    {"SetColorBanks", 13, 1}, {"Line2", 4, 0},         {"Spline", 8, 0},        {"Dab", 3, 0},
    {"Filter", 20, 20},       {"ScriptEnd", 0, 0},
};

const Shape* shapeOf(const std::string& keyword) {
    for (const Shape& s : kShapes)
        if (keyword == s.keyword) return &s;
    return nullptr;
}

bool toNumber(const std::string& text, double& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && errno == 0 && std::isfinite(out);
}

class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}
    bool next(std::string& line) {
        if (!std::getline(in_, line)) return false;
        ++number_;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    int number() const { return number_; }

private:
    std::istream& in_;
    int number_ = 0;
};

std::string at(int line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

}  // namespace

bool parsePaintScript(std::istream& in, PaintScript& out, std::string& error) {
    out = PaintScript{};
    LineReader r(in);
    std::string line;
    const char* header[] = {"1554", "Description", "1", " ", "RandomSeed"};
    for (const char* expected : header) {
        if (!r.next(line)) {
            error = at(r.number() + 1, "the file ends inside the header");
            return false;
        }
        if (line != expected) {
            error = at(r.number(), std::string("expected the header line \"") + expected + "\", found \"" + line + "\"");
            return false;
        }
    }
    double seed = 0;
    if (!r.next(line) || !toNumber(line, seed) || seed != std::floor(seed) || std::fabs(seed) > 2147483647.0) {
        error = at(r.number(), "the random seed must be a whole number");
        return false;
    }
    out.seed = static_cast<std::int32_t>(seed);

    while (r.next(line)) {
        if (line.empty()) continue;  // tolerate blank lines between records
        const Shape* shape = shapeOf(line);
        if (!shape) {
            error = at(r.number(), "unknown record \"" + line + "\"");
            return false;
        }
        ScriptRecord rec;
        rec.keyword = line;
        rec.line = r.number();
        for (int i = 0; i < shape->values; ++i) {
            if (!r.next(line)) {
                error = at(rec.line, "\"" + rec.keyword + "\" needs " + std::to_string(shape->values) +
                                         " values; the file ends after " + std::to_string(i));
                return false;
            }
            double v = 0;
            if (i >= shape->textValues && !toNumber(line, v)) {
                error = at(r.number(), "\"" + rec.keyword + "\" value " + std::to_string(i + 1) +
                                           " must be a number, found \"" + line + "\"");
                return false;
            }
            rec.texts.push_back(line);
            rec.values.push_back(v);
        }
        if (rec.keyword == "ScriptEnd") {
            out.ended = true;
            break;
        }
        out.records.push_back(std::move(rec));
    }
    return true;
}

std::string formatPaintScript(const PaintScript& script) {
    std::ostringstream o;
    o << "1554\r\nDescription\r\n1\r\n \r\nRandomSeed\r\n" << script.seed << "\r\n";
    for (const ScriptRecord& rec : script.records) {
        o << rec.keyword << "\r\n";
        for (const std::string& t : rec.texts) o << t << "\r\n";
    }
    if (script.ended) o << "ScriptEnd\r\n";
    return o.str();
}

}  // namespace plr::host
