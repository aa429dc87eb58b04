// The nice-step table, the label decimals and the number formatting, as tables; and the
// degenerate figures that must neither hang nor hand a non-finite number to a target.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/interpreter/gd_object.h"
#include "gd_test_support.h"

namespace cindral {
namespace {

using testing::PlayFixture;
using testing::TestHeader;

TEST(NiceSteps, FollowsTheTableWithStrictThresholds) {
    struct Row {
        int n;
        double a, b;
        double minor, major;
    };
    const Row rows[] = {
        {0, 0, 100, 1, 1},                 // no intervals asked for
        {20, 0, 100, 5, 25},               // d = 5 is not greater than 5
        {20, 0, 101, 10, 50},              // d = 5.05
        {20, 100, 0, 5, 25},               // order of the ends does not matter
        {20, 0, 20, 1, 5},                 // d = 1: the 0.5 row
        {20, 0, 20.2, 2, 10},              // d just above 1
        {20, 0, 1e-9, 1, 5},               // d below 1e-8 counts as 1: the 0.5 row
        {20, 0, 0.001, 0.00005, 0.00025},  // d = 5e-5, below the first row: d and 5d
        {1, 0, 0.0005, 0.0005, 0.002},     // d = 0.0005 is not above 0.0005
        {1, 0, 0.0025, 0.0025, 0.01},      // nor 0.0025 above 0.0025
        {20, 0, 4.9, 0.25, 1},             // d = 0.245
        {20, 0, 6, 0.5, 2},                // d = 0.3
        {20, 0, 1e7, 500000, 2000000},     // d = 500000 is not above 500000
        {20, 0, 2e7, 1000000, 5000000},    // d = 1e6: the last row
        // Beyond the table the rows continue by decades instead of a million ticks.
        {20, 0, 4.5e7, 2500000, 10000000},  // d = 2.25e6
        {20, 0, 2e12, 1e11, 5e11},          // d = 1e11
        {20, 0, 3e12, 2e11, 1e12},          // d = 1.5e11
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "n=" << r.n << " range " << r.a << ".." << r.b);
        TickSteps s = NiceSteps(r.n, r.a, r.b);
        EXPECT_DOUBLE_EQ(s.minor, r.minor);
        EXPECT_DOUBLE_EQ(s.major, r.major);
    }
}

TEST(NiceSteps, NeverGivesAStepThatCannotAdvance) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double b : {inf, nan, 1e308, -1e308}) {
        TickSteps s = NiceSteps(20, 0, b);
        EXPECT_TRUE(std::isfinite(s.minor) && s.minor > 0) << b;
        EXPECT_TRUE(std::isfinite(s.major) && s.major > 0) << b;
    }
}

TEST(AxisDecimals, CountsTheDivisionsOfAThousand) {
    const std::pair<double, int> rows[] = {
        {0, 6}, {2000, 0}, {1000, 1}, {150, 1}, {100, 2}, {0.5, 4}, {1e-12, 11},
    };
    for (auto [r, decimals] : rows) EXPECT_EQ(AxisDecimals(r), decimals) << r;
}

TEST(FormatNumber, FixedWithSeparatorsAndNoTrailingZeros) {
    struct Row {
        int decimals;
        double value;
        const char* text;
    };
    const Row rows[] = {
        {2, 1234.5, "1,234.5"},
        {0, 1500, "1,500"},
        {0, -2500, "-2500"},  // negative values keep plain digits
        {3, 0.25, "0.25"},
        {0, 1234567, "1,234,567"},
        {0, 1e15, "1,000,000,000,000,000"},
        {2, 999.996, "1,000"},  // grouped by the digits shown, not the unrounded value
        {1, 100, "100"},
        {0, 0, "0"},
        {2, -0.001, "0"},  // never "-0"
        {1, -12.25, "-12.2"},
        {4, 0.00012, "0.0001"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatNumber(r.decimals, r.value), r.text)
            << r.decimals << " decimals of " << r.value;
    }
}

// Records every DrawLine and DrawStrokeText size, and remembers any non-finite number.
class FiniteCheck : public gd_object {
  public:
    using gd_object::gd_object;
    void DrawLine(const DrawLineRecord& r) override {
        ++lines;
        for (double v : {r.x1, r.y1, r.x2, r.y2}) finite = finite && std::isfinite(v);
    }
    int lines = 0;
    bool finite = true;
};

// Degenerate figures end quickly and hand only finite numbers on; what they draw instead is
// written down in docs/interpreter.md.
TEST(Figures, DegenerateInputNeverReachesATargetAsInfinityOrHangs) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PlayFixture f;
    FiniteCheck doc(f.Patterns(), f.Symbols());
    doc.Header() = TestHeader();

    struct Row {
        const char* name;
        std::function<void(gd_object&)> draw;
        int most_lines;
    };
    auto frame = [](double minX, double maxX, double minY, double maxY, uint8_t autoTicks,
                    double tickX, double tickY) {
        AxisFrameRecord r{0, 0, 100, 50, minX, minY, maxX, maxY, 0, autoTicks, tickX, tickY};
        return r;
    };
    const Row rows[] = {
        {"frame with both ranges empty",
         [&](gd_object& d) { d.AxisFrame(frame(5, 5, 7, 7, 1, 0, 0)); }, 4},
        {"frame with a NaN range",
         [&](gd_object& d) { d.AxisFrame(frame(0, nan, 0, inf, 1, 0, 0)); }, 4},
        {"frame of no size",
         [&](gd_object& d) {
             AxisFrameRecord r = frame(0, 10, 0, 10, 1, 0, 0);
             r.x2 = r.x1;
             r.y2 = r.y1;
             d.AxisFrame(r);
         },
         4},
        {"frame with tiny manual steps",
         [&](gd_object& d) { d.AxisFrame(frame(0, 1e6, 0, 1e6, 0, 1e-9, -1e-9)); }, 2000},
        {"frame far from zero",
         [&](gd_object& d) { d.AxisFrame(frame(1e20, 1e20 + 1e5, 0, 1, 1, 0, 0)); }, 2000},
        {"frame with huge range",
         [&](gd_object& d) { d.AxisFrame(frame(-1e300, 1e300, 0, 1, 1, 0, 0)); }, 2000},
        {"grid with steps lost in rounding",
         [&](gd_object& d) { d.RectangularGrid(1e20, 0, 1e20 + 1e6, 1, 1, 1); }, 4},
        {"grid with NaN step", [&](gd_object& d) { d.RectangularGrid(0, 0, 5, 5, nan, inf); }, 2},
        {"grid with a million lines",
         [&](gd_object& d) { d.RectangularGrid(0, 0, 1e6, 1, 1e-3, 1); }, 4},
        {"arc with infinite angle",
         [&](gd_object& d) {
             d.DrawArc(DrawArcRecord{0, 0, 1, 0, inf});
         },
         0},
        {"arc with NaN angle",
         [&](gd_object& d) {
             d.DrawArc(DrawArcRecord{0, 0, 1, nan, 10});
         },
         0},
        {"arc of many turns",
         [&](gd_object& d) {
             d.DrawArc(DrawArcRecord{0, 0, 1, 0, 1e12});
         },
         362},
        {"arc at huge angles",
         [&](gd_object& d) {
             d.DrawArc(DrawArcRecord{0, 0, 1, 1e17, 1e17 + 10});
         },
         362},
        {"stroke text of zero size",
         [&](gd_object& d) {
             d.DrawStrokeText(DrawStrokeTextRecord{0, 0, 0, 0, 0, 90, "A1"}, true);
         },
         3},
        {"pattern box of a million cells",
         [&](gd_object& d) {
             d.PatternFillBox(PatternFillBoxRecord{0, 0, 1e5, 1e5, 1, 0.01, 0.01, 1});
         },
         4},
        {"pattern box with zero scale",
         [&](gd_object& d) {
             d.PatternFillBox(PatternFillBoxRecord{0, 0, 10, 10, 1, 0, 1, 0});
         },
         0},
        {"pattern box with negative scale",
         [&](gd_object& d) {
             d.PatternFillBox(PatternFillBoxRecord{0, 0, 10, 10, 1, -1, -1, 0});
         },
         0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        doc.lines = 0;
        doc.finite = true;
        r.draw(doc);
        EXPECT_LE(doc.lines, r.most_lines);
        EXPECT_TRUE(doc.finite);
        EXPECT_TRUE(std::isfinite(doc.AxisScaleX()) && std::isfinite(doc.AxisScaleY()));
    }
}

TEST(Figures, AnEmptyAxisRangeKeepsItsSidesAndTheOtherAxisItsTicks) {
    PlayFixture f;
    FiniteCheck doc(f.Patterns(), f.Symbols());
    AxisFrameRecord r{0, 0, 100, 50, 5, 0, 5, 10, 0, 1, 0, 0};  // x range empty
    doc.AxisFrame(r);
    EXPECT_EQ(doc.AxisScaleX(), 0);
    EXPECT_DOUBLE_EQ(doc.AxisScaleY(), 5);
    EXPECT_GT(doc.lines, 4);  // the y sides carry ticks and labels
    EXPECT_TRUE(doc.finite);
}

TEST(Figures, GridLinesFallOnEveryStepUpToTheLimit) {
    PlayFixture f;
    struct Grid : gd_object {
        using gd_object::gd_object;
        void DrawLine(const DrawLineRecord& r) override {
            if (r.x1 == r.x2) xs.push_back(r.x1);
        }
        std::vector<double> xs;
    } doc(f.Patterns(), f.Symbols());
    doc.RectangularGrid(0, 0, 3, 1, 1, 1);
    EXPECT_EQ(doc.xs, (std::vector<double>{0, 1, 2, 3}));
}

}  // namespace
}  // namespace cindral
