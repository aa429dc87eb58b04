// Playing exported metafiles back: the input is read as a list of drawing calls, recorded by
// the WMF and the EMF writer, and each file is played by our own player. The writers must
// always produce a file the player accepts; a refusal of our own output is a finding.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/errors.h"
#include "fuzz_pictures.h"
#include "render/canvas/emf_writer.h"
#include "render/canvas/region.h"
#include "render/canvas/trace_canvas.h"
#include "render/canvas/wmf_writer.h"
#include "render/pictures/emf_player.h"
#include "render/pictures/wmf_player.h"

namespace {

using namespace cindral;

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Coord() {
        // Mostly page-sized values, sometimes the extremes a log can ask for.
        const int16_t v = static_cast<int16_t>(Byte() | (Byte() << 8));
        return (Byte() & 0x0F) == 0 ? v * 65536 : v;
    }
    Point P() { return {Coord(), Coord()}; }
    Rect R() { return {Coord(), Coord(), Coord(), Coord()}; }
    std::vector<Point> Points() {
        std::vector<Point> points(Byte() % 12);
        for (Point& p : points) p = P();
        return points;
    }
    std::string Text() {
        std::string text(Byte() % 20, ' ');
        for (char& c : text) c = static_cast<char>(Byte());
        return text;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

void Draw(Input in, Canvas& c) {
    for (int calls = 0; in.More() && calls < 200; ++calls) {
        switch (in.Byte() % 20) {
            case 0:
                c.SelectPen(Pen{PenStyle(in.Byte() % 7), in.Byte() % 40, in.Byte() * 0x10101u,
                                PenEndCap(0x100 * (in.Byte() % 3))});
                break;
            case 1: {
                Brush b;
                b.style = BrushStyle(in.Byte() % 3);
                b.color = in.Byte() * 0x10203u;
                b.hatch = HatchStyle(in.Byte() % 6);
                c.SelectBrush(b);
                break;
            }
            case 2: {
                Font f;
                f.face = in.Byte() % 2 ? "Courier New" : in.Text();
                f.height = static_cast<int8_t>(in.Byte()) * 3;
                f.escapement = in.Coord() % 3600;
                f.weight = 100 * (in.Byte() % 10);
                f.italic = in.Byte() & 1;
                c.SelectFont(f);
                break;
            }
            case 3:
                c.SetTextColor(in.Byte() * 0x30201u);
                break;
            case 4:
                c.SetBackgroundMode(BackgroundMode(1 + in.Byte() % 2));
                break;
            case 5:
                c.SetTextAlign(in.Byte() & 31);
                break;
            case 6:
                c.SelectClipRegion(Region::FromRect(in.R()));
                break;
            case 7:
                c.SelectNoClip();
                break;
            case 8:
                c.MoveTo(in.Coord(), in.Coord());
                break;
            case 9:
                c.LineTo(in.Coord(), in.Coord());
                break;
            case 10:
                c.Polyline(in.Points());
                break;
            case 11:
                c.Polygon(in.Points());
                break;
            case 12:
                c.Rectangle(in.R());
                break;
            case 13:
                c.Ellipse(in.R());
                break;
            case 14:
                c.Arc(in.R(), in.P(), in.P());
                break;
            case 15:
                c.Pie(in.R(), in.P(), in.P());
                break;
            case 16:
                c.FillRect(in.R());
                break;
            case 17:
                c.SetPixel(in.Coord(), in.Coord(), in.Byte());
                break;
            case 18: {
                const std::string text = in.Text();
                std::vector<int> dx;
                if (in.Byte() & 1) dx.assign(text.size(), in.Byte() % 30);
                const Rect box = in.R();
                c.ExtTextOut(in.Coord(), in.Coord(), in.Byte() & 6, in.Byte() & 1 ? &box : nullptr,
                             text, dx);
                break;
            }
            case 19: {
                Bitmap bitmap;
                bitmap.width = 1 + in.Byte() % 5;
                bitmap.height = 1 + in.Byte() % 5;
                bitmap.argb.assign(size_t(bitmap.width) * bitmap.height, 0xFF000000u | in.Byte());
                c.StretchDib(in.R(), bitmap, Rect{0, 0, bitmap.width, bitmap.height});
                break;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartQt();
    for (bool emf : {false, true}) {
        std::ostringstream out;
        try {
            if (emf) {
                EmfWriter writer(out, 816, 1056);
                Draw(Input(data, size), writer);
                writer.Finish();
            } else {
                WmfWriter writer(out, 816, 1056);
                Draw(Input(data, size), writer);
                writer.Finish();
            }
        } catch (const CindralError&) {
            // A drawing the format cannot hold may be refused by the writer.
            continue;
        }
        const std::string bytes = out.str();
        const auto* file = reinterpret_cast<const uint8_t*>(bytes.data());
        TraceCanvas canvas;
        try {
            if (emf) {
                PlayEmf(file, bytes.size(), canvas);
            } else {
                PlayWmf(file, bytes.size(), canvas, Rect{0, 0, 816, 1056});
            }
        } catch (const CindralError& e) {
            std::fprintf(stderr, "our own %s is refused: %s\n", emf ? "EMF" : "WMF", e.what());
            std::abort();
        }
    }
    return 0;
}
