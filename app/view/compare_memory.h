#pragma once
// The log a log was last compared with, kept for the pair under the first log's path in the
// viewer's own settings: the second file, whether the two were linked and by elevation, and the
// rows they were aligned on, so choosing Compare With again for that log can bring the pair
// back as it was.

#include <QString>
#include <optional>

namespace cindral::app {

struct RememberedPair {
    QString partner;
    bool linked = true;
    bool by_elevation = false;
    // The depths (as the files have them) the first and the second log were aligned on.
    std::optional<double> first_mark;
    std::optional<double> second_mark;
};

// Pairs remembered; the oldest is forgotten first.
constexpr int kRememberedPairs = 20;

std::optional<RememberedPair> RecallPair(const QString& first);
// Keeps `pair` for `first` as the newest entry.
void RememberPair(const QString& first, const RememberedPair& pair);

}  // namespace cindral::app
