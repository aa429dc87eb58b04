// The one command table against the reader: every code the reader knows has one row, the row
// plays the primitive named after the command with the record the reader decodes, and its
// reach rule gives the page index what the rule promises, in place or decoded.

#include "core/interpreter/command_routes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>

#include "core/base/errors.h"
#include "core/format/byte_codec.h"
#include "core/gd_test_support.h"
#include "core/interpreter/page_reach.h"
#include "core/interpreter/trace_object.h"

namespace cindral {
namespace {

using testing::PlayFixture;
using testing::TestHeader;

// A command of `code` as the reader would hand it over: its payload all zeros except the
// given doubles, and whatever may follow it present.
GdxCommand CommandOf(const CommandInfo& info, const std::vector<std::pair<uint16_t, double>>& at) {
    std::vector<uint8_t> payload(info.size, 0);
    for (const auto& [offset, value] : at) {
        ByteWriter w;
        w.F64(value);
        std::copy(w.bytes().begin(), w.bytes().end(), payload.begin() + offset);
    }
    ByteReader in(payload.data(), payload.size());
    GdxCommand command(DecodeCommand(info.code, in));
    command.code = info.code;
    command.offset = 1000;
    command.points = {{1, 2}, {3, 4}};
    command.points2 = {{5, 6}};
    command.segments = {DrawLineRecord{1, 2, 0, 3, 4, 0}};
    command.text = "text";
    command.data = std::vector<uint8_t>(8, 0);
    return command;
}

// Figure routines and state the interpreter keeps itself: no primitive of their name exists.
const std::set<std::string> kNoPrimitiveOfItsName = {"AxisFrame",  "DipSymbol",  "SetSymbolSize",
                                                     "EndOfList",  "Point",      "Grid",
                                                     "RadialLine", "BoxOutline", "PieOutline"};

TEST(CommandRoutes, EveryCodeOfTheReaderHasOneRowThatPlaysAndReachesItsOwnRecord) {
    const std::vector<CommandRoute>& routes = CommandRoutes();
    ASSERT_EQ(routes.size(), CommandTable().size());
    PlayFixture f;
    ReachContext context;
    for (const CommandInfo& info : CommandTable()) {
        SCOPED_TRACE(std::to_string(info.code) + " " + info.operation);
        const CommandRoute* route = RouteOf(info.code);
        ASSERT_NE(route, nullptr);
        EXPECT_EQ(route->code, info.code);

        // The row takes the record the reader decodes for its code (a wrong type would throw
        // bad_variant_access) and calls the primitive named after the command.
        const GdxCommand command = CommandOf(info, {});
        std::ostringstream out;
        trace_object trace(out, f.Patterns(), f.Symbols());
        trace.Header() = TestHeader();
        try {
            route->play(trace, command);
        } catch (const CindralError&) {
            // A default that needs a library entry the test libraries lack; the call is traced.
        }
        const std::string first = out.str().substr(0, out.str().find('\n'));
        if (kNoPrimitiveOfItsName.count(info.operation) == 0) {
            EXPECT_EQ(first.rfind(std::string(info.operation) + "(", 0), 0u) << first;
        } else {
            EXPECT_NE(first.rfind(std::string(info.operation) + "(", 0), 0u) << first;
        }

        const IndexedCommand entry = route->reach_of(command, context);
        EXPECT_EQ(entry.offset, 1000u);
        switch (route->reach) {
            case ReachRule::EveryPage:
            case ReachRule::State:
                EXPECT_EQ(entry.reach, Reach::EveryPage);
                break;
            case ReachRule::Band:
                EXPECT_EQ(entry.reach, Reach::Band);
                EXPECT_EQ(entry.band, Band::None);  // the zero region byte
                break;
            case ReachRule::TwoDepths:
            case ReachRule::Extent:
                EXPECT_EQ(entry.reach, Reach::Depths);
                break;
        }
        // In place only what nothing follows, so the reader's position stays right.
        if (route->in_place) {
            EXPECT_EQ(info.follower, Follower::None);
        }
        if (route->reach == ReachRule::TwoDepths) {
            EXPECT_TRUE(route->in_place);
            // The offsets read in place are where the record keeps y1 and y2: the decoded
            // extent spans exactly the two depths, padded alike on both sides.
            const GdxCommand placed = CommandOf(info, {{route->y1_at, 5}, {route->y2_at, -7}});
            const IndexedCommand depths = route->reach_of(placed, context);
            ASSERT_EQ(depths.reach, Reach::Depths);
            EXPECT_GT(depths.high, 5);
            EXPECT_LT(depths.low, -7);
            EXPECT_NEAR(depths.high - 5, -7 - depths.low, 1e-3);
        }
    }
    EXPECT_EQ(RouteOf(777), nullptr);
    EXPECT_EQ(RouteOf(-1), nullptr);
}

}  // namespace
}  // namespace cindral
