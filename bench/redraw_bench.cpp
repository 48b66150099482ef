// A full redraw of a new image (display copy plus paint) against the
// reduction alone: the paint should add little. 3000 x 2000 into 1920 x 1080.

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <random>

#include "display/uImageUtils.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

namespace {

QImage Photo()
{
    QImage p(3000, 2000, QImage::Format_RGB32);
    std::mt19937 rng(7);
    for (int y = 0; y < p.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(p.scanLine(y));
        for (int x = 0; x < p.width(); ++x)
            row[x] = qRgb((x / 12 + int(rng() % 16)) & 255, (y / 8 + int(rng() % 16)) & 255, (x + y) / 20 & 255);
    }
    return p;
}

class TCanvas : public IViewCanvas {
public:
    QImage Canvas{1920, 1080, QImage::Format_RGB32};
    QImage& Picture() override { return Canvas; }
};

void FullRedrawOfANewImage(benchmark::State& state)
{
    const QImage photo = Photo();
    TOption options(QString(), QSize(1920, 1080));
    TCanvas canvas;
    TZorvinView view(&canvas);
    view.OnGetArea = [](TZorvinView*, TViewArea& a) {
        a = {0, 0, 1920, 1080, 1081, 1921};
    };
    view.Init(&options, TDecodeParams{}, [](int, quintptr, qintptr) {}, [](TBufImage*, const QString&, bool) {});
    auto slot = std::make_shared<TBufImage>();
    slot->Bitmap = photo;
    slot->Loaded = true;
    for (auto _ : state)
        view.AcceptImage(slot);
    if (view.ScaledWidth() != 1620)
        state.SkipWithError("unexpected fit");
}
BENCHMARK(FullRedrawOfANewImage)->Unit(benchmark::kMillisecond)->MinTime(2);

void ReductionAlone(benchmark::State& state)
{
    const QImage photo = Photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchBitmap(photo, 1620, 1080, HALFTONE));
}
BENCHMARK(ReductionAlone)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
