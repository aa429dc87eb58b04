#pragma once
// What the page index needs to bound one command: the context the commands before it set,
// and the extent builder its reach rule widens. Shared by the page index and the command
// table (command_routes.cpp), which holds each command's rule.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/interpreter/page_index.h"

namespace cindral {

// Padding every drawn command gets, in inches: line ends, pen widths at screen scale, the
// half row of rounding, hatch and pattern strokes that overrun a box by a stroke.
constexpr double kBasePadInches = 0.5;

// What the commands before this one have set and the extent of the next one depends on.
struct ReachContext {
    double depth_units_per_inch = 1;
    double depth_per_x_unit = 1;  // depth units of one horizontal unit, for round figures
    double font_points = 10;      // the last font size set
    double line_width_inches = 0;
    double symbol_size_factor = 0.01;
    double width_x = 0;  // MaxX - MinX
};

class ExtentBuilder {
  public:
    explicit ExtentBuilder(const ReachContext& context) : c_(context) {}

    void Depth(double y) {
        if (!std::isfinite(y)) {
            unbounded_ = true;
            return;
        }
        low_ = std::min(low_, y);
        high_ = std::max(high_, y);
    }
    void Depths(double a, double b) {
        Depth(a);
        Depth(b);
    }
    template <class Point>
    void Points(const std::vector<Point>& points) {
        for (const Point& p : points) Depth(p.y);
    }
    // Extra reach in depth units, inches or horizontal units (converted with the larger of
    // the two unit ratios, so a circle's radius is safe whichever axis it follows).
    void PadDepth(double d) {
        if (!std::isfinite(d))
            unbounded_ = true;
        else
            pad_ += std::fabs(d);
    }
    void PadInches(double inches) { PadDepth(inches * c_.depth_units_per_inch); }
    void PadUnits(double units) { PadDepth(std::fabs(units) * std::max(1.0, c_.depth_per_x_unit)); }
    // A line of text: its font height a few times over; when it may turn or run down the
    // page, every character's height.
    void PadText(size_t length, double points, bool may_turn) {
        const double height = std::fabs(points) / 72.0;
        PadInches(may_turn ? (double(length) + 2) * height * 1.5 : 3 * height);
    }

    IndexedCommand Finish(int64_t offset) const {
        IndexedCommand entry;
        entry.offset = static_cast<uint32_t>(offset);
        if (unbounded_ || !(low_ <= high_)) return entry;  // EveryPage
        const double pad = pad_ + (kBasePadInches + c_.line_width_inches) * c_.depth_units_per_inch;
        const double low = low_ - pad;
        const double high = high_ + pad;
        constexpr double kMostFloat = std::numeric_limits<float>::max();
        if (!(low > -kMostFloat && high < kMostFloat)) return entry;  // EveryPage
        // Rounded outward, so the float range holds the whole double range.
        entry.reach = Reach::Depths;
        entry.low = static_cast<float>(low);
        if (double(entry.low) > low) {
            entry.low = std::nextafter(entry.low, -std::numeric_limits<float>::infinity());
        }
        entry.high = static_cast<float>(high);
        if (double(entry.high) < high) {
            entry.high = std::nextafter(entry.high, std::numeric_limits<float>::infinity());
        }
        return entry;
    }

  private:
    const ReachContext& c_;
    double low_ = std::numeric_limits<double>::infinity();
    double high_ = -std::numeric_limits<double>::infinity();
    double pad_ = 0;
    bool unbounded_ = false;
};

inline IndexedCommand EveryPageAt(int64_t offset) {
    IndexedCommand entry;
    entry.offset = static_cast<uint32_t>(offset);
    return entry;
}

inline IndexedCommand InBand(int64_t offset, uint8_t region) {
    IndexedCommand entry;
    entry.offset = static_cast<uint32_t>(offset);
    entry.reach = Reach::Band;
    entry.band = BandOf(region);
    return entry;
}

// The byte offset of a named field in a record's payload, from its own field list.
struct FieldOffset {
    const char* name;
    size_t at = 0;
    size_t found = SIZE_MAX;
    template <class N>
    void operator()(const char* n, N&) {
        if (std::strcmp(n, name) == 0) found = at;
        at += sizeof(N);
    }
    void Text(const char*, std::string&, size_t capacity) { at += capacity + 1; }
};

template <class T>
size_t OffsetOf(const char* name) {
    T record;
    FieldOffset finder{name};
    record.Fields(finder);
    return finder.found;
}

}  // namespace cindral
