#include "demo_script.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "document.h"
#include "script_player.h"

namespace plr::host {
namespace {

// Numbers as a Lua filter writes them ("%.14g").
std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.14g", v);
    return buf;
}

class Builder {
public:
    Builder(int w, int h) : w_(w), h_(h) {}
    PaintScript script;

    double X(double f) const { return std::round(f * w_); }
    double Y(double f) const { return std::round(f * h_); }

    void record(const char* keyword, std::initializer_list<double> values) {
        ScriptRecord r;
        r.keyword = keyword;
        for (double v : values) {
            r.texts.push_back(num(v));
            r.values.push_back(v);
        }
        script.records.push_back(std::move(r));
    }
    void brush(int number, int slot, int actions = 0) { record("SelectBrush", {double(number), double(slot), double(actions)}); }
    void size(double v) { record("SetBrushSize", {v}); }
    void opacity(double v) { record("SetBrushOpacity", {v}); }
    void density(double v) { record("SetBrushDensity", {v}); }
    void color(int r, int g, int b) { record("SetColor", {double(r), double(g), double(b)}); }
    // A pen stroke through points given as page fractions, with pressure.
    void stroke(std::initializer_list<std::initializer_list<double>> points) {
        bool first = true;
        for (auto p : points) {
            const double* v = p.begin();
            if (first) {
                record("DrawStart", {X(v[0]), Y(v[1]), -1});
                record("SmoothPlot2", {0, 0, 0, 1, 0});
                first = false;
            }
            record("SmoothPlot2", {X(v[0]), Y(v[1]), p.size() > 2 ? v[2] : 1.0, 0, 0});
        }
        record("SmoothPlot2", {0, 0, 0, 0, 1});
        record("DrawStop", {1});
    }
    void line(double x0, double y0, double x1, double y1) { record("Line2", {X(x0), Y(y0), X(x1), Y(y1)}); }
    void spline(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3) {
        record("Spline", {X(x0), Y(y0), X(x1), Y(y1), X(x2), Y(y2), X(x3), Y(y3)});
    }
    void dab(double x, double y, double p) { record("Dab", {X(x), Y(y), p}); }

private:
    int w_, h_;
};

}  // namespace

PaintScript demoScript(int width, int height, int seed) {
    Builder b(width, height);
    b.script.seed = seed;
    const double unit = std::min(width, height) / 640.0;  // brush sizes follow the page
    auto px = [&](double v) { return std::max(1.0, std::round(v * unit)); };

    // Sky: soft strokes on a paint layer, darker at the top.
    b.brush(2, kPaintSlot);
    b.size(px(220));
    b.opacity(70);
    for (int i = 0; i < 6; ++i) {
        const double t = i / 5.0;
        b.color(static_cast<int>(90 + 110 * t), static_cast<int>(140 + 80 * t), static_cast<int>(215 + 25 * t));
        const double y = 0.05 + 0.085 * i;
        b.stroke({{-0.05, y, 1}, {0.5, y + 0.02, 1}, {1.05, y, 1}});
    }
    // Clouds: the eraser opens the sky down to the white background.
    b.brush(6, kPaintSlot);
    b.size(px(70));
    b.opacity(60);
    b.stroke({{0.12, 0.16, 0.4}, {0.2, 0.14, 1}, {0.3, 0.16, 0.7}, {0.36, 0.15, 0.3}});
    b.stroke({{0.5, 0.1, 0.3}, {0.58, 0.09, 0.9}, {0.66, 0.11, 0.5}});
    // Sun.
    b.brush(2, kPaintSlot);
    b.size(px(150));
    b.opacity(100);
    b.color(255, 214, 96);
    b.dab(0.8, 0.2, 1);
    // Hills: hard round strokes, far ones first.
    b.brush(1, kPaintSlot);
    b.size(px(110));
    b.opacity(100);
    b.color(96, 150, 84);
    b.spline(-0.05, 0.55, 0.25, 0.42, 0.55, 0.62, 1.05, 0.5);
    b.color(58, 116, 60);
    for (int i = 0; i < 5; ++i) {
        const double y = 0.64 + 0.085 * i;
        b.spline(-0.05, y, 0.3, y - 0.06, 0.7, y + 0.05, 1.05, y - 0.02);
    }
    // Smudge the horizon into the sky.
    b.brush(4, kPaintSlot);
    b.size(px(60));
    b.opacity(100);
    for (int i = 0; i < 7; ++i) {
        const double x = 0.08 + 0.13 * i;
        b.stroke({{x, 0.6, 1}, {x + 0.02, 0.5, 1}, {x + 0.03, 0.44, 0.6}});
    }
    // A chalk tree on the paper texture.
    b.brush(3, kPaintSlot);
    b.size(px(34));
    b.opacity(100);
    b.density(210);
    b.color(96, 62, 40);
    b.stroke({{0.2, 0.8, 1}, {0.21, 0.6, 0.9}, {0.2, 0.42, 0.6}});
    b.stroke({{0.205, 0.55, 0.8}, {0.26, 0.47, 0.5}, {0.3, 0.43, 0.2}});
    b.stroke({{0.205, 0.6, 0.8}, {0.15, 0.52, 0.5}, {0.12, 0.48, 0.2}});
    b.color(40, 100, 46);
    b.size(px(80));
    b.stroke({{0.14, 0.42, 1}, {0.2, 0.36, 1}, {0.27, 0.4, 1}, {0.22, 0.46, 1}, {0.15, 0.45, 1}});
    // Flowers: colour and lightness variation.
    b.brush(5, kPaintSlot);
    b.size(px(16));
    const int colours[3][3] = {{226, 64, 92}, {250, 204, 48}, {150, 84, 206}};
    for (int i = 0; i < 60; ++i) {
        const double fx = std::fmod(0.37 + i * 0.6180339887, 1.0);
        const double fy = 0.74 + 0.22 * std::fmod(i * 0.4142135623, 1.0);
        const int* c = colours[i % 3];
        b.color(c[0], c[1], c[2]);
        b.dab(fx, fy, 0.6 + 0.4 * std::fmod(i * 0.7071, 1.0));
    }
    // A pond inside a mask selection: close the mask, open an ellipse with the
    // mask brush, then broad strokes show only inside it.
    b.brush(7, kPaintSlot, kCloseMask);
    b.color(0, 0, 0);
    b.size(px(60));
    for (int i = 0; i < 3; ++i) {
        const double ry = 0.015 + 0.02 * i;
        b.stroke({{0.55, 0.86 - ry, 1}, {0.68, 0.86 - ry - 0.01, 1}, {0.8, 0.86 - ry, 1}});
        b.stroke({{0.55, 0.86 + ry, 1}, {0.68, 0.86 + ry + 0.01, 1}, {0.8, 0.86 + ry, 1}});
    }
    b.brush(1, kPaintSlot);
    b.size(px(90));
    b.color(60, 120, 200);
    b.line(0.4, 0.86, 0.95, 0.86);
    b.color(140, 190, 235);
    b.size(px(20));
    b.line(0.5, 0.84, 0.9, 0.845);
    b.brush(1, kPaintSlot, kOpenMask);
    // Sunset glaze on the Multiply layer, faded by the stencil above it.
    b.brush(8, kGlazeSlot);
    b.size(px(260));
    b.opacity(100);
    b.color(255, 170, 110);
    b.stroke({{0.5, 0.3, 1}, {0.8, 0.45, 1}, {1.05, 0.6, 1}});
    b.stroke({{0.45, 0.7, 1}, {0.75, 0.8, 1}, {1.05, 0.95, 1}});
    b.brush(2, kStencilSlot);
    b.size(px(200));
    b.color(40, 40, 40);
    b.stroke({{0.62, 0.25, 1}, {0.7, 0.55, 1}, {0.78, 0.9, 1}});
    // Birds.
    b.brush(1, kPaintSlot);
    b.size(px(4));
    b.color(50, 50, 60);
    for (int i = 0; i < 3; ++i) {
        const double x = 0.42 + 0.07 * i, y = 0.22 + 0.03 * (i % 2);
        b.line(x - 0.02, y - 0.015, x, y);
        b.line(x, y, x + 0.02, y - 0.015);
    }
    b.script.ended = true;
    return b.script;
}

}  // namespace plr::host
