// The picture primitives of the raster renderer: pictures from files and pictures embedded in
// the log, in the data window or a page band. A picture that cannot be drawn leaves an empty
// frame in its place and a note in the log; the page goes on.

#include <algorithm>
#include <cmath>

#include "core/base/errors.h"
#include "core/pages/rounding.h"
#include "render/canvas/state_guards.h"
#include "render/pictures/picture_draw.h"
#include "render/pictures/picture_error.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/picture_log.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/renderer_helpers.h"

namespace cindral {

void logp_object::DrawPictureFile(const DrawPictureFileRecord& r) {
    cindral::Canvas& c = Target();
    int left = ToPixelX(r.x1) + 1;
    int right = ToPixelX(r.x2) + 1;
    const int top = ToPixelY(r.y1) - 1;
    int bottom = ToPixelY(r.y2) - 1;
    ClipAndAlignReset reset(c);

    Bitmap picture;
    try {
        picture = LoadPictureFile(r.fileName);
    } catch (const CindralError& e) {
        ReportBrokenPicture(r.fileName, e.what());
        c.SelectClipRegion(data_region_);
        DrawPicturePlaceholder(c, {left, top, right, bottom});
        return;
    }

    if (r.stretch) {
        c.SelectClipRegion(data_region_);
        StretchBitmap(c, picture, left, bottom - top - 1, right - left - 1, top);
    } else {
        const Region clip = Region::FromRect(Normalized({left, top, right + 1, bottom + 1}))
                                .Combined(data_region_, CombineMode::And);
        c.SelectClipRegion(clip);
        if (!clip.IsEmpty()) {
            right = std::min<int64_t>(right, int64_t(left) + picture.width);
            bottom = std::min<int64_t>(bottom, int64_t(top) + picture.height);
            // At its own size: the picture is cropped by the box, never scaled.
            StretchBitmap(c, picture, left, picture.height, picture.width, top);
        }
    }
    if (r.border) {
        PenRestorer restore_pen(c);
        Pen pen = c.pen();
        pen.style = PenStyle::Solid;
        pen.width = 0;
        c.SelectPen(pen);
        c.MoveTo(left, top);
        c.LineTo(left, bottom);
        c.LineTo(right - 1, bottom);
        c.LineTo(right - 1, top);
        c.LineTo(left, top);
    }
}

void logp_object::DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data) {
    const int32_t size = static_cast<int32_t>(data.size());
    cindral::Canvas& c = Target();
    const std::optional<int> top = RegionRow(r.region, r.y1);
    const std::optional<int> bottom = RegionRow(r.region, r.y2);
    if (!top || !bottom) return;
    if (BandOf(r.region) != page_.HeaderMode && *top >= page_.PageHeightPx &&
        *bottom >= page_.PageHeightPx)
        return;
    const Rect box{ToPixelX(r.x1), *top, ToPixelX(r.x2), *bottom};
    c.SelectNoClip();

    // The record's size may not exceed the data that came with it.
    std::vector<uint8_t> bytes(data.begin(),
                               data.begin() + std::clamp<int64_t>(size, 0, int64_t(data.size())));
    const char* kind = r.isBitmap ? "embedded bitmap" : "embedded metafile";
    try {
        if (r.isBitmap) {
            const TempFileRemover file(MakeTempFileName("~bmp"));
            WriteFileBytes(file.path(), bytes);
            int width = 0, height = 0;
            ReadBitmapSize(file.path(), width, height);
            const Bitmap bitmap = LoadPictureFile(file.path());
            StretchBitmap(c, bitmap, box.left, static_cast<int>(box.Height()),
                          static_cast<int>(box.Width()), box.top);
        } else {
            // An empty box would ask for a warning box on every page that replays it.
            if (box.Width() < 1 || box.Height() < 1)
                throw PictureError("the picture's box is empty");
            AddPlaceableHeader(bytes, static_cast<uint32_t>(bytes.size()), 0, 0,
                               ClampToInt16(box.Width()), ClampToInt16(box.Height()),
                               ScreenPixelsPerInch);
            const TempFileRemover file(MakeTempFileName("~wmf"));
            WriteFileBytes(file.path(), bytes);
            DrawMetafileFile(c, box, file.path());
        }
    } catch (const CindralError& e) {
        ReportBrokenPicture(kind, e.what());
        DrawPicturePlaceholder(c, box);
    }
}

void logp_object::DrawPictureStream(const DrawPictureStreamRecord& r,
                                    const std::vector<uint8_t>& stream) {
    cindral::Canvas& c = Target();
    const std::optional<int> top = RegionRow(r.region, r.y1);
    const std::optional<int> bottom = RegionRow(r.region, r.y2);
    if (!top || !bottom) return;
    if (BandOf(r.region) != page_.HeaderMode && *top >= page_.PageHeightPx) return;
    const Rect box{ToPixelX(r.x1), *top, ToPixelX(r.x2), *bottom};
    c.SelectNoClip();
    try {
        const Bitmap bitmap = DecodePicture(stream, false);
        StretchBitmap(c, bitmap, box.left, static_cast<int>(box.Height()),
                      static_cast<int>(box.Width()), box.top);
    } catch (const CindralError& e) {
        ReportBrokenPicture("embedded picture stream", e.what());
        DrawPicturePlaceholder(c, box);
    }
}

}  // namespace cindral
