#include "core/format/byte_codec.h"

#include <gtest/gtest.h>

#include <cmath>

namespace cindral {
namespace {

TEST(ByteWriter, WritesLittleEndianFieldsByteForByte) {
    ByteWriter w;
    w.I16(-2);
    w.U16(0x1234);
    w.I32(0x01020304);
    w.F64(1.0);
    w.U8(0xAB);
    const std::vector<uint8_t> expected = {0xFE, 0xFF, 0x34, 0x12, 0x04, 0x03, 0x02, 0x01, 0x00,
                                           0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0xAB};
    EXPECT_EQ(w.bytes(), expected);
}

TEST(ByteCodec, ShortStringsKeepTheirCapacityAndIgnoreCharactersPastTheCount) {
    ByteWriter w;
    w.ShortString("abc", 5);
    ASSERT_EQ(w.size(), 6u);
    std::vector<uint8_t> bytes = w.Take();
    EXPECT_EQ(bytes, (std::vector<uint8_t>{3, 'a', 'b', 'c', 0, 0}));
    bytes[4] = 'X';  // junk after the count is not part of the text
    ByteReader r(bytes);
    EXPECT_EQ(r.ShortString(5), "abc");
    EXPECT_EQ(r.remaining(), 0u);

    std::vector<uint8_t> lying = {9, 'a', 'b'};  // count above capacity 2
    ByteReader lr(lying);
    EXPECT_EQ(lr.ShortString(2), "ab");
}

TEST(ByteReader, RoundTripsEveryFieldAndRefusesToReadPastTheEnd) {
    ByteWriter w;
    w.I16(-32768);
    w.I32(-1);
    w.F64(-1e27);
    w.U8(7);
    ByteReader r(w.bytes());
    EXPECT_EQ(r.I16(), -32768);
    EXPECT_EQ(r.I32(), -1);
    EXPECT_EQ(r.F64(), -1e27);
    EXPECT_EQ(r.U8(), 7);
    EXPECT_THROW(r.U8(), ByteRangeError);
    ByteReader short_reader(w.bytes().data(), 3);
    short_reader.I16();
    EXPECT_THROW(short_reader.I16(), ByteRangeError);
    EXPECT_EQ(short_reader.position(), 2u);
}

}  // namespace
}  // namespace cindral
