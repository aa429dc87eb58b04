#pragma once
// Finds an installed font family for a face name a log asks for. Logs name Windows fonts;
// those map to the metric-compatible Liberation families so text keeps its width. A face
// that is not installed falls back to a default family, and that is reported once per face.

#include <QFont>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "render/canvas/gdi_types.h"

namespace cindral {

class FontResolver {
  public:
    using Reporter = std::function<void(const std::string& message)>;

    // The process-wide resolver (fontconfig is process-wide too).
    static FontResolver& Instance();

    // The installed family that draws `face`.
    std::string Resolve(const std::string& face);
    // Where fallback notes go (stderr until set); returns the previous reporter.
    Reporter SetReporter(Reporter reporter);
    // Forgets which fallbacks were already reported (for tests).
    void ResetReports();

    static constexpr const char* kFallbackFamily = "Liberation Sans";

  private:
    FontResolver();
    std::mutex mutex_;
    std::map<std::string, std::string> cache_;
    std::set<std::string> reported_;
    Reporter reporter_;
};

// The Windows face names that have a metric-compatible stand-in, or "" when `face` has none.
std::string MetricCompatibleFamily(const std::string& face);

// The cell height, in pixels, a font of height 0 gets (the default size).
constexpr int kDefaultFontCellHeight = 16;

// A QFont for pixel drawing: family resolved, no antialiasing, weight, style and the GDI
// height rule applied (negative = em height, positive = cell height, 0 = default).
QFont ToQFont(const Font& font);

}  // namespace cindral
