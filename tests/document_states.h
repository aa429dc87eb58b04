#pragma once
// One table of document states and their boundaries, run through the log document
// (tests/render/document_states_test.cpp) and through the command line's paging options
// (tests/cli/paging_options_test.cpp): the interval and page length a user sets, the pages
// they give, and what a reload keeps when the file on disk is replaced by another version.
//
// At 100 pixels per inch one x unit and one depth unit are one pixel; the page is 300 x 500
// without bands, so a page holds 500 depth units unless a custom page length cuts it.

#include <optional>
#include <string>
#include <utility>

#include "core/format/gdx_commands.h"
#include "core/format/gdx_header.h"
#include "core/format/gdx_writer.h"

namespace cindral::testing {

constexpr int kStatesDpi = 100;
constexpr double kStatesDatum = 250;

// The log's two versions: as first written, and as recompiled (longer both ways, with a
// custom page length of its own).
struct LogVersion {
    double top;
    double bottom;
    std::optional<double> page_length;
};
constexpr LogVersion kFirstVersion{1200, 0, std::nullopt};
constexpr LogVersion kSecondVersion{1600, -200, 300};

inline GdxHeader StatesHeader(const LogVersion& v) {
    GdxHeader h;
    h.MinX = 0;
    h.MaxX = 300;
    h.TopDepth = v.top;
    h.BottomDepth = v.bottom;
    h.FirstHeaderHeight = -1;
    h.NextHeaderHeight = -1;
    h.FooterHeight = -1;
    h.PageHeight = 5;
    h.PageWidth = 3;
    h.XUnitsPerInch = 100;
    h.DepthUnitsPerInch = 100;
    h.ElevationDatum = kStatesDatum;
    h.CustomPageLength = v.page_length ? 1 : 0;
    h.UnitsPerPage = v.page_length.value_or(0);
    return h;
}

// A rule across the log every 50 depth units from its bottom to its top, so the rows of a
// drawn page show which depths the page holds.
constexpr double kRuleStep = 50;

inline void WriteStatesLog(const std::string& path, const LogVersion& v) {
    GdxWriter w(StatesHeader(v));
    for (double depth = v.bottom; depth <= v.top; depth += kRuleStep) {
        DrawLineRecord rule;
        rule.x1 = 0;
        rule.y1 = depth;
        rule.x2 = 300;
        rule.y2 = depth;
        w.Write(rule);
    }
    w.Save(path);
}

// What the pages are laid out over, and how many there are.
struct Paging {
    double top;
    double bottom;
    double per_page;  // depth units from one page's first row to the next page's
    int pages;
};

struct DocumentState {
    const char* name;
    std::optional<std::pair<double, double>> interval;  // set by the user
    std::optional<double> page_length;                  // set by the user
    Paging first;                                       // on the first version
    Paging after;                                       // after a reload onto the second version
};

// Page counts: the interval's extent less half a row, over the depth a page holds, rounded
// up. A user's interval or page length outlives a reload (both ends of the interval); what
// the user left alone follows the file.
inline const DocumentState kDocumentStates[] = {
    {"AsWritten", {}, {}, {1200, 0, 500, 3}, {1600, -200, 300, 6}},
    {"TopEndChanged", {{1000, 0}}, {}, {1000, 0, 500, 2}, {1000, 0, 300, 4}},
    {"BottomEndChanged", {{1200, 300}}, {}, {1200, 300, 500, 2}, {1200, 300, 300, 3}},
    {"BothEndsChanged", {{1000, 250}}, {}, {1000, 250, 500, 2}, {1000, 250, 300, 3}},
    {"OnePage", {{1200, 800}}, {}, {1200, 800, 500, 1}, {1200, 800, 300, 2}},
    {"HalfARowPastTwoPagesFits", {{1000.4, 0}}, {}, {1000.4, 0, 500, 2}, {1000.4, 0, 300, 4}},
    {"MoreThanHalfARowPast", {{1000.6, 0}}, {}, {1000.6, 0, 500, 3}, {1000.6, 0, 300, 4}},
    {"PageLengthChanged", {}, 200, {1200, 0, 200, 6}, {1600, -200, 200, 9}},
    {"IntervalAndPageLength", {{1100, 100}}, 400, {1100, 100, 400, 3}, {1100, 100, 400, 3}},
};

inline std::string StateName(const DocumentState& s) {
    return s.name;
}

}  // namespace cindral::testing
