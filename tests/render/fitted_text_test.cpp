// Kept-inside fitted text stays between the data window's top and the limit below it, level
// or turned, wherever its anchor lies; both renderers place it with this one rule.

#include "render/renderers/fitted_text.h"

#include <gtest/gtest.h>

#include <string>

namespace cindral {
namespace {

TEST(FittedText, KeptInsideTextStaysBetweenTheDataTopAndTheLimit) {
    struct Case {
        const char* name;
        int rotation;
        int page_height;  // equal to the limit when the log ends the page
    };
    const Case cases[] = {{"level", 0, 1100},
                          {"level, footer at the page end", 0, 900},
                          {"turned down", 1, 1100},
                          {"turned up", 2, 1100}};
    for (const Case& c : cases) {
        for (int anchor = 60; anchor <= 960; anchor += 15) {
            FittedTextInput in;
            in.x = 300;
            in.y = anchor;
            in.width = 120;
            in.height = 18;
            in.o_height = 16;
            in.rotation = c.rotation;
            in.keep_inside = true;
            in.data_top = 100;
            in.limit = 900;
            in.page_height = c.page_height;
            in.band_gap = 10;
            const FittedTextPlace p = PlaceFittedText(in);
            const std::string what = std::string(c.name) + " at " + std::to_string(anchor);
            // The text's vertical reach: its rows when level, its length centred when turned.
            const int top = c.rotation == 0 ? p.y : p.y - in.width / 2;
            const int bottom = c.rotation == 0 ? p.y + in.height : p.y + in.width / 2;
            EXPECT_GE(top, in.data_top - in.band_gap / 2) << what;
            EXPECT_LE(bottom, in.limit + in.band_gap / 2) << what;
            EXPECT_EQ(p.escapement, c.rotation == 0 ? 0 : c.rotation == 1 ? -900 : 900) << what;
        }
    }
}

}  // namespace
}  // namespace cindral
