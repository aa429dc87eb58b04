#pragma once
// Interim: the status interface and the pattern/symbol library classes are being built
// elsewhere (core/status.h, core/pattern_object.h, core/symbol_object.h). Until their headers
// exist, the interpreter reports no status and reads library records through the minimal
// readers below. Each branch switches to the real header by itself once it is in the tree;
// this file is then deleted and the two includes go straight to the real headers.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/errors.h"
#if __has_include("core/status.h")
#include "core/status.h"
#else
namespace cindral {
inline void ShowStatus(const std::string&) {}
inline void ShowProgress(double) {}
inline bool CancelRequested() {
    return false;
}
}  // namespace cindral
#endif
#if __has_include("core/symbol_object.h")
#include "core/pattern_object.h"
#include "core/symbol_object.h"
#else
namespace cindral {
struct LibLine {
    int8_t x1, y1, x2, y2;
};
class symbol_object {
  public:
    explicit symbol_object(const std::string& f) : f_(std::fopen(f.c_str(), "rb")) {
        if (!f_) throw IoError("no symbols " + f, 2);
    }
    ~symbol_object() { std::fclose(f_); }
    void Load(int32_t n) {
        if (n < 0 || n > 325) return;
        std::fseek(f_, 0, SEEK_END);
        long size = std::ftell(f_);
        if (n >= size / 202)
            throw CindralError("Error 1037, Loading Symbol = " + std::to_string(n));
        std::fseek(f_, n * 202L, SEEK_SET);
        unsigned char b[202];
        if (std::fread(b, 1, 202, f_) != 202) throw IoError("read", 0);
        count_ = b[0] | b[1] << 8;
        if (count_ > 50) count_ = 50;
        for (int i = 0; i < 50; ++i)
            lines_[i] = {int8_t(b[2 + 4 * i]), int8_t(b[3 + 4 * i]), int8_t(b[4 + 4 * i]),
                         int8_t(b[5 + 4 * i])};
    }
    int StrokeCount() const { return count_; }
    const LibLine& Stroke(int i) const { return lines_[i]; }

  private:
    std::FILE* f_;
    int count_ = 0;
    LibLine lines_[50]{};
};
class pattern_object {
  public:
    explicit pattern_object(const std::string& f) : f_(std::fopen(f.c_str(), "rb")) {
        if (!f_) throw IoError("no patterns " + f, 2);
    }
    ~pattern_object() { std::fclose(f_); }
    void Load(int32_t n) {
        if (n < 0 || n > 250) return;
        std::fseek(f_, n * 206L, SEEK_SET);
        unsigned char b[206];
        if (std::fread(b, 1, 206, f_) != 206) throw IoError("read", 0);
        count_ = b[0] | b[1] << 8;
        if (count_ > 50) count_ = 50;
        w_ = b[2] | b[3] << 8;
        h_ = b[4] | b[5] << 8;
        for (int i = 0; i < 50; ++i)
            lines_[i] = {int8_t(b[6 + 4 * i]), int8_t(b[7 + 4 * i]), int8_t(b[8 + 4 * i]),
                         int8_t(b[9 + 4 * i])};
    }
    int SegmentCount() const { return count_; }
    int CellWidth() const { return w_; }
    int CellHeight() const { return h_; }
    const LibLine& Segment(int i) const { return lines_[i]; }

  private:
    std::FILE* f_;
    int count_ = 0, w_ = 0, h_ = 0;
    LibLine lines_[50]{};
};
}  // namespace cindral
#endif
