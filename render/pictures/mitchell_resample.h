#pragma once
// Smooth resampling of a picture to another size with the Mitchell-Netravali filter
// (B = C = 1/3): little ringing when enlarging, little aliasing when reducing. The magnifier
// draws through it.

#include <QImage>
#include <QSize>

namespace cindral {

// `source` resampled to `size`, as an opaque 32-bit picture. Edges repeat the border pixels;
// an empty source or size gives a null picture.
QImage ResampleMitchell(const QImage& source, QSize size);

}  // namespace cindral
