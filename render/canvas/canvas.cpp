#include "render/canvas/canvas.h"

#include <algorithm>

namespace cindral {

void Canvas::ResetState() {
    pen_ = Pen();
    brush_ = Brush();
    font_ = Font();
    text_color_ = kBlack;
    background_color_ = kWhite;
    background_mode_ = BackgroundMode::Opaque;
    text_align_ = 0;
    fill_mode_ = FillMode::Alternate;
    brush_origin_ = Point();
    current_ = Point();
    clip_.reset();
}

void Canvas::IntersectClipRect(const Rect& r) {
    const Region box = Region::FromRect(r);
    if (clip_) {
        SelectClipRegion(clip_->Combined(box, CombineMode::And));
    } else {
        const DeviceCaps caps = Caps();
        SelectClipRegion(Region::FromRect({0, 0, caps.width_px, caps.height_px})
                             .Combined(box, CombineMode::And));
    }
}

Rect Canvas::ClipBox() const {
    if (clip_) return clip_->Bounds();
    const DeviceCaps caps = Caps();
    return {0, 0, caps.width_px, caps.height_px};
}

Rect Canvas::DrawableBox() const {
    const Rect box = ClipBox();
    const DeviceCaps caps = Caps();
    return {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, caps.width_px),
            std::min(box.bottom, caps.height_px)};
}

}  // namespace cindral
