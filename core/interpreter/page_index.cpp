#include "core/interpreter/page_index.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>
#include <variant>

#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "core/pages/page_layout.h"

namespace cindral {
namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

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

IndexedCommand EveryPage(int64_t offset) {
    IndexedCommand entry;
    entry.offset = static_cast<uint32_t>(offset);
    return entry;
}

IndexedCommand InBand(int64_t offset, uint8_t region) {
    IndexedCommand entry;
    entry.offset = static_cast<uint32_t>(offset);
    entry.reach = Reach::Band;
    entry.band = region;
    return entry;
}

// The extent of one command, and what it changes in the context for the ones after it.
IndexedCommand ReachOf(const GdxCommand& command, ReachContext& c) {
    const int64_t at = command.offset;
    ExtentBuilder e(c);
    auto finish = [&] { return e.Finish(at); };
    return std::visit(
        Overloaded{
            // State: played on every page, in file order, so each page starts its drawing
            // commands with the colour, line, font and symbol size the whole file would give.
            [&](const SetColorRecord&) { return EveryPage(at); },
            [&](const SetLineStyleRecord&) { return EveryPage(at); },
            [&](const SetLineWidthRecord& r) {
                c.line_width_inches = std::min(std::fabs(double(r.width)), 1e6) / 96.0;
                return EveryPage(at);
            },
            [&](const SetFontRecord& r) {
                c.font_points = std::fabs(double(r.size));
                return EveryPage(at);
            },
            [&](const SetFontColoredRecord& r) {
                c.font_points = std::fabs(double(r.size));
                return EveryPage(at);
            },
            [&](const SymbolSizeRecord& r) {
                c.symbol_size_factor = r.SymbolSizeFactor;
                return EveryPage(at);
            },
            [&](const UnknownRecord&) { return EveryPage(at); },
            [&](const EndOfListRecord&) { return EveryPage(at); },
            [&](const PointRecord&) { return EveryPage(at); },
            // A rule runs the whole height of every page.
            [&](const DrawVerticalRuleRecord&) { return EveryPage(at); },

            // Page bands.
            [&](const DrawRegionLineRecord& r) { return InBand(at, r.region); },
            [&](const DrawLabelRecord& r) { return InBand(at, r.region); },
            [&](const DrawLongLabelRecord& r) { return InBand(at, r.region); },
            [&](const DrawPictureRecord& r) { return InBand(at, r.region); },
            [&](const DrawScaledSymbolRecord& r) { return InBand(at, r.region); },
            [&](const RegionPatternFillBoxRecord& r) { return InBand(at, r.region); },
            [&](const RegionPatternFillBoxColoredRecord& r) { return InBand(at, r.region); },
            [&](const FillBoxRecord& r) { return InBand(at, r.region); },
            [&](const DrawPictureStreamRecord& r) { return InBand(at, r.region); },
            [&](const DrawTextBoxRecord& r) { return InBand(at, r.region); },

            // Lines, boxes and fills: their own depths.
            [&](const DrawLineRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const DrawRectangleRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const BoxOutlineRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const GridRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const DrawBoxRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const PatternFillBoxRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const PatternFillBoxColoredRecord& r) {
                e.Depths(r.y1, r.y2);
                e.PadInches(std::min(std::fabs(double(r.lineWidth)), 1e6) / 96.0);
                return finish();
            },
            [&](const GradientFillBoxRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
            [&](const DrawPolylineRecord&) {
                e.Points(command.points);
                return finish();
            },
            [&](const PolyFillRecord&) {
                e.Points(command.points);
                return finish();
            },
            [&](const PolyFillColoredRecord&) {
                e.Points(command.points);
                return finish();
            },
            [&](const GradientPolyFillRecord&) {
                e.Points(command.points);
                return finish();
            },
            [&](const FillPolygonPairRecord& r) {
                e.Points(command.points);
                e.Points(command.points2);
                e.PadInches(std::min(std::max(std::fabs(double(r.lineWidth1)),
                                              std::fabs(double(r.lineWidth2))),
                                     1e6) /
                            96.0);
                return finish();
            },
            [&](const DrawStyledPolylineRecord& r) {
                for (const DrawLineRecord& s : command.segments) e.Depths(s.y1, s.y2);
                e.PadInches(std::min(std::fabs(double(r.width)), 1e6) / 96.0);
                return finish();
            },

            // Round figures: their centre and radius.
            [&](const DrawArcRecord& r) {
                e.Depth(r.cy);
                e.PadUnits(r.radius);
                return finish();
            },
            [&](const DrawCircleRecord& r) {
                e.Depth(r.cy);
                e.PadUnits(r.radius);
                return finish();
            },
            [&](const PieOutlineRecord& r) {
                e.Depth(r.cy);
                e.PadUnits(r.radius);
                return finish();
            },
            [&](const RadialLineRecord& r) {
                e.Depth(r.cy);
                e.PadUnits(r.length);
                return finish();
            },
            [&](const DipSymbolRecord& r) {
                e.Depth(r.y);
                e.PadUnits(c.width_x * c.symbol_size_factor * 2);
                return finish();
            },
            // The frame with its ticks and labels outside it.
            [&](const AxisFrameRecord& r) {
                e.Depths(r.y1, r.y2);
                e.PadDepth(std::fabs(r.y2 - r.y1));
                e.PadUnits(std::fabs(r.x2 - r.x1));
                return finish();
            },

            // Text and symbols: their anchor, and room for the glyphs.
            [&](const DrawTextRecord& r) {
                e.Depth(r.y);
                e.PadText(r.text.size(), c.font_points, r.vertical != 0);
                return finish();
            },
            [&](const DrawFittedTextRecord& r) {
                e.Depth(r.y);
                e.PadText(r.text.size(), c.font_points, r.rotation != 0);
                return finish();
            },
            [&](const DrawFontTextRecord& r) {
                e.Depth(r.y);
                const double count = double(std::min<size_t>(r.text.size(), 60)) + 2;
                // The height may be points, pixels at screen resolution or depth units.
                const double turn = r.angle != 0 ? count : 3.0;
                e.PadDepth(std::fabs(r.height) * turn);
                e.PadInches(std::fabs(r.height) / 72.0 * turn);
                e.PadText(r.text.size(), c.font_points, r.angle != 0);
                return finish();
            },
            [&](const DrawStrokeTextRecord& r) {
                e.Depth(r.y);
                e.PadUnits((double(r.text.size()) + 2) *
                           (std::fabs(r.charWidth) + std::fabs(r.charHeight)) * 2);
                return finish();
            },
            [&](const DrawNoteRecord& r) {
                e.Depth(r.y);
                e.PadText(r.text.size(), c.font_points, true);
                return finish();
            },
            [&](const DrawSymbolRecord& r) {
                e.Depth(r.y);
                e.PadInches(2 * std::fabs(r.xScale) + 2 * std::fabs(r.yScale));
                return finish();
            },
            [&](const DrawRotatedTextRecord& r) {
                e.Depths(r.y1, r.y2);
                e.PadText(r.text.size(), c.font_points, true);
                return finish();
            },
            [&](const DrawWrappedTextRecord& r) {
                e.Depths(r.y1, r.y2);
                e.PadText(2, c.font_points, true);
                return finish();
            },
            [&](const DrawFormattedTextRecord& r) {
                e.Depths(r.y1, r.y2);
                // Text laid out without a bottom runs on below its box, at most a line per
                // character.
                const bool runs_on = (r.layoutFlags & kLayoutRunsOn) != 0;
                e.PadText(runs_on ? command.text.size() : 2,
                          std::max(std::fabs(double(r.fontSize)), c.font_points), true);
                return finish();
            },
            [&](const DrawPictureFileRecord& r) {
                e.Depths(r.y1, r.y2);
                return finish();
            },
        },
        command.record);
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

// Most commands of a log are lines, boxes and colours: their reach is read straight from
// their bytes, the same reach ReachOf gives them, without decoding the record.
struct QuickReach {
    enum Kind : uint8_t { Decode, TwoDepths, Plain } kind = Decode;
    uint16_t y1_at = 0, y2_at = 0;
};

template <class T>
void AddTwoDepths(std::vector<QuickReach>& table) {
    static_assert(T::kFollower == Follower::None, "read in place only without followers");
    table[size_t(T::kCode)] = {QuickReach::TwoDepths, uint16_t(OffsetOf<T>("y1")),
                               uint16_t(OffsetOf<T>("y2"))};
}

template <class T>
void AddPlain(std::vector<QuickReach>& table) {
    static_assert(T::kFollower == Follower::None, "read in place only without followers");
    table[size_t(T::kCode)] = {QuickReach::Plain, 0, 0};
}

const std::vector<QuickReach>& QuickReaches() {
    static const std::vector<QuickReach> table = [] {
        std::vector<QuickReach> t(size_t(CommandTable().back().code) + 1);
        // ReachOf gives each of these Depths(y1, y2) and nothing else.
        AddTwoDepths<DrawLineRecord>(t);
        AddTwoDepths<DrawRectangleRecord>(t);
        AddTwoDepths<BoxOutlineRecord>(t);
        AddTwoDepths<GridRecord>(t);
        AddTwoDepths<DrawBoxRecord>(t);
        AddTwoDepths<PatternFillBoxRecord>(t);
        AddTwoDepths<GradientFillBoxRecord>(t);
        AddTwoDepths<DrawPictureFileRecord>(t);
        // State that no extent depends on.
        AddPlain<SetColorRecord>(t);
        AddPlain<SetLineStyleRecord>(t);
        return t;
    }();
    return table;
}

double DoubleAt(const uint8_t* p) {
    ByteReader in(p, 8);
    return in.F64();
}

}  // namespace

PageIndex PageIndex::Build(file_object& file, const GdxHeader& header) {
    PageIndex index;
    ReachContext context;
    context.depth_units_per_inch = header.DepthUnitsPerInch > 0 ? header.DepthUnitsPerInch : 1;
    context.depth_per_x_unit = header.XUnitsPerInch > 0
                                   ? context.depth_units_per_inch / header.XUnitsPerInch
                                   : context.depth_units_per_inch;
    context.width_x = std::fabs(header.MaxX - header.MinX);
    const std::vector<QuickReach>& quick = QuickReaches();
    GdxReader reader(file);
    GdxCommand command;
    auto quick_reach = [&](int64_t at, int16_t code, const CommandInfo&, const uint8_t* payload) {
        const QuickReach q = size_t(code) < quick.size() ? quick[size_t(code)] : QuickReach{};
        if (q.kind == QuickReach::Decode) return false;
        if (q.kind == QuickReach::TwoDepths) {
            ExtentBuilder e(context);
            e.Depths(DoubleAt(payload + q.y1_at), DoubleAt(payload + q.y2_at));
            index.commands_.push_back(e.Finish(at));
        } else {
            index.commands_.push_back(EveryPage(at));
        }
        return true;
    };
    while (true) {
        reader.TakeInPlace(quick_reach);
        if (!reader.Next(command)) break;
        index.commands_.push_back(ReachOf(command, context));
    }
    return index;
}

PageSelection SelectionOfPage(const GdxHeader& header, const PageGeometry& geometry) {
    constexpr int kMarginRows = 2;
    const PageDepthWindow window =
        DepthWindowOf(header, geometry, std::abs(geometry.BandGapPx) + kMarginRows);
    return {window.top, window.bottom, geometry.HeaderMode, geometry.HasFooter};
}

std::vector<int64_t> PageIndex::CommandsFor(const PageSelection& page) const {
    std::vector<int64_t> offsets;
    for (const IndexedCommand& c : commands_) {
        bool plays = true;
        switch (c.reach) {
            case Reach::EveryPage:
                break;
            case Reach::Depths:
                plays = c.low <= page.top && c.high >= page.bottom;
                break;
            case Reach::Band:
                plays = static_cast<Band>(c.band) == page.header_mode ||
                        (static_cast<Band>(c.band) == Band::Footer && page.has_footer);
                break;
        }
        if (plays) offsets.push_back(int64_t(c.offset));
    }
    return offsets;
}

}  // namespace cindral
