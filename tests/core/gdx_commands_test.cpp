#include "core/format/gdx_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace cindral {
namespace {

std::vector<uint8_t> Encode(const CommandRecord& record) {
    ByteWriter out;
    EncodeCommand(record, out);
    return out.Take();
}

// Gives every field a value of its own, so a swapped or misplaced field shows.
struct Filler {
    int n = 0;
    void operator()(const char*, double& v) { v = ++n * 1.25 - 100; }
    void operator()(const char*, int32_t& v) { v = -(++n) * 100003; }
    void operator()(const char*, int16_t& v) { v = static_cast<int16_t>(++n * 7 - 300); }
    void operator()(const char*, uint8_t& v) { v = static_cast<uint8_t>(++n + 200); }
    void Text(const char*, std::string& s, size_t capacity) {
        ++n;
        // One string filled to the capacity, the others short.
        s = n % 2 ? std::string(capacity, static_cast<char>('A' + n % 26))
                  : "text " + std::to_string(n);
    }
};

// Records every field as "name=value", and the byte offset it starts at.
struct Collector {
    std::vector<std::string> values;
    std::map<std::string, size_t> offsets;
    size_t at = 0;
    template <class T>
    void operator()(const char* name, T& v) {
        std::ostringstream s;
        s << name << "=" << +v;
        values.push_back(s.str());
        offsets[name] = at;
        at += sizeof(T);
    }
    void Text(const char* name, std::string& s, size_t capacity) {
        values.push_back(std::string(name) + "=" + s);
        offsets[name] = at;
        at += capacity + 1;
    }
};

template <class F>
void VisitFields(CommandRecord& record, F& visitor) {
    std::visit(
        [&](auto& r) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(r)>, UnknownRecord>)
                r.Fields(visitor);
        },
        record);
}

template <class... Ts>
std::vector<CommandRecord> OneOfEach(const std::variant<UnknownRecord, Ts...>*) {
    return {CommandRecord(Ts())...};
}

std::vector<CommandRecord> AllCommands() {
    return OneOfEach(static_cast<const CommandRecord*>(nullptr));
}

TEST(CommandTable, HoldsEveryCodeWithItsPayloadSize) {
    const std::map<int, int> expected = {
        {1, 82},   {2, 40},     {3, 24},    {4, 4},     {5, 32},     {6, 8},     {7, 1},
        {8, 48},   {10, 48},    {11, 53},   {12, 16},   {13, 21},    {14, 8},    {15, 32},
        {16, 32},  {17, 32},    {18, 40},   {19, 1},    {20, 50},    {21, 105},  {22, 77},
        {23, 4},   {24, 98},    {25, 46},   {26, 38},   {27, 38},    {28, 290},  {101, 33},
        {102, 86}, {103, 38},   {104, 51},  {105, 54},  {201, 290},  {202, 66},  {203, 65},
        {204, 50}, {205, 37},   {206, 33},  {207, 33},  {208, 279},  {209, 25},  {210, 9},
        {211, 8},  {1020, 146}, {1021, 87}, {1023, 60}, {1024, 278}, {1025, 49}, {1026, 25}};
    std::map<int, int> actual;
    for (const CommandInfo& row : CommandTable()) actual[row.code] = row.size;
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(FindCommand(9), nullptr);
    EXPECT_EQ(FindCommand(1022), nullptr);
    EXPECT_EQ(FindCommand(301), nullptr);
}

TEST(CommandTable, NamesWhatFollowsACommand) {
    const std::map<int, Follower> followers = {
        {13, Follower::PointList},       {14, Follower::PointList},
        {209, Follower::PointList},      {1026, Follower::PointList},
        {207, Follower::TwoPointLists},  {210, Follower::SegmentList},
        {26, Follower::TextSubBlock},    {1023, Follower::TextSubBlock},
        {1021, Follower::TextRecord},    {103, Follower::PictureSubBlock},
        {206, Follower::PictureSubBlock}};
    for (const CommandInfo& row : CommandTable()) {
        auto it = followers.find(row.code);
        EXPECT_EQ(row.follower, it == followers.end() ? Follower::None : it->second)
            << "code " << row.code;
    }
}

TEST(CommandCodec, EveryCodeRoundTripsFieldByFieldAtItsExactSize) {
    for (CommandRecord record : AllCommands()) {
        int16_t code = CodeOf(record);
        SCOPED_TRACE("code " + std::to_string(code));
        Filler filler;
        VisitFields(record, filler);
        std::vector<uint8_t> bytes = Encode(record);
        ASSERT_EQ(bytes.size(), FindCommand(code)->size);

        Collector layout;
        VisitFields(record, layout);
        EXPECT_EQ(layout.at, bytes.size()) << "fields do not add up to the payload size";

        ByteReader in(bytes);
        CommandRecord decoded = DecodeCommand(code, in);
        EXPECT_EQ(in.remaining(), 0u);
        EXPECT_EQ(CodeOf(decoded), code);
        Collector back;
        VisitFields(decoded, back);
        EXPECT_EQ(back.values, layout.values);
        EXPECT_EQ(Encode(decoded), bytes);
    }
}

TEST(CommandCodec, FieldsSitAtTheirDocumentedOffsets) {
    struct Row {
        int code;
        const char* field;
        size_t offset;
    };
    const Row rows[] = {
        {1, "CenteredLabels", 64}, {1, "TickY", 74},           {10, "x2", 24},
        {10, "unused40", 40},      {11, "pattern", 32},        {11, "outline", 52},
        {13, "outline", 20},       {20, "symbol", 24},         {20, "xScale", 26},
        {20, "extra42", 42},       {21, "angle", 40},          {21, "text", 44},
        {24, "sizeMode", 36},      {24, "text", 37},           {25, "size", 41},
        {25, "style", 45},         {26, "narrowMargin", 36},   {27, "color", 33},
        {27, "extra37", 37},       {28, "border", 288},        {102, "text", 24},
        {102, "region", 85},       {103, "isBitmap", 36},      {104, "size", 26},
        {104, "region", 50},       {105, "region", 53},        {201, "text", 34},
        {202, "lineWidth", 52},    {202, "region", 65},        {204, "color", 46},
        {205, "region", 36},       {207, "lineWidth1", 5},     {207, "fillStyle1", 13},
        {207, "lineWidth2", 19},   {207, "overlapColor", 28},  {207, "overlapStyle", 32},
        {208, "align", 18},        {208, "raise", 22},         {208, "text", 23},
        {209, "color", 21},        {210, "style", 8},          {1020, "region", 145},
        {1021, "layoutFlags", 33}, {1021, "fillColor", 39},    {1021, "TextLength", 43},
        {1021, "fontSize", 51},    {1021, "marginBottom", 79}, {1023, "layoutFlags", 40},
        {1023, "lineInset", 52},   {1024, "align", 17},        {1024, "keepInside", 277},
        {1025, "y1", 8},           {1025, "x1", 16},           {1025, "fillX", 40},
        {1025, "fromLeft", 48},    {1026, "rampX2", 16},       {1026, "fromLeft", 24},
    };
    std::map<int, Collector> layouts;
    for (CommandRecord record : AllCommands()) VisitFields(record, layouts[CodeOf(record)]);
    for (const Row& row : rows) {
        const auto& offsets = layouts.at(row.code).offsets;
        auto it = offsets.find(row.field);
        ASSERT_NE(it, offsets.end()) << row.code << " has no field " << row.field;
        EXPECT_EQ(it->second, row.offset) << "code " << row.code << " field " << row.field;
    }
}

TEST(CommandCodec, EncodesKnownByteStrings) {
    SetColorRecord color;
    color.color = 0x00FF8040;
    EXPECT_EQ(Encode(color), (std::vector<uint8_t>{0x40, 0x80, 0xFF, 0x00}));

    SetLineStyleRecord style;
    style.style = 3;
    EXPECT_EQ(Encode(style), (std::vector<uint8_t>{3}));

    DrawVerticalRuleRecord rule;
    rule.x = 1.0;
    EXPECT_EQ(Encode(rule), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    SetFontRecord font;
    font.fontName = "Arial";
    font.size = 10;
    font.style = 1;
    std::vector<uint8_t> expected = {5, 'A', 'r', 'i', 'a', 'l'};
    expected.resize(41, 0);
    expected.insert(expected.end(), {10, 0, 0, 0, 1});
    EXPECT_EQ(Encode(font), expected);

    GradientFillBoxRecord ramp;
    ramp.startColor = 0x0000FF;
    ramp.endColor = 0xFF0000;
    ramp.y1 = -2.0;  // y comes before x in this command
    ramp.fromLeft = 1;
    std::vector<uint8_t> bytes = Encode(ramp);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16),
              (std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0}));
    EXPECT_EQ(bytes.back(), 1);
}

TEST(CommandCodec, ShortStringsAreReadByTheirCountByte) {
    DrawNoteRecord note;
    note.text = "abc";
    std::vector<uint8_t> bytes = Encode(note);
    bytes[16 + 4] = 'Z';  // a character beyond the count
    ByteReader in(bytes);
    EXPECT_EQ(std::get<DrawNoteRecord>(DecodeCommand(22, in)).text, "abc");

    bytes[16] = 200;  // a count above the capacity is held to it
    ByteReader again(bytes);
    EXPECT_EQ(std::get<DrawNoteRecord>(DecodeCommand(22, again)).text.size(), 60u);
}

TEST(CommandCodec, DecodingACodeOutsideTheTableIsRefused) {
    std::vector<uint8_t> bytes(8);
    ByteReader in(bytes);
    EXPECT_THROW(DecodeCommand(1022, in), std::invalid_argument);
}

}  // namespace
}  // namespace cindral
