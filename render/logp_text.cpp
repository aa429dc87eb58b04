// The text, symbol and picture primitives of the raster renderer. Not drawn yet: each one
// notes once in the execution log that it was skipped, so a page shows its lines and fills
// without them.

#include <set>
#include <string>

#include "render/logp_object.h"
#if __has_include("core/status.h")
#include "core/status.h"
#endif

namespace cindral {

namespace {

void NotBuiltYet(const char* primitive) {
    static std::set<std::string> reported;
    if (!reported.insert(primitive).second) return;
#if __has_include("core/status.h")
    LogLine(std::string(primitive) + ": not built yet");
#endif
}

}  // namespace

void logp_object::DrawText(double, double, uint8_t, uint8_t, int32_t, uint8_t, const std::string&) {
    NotBuiltYet("DrawText");
}

void logp_object::DrawFittedText(double, double, uint8_t, int32_t, const std::string&, uint8_t) {
    NotBuiltYet("DrawFittedText");
}

void logp_object::DrawPictureFile(double, double, double, double, const std::string&, uint8_t,
                                  uint8_t) {
    NotBuiltYet("DrawPictureFile");
}

void logp_object::DrawWrappedText(double, double, double, double, uint8_t, uint8_t,
                                  const std::string&) {
    NotBuiltYet("DrawWrappedText");
}

void logp_object::DrawFormattedText(const std::string&, int32_t, double, double, double, double,
                                    int32_t, double, double) {
    NotBuiltYet("DrawFormattedText");
}

void logp_object::DrawFontText(double, double, double, double, int32_t, uint8_t, const std::string&,
                               bool) {
    NotBuiltYet("DrawFontText");
}

void logp_object::SetFont(const std::string&, int32_t, uint8_t, int32_t) {
    NotBuiltYet("SetFont");
}

void logp_object::DrawTextBox(uint8_t, int32_t, double, double, double, double, uint8_t, uint8_t,
                              int32_t, int32_t, const std::string&, int32_t, double, double, double,
                              double) {
    NotBuiltYet("DrawTextBox");
}

void logp_object::DrawLabel(int32_t, int32_t, double, double, const std::string&, uint8_t) {
    NotBuiltYet("DrawLabel");
}

void logp_object::DrawPicture(int32_t, const std::vector<uint8_t>&, double, double, double, double,
                              uint8_t, uint8_t) {
    NotBuiltYet("DrawPicture");
}

void logp_object::DrawPictureStream(uint8_t, const std::vector<uint8_t>&, double, double, double,
                                    double) {
    NotBuiltYet("DrawPictureStream");
}

void logp_object::DrawSymbol(double, double, double, int16_t, double, double, double) {
    NotBuiltYet("DrawSymbol");
}

void logp_object::DrawScaledSymbol(double, double, double, int16_t, double, double, double,
                                   uint8_t) {
    NotBuiltYet("DrawScaledSymbol");
}

void logp_object::DrawRotatedText(double, double, double, double, uint8_t, uint8_t,
                                  const std::string&) {
    NotBuiltYet("DrawRotatedText");
}

}  // namespace cindral
