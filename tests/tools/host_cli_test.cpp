// The command-line host, run as a user runs it: as a process.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class HostCli : public ::testing::Test {
protected:
    void SetUp() override {
        // The process id keeps suites run side by side (other build trees, ctest -j) apart.
        dir = fs::temp_directory_path() /
              ("plr_cli_" + std::to_string(::getpid()) + "_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Outcome run(const std::string& args) {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string cmd = std::string("\"") + PALORAN_CLI + "\" " + args + " >\"" + out.string() + "\" 2>\"" +
                                err.string() + "\"";
        Outcome r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }
    static std::string slurp(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    std::string writeScript(const std::string& name, const std::string& text) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    static std::string digestLine(const std::string& out) {
        const std::size_t at = out.find("digest: ");
        return at == std::string::npos ? "" : out.substr(at + 8, 16);
    }
    fs::path dir;
};

// Decodes a PNG; false when it is not one.
bool readPng(const std::string& path, int& w, int& h, std::vector<unsigned char>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    return true;
}

// The host's digest: FNV-1a over width, height (little-endian) and the RGB bytes.
std::string digestOf(int w, int h, const std::vector<unsigned char>& rgb) {
    unsigned long long v = 0xcbf29ce484222325ull;
    auto mix = [&](unsigned char b) { v = (v ^ b) * 0x100000001b3ull; };
    for (int s = 0; s < 32; s += 8) mix(static_cast<unsigned char>(w >> s));
    for (int s = 0; s < 32; s += 8) mix(static_cast<unsigned char>(h >> s));
    for (unsigned char b : rgb) mix(b);
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", v);
    return buf;
}

const char* kHeader = "1554\r\nDescription\r\n1\r\n \r\nRandomSeed\r\n7\r\n";

// Produced by the baseline loops (PALORAN_NO_AVX2=1); every fast path is
// held bit-exact to them by the differential tests.
const char* kDemoDigest = "f3d4258d54d2750f";
const char* kSmallDemoDigest = "8be637988859ef0a";

TEST_F(HostCli, DemoWritesThePictureAndItsDigest) {
    const std::string png = (dir / "demo.png").string();
    const Outcome r = run("demo -o \"" + png + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(readPng(png, w, h, rgb));
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 640);
    EXPECT_EQ(digestLine(r.out), digestOf(w, h, rgb)) << "the printed digest is the file's";
    EXPECT_EQ(digestLine(r.out), kDemoDigest);
    for (const char* stage : {"page:", "painting:", "paint:", "undo/redo: last stroke undone, redo restored it",
                              "render:", "write:"})
        EXPECT_NE(r.out.find(stage), std::string::npos) << stage;
    EXPECT_FALSE(fs::exists(png + ".tmp"));
}

TEST_F(HostCli, ReplayOfTheShippedScriptGivesTheDemo) {
    const std::string shipped = std::string(PALORAN_SOURCE_DIR) + "/data/demo.srp";
    const std::string written = (dir / "demo.srp").string();
    const Outcome d = run("demo -o \"" + (dir / "d.png").string() + "\" --write-script \"" + written + "\"");
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(slurp(written), slurp(shipped)) << "data/demo.srp is out of date: regenerate it with "
                                                 "'paloran demo --write-script data/demo.srp'";
    const Outcome r = run("replay \"" + shipped + "\" -o \"" + (dir / "r.png").string() + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(digestLine(r.out), digestLine(d.out));
}

TEST_F(HostCli, SizeAndRenderOptions) {
    const Outcome small = run("demo --size 480x320 -o \"" + (dir / "s.png").string() + "\"");
    ASSERT_EQ(small.status, 0) << small.err;
    EXPECT_EQ(digestLine(small.out), kSmallDemoDigest);
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    const Outcome big = run("demo --size 480x320 --scale 2 -o \"" + (dir / "b.png").string() + "\"");
    ASSERT_EQ(big.status, 0) << big.err;
    ASSERT_TRUE(readPng((dir / "b.png").string(), w, h, rgb));
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 640);
    const Outcome reduced = run("demo --size 480x320 --zoom 4 -o \"" + (dir / "z.png").string() + "\"");
    ASSERT_EQ(reduced.status, 0) << reduced.err;
    ASSERT_TRUE(readPng((dir / "z.png").string(), w, h, rgb));
    EXPECT_EQ(w, 120);
    EXPECT_EQ(h, 80);
    const Outcome masked = run("demo --size 480x320 --solid-mask --trace -o \"" + (dir / "m.png").string() + "\"");
    ASSERT_EQ(masked.status, 0) << masked.err;
    EXPECT_NE(digestLine(masked.out), digestLine(small.out));
    EXPECT_EQ(run("demo --scale 2 --zoom 2").status, 2);
    EXPECT_EQ(run("demo --size 0x10").status, 2);
    EXPECT_EQ(run("frobnicate").status, 2);
}

TEST_F(HostCli, MalformedScriptsStopWithTheLineAndWriteNothing) {
    struct Case {
        const char* name;
        std::string text;
        const char* expect;
    };
    const std::string stroke = "DrawStart\r\n10\r\n10\r\n-1\r\n";
    const Case cases[] = {
        {"unknown", std::string(kHeader) + stroke + "Paint\r\n", "line 11: unknown record \"Paint\""},
        {"missing", std::string(kHeader) + "SetColor\r\n1\r\n2\r\n", "line 7: \"SetColor\" needs 3 values"},
        {"text", std::string(kHeader) + "SetBrushSize\r\nbig\r\n", "line 8: \"SetBrushSize\" value 1 must be a number"},
        {"cut", std::string(kHeader) + stroke + "SmoothPlot2\r\n12\r\n", "line 11: \"SmoothPlot2\" needs 5 values"},
        {"header", "1554\r\nDescription\r\n2\r\n", "line 3: expected the header line \"1\""},
        {"brush", std::string(kHeader) + "SelectBrush\r\n99\r\n2\r\n0\r\n", "line 7: unknown brush 99"},
    };
    for (const Case& c : cases) {
        const std::string script = writeScript(std::string(c.name) + ".srp", c.text);
        const std::string png = (dir / (std::string(c.name) + ".png")).string();
        const Outcome r = run("replay \"" + script + "\" -o \"" + png + "\"");
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.err.find(c.expect), std::string::npos) << c.name << ": " << r.err;
        EXPECT_FALSE(fs::exists(png)) << c.name;
    }
    EXPECT_EQ(run("replay \"" + (dir / "absent.srp").string() + "\"").status, 1);
}

// A "Filter" record: name, random value, P1..P6, options 1..8, red, green, blue, text.
std::string filterRecord(const std::string& name, int p1 = 500) {
    std::string r = "Filter\r\n" + name + "\r\n0\r\n" + std::to_string(p1) + "\r\n";
    for (int i = 0; i < 16; ++i) r += "0\r\n";
    return r + "\r\n";
}

TEST_F(HostCli, FilterRecordsRunTheFilterAndUnknownNamesAreReportedOnce) {
    const std::string unknown = filterRecord("negative");
    const std::string script = writeScript(
        "f.srp", std::string(kHeader) + "SelectBrush\r\n1\r\n2\r\n0\r\nSetColor\r\n255\r\n0\r\n0\r\n" + unknown +
                     unknown + "Dab\r\n20\r\n20\r\n1\r\n" + filterRecord("Negative") +
                     "ScriptEnd\r\n");
    const Outcome r = run("replay \"" + script + "\" --size 40x40 -o \"" + (dir / "f.png").string() + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string note = "no filter is named \"negative\"";
    const std::size_t first = r.err.find(note);
    ASSERT_NE(first, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(note, first + 1), std::string::npos) << "reported once";
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(readPng((dir / "f.png").string(), w, h, rgb));
    const unsigned char* centre = &rgb[(20 * 40 + 20) * 3];
    EXPECT_EQ(centre[0], 0) << "the red dab came out cyan";
    EXPECT_EQ(centre[1], 255);
}

TEST_F(HostCli, FilterRunsANamedFilterOnAPicture) {
    // A picture through "Negative" and back gives the picture; "Threshold" gives two values.
    const std::string in = (dir / "in.png").string(), neg = (dir / "neg.png").string();
    ASSERT_EQ(run("demo --size 64x48 -o \"" + in + "\"").status, 0);
    Outcome r = run("filter Negative \"" + in + "\" \"" + neg + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    r = run("filter Negative \"" + neg + "\" \"" + (dir / "back.png").string() + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    int w = 0, h = 0, w2 = 0, h2 = 0;
    std::vector<unsigned char> a, b, c;
    ASSERT_TRUE(readPng(in, w, h, a));
    ASSERT_TRUE(readPng(neg, w2, h2, b));
    ASSERT_TRUE(readPng((dir / "back.png").string(), w2, h2, c));
    EXPECT_EQ(a, c);
    EXPECT_EQ(a[0], 255 - b[0]);
    r = run("filter Threshold \"" + in + "\" \"" + (dir / "t.png").string() + "\" --p1 300 --p2 1000 --color 1,2,3");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(readPng((dir / "t.png").string(), w, h, c));
    for (unsigned char v : c) ASSERT_TRUE(v == 0 || v == 255);
    EXPECT_EQ(run("filter \"No Such\" \"" + in + "\" \"" + (dir / "x.png").string() + "\"").status, 2);
    EXPECT_EQ(run("filter Blur \"" + in + "\" \"" + (dir / "x.png").string() + "\" --p7 1").status, 2);
    EXPECT_EQ(run("filter Blur \"" + in + "\" \"" + (dir / "x.png").string() + "\" --color 1,2").status, 2);
    EXPECT_FALSE(fs::exists(dir / "x.png"));
}

TEST_F(HostCli, FiltersListsEveryNameWithItsPipeline) {
    const Outcome r = run("filters");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 180);
    EXPECT_NE(r.out.find("A    Gaussian Blur\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("T    Surface Blur\n"), std::string::npos);
    EXPECT_NE(r.out.find("own  Adobe Compatible Plug-ins\n"), std::string::npos);
}

TEST_F(HostCli, DrawPutsShapesGradientsAndTextOnAPicture) {
    const std::string in = (dir / "in.png").string(), out = (dir / "out.png").string();
    ASSERT_EQ(run("demo --size 240x160 -o \"" + in + "\"").status, 0);
    const Outcome r = run("draw \"" + in + "\" \"" + out +
                          "\" --gradient 0,0,240,0 --colors \"0,0,255;0,0,255\" --rect 10,10,50,50 --color 255,0,0"
                          " --text Hi --at 100,100 --height 40 --color 0,255,0");
    ASSERT_EQ(r.status, 0) << r.err;
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(readPng(out, w, h, rgb));
    ASSERT_EQ(w, 240);
    const auto at = [&](int x, int y) { return std::vector<int>(&rgb[(y * w + x) * 3], &rgb[(y * w + x) * 3 + 3]); };
    EXPECT_EQ(at(20, 20), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(at(50, 20), (std::vector<int>{0, 0, 255}));  // the end column stays out
    int green = 0;
    for (int y = 100; y < 150; ++y)
        for (int x = 100; x < 160; ++x) green += at(x, y) == std::vector<int>{0, 255, 0};
    EXPECT_GT(green, 50);
    EXPECT_EQ(run("draw \"" + in + "\" \"" + out + "\" --rect 1,2,3").status, 2);
    EXPECT_EQ(run("draw \"" + in + "\" \"" + out + "\" --wobble 1").status, 2);
}

TEST_F(HostCli, GeometryOperationsGiveTheirSizesAndTurnsUndoEachOther) {
    const std::string in = (dir / "in.png").string();
    ASSERT_EQ(run("demo --size 120x80 -o \"" + in + "\"").status, 0);
    auto geometry = [&](const std::string& from, const std::string& to, const std::string& args) {
        return run("geometry \"" + from + "\" \"" + (dir / to).string() + "\" " + args);
    };
    int w = 0, h = 0;
    std::vector<unsigned char> original, rgb;
    ASSERT_TRUE(readPng(in, w, h, original));
    struct Case {
        std::string args;
        int w, h;
    };
    const Case cases[] = {{"--rotate left", 80, 120},  {"--flip h", 120, 80},
                          {"--crop 10,5,60,45", 50, 40}, {"--resize 60x40 --method \"Lanczos3\"", 60, 40},
                          {"--canvas 150x90 --anchor MC --color 10,20,30", 150, 90}, {"--carve 100x80", 100, 80}};
    for (const Case& c : cases) {
        const Outcome o = geometry(in, "o.png", c.args);
        ASSERT_EQ(o.status, 0) << c.args << o.err;
        ASSERT_TRUE(readPng((dir / "o.png").string(), w, h, rgb));
        EXPECT_EQ(w, c.w) << c.args;
        EXPECT_EQ(h, c.h) << c.args;
    }
    ASSERT_EQ(geometry(in, "r.png", "--rotate right").status, 0);
    ASSERT_EQ(geometry((dir / "r.png").string(), "l.png", "--rotate left").status, 0);
    ASSERT_TRUE(readPng((dir / "l.png").string(), w, h, rgb));
    EXPECT_EQ(rgb, original);
    EXPECT_EQ(geometry(in, "x.png", "--resize 60x40 --method lanczos3").status, 1);
    EXPECT_EQ(geometry(in, "x.png", "--crop 0,0,500,10").status, 1);
    EXPECT_EQ(geometry(in, "x.png", "--spin 3").status, 2);
}

TEST_F(HostCli, ConvertAndInfoReadAndWriteEveryFormat) {
    const std::string source = std::string(PALORAN_SOURCE_DIR) + "/tests/data/images/png_rgb.png";
    int w = 0, h = 0;
    std::vector<unsigned char> want;
    ASSERT_TRUE(readPng(source, w, h, want));
    for (const char* ext : {".bmp", ".tga", ".tif", ".pcx", ".psd", ".gif", ".emf", ".wmf", ".jpg", ".TIFF"}) {
        SCOPED_TRACE(ext);
        const std::string out = (dir / (std::string("p") + ext)).string();
        const Outcome c = run("convert \"" + source + "\" \"" + out + "\"");
        ASSERT_EQ(c.status, 0) << c.err;
        const Outcome i = run("info \"" + out + "\"");
        ASSERT_EQ(i.status, 0) << i.err;
        EXPECT_NE(i.out.find("13x7, 72 dpi"), std::string::npos) << i.out;
        const std::string back = (dir / "back.png").string();
        ASSERT_EQ(run("convert \"" + out + "\" \"" + back + "\"").status, 0);
        std::vector<unsigned char> got;
        ASSERT_TRUE(readPng(back, w, h, got));
        ASSERT_EQ(got.size(), want.size());
        int worst = 0;
        for (std::size_t k = 0; k < got.size(); ++k) worst = std::max(worst, std::abs(got[k] - want[k]));
        EXPECT_LE(worst, std::string(ext) == ".jpg" ? 24 : 0);
    }
    EXPECT_NE(run("info \"" + source + "\"").out.find("PNG, 13x7"), std::string::npos);
    EXPECT_NE(run("info").out.find("exports:"), std::string::npos) << "without a file: the engine's own info";
    EXPECT_EQ(run("convert \"" + source + "\" \"" + (dir / "x.xyz").string() + "\"").status, 1);
    EXPECT_FALSE(fs::exists(dir / "x.xyz"));
    EXPECT_FALSE(fs::exists(dir / "x.xyz.tmp"));
    EXPECT_EQ(run("convert \"" + (dir / "missing.png").string() + "\" \"" + (dir / "y.png").string() + "\"").status, 1);
    EXPECT_EQ(run("convert onlyone").status, 2);
}

TEST_F(HostCli, DemoWritesAnyWritableFormat) {
    const std::string bmp = (dir / "demo.bmp").string();
    const Outcome r = run("demo --size 96x64 -o \"" + bmp + "\"");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(bmp).substr(0, 2), "BM");
    const Outcome i = run("info \"" + bmp + "\"");
    EXPECT_NE(i.out.find("BMP, 96x64"), std::string::npos) << i.out;
}

// The host's commands as the command table lists them.
struct ListedCommand {
    const char* name;
    const char* synopsis;
};
constexpr ListedCommand kListed[] = {
#define PALORAN_COMMAND(function, name, synopsis, summary) {name, synopsis},
#include "tools/command_list.inc"
#undef PALORAN_COMMAND
};

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(HostCli, VersionAndHelpForEveryCommand) {
    const Outcome v = run("--version");
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.out, std::string("paloran ") + PALORAN_VERSION + "\n");

    const Outcome all = run("help");
    ASSERT_EQ(all.status, 0);
    for (const ListedCommand& c : kListed) {
        EXPECT_EQ(countOf(all.out, std::string("\n  ") + c.name + " "), 1u) << c.name << " listed once";
        const Outcome one = run(std::string("help ") + c.name);
        ASSERT_EQ(one.status, 0) << c.name;
        EXPECT_EQ(one.out.rfind(std::string("usage: paloran ") + c.synopsis + "\n", 0), 0u) << one.out;
    }
    // A command's own options come with it, and only those.
    const Outcome draw = run("help draw");
    EXPECT_NE(draw.out.find("--gradient X1,Y1,X2,Y2"), std::string::npos);
    EXPECT_EQ(draw.out.find("--seed N"), std::string::npos);

    const Outcome unknown = run("help paint");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no command 'paint'"), std::string::npos) << unknown.err;
}

TEST_F(HostCli, ManualPageIsTheHelpTextInRoff) {
    const Outcome man = run("help --man");
    ASSERT_EQ(man.status, 0);
    EXPECT_EQ(man.out.rfind(std::string(".TH PALORAN 1 \"\" \"paloran ") + PALORAN_VERSION + "\"", 0), 0u);
    for (const ListedCommand& c : kListed)
        EXPECT_NE(man.out.find(std::string(".TP\n.B ") + c.name), std::string::npos) << c.name;
    // Text never starts a line with a control character: only the page's own requests do.
    const std::vector<std::string> requests = {".TH ", ".SH ", ".SS ", ".TP", ".B ", ".I ", ".nf", ".fi"};
    std::istringstream lines(man.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || (line[0] != '.' && line[0] != '\'')) continue;
        EXPECT_TRUE(std::any_of(requests.begin(), requests.end(),
                                [&](const std::string& r) { return line.rfind(r, 0) == 0; }))
            << line;
    }
    // Minus signs and backslashes are escaped.
    EXPECT_NE(man.out.find("\\-\\-gradient"), std::string::npos);
    EXPECT_EQ(man.out.find(" --"), std::string::npos);
}

}  // namespace
