// The host's help text and its renderings: plain text for the terminal, roff
// for the manual page built beside the program.
#include "help.h"

#include <cstring>
#include <string>

#include "brushes.h"
#include "commands.h"

namespace plr::host {

namespace {

// A block of option text, preformatted in 80 columns, and the commands it
// concerns (space-separated names).
struct HelpSection {
    const char* title;
    const char* commands;
    const char* body;
};

constexpr HelpSection kSections[] = {
    {"options of demo and replay", "demo replay",
     "  -o FILE            output picture, its format by extension: .png .bmp .jpg .gif .tif .tga\n"
     "                     .pcx .psd .emf .wmf (demo: demo.png, replay: the script's name with .png)\n"
     "  --size WxH         page size (default 960x640)\n"
     "  --seed N           random seed (replay: default from the script)\n"
     "  --scale N          render magnified N times\n"
     "  --zoom F           render reduced by F (F > 1)\n"
     "  --mask             show the selection mask overlay (translucent); --solid-mask: solid\n"
     "  --trace            blend the tracing image (a grid) into the render\n"
     "  --write-script F   demo: also write the demo as a paint script\n"},
    {"options of draw (drawings run in the order given; each takes the settings given\n"
     "before it and after it up to the next drawing)",
     "draw",
     "  --rect X1,Y1,X2,Y2     filled rectangle: columns X1 up to X2 (X2 left out), rows Y1..Y2\n"
     "  --ellipse X1,Y1,X2,Y2  filled, anti-aliased ellipse in that box\n"
     "  --gradient X1,Y1,X2,Y2 gradient from (X1,Y1) to (X2,Y2); radial: centre and a rim point\n"
     "  --text \"...\"          a line of text, its top-left at --at\n"
     "  --color R,G,B          shape and text colour (default 0,0,0)\n"
     "  --opacity N            shape opacity in percent (default 100)\n"
     "  --colors R,G,B[;R,G,B] gradient colours, 1 to 4 (1: the colour fading out)\n"
     "  --kind Linear|Radial   gradient kind (default Linear)\n"
     "  --at X,Y               text position (default 0,0)\n"
     "  --font FAMILY          text font family (default DejaVu Sans); --height N pixels\n"
     "                         (default 32), --weight N (100..900), --italic, --aliased\n"},
    {"paint scripts", "replay",
     "  the records \"DrawStart\", \"SmoothPlot2\", \"DrawStop\", \"SelectBrush\",\n"
     "  \"SetBrushSize\", \"SetBrushDensity\", \"SetBrushOpacity\", \"SetColor\", \"SetColorBanks\",\n"
     "  \"Line2\", \"Spline\", \"Dab\", \"Filter\" and \"ScriptEnd\" after the \"1554\" header.\n"
     "  \"SelectBrush\" takes: brush number, layer slot (2 paint, 3 Multiply glaze, 4 its Layer Mask\n"
     "  stencil; 0 keeps the slot), actions (1 opens the whole selection mask first, 2 closes it).\n"
     "  Pressure 0 counts as full pressure; pressure scales dab size and opacity.\n"},
};

constexpr const char* kBrushesTitle = "built-in brushes";
constexpr const char* kBrushesFor = "replay";
constexpr const char* kHelpSynopsis = "help [COMMAND]";
constexpr const char* kHelpSummary = "this text, or one command's synopsis and options";

bool concerns(const char* commands, const char* name) {
    const std::size_t n = std::strlen(name);
    for (const char* p = commands; (p = std::strstr(p, name)) != nullptr; p += n) {
        const bool starts = p == commands || p[-1] == ' ';
        const bool ends = p[n] == '\0' || p[n] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

const Command* findCommand(const char* name) {
    for (const Command& c : kCommands)
        if (std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

// The brushes a script's "SelectBrush" records can name, one a line.
std::string brushLines() {
    std::string lines;
    for (int i = 0; i < brushCount(); ++i) {
        const Brush& b = brushAt(i);
        char line[256];
        std::snprintf(line, sizeof line, "  %d  %-10s %s\n", b.number, b.name, b.description);
        lines += line;
    }
    return lines;
}

void printSection(std::FILE* out, const HelpSection& s) { std::fprintf(out, "\n%s:\n%s", s.title, s.body); }

// roff: a backslash is \e, a minus sign \-, and a line may not start with a
// control character ('.' or '\'').
std::string roff(const std::string& text) {
    std::string r;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) r += "\\&";
        if (c == '\\')
            r += "\\e";
        else if (c == '-')
            r += "\\-";
        else
            r += c;
        lineStart = c == '\n';
    }
    return r;
}

// A preformatted block, copied line for line.
void manBlock(std::FILE* out, const std::string& text) {
    std::fprintf(out, ".nf\n%s%s.fi\n", roff(text).c_str(), text.empty() || text.back() == '\n' ? "" : "\n");
}

}  // namespace

void printUsage(std::FILE* out) {
    std::fputs("usage: paloran <command> [options]\n\ncommands:\n", out);
    for (const Command& c : kCommands) std::fprintf(out, "  %-34s %s\n", c.synopsis, c.summary);
    std::fprintf(out, "  %-34s %s\n", kHelpSynopsis, kHelpSummary);
    std::fprintf(out, "  %-34s %s\n", "--version", "the engine's version");
    for (const HelpSection& s : kSections) printSection(out, s);
    std::fprintf(out, "\n%s:\n%s", kBrushesTitle, brushLines().c_str());
}

bool printCommandHelp(std::FILE* out, const char* name) {
    const Command* c = findCommand(name);
    if (!c) return false;
    std::fprintf(out, "usage: paloran %s\n\n%s\n", c->synopsis, c->summary);
    for (const HelpSection& s : kSections)
        if (concerns(s.commands, name)) printSection(out, s);
    if (concerns(kBrushesFor, name)) {
        std::fprintf(out, "\n%s:\n%s", kBrushesTitle, brushLines().c_str());
    }
    return true;
}

void printManPage(std::FILE* out) {
    std::fprintf(out, ".TH PALORAN 1 \"\" \"paloran %s\" \"User Commands\"\n", PALORAN_VERSION);
    std::fputs(".SH NAME\npaloran \\- command-line host of the paloran painting engine\n", out);
    std::fputs(".SH SYNOPSIS\n.B paloran\n.I command\n[\\fIoptions\\fR]\n", out);
    std::fputs(".SH DESCRIPTION\n"
               "paloran drives the painting engine through its C exports only, as a windowed host does:\n"
               "it paints, replays paint scripts, converts, draws on, fills, transforms and filters pictures.\n",
               out);
    std::fputs(".SH COMMANDS\n", out);
    auto item = [out](const char* synopsis, const char* summary) {
        std::fprintf(out, ".TP\n.B %s\n%s\n", roff(synopsis).c_str(), roff(summary).c_str());
    };
    for (const Command& c : kCommands) item(c.synopsis, c.summary);
    item(kHelpSynopsis, kHelpSummary);
    item("--version", "the engine's version");
    std::fputs(".SH OPTIONS\n", out);
    for (const HelpSection& s : kSections) {
        std::string title = s.title;
        for (char& ch : title)
            if (ch == '\n') ch = ' ';
        std::fprintf(out, ".SS %s\n", roff(title).c_str());
        manBlock(out, s.body);
    }
    std::fputs(".SH BRUSHES\n", out);
    manBlock(out, brushLines());
}

int runHelp(int argc, char** argv) {
    if (argc == 0) {
        printUsage(stdout);
        return 0;
    }
    if (std::strcmp(argv[0], "--man") == 0) {
        printManPage(stdout);
        return 0;
    }
    if (printCommandHelp(stdout, argv[0])) return 0;
    std::fprintf(stderr, "paloran: no command '%s' (try 'paloran help')\n", argv[0]);
    return 2;
}

}  // namespace plr::host
