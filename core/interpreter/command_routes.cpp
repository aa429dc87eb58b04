#include "core/interpreter/command_routes.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

#include "core/interpreter/gd_object.h"
#include "core/interpreter/page_reach.h"

namespace cindral {
namespace {

// Line widths in the file count pixels of a 96-dpi screen.
double WidthInches(double width) {
    return std::min(std::fabs(width), 1e6) / 96.0;
}

template <class R>
using PlayFn = void (*)(gd_object& target, const R& record, const GdxCommand& command);
template <class R>
using ExtentFn = void (*)(const R& record, const GdxCommand& command, ReachContext& context,
                          ExtentBuilder& e);

// A row as written: typed by its record, which gives the code.
template <class R>
struct Row {
    using Record = R;
    ReachRule reach;
    PlayFn<R> play;
    ExtentFn<R> extent;  // State and Extent only
};

template <class R>
constexpr Row<R> Route(ReachRule reach, PlayFn<R> play, ExtentFn<R> extent = nullptr) {
    return {reach, play, extent};
}

constexpr ReachRule kEveryPage = ReachRule::EveryPage;
constexpr ReachRule kState = ReachRule::State;
constexpr ReachRule kBand = ReachRule::Band;
constexpr ReachRule kTwoDepths = ReachRule::TwoDepths;
constexpr ReachRule kExtent = ReachRule::Extent;

// One row per command, in code order: its record, reach rule, play and (for State and Extent)
// what it does to the page index's context or extent.
constexpr auto kRows = std::make_tuple(
    Route(kExtent,
          +[](gd_object& g, const AxisFrameRecord& r, const GdxCommand&) { g.AxisFrame(r); },
          // The frame with its ticks and labels outside it.
          +[](const AxisFrameRecord& r, const GdxCommand&, ReachContext&, ExtentBuilder& e) {
              e.Depths(r.y1, r.y2);
              e.PadDepth(std::fabs(r.y2 - r.y1));
              e.PadUnits(std::fabs(r.x2 - r.x1));
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawArcRecord& r, const GdxCommand&) { g.DrawArc(r); },
          +[](const DrawArcRecord& r, const GdxCommand&, ReachContext&, ExtentBuilder& e) {
              e.Depth(r.cy);
              e.PadUnits(r.radius);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawCircleRecord& r, const GdxCommand&) { g.DrawCircle(r); },
          +[](const DrawCircleRecord& r, const GdxCommand&, ReachContext&, ExtentBuilder& e) {
              e.Depth(r.cy);
              e.PadUnits(r.radius);
          }),
    Route(kEveryPage,
          +[](gd_object& g, const SetColorRecord& r, const GdxCommand&) { g.SetColor(r); }),
    Route(kExtent,
          +[](gd_object& g, const DipSymbolRecord& r, const GdxCommand&) {
              g.DipSymbol(r.x, r.y, r.azimuth, r.dip);
          },
          +[](const DipSymbolRecord& r, const GdxCommand&, ReachContext& c, ExtentBuilder& e) {
              e.Depth(r.y);
              e.PadUnits(c.width_x * c.symbol_size_factor * 2);
          }),
    Route(kState,
          +[](gd_object& g, const SymbolSizeRecord& r, const GdxCommand&) {
              g.SetSymbolSizeFactor(r.SymbolSizeFactor);
          },
          +[](const SymbolSizeRecord& r, const GdxCommand&, ReachContext& c, ExtentBuilder&) {
              c.symbol_size_factor = r.SymbolSizeFactor;
          }),
    Route(kEveryPage, +[](gd_object&, const EndOfListRecord&, const GdxCommand&) {}),
    Route(kTwoDepths,
          +[](gd_object& g, const GridRecord& r, const GdxCommand&) {
              g.RectangularGrid(r.x1, r.y1, r.x2, r.y2, r.stepX, r.stepY);
          }),
    Route(kTwoDepths,
          +[](gd_object& g, const DrawLineRecord& r, const GdxCommand&) { g.DrawLine(r); }),
    Route(kTwoDepths,
          +[](gd_object& g, const PatternFillBoxRecord& r, const GdxCommand&) {
              g.PatternFillBox(r);
          }),
    Route(kEveryPage, +[](gd_object&, const PointRecord&, const GdxCommand&) {}),
    Route(kExtent,
          +[](gd_object& g, const PolyFillRecord& r, const GdxCommand& c) {
              g.PolyFill(r, c.points);
          },
          +[](const PolyFillRecord&, const GdxCommand& c, ReachContext&, ExtentBuilder& e) {
              e.Points(c.points);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawPolylineRecord&, const GdxCommand& c) {
              g.DrawPolyline(c.points);
          },
          +[](const DrawPolylineRecord&, const GdxCommand& c, ReachContext&, ExtentBuilder& e) {
              e.Points(c.points);
          }),
    Route(kExtent,
          +[](gd_object& g, const RadialLineRecord& r, const GdxCommand&) {
              g.RadialLine(r.cx, r.cy, r.length, r.angle);
          },
          +[](const RadialLineRecord& r, const GdxCommand&, ReachContext&, ExtentBuilder& e) {
              e.Depth(r.cy);
              e.PadUnits(r.length);
          }),
    Route(kTwoDepths,
          +[](gd_object& g, const BoxOutlineRecord& r, const GdxCommand&) {
              g.BoxOutline(r.x1, r.y1, r.x2, r.y2);
          }),
    Route(kTwoDepths,
          +[](gd_object& g, const DrawRectangleRecord& r, const GdxCommand&) {
              g.DrawRectangle(r);
          }),
    Route(kExtent,
          +[](gd_object& g, const PieOutlineRecord& r, const GdxCommand&) {
              g.PieOutline(r.cx, r.cy, r.radius, r.startAngle, r.endAngle);
          },
          +[](const PieOutlineRecord& r, const GdxCommand&, ReachContext&, ExtentBuilder& e) {
              e.Depth(r.cy);
              e.PadUnits(r.radius);
          }),
    Route(kEveryPage,
          +[](gd_object& g, const SetLineStyleRecord& r, const GdxCommand&) {
              g.SetLineStyle(r);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawSymbolRecord& r, const GdxCommand&) { g.DrawSymbol(r); },
          +[](const DrawSymbolRecord& r, const GdxCommand&, ReachContext&, ExtentBuilder& e) {
              e.Depth(r.y);
              e.PadInches(2 * std::fabs(r.xScale) + 2 * std::fabs(r.yScale));
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawStrokeTextRecord& r, const GdxCommand&) {
              g.DrawStrokeText(r, true);
          },
          +[](const DrawStrokeTextRecord& r, const GdxCommand&, ReachContext&,
              ExtentBuilder& e) {
              e.Depth(r.y);
              e.PadUnits((double(r.text.size()) + 2) *
                         (std::fabs(r.charWidth) + std::fabs(r.charHeight)) * 2);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawNoteRecord& r, const GdxCommand&) { g.DrawNote(r); },
          +[](const DrawNoteRecord& r, const GdxCommand&, ReachContext& c, ExtentBuilder& e) {
              e.Depth(r.y);
              e.PadText(r.text.size(), c.font_points, true);
          }),
    Route(kState,
          +[](gd_object& g, const SetLineWidthRecord& r, const GdxCommand&) {
              g.SetLineWidth(r);
          },
          +[](const SetLineWidthRecord& r, const GdxCommand&, ReachContext& c,
              ExtentBuilder&) { c.line_width_inches = WidthInches(r.width); }),
    Route(kExtent,
          +[](gd_object& g, const DrawFontTextRecord& r, const GdxCommand&) {
              g.DrawFontText(r);
          },
          +[](const DrawFontTextRecord& r, const GdxCommand&, ReachContext& c,
              ExtentBuilder& e) {
              e.Depth(r.y);
              const double count = double(std::min<size_t>(r.text.size(), 60)) + 2;
              // The height may be points, pixels at screen resolution or depth units.
              const double turn = r.angle != 0 ? count : 3.0;
              e.PadDepth(std::fabs(r.height) * turn);
              e.PadInches(std::fabs(r.height) / 72.0 * turn);
              e.PadText(r.text.size(), c.font_points, r.angle != 0);
          }),
    Route(kState,
          +[](gd_object& g, const SetFontRecord& r, const GdxCommand&) {
              g.SetFont(SetFontColoredRecord{r.fontName, r.size, r.style, 0});
          },
          +[](const SetFontRecord& r, const GdxCommand&, ReachContext& c, ExtentBuilder&) {
              c.font_points = std::fabs(double(r.size));
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawWrappedTextRecord& r, const GdxCommand& c) {
              g.DrawWrappedText(r, c.text);
          },
          +[](const DrawWrappedTextRecord& r, const GdxCommand&, ReachContext& c,
              ExtentBuilder& e) {
              e.Depths(r.y1, r.y2);
              e.PadText(2, c.font_points, true);
          }),
    Route(kTwoDepths,
          +[](gd_object& g, const DrawBoxRecord& r, const GdxCommand&) { g.DrawBox(r); }),
    Route(kTwoDepths,
          +[](gd_object& g, const DrawPictureFileRecord& r, const GdxCommand&) {
              g.DrawPictureFile(r);
          }),
    Route(kBand,
          +[](gd_object& g, const DrawRegionLineRecord& r, const GdxCommand&) {
              g.DrawRegionLine(r);
          }),
    Route(kBand,
          +[](gd_object& g, const DrawLabelRecord& r, const GdxCommand&) { g.DrawLabel(r); }),
    Route(kBand,
          +[](gd_object& g, const DrawPictureRecord& r, const GdxCommand& c) {
              g.DrawPicture(r, c.data);
          }),
    Route(kBand,
          +[](gd_object& g, const DrawScaledSymbolRecord& r, const GdxCommand&) {
              g.DrawScaledSymbol(r);
          }),
    Route(kBand,
          +[](gd_object& g, const RegionPatternFillBoxRecord& r, const GdxCommand&) {
              g.RegionPatternFillBox(r);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawRotatedTextRecord& r, const GdxCommand&) {
              g.DrawRotatedText(r);
          },
          +[](const DrawRotatedTextRecord& r, const GdxCommand&, ReachContext& c,
              ExtentBuilder& e) {
              e.Depths(r.y1, r.y2);
              e.PadText(r.text.size(), c.font_points, true);
          }),
    Route(kBand,
          +[](gd_object& g, const RegionPatternFillBoxColoredRecord& r, const GdxCommand&) {
              g.RegionPatternFillBoxColored(r);
          }),
    Route(kExtent,
          +[](gd_object& g, const PatternFillBoxColoredRecord& r, const GdxCommand&) {
              g.PatternFillBoxColored(r);
          },
          +[](const PatternFillBoxColoredRecord& r, const GdxCommand&, ReachContext&,
              ExtentBuilder& e) {
              e.Depths(r.y1, r.y2);
              e.PadInches(WidthInches(r.lineWidth));
          }),
    Route(kState,
          +[](gd_object& g, const SetFontColoredRecord& r, const GdxCommand&) {
              g.SetFont(r);
          },
          +[](const SetFontColoredRecord& r, const GdxCommand&, ReachContext& c,
              ExtentBuilder&) { c.font_points = std::fabs(double(r.size)); }),
    Route(kBand,
          +[](gd_object& g, const FillBoxRecord& r, const GdxCommand&) { g.FillBox(r); }),
    Route(kBand,
          +[](gd_object& g, const DrawPictureStreamRecord& r, const GdxCommand& c) {
              g.DrawPictureStream(r, c.data);
          }),
    Route(kExtent,
          +[](gd_object& g, const FillPolygonPairRecord& r, const GdxCommand& c) {
              g.FillPolygonPair(r, c.points, c.points2);
          },
          +[](const FillPolygonPairRecord& r, const GdxCommand& c, ReachContext&,
              ExtentBuilder& e) {
              e.Points(c.points);
              e.Points(c.points2);
              e.PadInches(std::min(std::max(std::fabs(double(r.lineWidth1)),
                                            std::fabs(double(r.lineWidth2))),
                                   1e6) /
                          96.0);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawTextRecord& r, const GdxCommand&) { g.DrawText(r); },
          +[](const DrawTextRecord& r, const GdxCommand&, ReachContext& c, ExtentBuilder& e) {
              e.Depth(r.y);
              e.PadText(r.text.size(), c.font_points, r.vertical != 0);
          }),
    Route(kExtent,
          +[](gd_object& g, const PolyFillColoredRecord& r, const GdxCommand& c) {
              g.PolyFillColored(r, c.points);
          },
          +[](const PolyFillColoredRecord&, const GdxCommand& c, ReachContext&,
              ExtentBuilder& e) { e.Points(c.points); }),
    Route(kExtent,
          +[](gd_object& g, const DrawStyledPolylineRecord& r, const GdxCommand& c) {
              g.DrawStyledPolyline(r, c.segments);
          },
          +[](const DrawStyledPolylineRecord& r, const GdxCommand& c, ReachContext&,
              ExtentBuilder& e) {
              for (const DrawLineRecord& s : c.segments) e.Depths(s.y1, s.y2);
              e.PadInches(WidthInches(r.width));
          }),
    // A rule runs the whole height of every page.
    Route(kEveryPage,
          +[](gd_object& g, const DrawVerticalRuleRecord& r, const GdxCommand&) {
              g.DrawVerticalRule(r);
          }),
    Route(kBand,
          +[](gd_object& g, const DrawLongLabelRecord& r, const GdxCommand&) {
              g.DrawLabel(DrawLabelRecord{r.x, r.y, r.size, r.angle, r.text, r.region});
          }),
    Route(kBand,
          +[](gd_object& g, const DrawTextBoxRecord& r, const GdxCommand& c) {
              g.DrawTextBox(r, r.TextLength > 0 ? c.text : std::string());
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawFormattedTextRecord& r, const GdxCommand& c) {
              g.DrawFormattedText(r, c.text);
          },
          +[](const DrawFormattedTextRecord& r, const GdxCommand& c, ReachContext& context,
              ExtentBuilder& e) {
              e.Depths(r.y1, r.y2);
              // Text laid out without a bottom runs on below its box, at most a line per
              // character.
              const bool runs_on = (r.layoutFlags & kLayoutRunsOn) != 0;
              e.PadText(runs_on ? c.text.size() : 2,
                        std::max(std::fabs(double(r.fontSize)), context.font_points), true);
          }),
    Route(kExtent,
          +[](gd_object& g, const DrawFittedTextRecord& r, const GdxCommand&) {
              g.DrawFittedText(r);
          },
          +[](const DrawFittedTextRecord& r, const GdxCommand&, ReachContext& c,
              ExtentBuilder& e) {
              e.Depth(r.y);
              e.PadText(r.text.size(), c.font_points, r.rotation != 0);
          }),
    Route(kTwoDepths,
          +[](gd_object& g, const GradientFillBoxRecord& r, const GdxCommand&) {
              g.GradientFillBox(r);
          }),
    Route(kExtent,
          +[](gd_object& g, const GradientPolyFillRecord& r, const GdxCommand& c) {
              g.GradientPolyFill(r, c.points);
          },
          +[](const GradientPolyFillRecord&, const GdxCommand& c, ReachContext&,
              ExtentBuilder& e) { e.Points(c.points); }));

template <class R, class = void>
struct HasRegion : std::false_type {};
template <class R>
struct HasRegion<R, std::void_t<decltype(R::region)>> : std::true_type {};
template <class R, class = void>
struct HasTwoDepths : std::false_type {};
template <class R>
struct HasTwoDepths<R, std::void_t<decltype(R::y1), decltype(R::y2)>> : std::true_type {};

template <size_t I>
using RecordAt = typename std::decay_t<decltype(std::get<I>(kRows))>::Record;

template <size_t I>
void PlayRow(gd_object& target, const GdxCommand& command) {
    std::get<I>(kRows).play(target, std::get<RecordAt<I>>(command.record), command);
}

template <size_t I>
IndexedCommand ReachRow(const GdxCommand& command, ReachContext& context) {
    using R = RecordAt<I>;
    const auto& row = std::get<I>(kRows);
    const R& r = std::get<R>(command.record);
    ExtentBuilder e(context);
    switch (row.reach) {
        case ReachRule::EveryPage:
            break;
        case ReachRule::State:
            row.extent(r, command, context, e);
            break;
        case ReachRule::Band:
            if constexpr (HasRegion<R>::value) return InBand(command.offset, r.region);
            break;
        case ReachRule::TwoDepths:
            if constexpr (HasTwoDepths<R>::value) {
                e.Depths(r.y1, r.y2);
                return e.Finish(command.offset);
            }
            break;
        case ReachRule::Extent:
            row.extent(r, command, context, e);
            return e.Finish(command.offset);
    }
    return EveryPageAt(command.offset);
}

template <size_t I>
CommandRoute RouteAt() {
    using R = RecordAt<I>;
    const auto& row = std::get<I>(kRows);
    CommandRoute route;
    route.code = R::kCode;
    route.reach = row.reach;
    route.play = &PlayRow<I>;
    route.reach_of = &ReachRow<I>;
    if constexpr (R::kFollower == Follower::None) {
        route.in_place = row.reach == ReachRule::EveryPage || row.reach == ReachRule::TwoDepths;
        if constexpr (HasTwoDepths<R>::value) {
            route.y1_at = static_cast<uint16_t>(OffsetOf<R>("y1"));
            route.y2_at = static_cast<uint16_t>(OffsetOf<R>("y2"));
        }
    }
    return route;
}

template <size_t... I>
std::vector<CommandRoute> AllRoutes(std::index_sequence<I...>) {
    std::vector<CommandRoute> routes{RouteAt<I>()...};
    std::sort(routes.begin(), routes.end(),
              [](const CommandRoute& a, const CommandRoute& b) { return a.code < b.code; });
    return routes;
}

}  // namespace

const std::vector<CommandRoute>& CommandRoutes() {
    static const std::vector<CommandRoute> routes =
        AllRoutes(std::make_index_sequence<std::tuple_size_v<std::decay_t<decltype(kRows)>>>());
    return routes;
}

const CommandRoute* RouteOf(int16_t code) {
    // Codes run to about a thousand: a direct table.
    static const std::vector<const CommandRoute*> by_code = [] {
        std::vector<const CommandRoute*> table(size_t(CommandRoutes().back().code) + 1, nullptr);
        for (const CommandRoute& route : CommandRoutes()) table[size_t(route.code)] = &route;
        return table;
    }();
    if (code < 0 || size_t(code) >= by_code.size()) return nullptr;
    return by_code[size_t(code)];
}

}  // namespace cindral
