#pragma once
// Turns pen input into dabs the way a windowed host does: strokes are
// interpolated at a spacing relative to the dab size, pressure scales size
// and opacity, and each finished stroke is recorded in the history.
#include <cstdint>

#include "brushes.h"

namespace plr::host {

struct PenPoint {
    double x = 0, y = 0, pressure = 1;
};

class Painter {
public:
    // The page the dabs land on: a stroke is walked only where its dabs can
    // reach it. Without a size, every page a host can make (10000 pixels a
    // side at most).
    Painter() : Painter(kLargestPage, kLargestPage) {}
    Painter(std::int32_t pageWidth, std::int32_t pageHeight);

    // A brush number from the built-in set and the slot it paints on.
    bool selectBrush(int number, std::int32_t slot);
    void setSize(std::int32_t size);
    void setDensity(std::int32_t density);
    void setOpacity(std::int32_t percent);
    void setColor(std::int32_t r, std::int32_t g, std::int32_t b);  // 0..255
    void setColorBanks(const std::int32_t rgb[12]);

    void beginStroke(double x, double y);
    void strokeTo(const PenPoint& p);
    void endStroke();
    bool inStroke() const { return inStroke_; }

    void line(double x0, double y0, double x1, double y1);
    void spline(const double v[8]);  // cubic: start, control 1, control 2, end
    void dab(double x, double y, double pressure);

    std::int64_t dabCount() const { return dabs_; }
    std::int64_t strokeCount() const { return strokes_; }
    const Brush& brush() const { return *brush_; }

private:
    void reapply();
    void startStrokeAt(const PenPoint& p);
    void placeDab(const PenPoint& p);
    double spacingFor(double pressure) const;
    // The part from..to (of 0..1) of the segment from `a` along (dx, dy)
    // that dabs on the page can reach; false when none.
    bool withinReach(const PenPoint& a, double dx, double dy, double& from, double& to) const;

    static constexpr std::int32_t kLargestPage = 10000;
    double pageWidth_, pageHeight_;
    const Brush* brush_;
    std::int32_t slot_ = 2;
    std::int32_t size_ = 24;
    std::int32_t density_ = 0;
    std::int32_t opacity_ = 100;
    std::int32_t rgb_[3] = {0, 0, 0};
    bool inStroke_ = false;
    bool havePoint_ = false;
    PenPoint last_;
    double carried_ = 0;  // distance walked since the last dab
    std::int64_t dabs_ = 0;
    std::int64_t strokes_ = 0;
};

}  // namespace plr::host
