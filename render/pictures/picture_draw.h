#pragma once
// Drawing pictures on a Canvas: bitmaps stretched into a rectangle, metafile files
// rasterised at their own size and then stretched, picture files loaded by kind, and the
// empty frame that stands in for a picture that cannot be drawn.

#include <string>
#include <vector>

#include "render/canvas/canvas.h"

namespace cindral {

// Draws the whole of `bitmap` into the rectangle with corner (x, y) and the given size;
// nothing for an empty bitmap.
void StretchBitmap(Canvas& canvas, const Bitmap& bitmap, int x, int height, int width, int y);

// Rasterises the placeable metafile in `file_name` at its own size in screen pixels and
// stretches it into `rect`. A picture whose size comes out below one pixel is not drawn: a
// warning says so. Unreadable or malformed files raise IoError or PictureError.
void DrawMetafileFile(Canvas& canvas, const Rect& rect, const std::string& file_name);

// A bitmap or JPEG picture file: ".jpg" names (any case) and data that starts like a JPEG
// go to the JPEG decoder, anything else is read as a bitmap.
Bitmap LoadPictureFile(const std::string& file_name);
// The same for data already in memory; `jpeg_name` says the name asks for a JPEG.
Bitmap DecodePicture(const std::vector<uint8_t>& bytes, bool jpeg_name);

// The empty frame drawn where a picture could not be: a 1-pixel grey outline of `box`.
void DrawPicturePlaceholder(Canvas& canvas, const Rect& box);

constexpr const char* kMetafileWarning = "Unable to convert this Window's metafile (wmf).";

}  // namespace cindral
