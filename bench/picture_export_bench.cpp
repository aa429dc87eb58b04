// What getting pictures out costs: encoding a letter page at 96 and 300 pixels per inch as
// JPEG and BMP, and one magnifier paint's resampling (150 x 150 to 300 x 300 at 2X, 600 x 600
// to 300 x 300 at 0.5X). A magnifier paint should stay well under a frame (16 ms) so dragging
// it stays smooth.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "render/export/picture_writers.h"
#include "render/pictures/mitchell_resample.h"

namespace {

// A page-like picture: white with coloured bands and fine lines.
QImage Page(int pixels_per_inch) {
    QImage page(int(8.5 * pixels_per_inch), 11 * pixels_per_inch, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    for (int x = 0; x < page.width(); x += pixels_per_inch / 4) {
        painter.setPen(QColor::fromHsv((x * 7) % 360, 200, 200));
        painter.drawLine(x, 0, page.width() - x, page.height());
    }
    painter.fillRect(0, 0, page.width() / 5, page.height(), QColor(240, 220, 120));
    return page;
}

void BM_EncodeJpeg(benchmark::State& state) {
    const QImage page = Page(int(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) bytes = cindral::EncodeJpeg(page, 80, int(state.range(0))).size();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_EncodeJpeg)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_EncodeBmp(benchmark::State& state) {
    const QImage page = Page(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(cindral::EncodeBmp(page, int(state.range(0))));
}
BENCHMARK(BM_EncodeBmp)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_MagnifierResample(benchmark::State& state) {
    const int side = int(state.range(0));
    const QImage source = Page(96).copy(100, 100, side, side);
    for (auto _ : state)
        benchmark::DoNotOptimize(cindral::ResampleMitchell(source, QSize(300, 300)));
}
BENCHMARK(BM_MagnifierResample)->Arg(150)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
