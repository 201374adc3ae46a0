#include "painter.h"

#include <algorithm>
#include <cmath>

#include "document.h"
#include "paloran.h"

namespace plr::host {
namespace {

// A script may hold any coordinate: far-off ones are held where the engine
// simply clips (no page comes near a billion pixels), and NaN counts as far
// off, so that converting to the engine's 32-bit coordinates is defined.
double held(double v) { return v == v ? std::clamp(v, -1e9, 1e9) : -1e9; }

}  // namespace

Painter::Painter(std::int32_t pageWidth, std::int32_t pageHeight)
    : pageWidth_(std::clamp(pageWidth, 1, kLargestPage)),
      pageHeight_(std::clamp(pageHeight, 1, kLargestPage)),
      brush_(findBrush(1)) {}

bool Painter::selectBrush(int number, std::int32_t slot) {
    const Brush* b = findBrush(number);
    if (!b) return false;
    if (inStroke_) endStroke();
    brush_ = b;
    if (slot > 0) slot_ = slot;
    reapply();
    return true;
}

void Painter::setSize(std::int32_t size) {
    size_ = std::clamp(size, 1, kMaxBrushSize);
    reapply();
}

void Painter::setDensity(std::int32_t density) {
    density_ = std::clamp(density, 0, 256);
    PLR_SetDensity(density_ > 0 ? density_ : brush_->density);
}

void Painter::setOpacity(std::int32_t percent) { opacity_ = std::clamp(percent, 0, 100); }

void Painter::setColor(std::int32_t r, std::int32_t g, std::int32_t b) {
    rgb_[0] = std::clamp(r, 0, 255);
    rgb_[1] = std::clamp(g, 0, 255);
    rgb_[2] = std::clamp(b, 0, 255);
    PLR_SetColor(rgb_[0], rgb_[1], rgb_[2]);
}

void Painter::setColorBanks(const std::int32_t v[12]) {
    PLR_SetColorBanks(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]);
}

void Painter::reapply() {
    PLR_SetLayer(slot_);
    setPaperVisible(brush_->paper);
    applyBrush(*brush_, size_, density_);
}

double Painter::spacingFor(double pressure) const {
    return std::max(1.0, size_ * std::max(pressure, 0.05) * brush_->spacing);
}

void Painter::beginStroke(double x, double y) {
    if (inStroke_) endStroke();
    inStroke_ = true;
    havePoint_ = false;
    last_ = {x, y, 1};
    if (brush_->kind == StrokeKind::PaintLayer) PLR_CreatePaintLayer(brush_->strokeOpacity, brush_->strokeMode);
}

void Painter::startStrokeAt(const PenPoint& p) {
    havePoint_ = true;
    last_ = p;
    carried_ = 0;
    if (brush_->kind == StrokeKind::Smudge) {
        // The carried paint starts as the picture under the first dab.
        PLR_CopyBlendBufferSurface(static_cast<std::int32_t>(held(p.x)), static_cast<std::int32_t>(held(p.y)), 0, 0);
    }
    placeDab(p);
}

void Painter::strokeTo(const PenPoint& p) {
    if (!inStroke_) beginStroke(p.x, p.y);
    if (!havePoint_) {
        startStrokeAt(p);
        return;
    }
    const double dx = p.x - last_.x, dy = p.y - last_.y;
    double length = std::sqrt(dx * dx + dy * dy);
    if (!std::isfinite(length)) length = std::hypot(dx, dy);  // squares beyond the double range
    if (length <= 0) return;
    // A segment leaving the reach of the page is walked only where it is
    // within reach (a script may hold any coordinates: walking 1e300 pixels
    // of dabs would never end, and a small page would spend nearly all its
    // time on dabs that cannot touch it). Segments within reach walk as they
    // are.
    double from = 0, to = 1;
    if (!withinReach(last_, dx, dy, from, to)) {
        carried_ = 0;
        last_ = p;
        return;
    }
    const bool cut = from > 0 || to < 1;
    double walked = from * length;
    const double end = to * length;
    if (from > 0) carried_ = 0;
    for (;;) {
        const double t = walked / length;
        const double pressure = last_.pressure + (p.pressure - last_.pressure) * t;
        const double step = spacingFor(pressure) - carried_;
        if (walked + step > end) break;
        walked += step;
        carried_ = 0;
        const double u = walked / length;
        placeDab({last_.x + dx * u, last_.y + dy * u, last_.pressure + (p.pressure - last_.pressure) * u});
    }
    carried_ = cut ? 0 : carried_ + length - walked;
    last_ = p;
}

bool Painter::withinReach(const PenPoint& a, double dx, double dy, double& from, double& to) const {
    // No dab is wider than the largest brush: one centred further than that
    // outside the page paints nothing.
    constexpr double kMargin = kMaxBrushSize;
    const double left = -kMargin, top = -kMargin, right = pageWidth_ + kMargin, bottom = pageHeight_ + kMargin;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
    const auto inside = [&](double x, double y) { return x >= left && x <= right && y >= top && y <= bottom; };
    if (inside(a.x, a.y) && inside(a.x + dx, a.y + dy)) return true;
    // Cut the segment a + t (dx, dy), 0 <= t <= 1, to the rectangle of reach.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) from = std::max(from, r);
        else to = std::min(to, r);
    }
    return from < to;
}

void Painter::endStroke() {
    if (!inStroke_) return;
    inStroke_ = false;
    havePoint_ = false;
    switch (brush_->kind) {
        case StrokeKind::PaintLayer:
            PLR_MergePaintLayer(slot_);
            PLR_DeletePaintLayer();
            PLR_SaveUndoBuffer(1, 0);
            break;
        case StrokeKind::MaskPen:
            PLR_SaveUndoBuffer(0, 1);
            break;
        default:
            PLR_SaveUndoBuffer(1, 0);
            break;
    }
    ++strokes_;
}

void Painter::line(double x0, double y0, double x1, double y1) {
    beginStroke(x0, y0);
    strokeTo({x0, y0, 1});
    strokeTo({x1, y1, 1});
    endStroke();
}

void Painter::spline(const double v[8]) {
    beginStroke(v[0], v[1]);
    const int segments = 48;
    for (int i = 0; i <= segments; ++i) {
        const double t = static_cast<double>(i) / segments, s = 1 - t;
        const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        strokeTo({a * v[0] + b * v[2] + c * v[4] + d * v[6], a * v[1] + b * v[3] + c * v[5] + d * v[7], 1});
    }
    endStroke();
}

void Painter::dab(double x, double y, double pressure) {
    const bool single = !inStroke_;
    if (single) beginStroke(x, y);
    placeDab({x, y, pressure});
    if (single) endStroke();
}

void Painter::placeDab(const PenPoint& p) {
    // Pen input without pressure (0) counts as full pressure.
    const double pressure = p.pressure > 0 ? std::min(p.pressure, 1.0) : 1.0;
    const std::int32_t size = std::max<std::int32_t>(1, static_cast<std::int32_t>(size_ * pressure));
    PLR_SetScaleSize(size);
    PLR_SetAlpha(static_cast<std::int32_t>(opacity_ * pressure));
    const auto x = static_cast<std::int32_t>(std::lround(held(p.x)));
    const auto y = static_cast<std::int32_t>(std::lround(held(p.y)));
    if (brush_->kind == StrokeKind::Smudge) PLR_MixBlendBufferSurface(x, y, 40);
    if (brush_->kind == StrokeKind::Erase) PLR_SetEraseModeOn();
    PLR_DrawDabGrit(x, y, rgb_[0] << 8, rgb_[1] << 8, rgb_[2] << 8);
    PLR_DecDrawingLength();
    ++dabs_;
}

}  // namespace plr::host
