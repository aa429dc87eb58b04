#pragma once
// Explicit little-endian field codecs. Binary layouts (compiled logs, libraries, the settings
// record) are read and written field by field through these, never by casting structs.

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace cindral {

// Appends fields to a growing byte buffer.
class ByteWriter {
  public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void I16(int16_t v) { Unsigned(static_cast<uint16_t>(v), 2); }
    void U16(uint16_t v) { Unsigned(v, 2); }
    void I32(int32_t v) { Unsigned(static_cast<uint32_t>(v), 4); }
    void U32(uint32_t v) { Unsigned(v, 4); }
    void F64(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        Unsigned(bits, 8);
    }
    void Bool(bool v) { U8(v ? 1 : 0); }
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + n);
    }
    void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    // A short string of capacity n: count byte, characters, zero fill; n + 1 bytes in all.
    // Text longer than the capacity is cut.
    void ShortString(const std::string& s, size_t capacity) {
        size_t count = s.size() < capacity ? s.size() : capacity;
        U8(static_cast<uint8_t>(count));
        Bytes(s.data(), count);
        Zeros(capacity - count);
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }
    size_t size() const { return bytes_.size(); }

  private:
    void Unsigned(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> bytes_;
};

// Thrown when a field would be read beyond the end of its buffer.
class ByteRangeError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// Reads fields from a fixed byte range; every read is bounds-checked.
class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& v) : ByteReader(v.data(), v.size()) {}

    uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }
    int16_t I16() { return static_cast<int16_t>(Unsigned(2)); }
    uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
    int32_t I32() { return static_cast<int32_t>(Unsigned(4)); }
    uint32_t U32() { return static_cast<uint32_t>(Unsigned(4)); }
    double F64() {
        uint64_t bits = Unsigned(8);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    bool Bool() { return U8() != 0; }
    void Bytes(void* out, size_t n) {
        Need(n);
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }
    void Skip(size_t n) {
        Need(n);
        pos_ += n;
    }
    // A short string of capacity n: the count byte decides; characters past it are ignored.
    // A count above the capacity is held to the capacity.
    std::string ShortString(size_t capacity) {
        Need(capacity + 1);
        size_t count = data_[pos_];
        if (count > capacity) count = capacity;
        std::string s(reinterpret_cast<const char*>(data_ + pos_ + 1), count);
        pos_ += capacity + 1;
        return s;
    }

    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }
    void Seek(size_t pos) {
        if (pos > size_) throw ByteRangeError("seek beyond the end of a record");
        pos_ = pos;
    }

  private:
    void Need(size_t n) const {
        if (n > size_ - pos_) throw ByteRangeError("read beyond the end of a record");
    }
    uint64_t Unsigned(int n) {
        Need(static_cast<size_t>(n));
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(data_[pos_ + i]) << (8 * i);
        pos_ += static_cast<size_t>(n);
        return v;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace cindral
