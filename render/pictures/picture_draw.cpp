#include "render/pictures/picture_draw.h"

#include <QImage>
#include <algorithm>
#include <cctype>

#include "core/environment/ui.h"
#include "core/pages/page_layout.h"
#include "render/canvas/offscreen_canvas.h"
#include "render/canvas/qt_canvas.h"
#include "render/pictures/bmp_decoder.h"
#include "render/pictures/jpeg_decoder.h"
#include "render/pictures/picture_error.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/wmf_player.h"

namespace cindral {
namespace {

constexpr Color kPlaceholderColor = RgbColor(128, 128, 128);

bool HasJpegExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) return false;
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".jpg";
}

bool StartsLikeJpeg(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

}  // namespace

void StretchBitmap(Canvas& canvas, const Bitmap& bitmap, int x, int height, int width, int y) {
    if (bitmap.width <= 0 || bitmap.height <= 0) return;
    const Rect dst{x, y, static_cast<int>(int64_t(x) + width),
                   static_cast<int>(int64_t(y) + height)};
    canvas.StretchDib(dst, bitmap, {0, 0, bitmap.width, bitmap.height});
}

void DrawMetafileFile(Canvas& canvas, const Rect& rect, const std::string& file_name) {
    const std::vector<uint8_t> bytes = ReadFileBytes(file_name);
    const WmfFrame frame = ReadWmfFrame(bytes.data(), bytes.size());
    int64_t width = 0;
    int64_t height = 0;
    if (frame.placeable && frame.units_per_inch > 0) {
        const int64_t ppi = static_cast<int64_t>(kScreenPixelsPerInch);
        width = (frame.bounds.Width() < 0 ? -frame.bounds.Width() : frame.bounds.Width()) * ppi /
                frame.units_per_inch;
        height = (frame.bounds.Height() < 0 ? -frame.bounds.Height() : frame.bounds.Height()) *
                 ppi / frame.units_per_inch;
    }
    if (width < 1 || height < 1) {
        CurrentUi().ShowMessage(MessageKind::Warning, "Warning", kMetafileWarning, Buttons::Ok);
        return;
    }
    // The drawing area comes from the placeable header alone, not from what the records
    // hold; 4096 x 4096 screen pixels (over 40 inches square) is far more than a log's
    // picture needs and keeps the bitmap at 64 MB.
    constexpr int64_t kMaxMetafilePixels = int64_t(1) << 24;
    if (width * height > kMaxMetafilePixels) throw PictureError("metafile: picture too large");

    const auto picture = canvas.MakeOffscreen(static_cast<int>(width), static_cast<int>(height));
    PlayWmf(bytes, picture->canvas(), {0, 0, static_cast<int>(width), static_cast<int>(height)});
    StretchBitmap(canvas, picture->TakeBitmap(), rect.left, static_cast<int>(rect.Height()),
                  static_cast<int>(rect.Width()), rect.top);
}

Bitmap DecodePicture(const std::vector<uint8_t>& bytes, bool jpeg_name) {
    if (jpeg_name || StartsLikeJpeg(bytes)) return DecodeJpeg(bytes);
    return DecodeBmpFile(bytes);
}

Bitmap LoadPictureFile(const std::string& file_name) {
    return DecodePicture(ReadFileBytes(file_name), HasJpegExtension(file_name));
}

void DrawPicturePlaceholder(Canvas& canvas, const Rect& box) {
    const Rect r{std::min(box.left, box.right), std::min(box.top, box.bottom),
                 std::max(box.left, box.right), std::max(box.top, box.bottom)};
    if (r.IsEmpty()) return;
    const Pen pen = canvas.pen();
    const Brush brush = canvas.brush();
    Pen frame;
    frame.color = kPlaceholderColor;
    Brush hollow;
    hollow.style = BrushStyle::Null;
    canvas.SelectPen(frame);
    canvas.SelectBrush(hollow);
    canvas.Rectangle(r);
    canvas.SelectPen(pen);
    canvas.SelectBrush(brush);
}

}  // namespace cindral
