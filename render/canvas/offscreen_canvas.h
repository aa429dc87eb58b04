#pragma once
// A white off-screen picture to draw on with the raster device's rules, taken back as a
// Bitmap to copy onto another canvas: turned text and embedded metafiles are drawn this way.
// Renderers get one from Canvas::MakeOffscreen, never by making a device of their own.

#include <QImage>
#include <memory>

#include "render/canvas/canvas.h"

namespace cindral {

class QtCanvas;

class OffscreenCanvas {
  public:
    OffscreenCanvas(int width, int height);
    ~OffscreenCanvas();
    OffscreenCanvas(const OffscreenCanvas&) = delete;
    OffscreenCanvas& operator=(const OffscreenCanvas&) = delete;

    Canvas& canvas();
    // What was drawn, as a bitmap of the picture's size; the canvas is done with after it.
    Bitmap TakeBitmap();

  private:
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace cindral
