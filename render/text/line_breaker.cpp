#include "render/text/line_breaker.h"

namespace cindral {
namespace {

constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kHyphen = '-';
// A candidate within this much below the width counts as full; during back-off one this
// much wider still fits.
constexpr double kTolerance = 0.001;

}  // namespace

void TLineBreaker::Measure(const LineMeasure& format, int start, int end) {
    if (end > Length() + 1) end = Length() + 1;
    if (end < start) end = start;
    const char* base = text_.data();
    format.MeasureText(base + (start - 1), base + (end - 1), width_, height_);
}

bool TLineBreaker::SkipBlanks() {
    while (position_ <= Length()) {
        const unsigned char c = At(position_);
        if (c > 32 || c == kCarriageReturn) break;
        ++position_;
    }
    return position_ <= Length();
}

void TLineBreaker::SkipWord() {
    if (AtCarriageReturn()) {
        position_ += 2;
        return;
    }
    while (position_ <= Length() && At(position_) > 32) ++position_;
}

bool TLineBreaker::IsBreakPoint(int position) const {
    if (position < 2 || position > Length()) return false;
    const unsigned char here = At(position);
    const unsigned char before = At(position - 1);
    return here <= 32 || before <= 32 || before == kHyphen;
}

bool TLineBreaker::NextLine(const LineMeasure& format, int& line_end, int& line_start,
                            int max_width) {
    if (position_ > Length()) return false;
    const int start = position_;
    line_start = start;
    const double limit = max_width;

    if (AtCarriageReturn()) {
        // A bare line break: the carriage return and whatever follows it (its line feed).
        position_ += 2;
        line_end = position_;
        Measure(format, start, position_);
        return true;
    }

    int words = 0;
    for (;;) {
        if (!SkipBlanks()) {
            if (words == 0) {
                // Only blanks remain. They form one line of their own (drawn as nothing
                // once trimmed), measured here so the width compared below is theirs and
                // not the previous line's.
                Measure(format, start, position_);
                line_end = position_;
                return true;
            }
            break;
        }
        if (!AtCarriageReturn()) {
            SkipWord();
            ++words;
        }
        Measure(format, start, position_);
        if (limit - kTolerance <= width_) {
            if (AtCarriageReturn()) position_ += 2;
            break;
        }
        if (AtCarriageReturn()) {
            position_ += 2;
            break;
        }
    }

    if (width_ > limit) {
        const bool at_break_points = words > 1 && format.WordBreak();
        for (int q = position_; q >= start; --q) {
            if (at_break_points && !IsBreakPoint(q)) continue;
            if (!at_break_points && words == 1) break;  // a lone word is never split
            Measure(format, start, q);
            if (width_ <= limit + kTolerance) {
                position_ = q;
                break;
            }
        }
    }
    // Not even one character fits: take one anyway, so the layout moves on.
    if (position_ <= start) position_ = start + 1;
    line_end = position_;
    return true;
}

}  // namespace cindral
