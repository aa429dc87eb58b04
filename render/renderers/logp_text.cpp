// The text and symbol primitives of the raster renderer: anchored, turned, fitted, wrapped
// and formatted text, page-number labels, text boxes and library symbols. Pictures are in
// logp_pictures.cpp.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "core/base/errors.h"
#include "core/libraries/symbol_object.h"
#include "core/pages/rounding.h"
#include "render/canvas/font_resolver.h"
#include "render/canvas/mul_div.h"
#include "render/canvas/offscreen_canvas.h"
#include "render/canvas/state_guards.h"
#include "render/pictures/picture_draw.h"
#include "render/pictures/picture_error.h"
#include "render/pictures/picture_files.h"
#include "render/pictures/picture_log.h"
#include "render/renderers/fitted_text.h"
#include "render/renderers/logp_object.h"
#include "render/renderers/renderer_helpers.h"
#include "render/renderers/stroke_line.h"
#include "render/text/text_fonts.h"
#include "render/text/text_format.h"

namespace cindral {
namespace {

int TextHeight(const Canvas& c) {
    return c.GetTextMetrics().height;
}

// Font fallbacks go to the execution log, once per face.
void LogFontFallbacks() {
    static std::once_flag once;
    std::call_once(once, [] {
        FontResolver::Instance().SetReporter(
            [](const std::string& message) { LogRenderNote(message); });
    });
}

}  // namespace

// --- helpers shared by the primitives ---

namespace {

// Brush colour follows the pen, after the black-printing rule.
void BrushFollowsPen(Canvas& c) {
    Brush brush = c.brush();
    brush.color = c.pen().color;
    c.SelectBrush(brush);
}

// The canvas font at `points`: the glyphs then match the advances the layout measures for
// that size, whatever font size an earlier command left selected.
Font FontOfSize(Font font, int points, int pixels_per_inch) {
    font.height = -MulDiv(points, pixels_per_inch, 72);
    font.width = 0;
    font.escapement = font.orientation = 0;
    return font;
}

}  // namespace

void logp_object::SetFont(const SetFontColoredRecord& r) {
    const uint8_t style = r.style;
    LogFontFallbacks();
    cindral::Canvas& c = Target();
    Font font = c.font();
    font.face = r.fontName.substr(0, 40);
    font.height = -LogicalFontHeight(c, r.size, page_.PixelsPerInch, 1);
    font.width = 0;
    font.escapement = 0;
    font.orientation = 0;
    font.weight = (style & 1) ? 700 : 400;
    font.italic = (style & 2) != 0;
    font.underline = (style & 4) != 0;
    font.strike_out = (style & 8) != 0;
    // A pixel more for small bold type on bitmaps (an em of 11 pixels or less, 8 points on a
    // 96-dpi screen): there even unhinted bold stems come out one pixel wide. Finer bitmaps
    // and paper show the weight as it is, at the r.size every other text has.
    if (font.weight == 700 && !IsPrinter() && font.height < 0 && font.height >= -11) {
        font.height -= 1;
    }
    c.SelectFont(font);
    c.SetTextColor(static_cast<Color>(r.color) & 0xFFFFFF);
}

void logp_object::DrawText(const DrawTextRecord& r) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    BrushFollowsPen(c);
    const int height = TextHeight(c);
    int X = TextX(r.x);
    if (r.vertical && r.raise) X += height / 3;
    int Y = TextY(r.y);
    if (r.raise && !r.vertical) Y += height / 3;

    FontRestorer restore_font(c);
    ClipAndAlignReset reset(c);
    Font font = c.font();
    font.escapement = font.orientation = r.vertical ? -900 : 0;
    c.SelectFont(font);
    c.SetBackgroundColor(kWhite);
    c.SetBackgroundMode(r.transparent ? BackgroundMode::Transparent : BackgroundMode::Opaque);
    c.SetTextAlign(static_cast<unsigned>(r.align));
    c.SelectClipRegion(data_region_);
    c.TextOut(X, Y, r.text);
}

void logp_object::DrawFittedText(const DrawFittedTextRecord& r) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    BrushFollowsPen(c);
    const int X = TextX(r.x);
    const int Y = TextY(r.y);
    if (Y < page_.DataTopPx || Y > page_.DataBottomPx) return;
    const int limit = page_.HasFooter ? page_.FooterTopPx : page_.DataBottomPx;
    const FittedTextPlace place =
        PlaceFittedText(c, r.text, X, Y, r.rotation, r.align, r.keepInside != 0,
                        {page_.DataTopPx, limit, page_.PageHeightPx, page_.BandGapPx});
    FontRestorer restore_font(c);
    ClipAndAlignReset reset(c);
    if (place.escapement != 0) {
        Font font = c.font();
        font.escapement = font.orientation = place.escapement;
        c.SelectFont(font);
    }
    c.SetBackgroundMode(BackgroundMode::Transparent);
    c.SetTextAlign(static_cast<unsigned>(r.align));
    c.SelectClipRegion(text_region_);
    c.TextOut(place.x, place.y, r.text);
}

void logp_object::DrawFontText(const DrawFontTextRecord& r) {
    const double height = r.height;
    const uint8_t sizeMode = r.sizeMode;
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    BrushFollowsPen(c);
    const std::string shown = r.text.substr(0, 60);
    Brush brush = c.brush();
    brush.style = BrushStyle::Null;
    c.SelectBrush(brush);
    c.SetBackgroundMode(BackgroundMode::Transparent);
    int X = TextX(r.x);
    int Y = TextY(r.y);
    ClipAndAlignReset reset(c);
    const auto set_pixels = [&](int pixels) {
        Font f = c.font();
        f.height = pixels;
        c.SelectFont(f);
    };
    const auto set_points = [&](int points) {
        Font f = c.font();
        f.height = -MulDiv(points, page_.PixelsPerInch, 72);
        c.SelectFont(f);
    };
    // Turned r.text sized by depth takes the depth's screen pixels as its points: counted at
    // the device's resolution instead, the label would grow with the resolution squared.
    const auto depth_points = [&] {
        return RoundToInt(height * page_.DepthScale * ScreenPixelsPerInch / page_.PixelsPerInch);
    };

    if (r.angle == 0) {
        if (sizeMode <= 2) {
            set_pixels(RoundToInt(height * page_.DepthScale));
        } else if (sizeMode <= 5) {
            set_points(RoundToInt(height));
        }
        const Size extent = c.GetTextExtent(shown);
        if (sizeMode == 1 || sizeMode == 4) X -= extent.cx / 2;
        if (sizeMode == 2 || sizeMode == 5) Y -= extent.cy / 2;
        c.SelectClipRegion(data_region_);
        c.TextOut(X, Y, shown);
        return;
    }
    const auto lift = [&] {
        const int half_width = c.GetTextExtent(shown).cx / 2;  // whole pixels, as drawn
        Y += RoundToInt(std::sin(r.angle * 0.01745329) * half_width);
    };
    switch (sizeMode) {
        case 0:
            set_points(depth_points());
            break;
        case 2:
            set_points(depth_points());
            lift();
            break;
        case 3:
            set_points(RoundToInt(height));
            break;
        case 5:
            set_points(RoundToInt(height));
            lift();
            break;
        default:
            break;
    }
    FontRestorer restore_font(c);
    c.SelectFont(MakeRotatedFont(c.font(), r.angle));
    c.SelectClipRegion(data_region_);
    c.ExtTextOut(X, Y, 0, nullptr, shown, {});
}

void logp_object::DrawLabel(const DrawLabelRecord& r) {
    const int32_t angle = r.angle;
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    BrushFollowsPen(c);
    const std::optional<int> row_at = RegionRow(r.region, r.y);
    if (!row_at) return;
    int row = TextCoord(*row_at);
    const bool footer = BandOf(r.region) != page_.HeaderMode;
    if (footer && row >= page_.PageHeightPx) return;
    int X = TextX(r.x);
    const std::string shown =
        ReplaceFirst(ReplaceFirst(r.text, "#p", page_.Page + 1), "#t", page_.LastPage + 1);

    c.SelectNoClip();
    const unsigned previous_align = c.text_align();
    c.SetTextAlign(0);
    if (angle != 0) {
        FontRestorer restore_font(c);
        c.SelectFont(MakeRotatedFont(c.font(), angle));
        const double theta = angle * M_PI / 180;
        const Size extent = c.GetTextExtent(shown);
        if (angle < 0) {
            X -= RoundToInt(std::sin(theta) * extent.cy);
        } else {
            row += RoundToInt(std::sin(theta) * extent.cx);
        }
        c.ExtTextOut(X, row, 0, nullptr, shown, {});
    } else {
        c.TextOut(X, row, shown);
    }
    c.SetTextAlign(previous_align);
}

void logp_object::DrawWrappedText(const DrawWrappedTextRecord& r, const std::string& text) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    BrushFollowsPen(c);
    const Rect box{TextX(r.x1), TextY(r.y1), TextX(r.x2), TextY(r.y2)};
    if (box.bottom < page_.DataTopPx || box.top >= page_.PageHeightPx) return;
    int h_margin = 0;
    int v_margin = 0;
    if (r.wideMargin) {
        h_margin = RoundToInt(page_.PixelsPerInch * 0.05);
        v_margin = RoundToInt(page_.PixelsPerInch * 0.05);
    } else if (r.narrowMargin) {
        h_margin = static_cast<int>(std::trunc(page_.PixelsPerInch * 0.1));
        v_margin = RoundToInt(page_.PixelsPerInch * 0.025);
    } else {
        h_margin = RoundToInt(page_.PixelsPerInch * 0.05);
    }
    const Rect area{box.left + h_margin, box.top + v_margin, box.right - h_margin,
                    box.bottom + v_margin};

    // Each carriage return ends a line; what follows the last one is not drawn.
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') continue;
        lines.push_back(text.substr(start, TrimLineEnd(text, start, i) - start));
        start = i + 1;
        // A line feed after the carriage return belongs to the break, not to the next line.
        if (start < text.size() && text[start] == '\n') ++start;
    }
    if (lines.empty()) return;

    FontRestorer restore_font(c);
    ClipAndAlignReset reset(c);
    Font font = c.font();
    const int points = MulDiv(std::abs(font.height), 72, page_.PixelsPerInch);
    font.height = -MulDiv(points, page_.PixelsPerInch, 72);
    c.SelectFont(font);
    const int line_height = std::abs(font.height);
    const TextMetrics metrics = c.GetTextMetrics();

    const int clip_bottom = area.top < page_.DataTopPx ? area.bottom + line_height : area.bottom;
    c.SelectClipRegion(Region::FromRect({box.left, page_.DataTopPx, box.right, clip_bottom})
                           .Combined(data_region_, CombineMode::And));
    int top = area.top;
    for (const std::string& line : lines) {
        if (options_.keep_paragraphs_inside) {
            if (top + metrics.height < page_.DataTopPx) {
                top += line_height;
                continue;
            }
            if (top < page_.DataTopPx) {
                top = page_.DataTopPx + metrics.internal_leading / 4;
            } else if (page_.DataBottomPx < top + line_height) {
                break;
            }
        } else if (top + line_height > area.bottom) {
            break;
        }
        c.TextOut(area.left, top, line);
        top += line_height;
        if (options_.keep_paragraphs_inside ? top + line_height > page_.PageHeightPx
                                            : top > page_.PageHeightPx)
            break;
    }
}

void logp_object::DrawFormattedText(const DrawFormattedTextRecord& r, const std::string& text) {
    if (text.empty()) return;
    cindral::Canvas& c = Target();
    if (print_black_) c.SetTextColor(kBlack);
    BrushFollowsPen(c);
    Rect rect{TextX(r.x1), TextY(r.y1), TextX(r.x2), TextY(r.y2)};
    if (rect.bottom < page_.DataTopPx || rect.top >= page_.PageHeightPx) return;

    ClipAndAlignReset reset(c);
    FontRestorer restore_font(c);
    c.SelectFont(FontOfSize(c.font(), r.fontSize, page_.PixelsPerInch));
    TTextFormat format(c, c.font(), r.fontSize, page_.PixelsPerInch, r.sideMargin, r.sideMargin, 0,
                       0);
    double width = 0, height = 0;
    format.MeasureText("O", width, height);
    const int inset = static_cast<int>(std::trunc(height * r.lineInset));
    rect.top += inset;
    rect.bottom -= inset;
    c.SelectClipRegion(data_region_);
    const int flags = r.layoutFlags | text_format::kWordBreak;
    if (RepeatBands) {
        format.FormatTextInBand(text, rect, flags, page_.DataTopPx, page_.DataBottomPx);
    } else {
        format.FormatText(text, rect, flags);
    }
}

void logp_object::DrawTextBox(const DrawTextBoxRecord& r, const std::string& text) {
    cindral::Canvas& c = Target();
    const std::optional<int> top = RegionRow(r.region, r.y1);
    const std::optional<int> bottom = RegionRow(r.region, r.y2);
    if (!top || !bottom) return;
    if (BandOf(r.region) != page_.HeaderMode && *top >= page_.PageHeightPx) return;
    Rect rect{TextX(r.x1), TextCoord(*top), TextX(r.x2), TextCoord(*bottom)};

    ClipAndAlignReset reset(c);
    if (r.fill) {
        Brush brush;
        brush.style = BrushStyle::Solid;
        brush.color = static_cast<Color>(r.fillColor) & 0xFFFFFF;
        c.SelectBrush(brush);
        c.FillRect(Normalized(rect));
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
        c.SelectFont(FontOfSize(c.font(), r.fontSize, page_.PixelsPerInch));
        TTextFormat format(c, c.font(), r.fontSize, page_.PixelsPerInch, r.marginLeft,
                           r.marginRight, r.marginTop, r.marginBottom);
        format.FormatText(text, rect, r.layoutFlags | text_format::kWordBreak);
    }
}

void logp_object::DrawRotatedText(const DrawRotatedTextRecord& r) {
    const std::string& text = r.text;
    cindral::Canvas& c = Target();
    const Rect box{TextX(r.x1), TextY(r.y1), TextX(r.x2), TextY(r.y2)};
    const Color color = c.pen().color;

    Font font = c.font();
    const int points = MulDiv(std::abs(font.height), 72, page_.PixelsPerInch);
    font.height = -MulDiv(points, page_.PixelsPerInch, 72);
    font.escapement = font.orientation = r.turnDirection ? -900 : 900;
    FontRestorer restore_font(c);
    ClipAndAlignReset reset(c);
    c.SelectFont(font);
    const Size extent = c.GetTextExtent(text);
    int W = extent.cx;
    int H = extent.cy;
    if (text.size() >= 2 && W < H) std::swap(W, H);
    if (box.Width() < H) H = static_cast<int>(box.Width()) - 2;
    const Rect area{(box.left + box.right - H) / 2, (box.top + box.bottom - W) / 2,
                    (box.left + box.right + H) / 2, (box.top + box.bottom + W) / 2};

    c.SelectClipRegion(Region::FromRect(Normalized(box)).Combined(data_region_, CombineMode::And));
    const int gap = RoundToInt(page_.PixelsPerInch * 0.05);
    if (r.arrows && 4 * gap + box.top < area.top) {
        const int cx = (box.left + box.right) / 2;
        const int d = H / 2;
        const auto line = [&](int ax, int ay, int bx, int by) {
            c.MoveTo(ax, ay);
            c.LineTo(bx, by);
        };
        const int up_tip = box.top + gap;
        line(cx, area.top - gap, cx, up_tip);
        line(cx, up_tip, cx - d, up_tip + d);
        line(cx, up_tip, cx + d, up_tip + d);
        const int down_tip = box.bottom - gap;
        line(cx, area.bottom + gap, cx, down_tip);
        line(cx, down_tip, cx - d, down_tip - d);
        line(cx, down_tip, cx + d, down_tip - d);
    }

    if (area.Width() >= 1 && area.Height() >= 1 &&
        area.Width() * area.Height() <= int64_t(1) << 26) {
        // The turned text is drawn once into a bitmap of its own size and copied whole.
        const auto picture =
            c.MakeOffscreen(static_cast<int>(area.Width()), static_cast<int>(area.Height()));
        cindral::Canvas& offscreen = picture->canvas();
        offscreen.SelectFont(font);
        offscreen.SetBackgroundMode(BackgroundMode::Opaque);
        offscreen.SetBackgroundColor(kWhite);
        offscreen.SetTextColor(color);
        if (r.turnDirection) {
            offscreen.TextOut(H, 0, text);
        } else {
            offscreen.TextOut(0, W, text);
        }
        const Bitmap bitmap = picture->TakeBitmap();
        if (IsPrinter()) {
            StretchBitmap(c, bitmap, area.left, static_cast<int>(area.Height()),
                          static_cast<int>(area.Width()), area.top);
        } else {
            c.BitBlt(area.left, area.top, bitmap);
        }
    }
    c.SetTextColor(kBlack);
}

void logp_object::DrawSymbol(const DrawSymbolRecord& r) {
    cindral::Canvas& c = Target();
    ApplyBlackRule();
    BrushFollowsPen(c);
    Symbols().Load(r.symbol);
    const int X0 = TextX(r.x);
    const int Y0 = TextY(r.y);
    const double F = page_.PixelsPerInch * r.xScale;
    ClipAndAlignReset reset(c);
    c.SelectClipRegion(text_region_);
    for (int i = 0; i < Symbols().StrokeCount(); ++i) {
        const auto& s = Symbols().Stroke(i);
        c.MoveTo(RoundToInt(X0 + F * s.x1 / 10), RoundToInt(Y0 - F * s.y1 / 10));
        c.LineTo(RoundToInt(X0 + F * s.x2 / 10), RoundToInt(Y0 - F * s.y2 / 10));
    }
}

void logp_object::DrawScaledSymbol(const DrawScaledSymbolRecord& r) {
    cindral::Canvas& c = Target();
    const std::optional<int> row = RegionRow(r.region, r.y);
    if (!row) return;
    if (BandOf(r.region) != page_.HeaderMode && *row >= page_.PageHeightPx) return;
    const int X0 = TextX(r.x);
    const int Y0 = *row;
    ApplyBlackRule();
    BrushFollowsPen(c);
    Symbols().Load(r.symbol);
    c.SelectNoClip();
    const double F = page_.PixelsPerInch * r.size / 10;
    for (int i = 0; i < Symbols().StrokeCount(); ++i) {
        const auto& s = Symbols().Stroke(i);
        c.MoveTo(RoundToInt(X0 + F * s.x1), RoundToInt(Y0 - F * s.y1));
        c.LineTo(RoundToInt(X0 + F * s.x2), RoundToInt(Y0 - F * s.y2));
    }
}

}  // namespace cindral
