#include "render/canvas/canvas.h"

#include <algorithm>
#include <cmath>

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

void Canvas::StrokePath(const std::vector<std::vector<PointF>>& subpaths,
                        const PathStroke& stroke) {
    const Pen saved = pen_;
    SelectPen({PenStyle::Solid, stroke.width, stroke.color, stroke.cap});
    for (const std::vector<PointF>& subpath : subpaths) {
        std::vector<Point> points;
        for (const PointF& p : subpath) {
            points.push_back({static_cast<int>(std::lround(std::clamp(p.x, -2e9, 2e9))),
                              static_cast<int>(std::lround(std::clamp(p.y, -2e9, 2e9)))});
        }
        Polyline(points);
    }
    SelectPen(saved);
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
