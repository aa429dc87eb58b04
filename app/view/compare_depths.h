#pragma once
// Depths and rows of a log's pages for comparing two logs: the value (a depth as the file has
// it, or an elevation) at a fractional drawn row, and the page and row of a value. The two
// views of a comparison are moved by these, so a log of another scale, page size or datum
// still puts the same depth at the same screen row.

#include <QString>
#include <optional>

namespace cindral {
class LogDocument;
}

namespace cindral::app {

// Whether a value lies within a log, or beyond one of its ends.
enum class LogReach { Inside, AboveTop, BelowBase };

// What a view says when it cannot show the value asked for (empty when it can).
QString ReachNote(LogReach reach);

// A place in the pages of a document: its page and its row in drawn rows (fractional).
struct ValuePlace {
    int page = 0;
    double row = 0;
    LogReach reach = LogReach::Inside;
};

// The value at row `row` (fractional, may lie beyond the page's rows) of `page`; at whole rows
// exactly what the read-out shows there.
double ValueAtRow(const LogDocument& view, int page, double row, bool elevation);

// The row of `page` at which `value` lies (fractional; beyond the page's rows when the value
// is on another page).
double RowOfValue(const LogDocument& view, int page, double value, bool elevation);

// The page and row holding `value`; a value beyond the log's top or base is held to that end
// and `reach` says which. Nothing when the log has no page.
std::optional<ValuePlace> PlaceOfValue(const LogDocument& view, double value, bool elevation);

}  // namespace cindral::app
