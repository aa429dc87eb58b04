#pragma once
// The text index of a log: every string its pages draw (plain, fitted, wrapped and formatted
// text, text boxes, labels at any angle, header and footer texts, stroke text, the strings of
// embedded metafiles), with the page it lands on, its depth or band, and where it lies on the
// page in inches, so a find can go to it and draw its box at any zoom. Built by playing each
// page through a canvas that measures text as the screen does and draws nothing.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "core/pages/page_layout.h"

namespace cindral {

class LogDocument;

// A box on the page in inches from its top-left corner, y down.
struct InchBox {
    double left = 0, top = 0, right = 0, bottom = 0;
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// One run of characters drawn by one call: a line of wrapped text, a label, a stroke text.
struct TextPiece {
    int start = 0;   // first character in the string's text
    int length = 0;  // characters of the text this run draws
    // Baseline start and direction: `angle` degrees counter-clockwise from level, the page's
    // y axis pointing down.
    double origin_x = 0, origin_y = 0;
    double angle = 0;
    double ascent = 0, descent = 0;
    // Distance along the baseline from the origin to each character's start, and to the end
    // of the last (length + 1 values), in inches.
    std::vector<double> offsets;
};

// A string as the page shows it: the whole text of one drawing (the lines of a wrapped text
// joined by a blank), page-number markers already replaced.
struct DrawnString {
    int page = 0;  // from 0
    QString text;
    // Band::None in the data window, else the header or footer band the string lies in.
    Band band = Band::None;
    double depth = 0;  // the depth at the string's middle row (data window only)
    InchBox box;       // around the whole string
    std::vector<TextPiece> pieces;
};

struct FindOptions {
    bool match_case = false;
    bool whole_words = false;  // the match neither starts nor ends inside a word
};

struct TextMatch {
    int string = 0;  // index into TextIndex::Strings()
    int start = 0;   // characters into the string's text
    int length = 0;
    int page = 0;
    Band band = Band::None;
    double depth = 0;
    InchBox box;                 // around the matched characters
    std::vector<InchBox> boxes;  // one per piece the match runs over, around its characters
};

class TextIndex {
  public:
    TextIndex() = default;
    explicit TextIndex(std::vector<DrawnString> strings);

    // Plays every page of `document` (any resolution; boxes are in inches), on every
    // processor. `progress` hears (pages done, page count) from the playing threads, one at a
    // time. CindralError as drawing raises it; nothing cancels it, and it asks nothing.
    static TextIndex Build(const LogDocument& document,
                           const std::function<void(int, int)>& progress = {});

    // In depth order: page by page, then from the top of the page down, then left to right.
    const std::vector<DrawnString>& Strings() const { return strings_; }

    // Every occurrence of `text` (non-overlapping, none for an empty text), in depth order.
    // A phrase runs across the lines of a wrapped string; blanks in `text` match any run of
    // blanks.
    std::vector<TextMatch> Find(const QString& text, const FindOptions& options = {}) const;

    // The string drawn over the point (inches) of `page`, the smallest when several are; -1
    // for none.
    int StringAt(int page, double x, double y) const;

    // The string's words around the match, for a results list: up to `words` on each side.
    QString Context(const TextMatch& match, int words = 4) const;

    // Around characters [start, end) of the piece (its own, from 0), level or turned.
    static InchBox BoxOf(const TextPiece& piece, int start, int end);

  private:
    std::vector<DrawnString> strings_;
};

// The words "header" or "footer" for a band, "" for the data window.
const char* BandName(Band band);

}  // namespace cindral
