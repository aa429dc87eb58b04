// The figures the interpreter draws itself out of DrawLine, DrawArc, DrawCircle and
// DrawStrokeText: axis frames, dip symbols, rectangular grids, radial lines, box and pie
// outlines, and the number formatting of the axis labels.

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/interpreter/gd_object.h"

namespace cindral {
namespace {

// Above this many lines in one direction a grid or an axis is not stepped out: a step that
// small draws a solid block, and stepping it could take as long as the user cares to wait.
constexpr double kMaxFigureLines = 100000;

struct StepRow {
    double above, minor, major;
};

// Nice steps: the last row whose threshold the interval exceeds wins.
constexpr StepRow kNiceSteps[] = {
    {0.0001, 0.0002, 0.001},
    {0.0002, 0.00025, 0.001},
    {0.00025, 0.0005, 0.002},
    {0.0005, 0.001, 0.005},
    {0.001, 0.002, 0.01},
    {0.002, 0.0025, 0.01},
    {0.0025, 0.005, 0.025},
    {0.005, 0.01, 0.05},
    {0.01, 0.02, 0.1},
    {0.02, 0.025, 0.1},
    {0.025, 0.05, 0.25},
    {0.05, 0.1, 0.5},
    {0.1, 0.2, 1},
    {0.2, 0.25, 1},
    {0.25, 0.5, 2},
    {0.5, 1, 5},
    {1, 2, 10},
    {2, 5, 25},
    {5, 10, 50},
    {10, 20, 100},
    {20, 25, 100},
    {25, 50, 200},
    {50, 100, 500},
    {100, 200, 1000},
    {200, 250, 1000},
    {250, 500, 2000},
    {500, 1000, 5000},
    {1000, 2000, 10000},
    {2000, 2500, 10000},
    {2500, 5000, 20000},
    {5000, 10000, 50000},
    {10000, 20000, 100000},
    {20000, 25000, 100000},
    {25000, 50000, 200000},
    {50000, 100000, 500000},
    {100000, 200000, 1000000},
    {200000, 250000, 1000000},
    {250000, 500000, 2000000},
    {500000, 1000000, 5000000},
};

// Beyond the table the same 1, 2, 2.5, 5 rows continue in every decade, so a huge range keeps
// about twenty ticks instead of millions.
TickSteps BeyondTable(double d) {
    double decade = std::pow(10.0, std::floor(std::log10(d)));
    double m = d / decade;
    TickSteps steps{decade, 5 * decade};
    if (m > 1) steps = {2 * decade, 10 * decade};
    if (m > 2) steps = {2.5 * decade, 10 * decade};
    if (m > 2.5) steps = {5 * decade, 20 * decade};
    if (m > 5) steps = {10 * decade, 50 * decade};
    return steps;
}

std::string Fixed(double value, int decimals) {
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "?";
    return std::string(buffer, result.ptr);
}

bool Finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Values lo, lo + step, ... up to hi by repeated addition; none when the count is too large.
template <class Visit>
void Steps(double lo, double hi, double step, Visit visit) {
    if (!(step > 0) || !Finite({lo, hi, step})) return;
    // hi - lo may overflow to an infinity even when both are finite.
    const double span = (hi - lo) / step;
    if (!(span >= 0 && span <= kMaxFigureLines)) return;
    long count = static_cast<long>(std::floor(span)) + 1;
    double v = lo;
    for (long i = 0; i < count + 1 && v <= hi; ++i, v += step) visit(v);
}

// Largest multiple of `step` not above `v`, and smallest not below, starting from the rounded
// quotient.
// The corrections are bounded: a step below the rounding of v could never move m.
double MultipleBelow(double v, double step) {
    double m = std::round(v / step) * step;
    for (int i = 0; i < 4 && m > v; ++i) m -= step;
    return m;
}

double MultipleAbove(double v, double step) {
    double m = std::round(v / step) * step;
    for (int i = 0; i < 4 && m < v; ++i) m += step;
    return m;
}

}  // namespace

TickSteps NiceSteps(int n, double a, double b) {
    if (n == 0) return {1, 1};
    double d = std::fabs(a - b) / n;
    if (d < 1e-8 || !std::isfinite(d)) d = 1;
    TickSteps steps{d, 5 * d};
    for (const StepRow& row : kNiceSteps) {
        if (d > row.above) steps = {row.minor, row.major};
    }
    if (d > 2 * std::end(kNiceSteps)[-1].above) steps = BeyondTable(d);
    return steps;
}

int AxisDecimals(double r) {
    if (r == 0) return 6;
    double t = 1000;
    int decimals = 0;
    while (!(r > t) && !(t < 1e-7)) {
        t /= 10;
        ++decimals;
    }
    return decimals;
}

std::string FormatNumber(int decimals, double value) {
    decimals = std::clamp(decimals, 0, 30);
    std::string s = Fixed(value, decimals);
    // A value that rounds to zero is shown as 0, never as -0.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    if (decimals == 0) s += ".0";
    size_t point = s.find('.');
    std::string whole = s.substr(0, point);
    std::string fraction = s.substr(point);
    // Separators go between groups of three digits; negative values keep their plain digits.
    if (value >= 0 && whole.size() > 3) {
        std::string grouped;
        size_t lead = whole.size() % 3 == 0 ? 3 : whole.size() % 3;
        grouped = whole.substr(0, lead);
        for (size_t i = lead; i < whole.size(); i += 3) grouped += "," + whole.substr(i, 3);
        whole = grouped;
    }
    std::string result = whole;
    if (decimals > 0) {
        result += fraction;
        while (!result.empty() && result.back() == '0') result.pop_back();
    }
    if (!result.empty() && result.back() == '.') result.pop_back();
    return result;
}

void gd_object::BoxOutline(double x1, double y1, double x2, double y2) {
    DrawSegment(x1, y1, x1, y2);
    DrawSegment(x1, y2, x2, y2);
    DrawSegment(x2, y1, x2, y2);
    DrawSegment(x2, y1, x1, y1);
}

void gd_object::RegionBoxOutline(double x1, double y1, double x2, double y2, uint8_t region) {
    DrawRegionLine({x1, y1, x2, y1, region});
    DrawRegionLine({x2, y1, x2, y2, region});
    DrawRegionLine({x2, y2, x1, y2, region});
    DrawRegionLine({x1, y2, x1, y1, region});
}

void gd_object::RadialLine(double cx, double cy, double length, double angle) {
    auto end = PolarOffset(cx, cy, length, angle);
    DrawSegment(cx, cy, end.first, end.second);
}

void gd_object::PieOutline(double cx, double cy, double radius, double startAngle,
                           double endAngle) {
    RadialLine(cx, cy, radius, startAngle);
    DrawArc(DrawArcRecord{cx, cy, radius, startAngle, endAngle});
    RadialLine(cx, cy, radius, endAngle);
}

void gd_object::RectangularGrid(double x1, double y1, double x2, double y2, double stepX,
                                double stepY) {
    // The last grid value not beyond the limit; the origin itself when the step cannot reach
    // the limit (no step, a backward step, or far too many lines).
    auto last = [](double origin, double limit, double step) {
        double v = origin;
        Steps(origin, limit, step, [&](double value) { v = value; });
        return v;
    };
    double lastX = last(x1, x2, stepX);
    double lastY = last(y1, y2, stepY);
    // Each direction draws at least the line through the origin.
    auto lines = [](double origin, double lastValue, double step, auto draw) {
        draw(origin);
        Steps(origin, lastValue, step, [&](double v) {
            if (v != origin) draw(v);
        });
    };
    lines(x1, lastX, stepX, [&](double x) { DrawSegment(x, y1, x, lastY); });
    lines(y1, lastY, stepY, [&](double y) { DrawSegment(x1, y, lastX, y); });
}

void gd_object::DipSymbol(double x, double y, double azimuth, double dip) {
    double s = (MaxX - MinX) * symbol_size_factor_;
    if (dip < 0.1) {
        s /= 2;
        DrawSegment(x - s, y, x + s, y);
        DrawSegment(x, y - s, x, y + s);
        DrawCircle(DrawCircleRecord{x, y, s});
        return;
    }
    auto a = PolarOffset(x, y, s, azimuth);
    auto b = PolarOffset(x, y, s, azimuth > 180 ? azimuth - 180 : azimuth + 180);
    DrawSegment(a.first, a.second, b.first, b.second);
    double tick = azimuth + 90;
    if (tick > 360) tick -= 360;
    auto c = PolarOffset(x, y, s, tick);
    DrawSegment(x, y, c.first, c.second);

    double gx = (x + a.first + c.first) / 3;
    double gy = (y + a.second + c.second) / 3;
    double h = s / 3;
    std::string label = Fixed(dip, dip >= 1 ? 0 : 1);
    DrawStrokeText(DrawStrokeTextRecord{gx - 0.6 * h, gy - 0.45 * h, 0, h, h, 90, label}, true);
}

namespace {

enum Side { kLeft, kRight, kBottom, kTop };

// Per axis: steps, tick range and scale. An axis whose data range is empty or not a
// number gets its sides but no ticks or labels, so no infinite scale reaches a target.
struct Axis {
    TickSteps steps;
    double lo = 0, hi = 0;
    double scale = 0;
    int decimals = 0;
    bool ticked = false;
};

Axis MakeAxis(double dmin, double dmax, double page, uint8_t autoTicks, double tick) {
    Axis axis;
    double range = std::fabs(dmax - dmin);
    if (!(range > 0) || !Finite({dmin, dmax, range, page})) return axis;
    // A manual step of zero, a backward one or one giving an unreadable swarm of ticks
    // falls back to the automatic step.
    double major = std::fabs(tick);
    if (autoTicks || !(major > 0) || !std::isfinite(major) ||
        range / (major / 10) > kMaxFigureLines) {
        axis.steps = NiceSteps(20, dmin, dmax);
    } else {
        axis.steps = {major / 10, major};
    }
    axis.lo = MultipleBelow(dmin, axis.steps.major) - axis.steps.major;
    axis.hi = MultipleAbove(dmax, axis.steps.major) + axis.steps.major;
    axis.scale = page / range;
    axis.decimals = AxisDecimals(std::fabs(axis.hi - axis.lo));
    // A frame of no size on the page would pile every tick onto one point.
    axis.ticked = axis.scale > 0 && std::isfinite(axis.scale);
    return axis;
}

// A tick label's angle and the point it is drawn from.
struct LabelPlace {
    int32_t angle;
    double x, y;
};

// Where the label of the tick at `p` on `side` goes; `measure(angle)` sizes the label.
template <typename Measure>
LabelPlace PlaceAxisLabel(const AxisFrameRecord& r, int side, double p, double charWidth,
                          double charHeight, Measure measure) {
    if (!r.CenteredLabels) {
        switch (side) {
            case kLeft: {
                StrokeTextSize m = measure(90);
                return {90, r.x1 - m.width - 0.5 * charWidth, p - 0.5 * m.height};
            }
            case kRight:
                return {90, r.x2 + 0.5 * charWidth, p - 0.3 * charHeight};
            case kBottom: {
                StrokeTextSize m = measure(0);
                return {0, p + 0.5 * m.width, r.y1 - m.height - 0.5 * charWidth};
            }
            default: {
                StrokeTextSize m = measure(0);
                return {0, p + 0.5 * m.width, r.y2 + 0.5 * charWidth};
            }
        }
    }
    // Centred labels: upright along the vertical sides, level along the others.
    const bool vertical = side == kLeft || side == kRight;
    int32_t angle = vertical ? 0 : 90;
    double cx = side == kLeft    ? r.x1 - 0.3 * charHeight
                : side == kRight ? r.x2 + 1.3 * charHeight
                                 : p;
    double cy = side == kBottom ? r.y1 - 1.2 * charHeight
                : side == kTop  ? r.y2 + 0.5 * charHeight
                                : p;
    StrokeTextSize m = measure(angle);
    return {angle, cx - m.width / 2, cy - m.height / 2};
}

}  // namespace

void gd_object::AxisFrame(const AxisFrameRecord& r) {
    double W = std::fabs(r.x2 - r.x1);
    double H = std::fabs(r.y2 - r.y1);
    double charWidth = 0.02 * W;
    double charHeight = 0.04 * H;
    const auto label = [&](int32_t angle, const std::string& text, double x, double y) {
        DrawStrokeText(DrawStrokeTextRecord{x, y, 0, charWidth, charHeight, angle, text}, true);
    };

    Axis ax = MakeAxis(r.DataMinX, r.DataMaxX, W, r.AutoTicks, r.TickX);
    Axis ay = MakeAxis(r.DataMinY, r.DataMaxY, H, r.AutoTicks, r.TickY);
    axis_scale_x_ = ax.scale;
    axis_scale_y_ = ay.scale;

    for (int side : {kLeft, kRight, kBottom, kTop}) {
        bool vertical = side == kLeft || side == kRight;
        const Axis& axis = vertical ? ay : ax;
        double at = side == kLeft ? r.x1 : side == kRight ? r.x2 : side == kBottom ? r.y1 : r.y2;
        double from = vertical ? r.y1 : r.x1;
        double to = vertical ? r.y2 : r.x2;
        double dataMin = vertical ? r.DataMinY : r.DataMinX;
        // Ticks point into the box, towards the opposite side.
        double opposite = side == kLeft     ? r.x2
                          : side == kRight  ? r.x1
                          : side == kBottom ? r.y2
                                            : r.y1;
        double into = opposite >= at ? 1 : -1;
        double across = vertical ? W : H;

        if (vertical) {
            DrawSegment(at, r.y1, at, r.y2);
        } else {
            DrawSegment(r.x1, at, r.x2, at);
        }
        if (!axis.ticked) continue;

        double lowEnd = std::min(from, to), highEnd = std::max(from, to);
        double slack = 1e-9 * (highEnd - lowEnd);
        auto page = [&](double v) { return (v - dataMin) * axis.scale + from; };
        auto on_side = [&](double p) { return p >= lowEnd - slack && p <= highEnd + slack; };
        auto tick = [&](double p, double length) {
            if (vertical) {
                DrawSegment(at, p, at + into * length, p);
            } else {
                DrawSegment(p, at, p, at + into * length);
            }
        };
        Steps(axis.lo, axis.hi, axis.steps.minor, [&](double v) {
            if (on_side(page(v))) tick(page(v), 0.005 * across);
        });
        Steps(axis.lo, axis.hi, axis.steps.major, [&](double v) {
            if (on_side(page(v))) tick(page(v), 0.02 * across);
        });
        Steps(axis.lo, axis.hi, axis.steps.major, [&](double v) {
            double p = page(v);
            if (!on_side(p)) return;
            std::string text = FormatNumber(axis.decimals, v);
            const LabelPlace at =
                PlaceAxisLabel(r, side, p, charWidth, charHeight, [&](int32_t angle) {
                    return MeasureStrokeText(angle, text, charWidth, charHeight);
                });
            label(at.angle, text, at.x, at.y);
        });
    }
}

}  // namespace cindral
