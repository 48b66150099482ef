// Reduction of a 3000 × 2000 RGB32 picture to 1620 × 1080 (the fit into a
// 1920 × 1080 screen): our quality filter against QImage::scaled with
// Qt::SmoothTransformation on the same picture in the same run, our speed
// filter, and a plain memcpy of the source picture (the memory-bandwidth
// floor). Prints the ratios at the end.
//
// A QGuiApplication (offscreen) is created first so Qt's smooth scaling gets
// its thread pool, as it has inside the viewer.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "display/uImageUtils.h"

namespace {

constexpr int Width = 3000;
constexpr int Height = 2000;
constexpr int TargetWidth = 1620;
constexpr int TargetHeight = 1080;

QImage g_picture;

// Smooth gradients with a little noise, like a photograph.
QImage PhotoLikePicture()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    uint32_t noise = 12345;
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const uint32_t r = uint32_t((x + y) / 20 + (noise >> 28)) & 255;
            const uint32_t g = uint32_t(y / 8 + (noise >> 29)) & 255;
            const uint32_t b = uint32_t(x / 12 + (noise >> 27)) & 255;
            row[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return image;
}

void BM_MemcpySource(benchmark::State& state)
{
    const size_t bytes = size_t(g_picture.sizeInBytes());
    std::vector<unsigned char> copy(bytes, 1);
    for (auto _ : state) {
        std::memcpy(copy.data(), g_picture.constBits(), bytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpySource)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_QtSmooth(benchmark::State& state)
{
    for (auto _ : state) {
        QImage out = g_picture.scaled(TargetWidth, TargetHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_QtSmooth)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_OursQuality(benchmark::State& state)
{
    for (auto _ : state) {
        QImage out = StretchBitmap(g_picture, TargetWidth, TargetHeight, HALFTONE);
        if (out.isNull())
            state.SkipWithError("no picture");
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_OursQuality)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_OursSpeed(benchmark::State& state)
{
    for (auto _ : state) {
        QImage out = StretchBitmap(g_picture, TargetWidth, TargetHeight, COLORONCOLOR);
        if (out.isNull())
            state.SkipWithError("no picture");
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_OursSpeed)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_QtFast(benchmark::State& state)
{
    for (auto _ : state) {
        QImage out = g_picture.scaled(TargetWidth, TargetHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_QtFast)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Largest channel difference from the exact area average (in double).
int WorstFromExactMean(const QImage& source, const QImage& out)
{
    const double fx = double(source.width()) / out.width();
    const double fy = double(source.height()) / out.height();
    int worst = 0;
    for (int i = 0; i < out.height(); ++i) {
        const double y0 = i * fy, y1 = (i + 1) * fy;
        for (int j = 0; j < out.width(); ++j) {
            const double x0 = j * fx, x1 = (j + 1) * fx;
            double sum[4] = {0, 0, 0, 0};
            for (int y = int(y0); y < y1 && y < source.height(); ++y) {
                const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
                const auto* row = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
                for (int x = int(x0); x < x1 && x < source.width(); ++x) {
                    const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, double(x)));
                    for (int c = 0; c < 4; ++c)
                        sum[c] += w * ((row[x] >> (8 * c)) & 255);
                }
            }
            const uint32_t got = reinterpret_cast<const uint32_t*>(out.constScanLine(i))[j];
            for (int c = 0; c < 4; ++c) {
                const int exact = int(std::floor(sum[c] / (fx * fy) + 0.5));
                worst = std::max(worst, std::abs(int((got >> (8 * c)) & 255) - exact));
            }
        }
    }
    return worst;
}

// Shows the usual table and keeps each benchmark's mean real time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;     // wall clock
    std::map<std::string, double> cpuTimes;  // all threads of the process
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
                cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int appArgc = 1;
    QGuiApplication app(appArgc, argv);
    g_picture = PhotoLikePicture();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Wall clock is what the user waits for; the process's CPU time (all
    // threads, Qt's pool included) is steadier when other work shares the
    // machine.
    for (const auto* clock : {&reporter.times, &reporter.cpuTimes}) {
        auto t = [&](const char* name) { auto it = clock->find(name); return it == clock->end() ? 0.0 : it->second; };
        const double memcpyTime = t("BM_MemcpySource");
        const double qt = t("BM_QtSmooth");
        const double quality = t("BM_OursQuality");
        const double speed = t("BM_OursSpeed");
        const double qtFast = t("BM_QtFast");
        std::printf("%s:\n", clock == &reporter.times ? "wall clock" : "process CPU time");
        if (qt > 0 && quality > 0)
            std::printf("  quality mode / Qt smooth: %.2f (target at most 0.67)\n", quality / qt);
        if (memcpyTime > 0 && quality > 0)
            std::printf("  quality mode / memcpy of the source: %.2f\n", quality / memcpyTime);
        if (memcpyTime > 0 && speed > 0)
            std::printf("  speed mode / memcpy of the source: %.2f\n", speed / memcpyTime);
        if (qtFast > 0 && speed > 0)
            std::printf("  speed mode / Qt fast: %.2f\n", speed / qtFast);
    }
    const QImage ours = StretchBitmap(g_picture, TargetWidth, TargetHeight, HALFTONE);
    const QImage qt = g_picture.scaled(TargetWidth, TargetHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    std::printf("largest channel difference from the exact area average: ours %d, Qt smooth %d\n",
                WorstFromExactMean(g_picture, ours), WorstFromExactMean(g_picture, qt));
    benchmark::Shutdown();
    return 0;
}
