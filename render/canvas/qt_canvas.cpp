#include "render/canvas/qt_canvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "render/canvas/clip_geometry.h"
#include "render/canvas/fill_brushes.h"
#include "render/canvas/font_resolver.h"
#include "render/canvas/gdi_patterns.h"
#include "render/canvas/line_walk.h"
#include "render/canvas/text_run_place.h"
#include "render/canvas/windows1252.h"

namespace cindral {

namespace {

constexpr double kPi = 3.14159265358979323846;

QColor ToQColor(Color c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

Color FromQRgb(QRgb rgb) {
    return RgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// Collects pixels of one colour into horizontal or vertical runs, one fillRect per run.
class RunPainter {
  public:
    explicit RunPainter(QPainter& painter) : painter_(painter) {}
    ~RunPainter() { Flush(); }

    void Plot(Point p, Color c) {
        if (open_ && c == color_) {
            const bool row = y0_ == y1_ && p.y == y0_ && (p.x == x1_ + 1 || p.x == x0_ - 1);
            const bool column = x0_ == x1_ && p.x == x0_ && (p.y == y1_ + 1 || p.y == y0_ - 1);
            if (row) {
                x0_ = std::min(x0_, p.x);
                x1_ = std::max(x1_, p.x);
                return;
            }
            if (column) {
                y0_ = std::min(y0_, p.y);
                y1_ = std::max(y1_, p.y);
                return;
            }
        }
        Flush();
        open_ = true;
        color_ = c;
        x0_ = x1_ = p.x;
        y0_ = y1_ = p.y;
    }

    void Flush() {
        if (!open_) return;
        painter_.fillRect(QRect(QPoint(x0_, y0_), QPoint(x1_, y1_)), ToQColor(color_));
        open_ = false;
    }

  private:
    QPainter& painter_;
    bool open_ = false;
    Color color_ = 0;
    int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
};

Rect Normalized(const Rect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// Points of an ellipse through pixel centres (pixel coordinates), from parameter angle
// `start` sweeping `sweep` radians counter-clockwise on screen.
std::vector<PointF> EllipseArcPoints(const Rect& box, double start, double sweep) {
    const double cx = (double(box.left) + box.right - 1) / 2.0;
    const double cy = (double(box.top) + box.bottom - 1) / 2.0;
    const double rx = (double(box.right) - box.left - 1) / 2.0;
    const double ry = (double(box.bottom) - box.top - 1) / 2.0;
    // Enough vertices that the chords stay within a fraction of a pixel; bounded so a
    // huge ellipse costs no more than a page-sized one.
    const double perimeter = 2 * kPi * std::max(std::abs(rx), std::abs(ry)) * sweep / (2 * kPi);
    const int n = static_cast<int>(std::clamp(perimeter / 2.0, 8.0, 4096.0));
    std::vector<PointF> points;
    points.reserve(n + 1);
    for (int i = 0; i <= n; ++i) {
        const double a = start + sweep * i / n;
        points.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    return points;
}

std::vector<Point> Rounded(const std::vector<PointF>& in) {
    std::vector<Point> out;
    out.reserve(in.size());
    for (const PointF& p : in) {
        const Point q{static_cast<int>(std::lround(std::clamp(p.x, -2e9, 2e9))),
                      static_cast<int>(std::lround(std::clamp(p.y, -2e9, 2e9)))};
        if (out.empty() || out.back() != q) out.push_back(q);
    }
    return out;
}

// How far outside the device wide strokes and fills may still be cut off: beyond this
// nothing of them can reach a pixel.
double Margin(int pen_width) {
    return 16.0 + 2.0 * std::max(pen_width, 1);
}

}  // namespace

QtCanvas::QtCanvas(QPaintDevice* device, bool is_printer, const QTransform& placement)
    : device_(device), placement_(placement), is_printer_(is_printer) {
    if (device_ == nullptr || device_->width() <= 0 || device_->height() <= 0 ||
        !painter_.begin(device_)) {
        throw std::runtime_error("The drawing surface could not be opened.");
    }
    const int type = device_->devType();
    if (type == QInternal::Image) image_ = static_cast<QImage*>(device_);
    // Printers and PDF writers are paged devices; a QPicture records paths too.
    vector_ = dynamic_cast<QPagedPaintDevice*>(device_) != nullptr || type == QInternal::Picture;
    // Pixels are placed elsewhere only on paper, where paths stay paths at any scale.
    if (!vector_ || !placement_.isInvertible() || placement_.type() > QTransform::TxScale) {
        placement_ = QTransform();
    }
    painter_.setTransform(placement_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setPen(applied_pen_);
    painter_.setBrush(applied_brush_);
    // Pictures are stored as they are; only a picture that came as JPEG may be JPEG again.
    if (vector_) painter_.setRenderHint(QPainter::LosslessImageRendering, true);
}

QtCanvas::~QtCanvas() {
    Finish();
}

void QtCanvas::Finish() {
    if (painter_.isActive()) painter_.end();
}

bool QtCanvas::NewPage() {
    auto* paged = dynamic_cast<QPagedPaintDevice*>(device_);
    if (paged == nullptr || !paged->newPage()) return false;
    ResetState();
    clip_dirty_ = true;
    painter_.setTransform(placement_);
    UsePen(Qt::NoPen);
    UseBrush(Qt::NoBrush);
    Ready();
    return true;
}

void QtCanvas::UsePen(const QPen& pen) {
    wanted_pen_ = pen;
}

void QtCanvas::Ready() {
    if (!(wanted_pen_ == applied_pen_)) {
        painter_.setPen(wanted_pen_);
        applied_pen_ = wanted_pen_;
    }
    if (!(wanted_brush_ == applied_brush_)) {
        painter_.setBrush(wanted_brush_);
        applied_brush_ = wanted_brush_;
    }
}

void QtCanvas::UseBrush(const QBrush& given) {
    QBrush brush = given;
    // A tile built again for every fill is still the same picture: hand the paint engine the
    // one it has seen, so a paper device stores it and switches to it once.
    if (vector_ && brush.style() == Qt::TexturePattern) {
        const QImage tile = brush.textureImage();
        const auto same = std::find(tiles_.begin(), tiles_.end(), tile);
        if (same != tiles_.end()) {
            brush = QBrush(*same);
        } else if (tiles_.size() < 64) {
            tiles_.push_back(tile);
        }
    }
    wanted_brush_ = brush;
}

void QtCanvas::FillDevice(const QRect& r, Color c) {
    if (!vector_) {
        painter_.fillRect(r, ToQColor(c));
        return;
    }
    // QPainter::fillRect sets and restores pen and brush around the fill, which a paper
    // device writes out each time.
    UsePen(Qt::NoPen);
    UseBrush(ToQColor(c));
    Ready();
    painter_.drawRect(r);
}

QFont QtCanvas::DeviceFont() const {
    Font f = font();
    // A font of height 0 asks for the default size, the cell GDI gives it on a 96-dpi screen;
    // every device keeps that physical size, so a page looks alike at every resolution.
    if (f.height == 0) {
        f.height =
            static_cast<int>(std::lround(kDefaultFontCellHeight * device_->logicalDpiY() / 96.0));
    }
    return ToQFont(f);
}

double QtCanvas::ThinPenWidth() const {
    if (!vector_) return 1.0;
    // A reduced page keeps its finest line at 1/300 inch on the sheet.
    return std::max(1.0, device_->logicalDpiX() / 300.0) / std::min(1.0, placement_.m11());
}

int QtCanvas::TileScale() const {
    return HatchScale(device_->logicalDpiX());
}

DeviceCaps QtCanvas::Caps() const {
    DeviceCaps caps;
    caps.pixels_per_inch_x = device_->logicalDpiX();
    caps.pixels_per_inch_y = device_->logicalDpiY();
    const Rect reach = DeviceRect();
    caps.width_px = reach.right;
    caps.height_px = reach.bottom;
    caps.is_printer = is_printer_;
    return caps;
}

Color QtCanvas::NearestColor(Color c) const {
    c &= 0xFFFFFF;
    if (image_ == nullptr || image_->depth() >= 24) return c;
    // A shallower surface quantises: put the colour through one pixel of its format.
    QImage probe(1, 1, image_->format());
    if (image_->format() == QImage::Format_Indexed8 || image_->format() == QImage::Format_Mono) {
        probe.setColorTable(image_->colorTable());
    }
    probe.setPixelColor(0, 0, ToQColor(c));
    return FromQRgb(probe.pixel(0, 0));
}

void QtCanvas::SelectClipRegion(const Region& region) {
    Canvas::SelectClipRegion(region);
    clip_dirty_ = true;
}

void QtCanvas::SelectNoClip() {
    Canvas::SelectNoClip();
    clip_dirty_ = true;
}

void QtCanvas::SyncClip() {
    if (!clip_dirty_) return;
    clip_dirty_ = false;
    // Canvas-space clip: set it under the placement alone. A paper device writes the clip
    // and the whole drawing state again for every change it is told of, so only real changes
    // reach the painter.
    if (painter_.transform() != placement_) painter_.setTransform(placement_);
    if (clip()) {
        // An empty clip shows nothing; a paper device takes an empty region for no clip at
        // all, so it gets a pixel off the sheet instead.
        const QPointF off = placement_.inverted().map(QPointF(-16, -16));
        const QRegion wanted = clip()->qregion().isEmpty() ? QRegion(int(std::floor(off.x())),
                                                                     int(std::floor(off.y())), 1, 1)
                                                           : clip()->qregion();
        if (applied_clip_ && *applied_clip_ == wanted) return;
        painter_.setClipRegion(wanted);
        applied_clip_ = wanted;
    } else if (applied_clip_) {
        painter_.setClipping(false);
        applied_clip_.reset();
    }
}

Rect QtCanvas::DeviceRect() const {
    if (placement_.isIdentity()) return {0, 0, device_->width(), device_->height()};
    const QPointF far = placement_.inverted().map(QPointF(device_->width(), device_->height()));
    return {0, 0, static_cast<int>(std::ceil(far.x())), static_cast<int>(std::ceil(far.y()))};
}

Rect QtCanvas::DrawableBox() const {
    return Intersect(DeviceRect(), ClipBox());
}

// --- lines ---

void QtCanvas::LineTo(int x, int y) {
    const Point from = current_position();
    set_current_position({x, y});
    StrokeFigure({from, {x, y}}, Figure::Open);
}

void QtCanvas::Polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    StrokeFigure(points, Figure::Open);
}

void QtCanvas::StrokeFigure(const std::vector<Point>& points, Figure figure) {
    const Pen& p = pen();
    if (p.style == PenStyle::Null || points.empty()) return;
    SyncClip();
    if (!DashedThin(p) && p.width > 1) {
        StrokeWide(points, figure);
    } else if (vector_) {
        StrokeThinVector(points, figure);
    } else {
        StrokeThin(points, figure);
    }
}

bool QtCanvas::DashedThin(const Pen& p) const {
    // GDI draws a wide pen solid. "Wide" is counted in screen pixels, as dash lengths are:
    // in device pixels a one-pixel dashed line of the screen turned solid in a fine render
    // and on paper, where its pen is two or three device pixels.
    return p.width > 1 && p.width <= TileScale() && !CosmeticDashRuns(p.style).empty();
}

std::vector<int> QtCanvas::DashRuns(PenStyle style) const {
    // Dashes keep the length they have on a 96-dpi screen, as hatches do: counted in device
    // pixels they shrank to a grey haze on paper and in fine renders.
    std::vector<int> runs = CosmeticDashRuns(style);
    for (int& run : runs) run *= TileScale();
    return runs;
}

void QtCanvas::StrokeThin(const std::vector<Point>& points, Figure figure) {
    const Pen& p = pen();
    const std::vector<int> runs = DashRuns(p.style);
    const bool opaque_gaps = background_mode() == BackgroundMode::Opaque;
    const Rect box = DrawableBox();
    if (box.IsEmpty()) return;
    RunPainter out(painter_);
    // A dashed pen a few device pixels wide stamps a square of its width at each pixel,
    // the extra row of an even width above and its extra column left, as wide lines are.
    const int w = std::max(p.width, 1);
    auto plot = [&](Point at, Color color) {
        if (w == 1) {
            out.Plot(at, color);
            return;
        }
        out.Flush();
        const QRect square(at.x - w / 2, at.y - w / 2, w, w);
        painter_.fillRect(square.intersected(
                              QRect(box.left, box.top, box.right - box.left, box.bottom - box.top)),
                          ToQColor(color));
    };
    int64_t counted = 0;  // pixels visited since the start of this call: the dash position
    auto segment = [&](Point a, Point b) {
        const LineWalk walk(a, b, LineWalk::Rule::LineTo);
        const auto [first, last] = walk.RangeInside(box);
        for (int64_t i = first; i < last; ++i) {
            if (runs.empty() || DashOn(runs, counted + i)) {
                plot(walk.At(i), p.color);
            } else if (opaque_gaps) {
                plot(walk.At(i), background_color());
            }
        }
        counted += walk.length();
    };
    for (size_t i = 0; i + 1 < points.size(); ++i) segment(points[i], points[i + 1]);
    if (figure == Figure::Closed) {
        if (points.size() > 1) segment(points.back(), points.front());
        if (points.size() == 1 && box.Contains(points[0].x, points[0].y)) {
            out.Plot(points[0], p.color);
        }
    }
}

void QtCanvas::StrokeThinVector(const std::vector<Point>& points, Figure figure) {
    const Pen& p = pen();
    const Rect box = DrawableBox();
    if (box.IsEmpty()) return;
    std::vector<PointF> pts;
    pts.reserve(points.size() + 1);
    for (const Point& q : points) pts.push_back({double(q.x), double(q.y)});
    if (figure == Figure::Closed && pts.size() > 1) pts.push_back(pts.front());
    if (pts.size() == 1) {
        if (box.Contains(points[0].x, points[0].y)) {
            FillDevice(QRect(points[0].x, points[0].y, 1, 1), p.color);
        }
        return;
    }
    // Through the pixel centres the raster walk would visit, as wide as the pen (at least
    // ThinPenWidth()), with the raster walk's dash runs; opaque gaps are the same line
    // undashed, beneath.
    PathStroke line;
    line.color = p.color;
    line.width = std::max(p.width, 1);
    line.cap = PenEndCap::Flat;
    for (int run : DashRuns(p.style)) line.dashes.push_back(run);
    if (!line.dashes.empty() && background_mode() == BackgroundMode::Opaque) {
        PathStroke gaps = line;
        gaps.color = background_color();
        gaps.dashes.clear();
        StrokePath({pts}, gaps);
    }
    StrokePath({pts}, line);
}

void QtCanvas::StrokeWide(const std::vector<Point>& points, Figure figure) {
    const Pen& p = pen();
    // A wide pen from CreatePen is solid whatever its style.
    Qt::PenCapStyle cap = Qt::RoundCap;
    if (p.end_cap == PenEndCap::Square) cap = Qt::SquareCap;
    if (p.end_cap == PenEndCap::Flat) cap = Qt::FlatCap;
    QPen qpen(ToQColor(p.color), p.width, Qt::SolidLine, cap, Qt::RoundJoin);
    UsePen(qpen);
    UseBrush(Qt::NoBrush);
    // An odd width centres on the pixel, an even one puts its extra row above / column left.
    const double offset = (p.width % 2 == 1) ? 0.5 : 0.0;
    const BoxF safe = Widened(DrawableBox(), Margin(p.width));
    std::vector<PointF> pts;
    for (const Point& q : points) pts.push_back({double(q.x), double(q.y)});
    if (figure == Figure::Closed && pts.size() > 1) pts.push_back(pts.front());
    const bool inside = std::all_of(pts.begin(), pts.end(), [&](const PointF& q) {
        return q.x >= safe.left && q.x <= safe.right && q.y >= safe.top && q.y <= safe.bottom;
    });
    if (inside) {
        QPolygonF line;
        for (const PointF& q : pts) line << QPointF(q.x + offset, q.y + offset);
        if (line.size() == 1) line << line.front();
        Ready();
        painter_.drawPolyline(line);
    } else {
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            PointF a = pts[i];
            PointF b = pts[i + 1];
            if (!ClipSegment(a, b, safe.left, safe.top, safe.right, safe.bottom)) continue;
            Ready();
            painter_.drawLine(QPointF(a.x + offset, a.y + offset),
                              QPointF(b.x + offset, b.y + offset));
        }
    }
}

namespace {

// The Qt pen of a path stroke `width` device pixels wide, with its dashes.
QPen PathStrokePen(const PathStroke& stroke, double width) {
    Qt::PenCapStyle cap = Qt::RoundCap;
    if (stroke.cap == PenEndCap::Square) cap = Qt::SquareCap;
    if (stroke.cap == PenEndCap::Flat) cap = Qt::FlatCap;
    QPen qpen(ToQColor(stroke.color), width, Qt::SolidLine, cap,
              stroke.width <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
    if (!stroke.dashes.empty()) {
        // Qt counts dashes in pen widths. A mark of no length, a dot of the cap's shape, is
        // given a hair of length that the gap after it gives back, so the period stays.
        constexpr double kHair = 0.01;
        QList<qreal> pattern;
        double owed = 0;
        for (size_t i = 0; i < stroke.dashes.size(); ++i) {
            double d = std::max(stroke.dashes[i], 0.0);
            if (i % 2 == 0 && d < kHair) {
                owed = kHair - d;
                d = kHair;
            } else if (i % 2 == 1) {
                d = std::max(d - owed, kHair);
                owed = 0;
            }
            pattern << d / width;
        }
        if (pattern.size() % 2 == 1) pattern << kHair / width;
        qpen.setDashPattern(pattern);
    }
    return qpen;
}

}  // namespace

void QtCanvas::StrokePath(const std::vector<std::vector<PointF>>& subpaths,
                          const PathStroke& stroke) {
    if (!vector_) {
        Canvas::StrokePath(subpaths, stroke);
        return;
    }
    SyncClip();
    const Rect box = DrawableBox();
    if (box.IsEmpty()) return;
    const double width = stroke.width <= 1 ? ThinPenWidth() : double(stroke.width);
    QPen qpen = PathStrokePen(stroke, width);
    const bool dashed = !stroke.dashes.empty();
    UseBrush(Qt::NoBrush);
    // Cut to the device. Undashed, every piece is a subpath of one path; dashed, each piece
    // that stays joined is a path whose dashes start where its part of the line begins.
    const BoxF safe = Widened(box, Margin(stroke.width));
    QPainterPath path;
    QPolygonF piece;
    double piece_start = 0;
    auto flush = [&] {
        if (piece.size() < 2) return;
        qpen.setDashOffset(piece_start / width);
        UsePen(qpen);
        Ready();
        painter_.drawPolyline(piece);
        piece.clear();
    };
    for (const std::vector<PointF>& subpath : subpaths) {
        double travelled = stroke.dash_offset;
        bool open = false;
        QPointF last;
        for (size_t i = 0; i + 1 < subpath.size(); ++i) {
            PointF a = subpath[i];
            PointF b = subpath[i + 1];
            const PointF start = a;
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (ClipSegment(a, b, safe.left, safe.top, safe.right, safe.bottom)) {
                const QPointF from(a.x + stroke.shift, a.y + stroke.shift);
                const QPointF to(b.x + stroke.shift, b.y + stroke.shift);
                if (!open || last != from) {
                    if (dashed) {
                        flush();
                        piece << from;
                        piece_start = travelled + std::hypot(a.x - start.x, a.y - start.y);
                    } else {
                        path.moveTo(from);
                    }
                }
                if (dashed) {
                    piece << to;
                } else {
                    path.lineTo(to);
                }
                open = true;
                last = to;
            } else {
                open = false;
            }
            travelled += length;
        }
        flush();
    }
    if (!path.isEmpty()) {
        UsePen(qpen);
        Ready();
        painter_.drawPath(path);
    }
}

// --- fills ---

bool QtCanvas::ApplyBrush() {
    const Brush& b = brush();
    UsePen(Qt::NoPen);
    switch (b.style) {
        case BrushStyle::Null:
            return false;
        case BrushStyle::Solid:
            UseBrush(ToQColor(b.color));
            break;
        case BrushStyle::Hatched: {
            QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
            const QRgb on = ToQColor(b.color).rgb();
            const QRgb off = background_mode() == BackgroundMode::Opaque
                                 ? ToQColor(background_color()).rgb()
                                 : qRgba(0, 0, 0, 0);
            const auto rows = HatchRows(b.hatch);
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x)
                    tile.setPixel(x, y, (rows[y] >> (7 - x)) & 1 ? on : off);
            }
            const int scale = TileScale();
            if (scale > 1) tile = tile.scaled(8 * scale, 8 * scale);
            UseBrush(QBrush(tile));
            break;
        }
        case BrushStyle::Pattern: {
            if (!b.pattern || b.pattern->width <= 0 || b.pattern->height <= 0) return false;
            QImage tile(b.pattern->width, b.pattern->height, QImage::Format_RGB32);
            for (int y = 0; y < tile.height(); ++y) {
                for (int x = 0; x < tile.width(); ++x) tile.setPixel(x, y, b.pattern->At(x, y));
            }
            // A pattern tile is drawn at the size its maker gave it in device pixels: fill
            // brushes are already sized for the resolution, and enlarging here again made
            // hatches three times too coarse on paper.
            UseBrush(QBrush(tile));
            break;
        }
    }
    const QPoint origin(brush_origin().x, brush_origin().y);
    if (painter_.brushOrigin() != origin) painter_.setBrushOrigin(origin);
    return true;
}

void QtCanvas::FillPath(const QPainterPath& path) {
    SyncClip();
    if (!ApplyBrush()) return;
    Ready();
    painter_.drawPath(path);
}

void QtCanvas::FillPolygonF(const QPolygonF& polygon, Qt::FillRule rule) {
    SyncClip();
    if (polygon.size() < 3 || !ApplyBrush()) return;
    Ready();
    painter_.drawPolygon(polygon, rule);
}

void QtCanvas::FillRect(const Rect& r) {
    const Rect area = Intersect(r, DeviceRect());
    if (area.IsEmpty()) return;
    SyncClip();
    if (!ApplyBrush()) return;
    Ready();
    painter_.drawRect(QRect(area.left, area.top, int(area.Width()), int(area.Height())));
}

void QtCanvas::PaintRegion(const Region& region) {
    const Region visible = region.Combined(Region::FromRect(DeviceRect()), CombineMode::And);
    if (visible.IsEmpty()) return;
    SyncClip();
    if (!ApplyBrush()) return;
    Ready();
    for (const Rect& r : visible.Rects())
        painter_.drawRect(QRect(r.left, r.top, int(r.Width()), int(r.Height())));
}

void QtCanvas::Polygon(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    const BoxF safe = Widened(DeviceRect(), Margin(pen().width));
    std::vector<PointF> in;
    for (const Point& p : points) in.push_back({double(p.x), double(p.y)});
    QPolygonF fill;
    for (const PointF& p : ClipPolygon(in, safe.left, safe.top, safe.right, safe.bottom)) {
        fill << QPointF(p.x, p.y);
    }
    FillPolygonF(fill, poly_fill_mode() == FillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    StrokeFigure(points, Figure::Closed);
}

void QtCanvas::Rectangle(const Rect& given) {
    const Rect box = Normalized(given);
    const bool has_pen = pen().style != PenStyle::Null;
    // Inside a pen the brush covers [l+1, r-1) x [t+1, b-1); without one [l, r-1) x [t, b-1).
    const Rect inside = has_pen ? Rect{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}
                                : Rect{box.left, box.top, box.right - 1, box.bottom - 1};
    if (!inside.IsEmpty()) FillRect(inside);
    if (has_pen && int64_t(box.right) - box.left >= 1 && int64_t(box.bottom) - box.top >= 1) {
        // GDI's outline starts at the top-right corner and runs anticlockwise.
        StrokeFigure({{box.right - 1, box.top},
                      {box.left, box.top},
                      {box.left, box.bottom - 1},
                      {box.right - 1, box.bottom - 1}},
                     Figure::Closed);
    }
}

void QtCanvas::Ellipse(const Rect& given) {
    const Rect box = Normalized(given);
    if (int64_t(box.right) - box.left < 1 || int64_t(box.bottom) - box.top < 1) return;
    const bool has_pen = pen().style != PenStyle::Null;
    SyncClip();
    if (vector_) {
        EllipseVector(box);
        return;
    }
    if (has_pen && pen().width > 1) {
        // Wide outlines are stroked by Qt along the curve through the box's edge pixels.
        const std::vector<Point> curve = Rounded(EllipseArcPoints(box, 0.0, 2 * kPi));
        FillEllipseRows({box.left, box.top, box.right - 1, box.bottom - 1}, false);
        StrokeFigure(curve, Figure::Closed);
        return;
    }
    // Without a pen the filled area is one pixel smaller, as for Rectangle.
    const Rect area = has_pen ? box : Rect{box.left, box.top, box.right - 1, box.bottom - 1};
    FillEllipseRows(area, has_pen);
}

void QtCanvas::EllipseVector(const Rect& box) {
    const bool has_pen = pen().style != PenStyle::Null;
    const double w = double(box.right) - box.left, h = double(box.bottom) - box.top;
    // The raster rule's shapes: the outline through the box's edge pixel centres, the fill
    // inside it (one pixel smaller without a pen).
    const Rect drawable = DrawableBox();
    if (box.right < drawable.left - 64 || box.left > drawable.right + 64 ||
        box.bottom < drawable.top - 64 || box.top > drawable.bottom + 64) {
        return;
    }
    const QRectF edge(box.left + 0.5, box.top + 0.5, std::max(w - 1, 0.0), std::max(h - 1, 0.0));
    if (!has_pen) {
        if (ApplyBrush()) {
            Ready();
            painter_.drawEllipse(QRectF(box.left, box.top, w - 1, h - 1));
        }
        return;
    }
    // One path, filled and stroked by one operator, not drawn twice. The outline's pen is
    // the one lines of its width use (caps and joins do not show on an ellipse), so dots
    // among strokes leave the pen alone.
    if (!ApplyBrush()) UseBrush(Qt::NoBrush);
    if (pen().width > 1) {
        UsePen(
            QPen(ToQColor(pen().color), pen().width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
        UsePen(
            QPen(ToQColor(pen().color), ThinPenWidth(), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    }
    Ready();
    painter_.drawEllipse(edge);
}

void QtCanvas::FillEllipseRows(const Rect& box, bool outline) {
    if (int64_t(box.right) - box.left < 1 || int64_t(box.bottom) - box.top < 1) return;
    // A pixel belongs to the ellipse when its centre lies inside the ellipse inscribed in
    // the box's edges. Computed row by row from the centre out, the shape is symmetric.
    const double cx = (double(box.left) + box.right) / 2.0;
    const double cy = (double(box.top) + box.bottom) / 2.0;
    const double rx = (double(box.right) - box.left) / 2.0;
    const double ry = (double(box.bottom) - box.top) / 2.0;
    auto span = [&](int64_t y, int64_t& a, int64_t& b) {
        if (y < box.top || y >= box.bottom) return false;
        const double dy = (double(y) + 0.5 - cy) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        a = static_cast<int64_t>(std::ceil(cx - half - 0.5));
        b = static_cast<int64_t>(std::floor(cx + half - 0.5));
        return a <= b;
    };
    const Rect device = DeviceRect();
    const int64_t y0 = std::max<int64_t>(box.top, device.top);
    const int64_t y1 = std::min<int64_t>(box.bottom, device.bottom);
    const bool has_brush = brush().style != BrushStyle::Null;
    RunPainter out(painter_);
    const Color ink = pen().color;
    for (int64_t y = y0; y < y1; ++y) {
        int64_t a, b;
        if (!span(y, a, b)) continue;
        const int64_t left = std::max<int64_t>(a, device.left);
        const int64_t right = std::min<int64_t>(b, device.right - 1);
        if (left > right) continue;
        if (!outline) {
            if (has_brush) {
                out.Flush();
                FillRect({int(left), int(y), int(right) + 1, int(y) + 1});
            }
            continue;
        }
        // Outline pixels: the span's ends and whatever the rows above and below do not cover.
        int64_t a_up = 1, b_up = 0, a_down = 1, b_down = 0;
        const bool up = span(y - 1, a_up, b_up);
        const bool down = span(y + 1, a_down, b_down);
        auto covered = [&](int64_t x) {
            return up && down && x > a && x < b && x >= a_up && x <= b_up && x >= a_down &&
                   x <= b_down;
        };
        // Interior run: between the first and last covered columns.
        const int64_t in_left = std::max({a + 1, up ? a_up : b + 1, down ? a_down : b + 1});
        const int64_t in_right = std::min({b - 1, up ? b_up : a - 1, down ? b_down : a - 1});
        if (has_brush && in_left <= in_right) {
            const int64_t l = std::max(in_left, left), r = std::min(in_right, right);
            if (l <= r) {
                out.Flush();
                FillRect({int(l), int(y), int(r) + 1, int(y) + 1});
            }
        }
        for (int64_t x = left; x <= right; ++x) {
            if (x >= in_left && x <= in_right && in_left <= in_right) {
                x = in_right;
                continue;
            }
            if (!covered(x)) out.Plot({int(x), int(y)}, ink);
        }
    }
}

void QtCanvas::Arc(const Rect& box, Point start, Point end) {
    DrawArcFigure(box, start, end, ArcKind::Arc);
}
void QtCanvas::Chord(const Rect& box, Point start, Point end) {
    DrawArcFigure(box, start, end, ArcKind::Chord);
}
void QtCanvas::Pie(const Rect& box, Point start, Point end) {
    DrawArcFigure(box, start, end, ArcKind::Pie);
}

void QtCanvas::DrawArcFigure(const Rect& given, Point start, Point end, ArcKind kind) {
    const Rect box = Normalized(given);
    if (int64_t(box.right) - box.left < 1 || int64_t(box.bottom) - box.top < 1) return;
    const double cx = (double(box.left) + box.right - 1) / 2.0;
    const double cy = (double(box.top) + box.bottom - 1) / 2.0;
    const double rx = std::max((double(box.right) - box.left - 1) / 2.0, 0.5);
    const double ry = std::max((double(box.bottom) - box.top - 1) / 2.0, 0.5);
    // The radials only give directions; the curve point on a radial has this parameter.
    auto angle_of = [&](Point p) { return std::atan2(-(p.y - cy) / ry, (p.x - cx) / rx); };
    const double a0 = angle_of(start);
    double sweep = angle_of(end) - a0;
    while (sweep <= 0) sweep += 2 * kPi;
    const std::vector<PointF> curve = EllipseArcPoints(box, a0, sweep);
    std::vector<PointF> figure = curve;
    if (kind == ArcKind::Pie) figure.push_back({cx, cy});
    if (kind != ArcKind::Arc) {
        std::vector<PointF> area;
        for (const PointF& p : figure) area.push_back({p.x + 0.5, p.y + 0.5});
        const BoxF safe = Widened(DeviceRect(), Margin(pen().width));
        QPolygonF fill;
        for (const PointF& p : ClipPolygon(area, safe.left, safe.top, safe.right, safe.bottom)) {
            fill << QPointF(p.x, p.y);
        }
        FillPolygonF(fill, Qt::OddEvenFill);
    }
    const std::vector<Point> pixels = Rounded(figure);
    if (kind == ArcKind::Arc) {
        // An arc includes its end point, unlike a line.
        std::vector<Point> open = pixels;
        if (!open.empty()) {
            const Point last = open.back();
            StrokeFigure(open, Figure::Open);
            SetPixel(last.x, last.y, pen().color);
        }
    } else {
        StrokeFigure(pixels, Figure::Closed);
    }
}

void QtCanvas::SetPixel(int x, int y, Color c) {
    if (!DeviceRect().Contains(x, y)) return;
    SyncClip();
    FillDevice(QRect(x, y, 1, 1), c);
}

Color QtCanvas::GetPixel(int x, int y) const {
    if (image_ == nullptr || !DeviceRect().Contains(x, y)) return kInvalidColor;
    if (clip() && !clip()->Contains(x, y)) return kInvalidColor;
    return FromQRgb(image_->pixel(x, y));
}

// --- text ---

void QtCanvas::ExtTextOut(int x, int y, unsigned options, const Rect* rect, const std::string& text,
                          const std::vector<int>& dx) {
    SyncClip();
    if (rect != nullptr && (options & text_out::kOpaque) != 0) {
        const Rect r = Intersect(Normalized(*rect), DeviceRect());
        if (!r.IsEmpty()) {
            FillDevice(QRect(r.left, r.top, int(r.Width()), int(r.Height())), background_color());
        }
    }
    if (text.empty()) return;

    const QFont qfont = DeviceFont();
    const QFontMetrics metrics(qfont, device_);
    const QString chars = DecodeWindows1252(text);
    std::vector<int> advance(chars.size());
    int64_t width = 0;
    for (int i = 0; i < chars.size(); ++i) {
        advance[i] = i < static_cast<int>(dx.size()) ? dx[i] : metrics.horizontalAdvance(chars[i]);
        width += advance[i];
    }

    const unsigned align = text_align();
    if (align & text_align::kUpdateCp) {
        x = current_position().x;
        y = current_position().y;
    }
    const TextRunPlace place = PlaceTextRun(align, width, metrics.ascent(), metrics.descent());
    const int64_t origin_x = place.start_x;
    const int baseline = place.baseline_y;
    if (align & text_align::kUpdateCp) {
        set_current_position(
            {static_cast<int>(std::clamp<int64_t>(x + place.moved_x, INT32_MIN, INT32_MAX)), y});
    }

    // Text wholly off the device (in any rotation) is not handed to Qt.
    const int64_t reach = width + metrics.height() + 2;
    const Rect device = DeviceRect();
    if (int64_t(x) + reach < 0 || int64_t(y) + reach < 0 || int64_t(x) - reach > device.right ||
        int64_t(y) - reach > device.bottom) {
        return;
    }

    const bool clipped = rect != nullptr && (options & text_out::kClipped) != 0;
    const QColor ink = ToQColor(text_color());
    if (vector_ && font().escapement == 0 && !clipped) {
        // Level text on paper is placed in device coordinates, so the painter's transform and
        // clip stay as they are (each change would be written out).
        const QPointF origin(double(x) + double(origin_x), double(y) + baseline);
        if (background_mode() == BackgroundMode::Opaque) {
            FillDevice(QRect(static_cast<int>(origin.x()), y + baseline - metrics.ascent(),
                             static_cast<int>(width), metrics.height()),
                       background_color());
        }
        UsePen(QPen(ink));
        if (DrawGlyphRun(qfont, chars, advance, origin)) return;
        painter_.setFont(qfont);
        DrawCharByChar(chars, advance, origin);
        return;
    }

    // The painter's state is saved as the canvas last gave it, so restoring keeps them agreed.
    Ready();
    painter_.save();
    if (clipped) {
        const Rect r = Intersect(Normalized(*rect), DeviceRect());
        painter_.setClipRect(QRect(r.left, r.top, int(r.Width()), int(r.Height())),
                             Qt::IntersectClip);
    }
    painter_.translate(x, y);
    if (font().escapement != 0) painter_.rotate(-font().escapement / 10.0);
    if (background_mode() == BackgroundMode::Opaque) {
        painter_.fillRect(QRect(static_cast<int>(origin_x), baseline - metrics.ascent(),
                                static_cast<int>(width), metrics.height()),
                          ToQColor(background_color()));
    }
    painter_.setFont(qfont);
    painter_.setPen(ink);
    const QPointF origin(static_cast<double>(origin_x), static_cast<double>(baseline));
    if (!vector_ || !DrawGlyphRun(qfont, chars, advance, origin)) {
        DrawCharByChar(chars, advance, origin);
    }
    painter_.restore();
}

void QtCanvas::DrawCharByChar(const QString& chars, const std::vector<int>& advance,
                              QPointF origin) {
    int64_t pen_x = 0;
    for (int i = 0; i < chars.size(); ++i) {
        Ready();
        painter_.drawText(QPointF(origin.x() + double(pen_x), origin.y()), QString(chars[i]));
        pen_x += advance[i];
    }
}

bool QtCanvas::DrawGlyphRun(const QFont& qfont, const QString& chars,
                            const std::vector<int>& advance, QPointF origin) {
    if (!(qfont == raw_font_for_)) {
        raw_font_ = QRawFont::fromFont(qfont);
        raw_font_for_ = qfont;
    }
    if (!raw_font_.isValid()) return false;
    const QList<quint32> glyphs = raw_font_.glyphIndexesForString(chars);
    // A character the font lacks is left to drawText, which finds it in another font.
    if (glyphs.size() != chars.size() ||
        std::find(glyphs.begin(), glyphs.end(), 0u) != glyphs.end()) {
        return false;
    }
    QList<QPointF> positions;
    positions.reserve(chars.size());
    int64_t pen_x = 0;
    for (int i = 0; i < chars.size(); ++i) {
        positions.append(QPointF(origin.x() + double(pen_x), origin.y()));
        pen_x += advance[i];
    }
    QGlyphRun run;
    run.setRawFont(raw_font_);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline(qfont.underline());
    run.setStrikeOut(qfont.strikeOut());
    Ready();
    painter_.drawGlyphRun(QPointF(0, 0), run);
    return true;
}

TextMetrics QtCanvas::GetTextMetrics() const {
    const QFont qfont = DeviceFont();
    const QFontMetrics m(qfont, device_);
    TextMetrics t;
    t.ascent = m.ascent();
    t.descent = m.descent();
    t.height = t.ascent + t.descent;
    t.internal_leading = std::max(0, t.height - qfont.pixelSize());
    t.external_leading = std::max(0, m.leading());
    t.ave_char_width = m.horizontalAdvance(QLatin1Char('x'));
    t.max_char_width = m.maxWidth();
    return t;
}

Size QtCanvas::GetTextExtent(const std::string& text) const {
    const QFontMetrics m(DeviceFont(), device_);
    int64_t width = 0;
    for (QChar c : DecodeWindows1252(text)) width += m.horizontalAdvance(c);
    return {static_cast<int>(std::min<int64_t>(width, INT32_MAX)), m.ascent() + m.descent()};
}

std::vector<int> QtCanvas::GetCharWidths(int first, int last) const {
    const QFontMetrics m(DeviceFont(), device_);
    std::vector<int> widths;
    for (int code = std::max(first, 0); code <= std::min(last, 255); ++code) {
        widths.push_back(m.horizontalAdvance(DecodeWindows1252(std::string(1, char(code)))[0]));
    }
    return widths;
}

std::optional<int> QtCanvas::OutlineEmSquare() const {
    const QRawFont raw = QRawFont::fromFont(DeviceFont());
    if (!raw.isValid() || raw.unitsPerEm() <= 0) return std::nullopt;
    return static_cast<int>(raw.unitsPerEm());
}

// --- bitmaps ---

void QtCanvas::StretchDib(const Rect& dst, const Bitmap& bitmap, const Rect& src) {
    if (bitmap.width <= 0 || bitmap.height <= 0 || dst.Width() == 0 || dst.Height() == 0) return;
    const Rect s = Intersect(Normalized(src), {0, 0, bitmap.width, bitmap.height});
    if (s.IsEmpty()) return;
    QImage image(int(s.Width()), int(s.Height()), QImage::Format_RGB32);
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) image.setPixel(x, y, bitmap.At(s.left + x, s.top + y));
    }
    // Opposite signs of the extents mirror the picture.
    image = image.mirrored(dst.Width() < 0, dst.Height() < 0);
    const Rect d = Normalized(dst);
    // Only the part of the target on the device goes to Qt, with the matching source part.
    const Rect visible = Intersect(d, DeviceRect());
    if (visible.IsEmpty()) return;
    // On paper the whole picture goes out, once however often it is drawn: a part of it
    // would be a new picture in the file every time.
    const int64_t kNear = int64_t(1) << 20;
    if (vector_ && d.left > -kNear && d.top > -kNear && d.right < kNear && d.bottom < kNear) {
        const QImage& stored = StoredPicture(image, bitmap.from_jpeg);
        SyncClip();
        if (bitmap.from_jpeg) painter_.setRenderHint(QPainter::LosslessImageRendering, false);
        Ready();
        painter_.drawImage(QRectF(d.left, d.top, double(d.Width()), double(d.Height())), stored,
                           QRectF(stored.rect()));
        if (bitmap.from_jpeg) painter_.setRenderHint(QPainter::LosslessImageRendering, true);
        return;
    }
    const double sx = double(image.width()) / double(d.Width());
    const double sy = double(image.height()) / double(d.Height());
    const QRectF source((visible.left - double(d.left)) * sx, (visible.top - double(d.top)) * sy,
                        double(visible.Width()) * sx, double(visible.Height()) * sy);
    SyncClip();
    Ready();
    painter_.drawImage(
        QRectF(visible.left, visible.top, double(visible.Width()), double(visible.Height())), image,
        source);
}

const QImage& QtCanvas::StoredPicture(const QImage& image, bool from_jpeg) {
    const size_t hash = qHashBits(image.constBits(), size_t(image.sizeInBytes()));
    for (const StoredImage& p : pictures_) {
        if (p.hash == hash && p.from_jpeg == from_jpeg && p.image == image) return p.image;
    }
    // Pictures stay until the device is closed; a log of many different ones starts afresh
    // rather than hold them all.
    constexpr qsizetype kMostBytes = qsizetype(64) << 20;
    if (pictures_bytes_ + image.sizeInBytes() > kMostBytes) {
        pictures_.clear();
        pictures_bytes_ = 0;
    }
    pictures_bytes_ += image.sizeInBytes();
    pictures_.push_back({hash, from_jpeg, image});
    return pictures_.back().image;
}

}  // namespace cindral
