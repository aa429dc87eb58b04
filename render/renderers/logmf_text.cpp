// The text, symbol and picture primitives of the metafile renderer. Text goes into the
// drawing as text (with the advances measured here), pictures as device-independent
// bitmaps; an embedded metafile is rasterised first. No clip region is used except by the
// wrapped and formatted text, which must not spill out of the data band.

#include <algorithm>
#include <cmath>

#include "core/base/errors.h"
#include "core/libraries/symbol_object.h"
#include "render/canvas/mul_div.h"
#include "render/canvas/state_guards.h"
#include "render/pictures/picture_draw.h"
#include "render/pictures/picture_error.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/picture_log.h"
#include "render/renderers/fitted_text.h"
#include "render/renderers/logmf_object.h"
#include "render/renderers/renderer_helpers.h"
#include "render/renderers/stroke_line.h"
#include "render/text/text_fonts.h"
#include "render/text/text_format.h"

namespace cindral {
namespace {

int Round(double v) {
    const double r = std::nearbyint(v);
    if (!(r > -2147483648.0)) return INT32_MIN;
    if (r > 2147483647.0) return INT32_MAX;
    return static_cast<int>(r);
}

void SetPoints(Canvas& c, int points) {
    Font f = c.font();
    f.height = -MulDiv(points, 96, 72);
    c.SelectFont(f);
}

// The canvas font at `points` points, unturned, for the laid-out text primitives.
Font LayoutFont(const Canvas& c, int points) {
    Font font = c.font();
    font.height = -LogicalFontHeight(c, points, c.Caps().pixels_per_inch_y, 1);
    font.width = 0;
    font.escapement = font.orientation = 0;
    return font;
}

}  // namespace

void logmf_object::SetFont(const SetFontColoredRecord& r) {
    const uint8_t style = r.style;
    MetafileCanvas& c = Target();
    Font font = c.font();
    font.face = r.fontName.substr(0, 40);
    font.height = -MulDiv(r.size, PixelsPerInch, 72);
    font.width = 0;
    font.escapement = font.orientation = 0;
    font.weight = (style & 1) ? 700 : 400;
    font.italic = (style & 2) != 0;
    font.underline = (style & 4) != 0;
    font.strike_out = (style & 8) != 0;
    c.SelectFont(font);
    c.SetTextColor(static_cast<Color>(r.color) & 0xFFFFFF);
}

void logmf_object::DrawText(const DrawTextRecord& r) {
    MetafileCanvas& c = Target();
    const int height = c.GetTextMetrics().height;
    int X = ToUnitsX(r.x);
    if (r.vertical && r.raise) X += height / 3;
    int Y = ToUnitsY(r.y);
    if (r.raise && !r.vertical) Y += height / 3;
    FontRestorer restore_font(c);
    ClipAndAlignReset reset(c);
    if (r.vertical) {
        Font font = c.font();
        font.escapement = font.orientation = -900;
        c.SelectFont(font);
    }
    c.SetBackgroundColor(kWhite);
    c.SetBackgroundMode(r.transparent ? BackgroundMode::Transparent : BackgroundMode::Opaque);
    c.SetTextAlign(static_cast<unsigned>(r.align));
    c.TextOut(X, Y, r.text);
}

void logmf_object::DrawFittedText(const DrawFittedTextRecord& r) {
    MetafileCanvas& c = Target();
    const int X = ToUnitsX(r.x);
    const int Y = ToUnitsY(r.y);
    const int gap = Round(PixelsPerInch * BandGap);
    const int limit = footer_top_px_ - gap;
    const FittedTextPlace place =
        PlaceFittedText(c, r.text, X, Y, r.rotation, r.align, r.keepInside != 0,
                        {data_top_px_, limit, height_px_, gap});
    FontRestorer restore_font(c);
    ClipAndAlignReset reset(c);
    if (place.escapement != 0) {
        Font font = c.font();
        font.escapement = font.orientation = place.escapement;
        c.SelectFont(font);
    }
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.SetTextAlign(static_cast<unsigned>(r.align));
    c.TextOut(place.x, place.y, r.text);
}

void logmf_object::DrawFontText(const DrawFontTextRecord& r) {
    const double height = r.height;
    const uint8_t sizeMode = r.sizeMode;
    const std::string& text = r.text;
    MetafileCanvas& c = Target();
    int X = ToUnitsX(r.x);
    int Y = ToUnitsY(r.y);
    const auto set_pixels = [&](int pixels) {
        Font f = c.font();
        f.height = pixels;
        c.SelectFont(f);
    };
    if (r.angle == 0) {
        if (sizeMode <= 2) {
            set_pixels(Round(height * depth_scale_));
        } else if (sizeMode <= 5) {
            SetPoints(c, Round(height));
        }
        const Size extent = c.GetTextExtent(text);
        if (sizeMode == 1 || sizeMode == 4) X -= extent.cx / 2;
        if (sizeMode == 2 || sizeMode == 5) Y -= extent.cy / 2;
        c.TextOut(X, Y, text);
        return;
    }
    if (sizeMode == 0 || sizeMode == 2) SetPoints(c, Round(height * depth_scale_));
    if (sizeMode == 3 || sizeMode == 5) SetPoints(c, Round(height));
    if (sizeMode == 2 || sizeMode == 5) {
        Y += Round(std::sin(r.angle * M_PI / 180) * (c.GetTextExtent(text).cx / 2));
    }
    FontRestorer restore_font(c);
    c.SelectFont(MakeRotatedFont(c.font(), r.angle));
    c.ExtTextOut(X, Y, 0, nullptr, text, {});
}

void logmf_object::DrawLabel(const DrawLabelRecord& r) {
    const int32_t angle = r.angle;
    MetafileCanvas& c = Target();
    const std::optional<int> row = RegionRow(r.region, r.y);
    if (!row) return;
    int X = ToUnitsX(r.x), Y = *row;
    const std::string shown =
        ReplaceFirst(ReplaceFirst(r.text, "#p", kPage + 1), "#t", kLastPage + 1);
    SetPoints(c, r.size);
    c.SelectFont(MakeRotatedFont(c.font(), angle));
    if (angle != 0) {
        const double s = std::sin(std::abs(angle) * M_PI / 180);
        if (angle < 0) {
            X += Round(c.GetTextExtent(shown).cy * s);
        } else {
            Y += Round(c.GetTextExtent(shown).cx * s);
        }
    }
    c.TextOut(X, Y, shown);
}

void logmf_object::DrawTextBox(const DrawTextBoxRecord& r, const std::string& text) {
    MetafileCanvas& c = Target();
    const std::optional<int> top = RegionRow(r.region, r.y1), bottom = RegionRow(r.region, r.y2);
    if (!top || !bottom) return;
    Rect rect{ToUnitsX(r.x1), *top, ToUnitsX(r.x2), *bottom};
    ClipAndAlignReset reset(c);
    if (r.fill) {
        Brush brush{BrushStyle::Solid, static_cast<Color>(r.fillColor) & 0xFFFFFF,
                    HatchStyle::Horizontal, nullptr};
        c.SelectBrush(brush);
        c.FillRect({std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                    std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)});
        brush.style = BrushStyle::Null;
        c.SelectBrush(brush);
    }
    if (r.border) {
        int phase = 0;
        Stroke(rect.left, rect.top, rect.right, rect.top, phase);
        Stroke(rect.right, rect.top, rect.right, rect.bottom, phase);
        Stroke(rect.right, rect.bottom, rect.left, rect.bottom, phase);
        Stroke(rect.left, rect.bottom, rect.left, rect.top, phase);
    }
    if (!text.empty()) {
        FontRestorer restore_font(c);
        c.SelectFont(LayoutFont(c, r.fontSize));
        TTextFormat format(c, c.font(), r.fontSize, PixelsPerInch, r.marginLeft, r.marginRight,
                           r.marginTop, r.marginBottom);
        format.FormatText(text, rect, r.layoutFlags | text_format::kWordBreak);
    }
}

void logmf_object::DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text) {
    if (text.empty()) return;
    MetafileCanvas& c = Target();
    Rect rect{ToUnitsX(r.x1), ToUnitsY(r.y1), ToUnitsX(r.x2), ToUnitsY(r.y2)};
    if (rect.bottom < data_top_px_ || rect.top >= height_px_) return;
    ClipAndAlignReset reset(c);
    FontRestorer restore_font(c);
    c.SelectFont(LayoutFont(c, r.fontSize));
    TTextFormat format(c, c.font(), r.fontSize, PixelsPerInch, r.sideMargin, r.sideMargin, 0, 0);
    double width = 0, height = 0;
    format.MeasureText("O", width, height);
    const int inset = Round(height * r.lineInset);
    rect.top += inset;
    rect.bottom -= inset;
    c.SelectClipRect({0, data_top_px_, c.ClipBox().right, footer_top_px_});
    format.FormatText(text, rect, r.layoutFlags | text_format::kWordBreak);
}

void logmf_object::DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text) {
    MetafileCanvas& c = Target();
    const Rect box{ToUnitsX(r.x1), ToUnitsY(r.y1), ToUnitsX(r.x2), ToUnitsY(r.y2)};
    if (!(box.bottom >= data_top_px_ && box.top < height_px_)) return;
    int h = 0, v = 0;
    if (r.wideMargin) {
        const Brush saved = c.brush();
        Brush hollow = saved;
        hollow.style = BrushStyle::Null;
        c.SelectBrush(hollow);
        c.Rectangle(box);
        c.SelectBrush(saved);
        h = v = Round(PixelsPerInch * 0.05);
    } else if (r.narrowMargin) {
        v = Round(PixelsPerInch * 0.025);
    } else {
        h = Round(PixelsPerInch * 0.05);
    }
    const Rect area{box.left + h, box.top + v, box.right - h, box.bottom + v};

    // Each carriage return ends a line; what follows the last one is not drawn.
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') continue;
        lines.push_back(text.substr(start, TrimLineEnd(text, start, i) - start));
        start = i + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    if (lines.empty()) return;

    const int line_height = c.GetTextExtent("Xy").cy;
    ClipAndAlignReset reset(c);
    const int clip_bottom = area.top < data_top_px_ ? area.bottom + line_height : area.bottom;
    c.SelectClipRect({box.left, data_top_px_, box.right, clip_bottom});
    int y = area.top;
    for (const std::string& line : lines) {
        if (kWholeTextLines) {
            if (y + line_height <= data_top_px_) {
                y += line_height;
                continue;
            }
            if (y < data_top_px_) {
                y = data_top_px_;
            } else if (y + line_height > height_px_) {
                break;
            }
        }
        c.TextOut(area.left, y, line);
        y += line_height;
        if (kWholeTextLines ? y + line_height > height_px_ : y > height_px_) break;
    }
}

void logmf_object::DrawRotatedText(const DrawRotatedTextRecord& r) {
    const std::string& text = r.text;
    MetafileCanvas& c = Target();
    const int X1 = ToUnitsX(r.x1), X2 = ToUnitsX(r.x2), Y1 = ToUnitsY(r.y1), Y2 = ToUnitsY(r.y2);
    FontRestorer restore_font(c);
    Font font = c.font();
    font.escapement = font.orientation = r.turnDirection ? -900 : 900;
    c.SelectFont(font);
    const Size extent = c.GetTextExtent(text);
    int W = extent.cx, H = extent.cy;
    if (text.size() >= 2 && W < H) std::swap(W, H);
    if (X2 - X1 < H) H = X2 - X1 - 2;
    const int Xa = (X1 + X2 - H) / 2, Xb = (X1 + X2 + H) / 2;
    const int Ya = (Y1 + Y2 - W) / 2, Yb = (Y1 + Y2 + W) / 2;
    const int gap = Round(PixelsPerInch * 0.05);
    if (r.arrows && 4 * gap + Y1 < Ya) {
        const int xm = (X1 + X2) / 2, a = H / 2;
        const auto line = [&](int ax, int ay, int bx, int by) {
            c.MoveTo(ax, ay);
            c.LineTo(bx, by);
        };
        line(xm, Ya - gap, xm, Y1 + gap);
        line(xm, Y1 + gap, xm - a, Y1 + gap + a);
        line(xm, Y1 + gap, xm + a, Y1 + gap + a);
        line(xm, Yb + gap, xm, Y2 - gap);
        line(xm, Y2 - gap, xm - a, Y2 - gap - a);
        line(xm, Y2 - gap, xm + a, Y2 - gap - a);
    }
    c.SetBackgroundMode(BackgroundMode::Opaque);
    c.SetBackgroundColor(kWhite);
    c.SetTextColor(c.pen().color);
    if (r.turnDirection) {
        c.TextOut(Xb, Ya, text);
    } else {
        c.TextOut(Xa, Yb, text);
    }
    c.SetTextColor(kBlack);
}

void logmf_object::DrawSymbol(const DrawSymbolRecord& r) {
    MetafileCanvas& c = Target();
    Symbols().Load(r.symbol);
    const int X0 = ToUnitsX(r.x), Y0 = ToUnitsY(r.y);
    const double F = PixelsPerInch * r.xScale;
    for (int i = 0; i < Symbols().StrokeCount(); ++i) {
        const auto& s = Symbols().Stroke(i);
        c.MoveTo(Round(X0 + F * s.x1 / 10), Round(Y0 - F * s.y1 / 10));
        c.LineTo(Round(X0 + F * s.x2 / 10), Round(Y0 - F * s.y2 / 10));
    }
}

void logmf_object::DrawScaledSymbol(const DrawScaledSymbolRecord& r) {
    MetafileCanvas& c = Target();
    const std::optional<int> row = RegionRow(r.region, r.y);
    if (!row) return;
    Symbols().Load(r.symbol);
    const int X0 = ToUnitsX(r.x), Y0 = *row;
    const double F = PixelsPerInch * r.size / 10;
    for (int i = 0; i < Symbols().StrokeCount(); ++i) {
        const auto& s = Symbols().Stroke(i);
        c.MoveTo(Round(X0 + F * s.x1), Round(Y0 - F * s.y1));
        c.LineTo(Round(X0 + F * s.x2), Round(Y0 - F * s.y2));
    }
}

void logmf_object::DrawPicture(const DrawPictureRecord& r, const std::vector<uint8_t>& data) {
    const int32_t size = static_cast<int32_t>(data.size());
    MetafileCanvas& c = Target();
    const std::optional<int> top = RegionRow(r.region, r.y1), bottom = RegionRow(r.region, r.y2);
    if (!top || !bottom) return;
    const Rect box{ToUnitsX(r.x1), *top, ToUnitsX(r.x2), *bottom};
    std::vector<uint8_t> bytes(data.begin(),
                               data.begin() + std::clamp<int64_t>(size, 0, int64_t(data.size())));
    const char* kind = r.isBitmap ? "embedded bitmap" : "embedded metafile";
    try {
        if (r.isBitmap) {
            const Bitmap bitmap = DecodePicture(bytes, false);
            StretchBitmap(c, bitmap, box.left, static_cast<int>(box.Height()),
                          static_cast<int>(box.Width()), box.top);
        } else {
            const int64_t w = std::abs(int64_t(box.right) - box.left);
            const int64_t h = std::abs(int64_t(box.bottom) - box.top);
            if (w < 1 || h < 1) throw PictureError("the picture's box is empty");
            if (w > INT16_MAX || h > INT16_MAX) {
                throw PictureError("the picture's box does not fit a metafile");
            }
            AddPlaceableHeader(bytes, static_cast<uint32_t>(bytes.size()), 0, 0, ClampToInt16(w),
                               ClampToInt16(h), ScreenPixelsPerInch);
            const TempFileRemover file(MakeTempFileName("~wmf"));
            WriteFileBytes(file.path(), bytes);
            DrawMetafileFile(c, box, file.path());
        }
    } catch (const CindralError& e) {
        ReportBrokenPicture(kind, e.what());
        DrawPicturePlaceholder(c, box);
    }
}

void logmf_object::DrawPictureStream(const DrawPictureStreamRecord& r,
                                     const std::vector<uint8_t>& stream) {
    MetafileCanvas& c = Target();
    const std::optional<int> top = RegionRow(r.region, r.y1), bottom = RegionRow(r.region, r.y2);
    if (!top || !bottom) return;
    const Rect box{ToUnitsX(r.x1), *top, ToUnitsX(r.x2), *bottom};
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
