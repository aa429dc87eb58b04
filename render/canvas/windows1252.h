#pragma once
// Logs store 8-bit text in Windows-1252.

#include <QString>
#include <string>

namespace cindral {

// Windows-1252 for the bytes 0x80..0x9F; the rest is Latin-1.
inline QString DecodeWindows1252(const std::string& text) {
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out;
    out.reserve(static_cast<int>(text.size()));
    for (unsigned char c : text) {
        out.append(c >= 0x80 && c < 0xA0 ? QChar(kHigh[c - 0x80]) : QChar(c));
    }
    return out;
}

}  // namespace cindral
