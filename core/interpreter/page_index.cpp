#include "core/interpreter/page_index.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/format/file_object.h"
#include "core/format/gdx_reader.h"
#include "core/interpreter/command_routes.h"
#include "core/interpreter/page_reach.h"
#include "core/pages/page_layout.h"

namespace cindral {
namespace {

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
    GdxReader reader(file);
    GdxCommand command;
    // Most commands of a log are lines, boxes and colours: their reach is read straight from
    // their bytes at the offsets their own field lists give, without decoding the record.
    auto in_place = [&](int64_t at, int16_t code, const CommandInfo&, const uint8_t* payload) {
        const CommandRoute* route = RouteOf(code);
        if (route == nullptr || !route->in_place) return false;
        if (route->reach == ReachRule::TwoDepths) {
            ExtentBuilder e(context);
            e.Depths(DoubleAt(payload + route->y1_at), DoubleAt(payload + route->y2_at));
            index.commands_.push_back(e.Finish(at));
        } else {
            index.commands_.push_back(EveryPageAt(at));
        }
        return true;
    };
    while (true) {
        reader.TakeInPlace(in_place);
        if (!reader.Next(command)) break;
        const CommandRoute* route = RouteOf(command.code);
        index.commands_.push_back(route != nullptr ? route->reach_of(command, context)
                                                   : EveryPageAt(command.offset));
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
                plays = c.band == page.header_mode || (c.band == Band::Footer && page.has_footer);
                break;
        }
        if (plays) offsets.push_back(int64_t(c.offset));
    }
    return offsets;
}

}  // namespace cindral
