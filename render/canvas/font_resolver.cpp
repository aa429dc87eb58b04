#include "render/canvas/font_resolver.h"

#include <fontconfig/fontconfig.h>

#include <QFontMetricsF>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <iostream>

namespace cindral {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Whether fontconfig has a font of exactly this family (not merely a substitute).
bool FamilyInstalled(const std::string& family) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* found = FcFontList(nullptr, pattern, fields);
    const bool installed = found != nullptr && found->nfont > 0;
    if (found) FcFontSetDestroy(found);
    FcObjectSetDestroy(fields);
    FcPatternDestroy(pattern);
    return installed;
}

// The cell height GDI gives a font when LOGFONT asks for height 0.
// Larger glyphs than this are drawn at this size: rasterising a glyph bigger than any
// page costs seconds and shows nothing more.
constexpr int64_t kMaxPixelSize = 8192;

}  // namespace

std::string MetricCompatibleFamily(const std::string& face) {
    static const std::map<std::string, std::string> kStandIns = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"arial narrow", "Liberation Sans Narrow"},
        {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"ms serif", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
    };
    const auto it = kStandIns.find(Lower(face));
    return it == kStandIns.end() ? std::string() : it->second;
}

FontResolver::FontResolver() {
    reporter_ = [](const std::string& message) { std::cerr << message << '\n'; };
}

FontResolver& FontResolver::Instance() {
    static FontResolver resolver;
    return resolver;
}

FontResolver::Reporter FontResolver::SetReporter(Reporter reporter) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::swap(reporter_, reporter);
    return reporter;
}

void FontResolver::ResetReports() {
    std::lock_guard<std::mutex> lock(mutex_);
    reported_.clear();
    cache_.clear();
}

std::string FontResolver::Resolve(const std::string& face) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string key = Lower(face);
    const auto cached = cache_.find(key);
    if (cached != cache_.end()) return cached->second;

    std::string family;
    const std::string stand_in = MetricCompatibleFamily(face);
    if (!stand_in.empty() && FamilyInstalled(stand_in)) {
        family = stand_in;
    } else if (!face.empty() && FamilyInstalled(face)) {
        family = face;
    } else {
        family = kFallbackFamily;
        if (reported_.insert(key).second && reporter_) {
            reporter_("Font \"" + face + "\" is not installed; drawing it with \"" + family +
                      "\".");
        }
    }
    cache_[key] = family;
    return family;
}

QFont ToQFont(const Font& font) {
    QFont q(QString::fromStdString(FontResolver::Instance().Resolve(font.face)));
    q.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    const int weight = std::clamp(font.weight == 0 ? 400 : font.weight, 100, 900);
    // Full hinting of unsmoothed glyphs snaps the stems of small bold text to one pixel, so
    // it showed regular on screen while paper showed it bold; bold goes unhinted.
    q.setHintingPreference(weight >= 600 ? QFont::PreferNoHinting : QFont::PreferFullHinting);
    q.setWeight(static_cast<QFont::Weight>(weight));
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strike_out);
    q.setKerning(false);

    int64_t cell = font.height > 0 ? std::min<int64_t>(font.height, kMaxPixelSize) : 0;
    if (font.height == 0) cell = kDefaultFontCellHeight;
    if (cell > 0) {
        // Cell height asked for: scale the em so ascent + descent comes out at `cell`.
        constexpr int kProbe = 1000;
        q.setPixelSize(kProbe);
        const QFontMetricsF probe(q);
        const double probe_cell = probe.ascent() + probe.descent();
        const int64_t em = probe_cell > 0 ? std::llround(cell * kProbe / probe_cell) : cell;
        q.setPixelSize(static_cast<int>(std::clamp<int64_t>(em, 1, kMaxPixelSize)));
    } else {
        const int64_t em = -int64_t(font.height);
        q.setPixelSize(static_cast<int>(std::clamp<int64_t>(em, 1, kMaxPixelSize)));
    }
    if (font.width > 0) {
        // A width asks for a narrower or wider face: stretch relative to the average width.
        const QFontMetricsF m(q);
        const double average = m.averageCharWidth();
        if (average > 0) {
            q.setStretch(
                std::clamp(static_cast<int>(std::lround(100.0 * font.width / average)), 1, 4000));
        }
    }
    return q;
}

}  // namespace cindral
