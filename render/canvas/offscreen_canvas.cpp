#include "render/canvas/offscreen_canvas.h"

#include "render/canvas/qt_canvas.h"

namespace cindral {

namespace {

Bitmap BitmapFromImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Bitmap out;
    out.width = rgb.width();
    out.height = rgb.height();
    out.argb.resize(size_t(out.width) * size_t(out.height));
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
        std::copy(row, row + out.width, out.argb.begin() + ptrdiff_t(y) * out.width);
    }
    return out;
}

}  // namespace

OffscreenCanvas::OffscreenCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    image_.setDotsPerMeterX(3780);  // 96 per inch, the size pictures are drawn for
    image_.setDotsPerMeterY(3780);
    canvas_ = std::make_unique<QtCanvas>(&image_);
}

OffscreenCanvas::~OffscreenCanvas() = default;

Canvas& OffscreenCanvas::canvas() {
    return *canvas_;
}

Bitmap OffscreenCanvas::TakeBitmap() {
    canvas_->Finish();
    canvas_.reset();
    return BitmapFromImage(image_);
}

// Every device draws its off-screen pictures with the raster rules: the pictures are bitmaps
// in the end, whatever device they are copied to.
std::unique_ptr<OffscreenCanvas> Canvas::MakeOffscreen(int width, int height) const {
    return std::make_unique<OffscreenCanvas>(width, height);
}

}  // namespace cindral
