#pragma once
// Scope guards for canvas state a primitive changes only for itself: whatever way the
// primitive ends, the state the next command sees is the one it found.

#include "render/canvas/canvas.h"

namespace cindral {

// Restores the canvas font when a primitive that turned or resized it is done.
class FontRestorer {
  public:
    explicit FontRestorer(Canvas& c) : canvas_(c), font_(c.font()) {}
    ~FontRestorer() { canvas_.SelectFont(font_); }
    FontRestorer(const FontRestorer&) = delete;
    FontRestorer& operator=(const FontRestorer&) = delete;

  private:
    Canvas& canvas_;
    Font font_;
};

// Restores the pen a primitive thinned or recoloured for its own strokes.
class PenRestorer {
  public:
    explicit PenRestorer(Canvas& c) : canvas_(c), pen_(c.pen()) {}
    ~PenRestorer() { Restore(); }
    // Puts the pen back before the scope ends (for an outline drawn with the caller's pen).
    void Restore() { canvas_.SelectPen(pen_); }
    PenRestorer(const PenRestorer&) = delete;
    PenRestorer& operator=(const PenRestorer&) = delete;

  private:
    Canvas& canvas_;
    Pen pen_;
};

// Leaves no clip selected and alignment 0 however a primitive ends.
class ClipAndAlignReset {
  public:
    explicit ClipAndAlignReset(Canvas& c) : canvas_(c) {}
    ~ClipAndAlignReset() {
        canvas_.SelectNoClip();
        canvas_.SetTextAlign(0);
    }
    ClipAndAlignReset(const ClipAndAlignReset&) = delete;
    ClipAndAlignReset& operator=(const ClipAndAlignReset&) = delete;

  private:
    Canvas& canvas_;
};

}  // namespace cindral
