// Whole pages of the bundled sample against committed reference PNGs. The references are
// rewritten only on purpose: CINDRAL_UPDATE_GOLDEN=1 while running this test.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <string>

#include "render/document/log_document.h"
#include "temp_dir.h"

namespace cindral {
namespace {

// A channel that differs by more than this counts the pixel as changed (font hinting and
// rounding may move an edge by a shade).
constexpr int kChannelTolerance = 48;
// Share of changed pixels a page may have and still match.
constexpr double kChangedShare = 0.002;

struct GoldenPage {
    const char* name;
    int page;  // from 0
    int pixels_per_inch;
};

void PrintTo(const GoldenPage& g, std::ostream* os) {
    *os << g.name;
}

class SamplePage : public ::testing::TestWithParam<GoldenPage> {};

bool Differs(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) > kChannelTolerance ||
           std::abs(qGreen(a) - qGreen(b)) > kChannelTolerance ||
           std::abs(qBlue(a) - qBlue(b)) > kChannelTolerance;
}

TEST_P(SamplePage, MatchesItsReferencePicture) {
    const GoldenPage& g = GetParam();
    const std::string bin = testing::BinDir();
    LogDocumentOptions options;
    options.files.pattern_file = bin + "/QuenUtil.Pat";
    options.files.symbol_file = bin + "/QuenUtil.Sym";
    LogDocument document(bin + "/samples/sample.gdx", options, g.pixels_per_inch);
    const QImage page = document.RenderPage(g.page).convertToFormat(QImage::Format_RGB32);

    const std::string reference_file =
        testing::SourceDir() + "/tests/render/golden/" + g.name + ".png";
    const char* update = std::getenv("CINDRAL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        ASSERT_TRUE(page.save(QString::fromStdString(reference_file), "PNG"));
        GTEST_SKIP() << "rewrote " << reference_file;
    }
    const QImage reference =
        QImage(QString::fromStdString(reference_file)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull()) << "no reference " << reference_file;
    ASSERT_EQ(page.size(), reference.size());

    long changed = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (Differs(page.pixel(x, y), reference.pixel(x, y))) ++changed;
    const double share = double(changed) / (double(page.width()) * page.height());
    if (share > kChangedShare) {
        const std::string actual = ::testing::TempDir() + g.name + "-actual.png";
        page.save(QString::fromStdString(actual), "PNG");
        ADD_FAILURE() << changed << " pixels differ from " << reference_file
                      << "; this run's picture: " << actual;
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, SamplePage,
                         ::testing::Values(GoldenPage{"sample_page1_48dpi", 0, 48},
                                           GoldenPage{"sample_page2_48dpi", 1, 48},
                                           GoldenPage{"sample_page4_30dpi", 3, 30}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cindral
