#pragma once
// TLineBreaker: finds where each line of a wrapped text ends, measuring candidates with what
// the layout gives it (TTextFormat's advance table). Positions are 1-based, as the layout rules
// count them: the first character is at 1 and a line is [start, end).

#include <string>

namespace cindral {

// What the line breaker asks of a layout: the size of a run of characters, and whether lines
// may break between words at all.
class LineMeasure {
  public:
    virtual ~LineMeasure() = default;
    virtual void MeasureText(const char* begin, const char* end, double& width,
                             double& height) const = 0;
    virtual bool WordBreak() const = 0;
};

class TLineBreaker {
  public:
    explicit TLineBreaker(std::string text) : text_(std::move(text)) {}

    // The next line as [line_start, line_end); false when the text is used up. Every line
    // takes at least one character, so a layout loop always ends.
    bool NextLine(const LineMeasure& format, int& line_end, int& line_start, int max_width);

    // Advances over blanks (codes 0..32 except carriage return); true while inside the text.
    bool SkipBlanks();
    // At a carriage return takes it and the character after it; else takes a word.
    void SkipWord();
    // A line may end before `position`: after a blank, before a blank, or after a hyphen.
    bool IsBreakPoint(int position) const;

    int Position() const { return position_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    const std::string& Text() const { return text_; }

  private:
    int Length() const { return static_cast<int>(text_.size()); }
    // Code of the character at 1-based `position`.
    unsigned char At(int position) const {
        return static_cast<unsigned char>(text_[static_cast<size_t>(position) - 1]);
    }
    bool AtCarriageReturn() const { return position_ <= Length() && At(position_) == 13; }
    // Measures [start, end) into width_ and height_.
    void Measure(const LineMeasure& format, int start, int end);

    std::string text_;
    int position_ = 1;
    double width_ = 0;
    double height_ = 0;
};

}  // namespace cindral
