// The WMF and EMF encoders, read back by a record walker written here from the formats'
// layouts: the fixed header fields, sizes and counts that must agree with the records, the
// 4-byte record alignment of EMF, and the object table (lowest free slot, no record ever
// naming a deleted or unborn object, even across SaveDC/RestoreDC).

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <sstream>

#include "core/format/byte_codec.h"
#include "render/canvas/emf_writer.h"
#include "render/canvas/wmf_writer.h"

namespace cindral {
namespace {

enum class Kind { Wmf, Emf };

// One record as the walker saw it: what it does to the object table.
struct Seen {
    uint32_t type = 0;
    enum Op { Other, Create, Select, Delete, Save, Restore } op = Other;
    int slot = -1;  // EMF creates name their slot; WMF creates take the lowest free one
};

struct Walked {
    std::vector<Seen> records;
    std::vector<std::string> faults;
    // Header fields.
    uint32_t declared_size = 0;  // WMF: words after the placeable header; EMF: bytes
    uint32_t declared_records = 0;
    int declared_objects = 0;
    uint32_t declared_max_record = 0;
    uint32_t largest_record = 0;  // WMF words
    Rect bounds;
    int units_per_inch = 0;
};

Walked WalkWmf(const std::vector<uint8_t>& f) {
    Walked w;
    ByteReader r(f);
    EXPECT_EQ(r.U32(), 0x9AC6CDD7u);
    r.U16();
    w.bounds = {r.I16(), r.I16(), r.I16(), r.I16()};
    w.units_per_inch = r.U16();
    r.U32();
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(f[i] | (f[i + 1] << 8));
    EXPECT_EQ(r.U16(), sum) << "placeable checksum";
    EXPECT_EQ(r.U16(), 1);       // memory metafile
    EXPECT_EQ(r.U16(), 9);       // header words
    EXPECT_EQ(r.U16(), 0x0300);  // version
    w.declared_size = r.U32();
    w.declared_objects = r.U16();
    w.declared_max_record = r.U32();
    EXPECT_EQ(r.U16(), 0);
    while (r.remaining() > 0) {
        const size_t at = r.position();
        const uint32_t words = r.U32();
        const uint16_t function = r.U16();
        if (words < 3 || at + size_t(words) * 2 > f.size()) {
            w.faults.push_back("record overruns the file at " + std::to_string(at));
            break;
        }
        w.largest_record = std::max(w.largest_record, words);
        Seen s;
        s.type = function;
        if (function == 0x02FA || function == 0x02FB || function == 0x02FC) s.op = Seen::Create;
        if (function == 0x012D) s.op = Seen::Select;
        if (function == 0x01F0) s.op = Seen::Delete;
        if (function == 0x001E) s.op = Seen::Save;
        if (function == 0x0127) s.op = Seen::Restore;
        if (s.op == Seen::Select || s.op == Seen::Delete) s.slot = r.U16();
        w.records.push_back(s);
        r.Seek(at + size_t(words) * 2);
        if (function == 0) {
            if (r.remaining() != 0) w.faults.push_back("bytes after the end record");
            break;
        }
    }
    w.declared_records = static_cast<uint32_t>(w.records.size());
    return w;
}

Walked WalkEmf(const std::vector<uint8_t>& f) {
    Walked w;
    ByteReader r(f);
    EXPECT_EQ(r.U32(), 1u);
    EXPECT_EQ(r.U32(), 108u);
    w.bounds = {r.I32(), r.I32(), r.I32(), r.I32()};
    const Rect frame{r.I32(), r.I32(), r.I32(), r.I32()};
    EXPECT_EQ(r.U32(), 0x464D4520u);  // " EMF"
    EXPECT_EQ(r.U32(), 0x00010000u);
    w.declared_size = r.U32();
    w.declared_records = r.U32();
    w.declared_objects = r.U16();
    // The frame is the bounds in hundredths of a millimetre at 96 units per inch.
    EXPECT_NEAR(frame.right, (w.bounds.right + 1) * 2540.0 / 96 - 1, 1.0);
    EXPECT_NEAR(frame.bottom, (w.bounds.bottom + 1) * 2540.0 / 96 - 1, 1.0);
    r.Seek(0);
    while (r.remaining() > 0) {
        const size_t at = r.position();
        const uint32_t type = r.U32();
        const uint32_t size = r.U32();
        if (size < 8 || size % 4 != 0 || at + size > f.size()) {
            w.faults.push_back("record " + std::to_string(type) + " of " + std::to_string(size) +
                               " bytes at " + std::to_string(at));
            break;
        }
        Seen s;
        s.type = type;
        if (type == 38 || type == 39 || type == 82) s.op = Seen::Create;
        if (type == 37) s.op = Seen::Select;
        if (type == 40) s.op = Seen::Delete;
        if (type == 33) s.op = Seen::Save;
        if (type == 34) s.op = Seen::Restore;
        if (s.op != Seen::Other && s.op != Seen::Save && s.op != Seen::Restore) {
            s.slot = static_cast<int>(r.U32());
        }
        if (type == 14) {
            EXPECT_EQ(ByteReader(f.data() + at + 16, 4).U32(), size);
        }
        w.records.push_back(s);
        r.Seek(at + size);
        if (type == 14 && r.remaining() != 0) w.faults.push_back("bytes after the end record");
    }
    return w;
}

// Replays the object records on a table of our own and reports every misuse; returns the
// table size the file needs (EMF: the highest index + 1).
int CheckObjectTable(Kind kind, const std::vector<Seen>& records, std::vector<int>* selects,
                     std::vector<std::string>& faults) {
    std::vector<bool> live;
    std::vector<int> selected, saved;  // one selected object per kind is enough here
    int needed = 0;
    for (const Seen& s : records) {
        if (s.op == Seen::Create) {
            int slot = s.slot;
            if (kind == Kind::Wmf) {
                slot = 0;
                while (slot < int(live.size()) && live[slot]) ++slot;
            } else if (slot < 1) {
                faults.push_back("EMF object index 0 is reserved");
            }
            if (slot >= int(live.size())) live.resize(slot + 1, false);
            if (live[slot]) faults.push_back("object created over a live slot");
            live[slot] = true;
            needed = std::max(needed, slot + 1);
        } else if (s.op == Seen::Select || s.op == Seen::Delete) {
            if (s.slot < 0 || s.slot >= int(live.size()) || !live[s.slot]) {
                faults.push_back("record names a dead object " + std::to_string(s.slot));
                continue;
            }
            if (s.op == Seen::Select) {
                selects->push_back(s.slot);
                selected.push_back(s.slot);
            } else {
                live[s.slot] = false;
                // A restore would bring back a saved selection: it must still be alive.
                if (std::count(saved.begin(), saved.end(), s.slot)) {
                    faults.push_back("deleted an object a saved context still holds");
                }
            }
        } else if (s.op == Seen::Save) {
            saved = selected;
        } else if (s.op == Seen::Restore) {
            selected = saved;
            saved.clear();
        }
    }
    return needed;
}

std::vector<uint8_t> Encode(Kind kind, const std::function<void(Canvas&)>& scene) {
    std::stringstream out;
    std::unique_ptr<MetafileWriter> writer;
    if (kind == Kind::Wmf) {
        writer = std::make_unique<WmfWriter>(out, 300, 200);
    } else {
        writer = std::make_unique<EmfWriter>(out, 300, 200);
    }
    scene(*writer);
    writer->Finish();
    const std::string s = out.str();
    return {s.begin(), s.end()};
}

// Three pens in turn, a clip with a pen change inside it, text of odd length, a bitmap
// of odd row length, a filled rectangle.
void Scene(Canvas& c) {
    for (Color color : {0x0000FFu, 0xFF0000u, 0x00FF00u}) {
        c.SelectPen({PenStyle::Solid, 1, color, PenEndCap::Round});
        c.MoveTo(10, 10);
        c.LineTo(200, 150);
    }
    c.SelectClipRect({0, 0, 100, 100});
    c.LineTo(20, 20);
    c.SelectPen({PenStyle::Dash, 0, 0x123456, PenEndCap::Round});
    c.LineTo(40, 90);
    c.SelectNoClip();
    c.LineTo(60, 60);
    c.TextOut(5, 5, "odd");
    Bitmap b;
    b.width = 3;
    b.height = 2;
    b.argb.assign(6, 0xFF336699);
    c.StretchDib({50, 50, 80, 70}, b, {0, 0, 3, 2});
    c.SelectBrush({BrushStyle::Hatched, 0x00AA00, HatchStyle::Cross, nullptr});
    c.Rectangle({100, 100, 150, 140});
}

struct LayoutCase {
    Kind kind;
    const char* name;
    std::vector<int> first_pen_slots;  // the three pens of the scene, lowest free each time
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class MetafileLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(MetafileLayout, HeaderAgreesWithRecordsAndObjectsStayAlive) {
    const LayoutCase& p = GetParam();
    const std::vector<uint8_t> bytes = Encode(p.kind, Scene);
    const Walked w = p.kind == Kind::Wmf ? WalkWmf(bytes) : WalkEmf(bytes);
    EXPECT_TRUE(w.faults.empty()) << w.faults.front();
    ASSERT_FALSE(w.records.empty());
    EXPECT_EQ(w.records.back().type, p.kind == Kind::Wmf ? 0u : 14u) << "ends with EOF";
    std::vector<int> selects;
    std::vector<std::string> faults;
    const int needed = CheckObjectTable(p.kind, w.records, &selects, faults);
    for (const std::string& f : faults) ADD_FAILURE() << f;
    ASSERT_GE(selects.size(), 3u);
    EXPECT_EQ(std::vector<int>(selects.begin(), selects.begin() + 3), p.first_pen_slots);
    EXPECT_EQ(w.declared_objects, needed);
    if (p.kind == Kind::Wmf) {
        EXPECT_EQ(w.bounds, (Rect{0, 0, 300, 200}));
        EXPECT_EQ(w.units_per_inch, 96);
        EXPECT_EQ(size_t(w.declared_size) * 2, bytes.size() - 22);
        EXPECT_EQ(w.declared_max_record, w.largest_record);
    } else {
        EXPECT_EQ(w.bounds, (Rect{0, 0, 299, 199}));
        EXPECT_EQ(w.declared_size, bytes.size());
        EXPECT_EQ(w.declared_records, w.records.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, MetafileLayout,
                         ::testing::Values(LayoutCase{Kind::Wmf, "wmf", {0, 1, 0}},
                                           LayoutCase{Kind::Emf, "emf", {1, 2, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WmfWriter, LinesBeyondSixteenBitsAreCutNotWrapped) {
    const std::vector<uint8_t> bytes = Encode(Kind::Wmf, [](Canvas& c) {
        c.MoveTo(0, 0);
        c.LineTo(100, 100000);  // leaves the range at y = 32767, x = 32
    });
    ByteReader r(bytes);
    r.Seek(40);
    std::vector<Point> ends;
    while (r.remaining() > 0) {
        const size_t at = r.position();
        const uint32_t words = r.U32();
        const uint16_t function = r.U16();
        if (function == 0x0213) {
            const int y = r.I16();
            ends.push_back({r.I16(), y});
        }
        r.Seek(at + words * 2);
    }
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].y, 32767);
    EXPECT_NEAR(ends[0].x, 33, 1);
}

}  // namespace
}  // namespace cindral
