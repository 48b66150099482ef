// A 24-bit 6000 × 4000 BMP through TZVBmp, against reading the same file into
// memory (the least any reader must do): once with QFile::readAll, once the
// way the reader reads it. Prints the ratios at the end. The file is written to a temporary folder at start and stays in the
// page cache, so both sides measure memory work, not the disk.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>

#include "decode/FileBytes.h"
#include "decode/uImageReaders.h"

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

QString g_path;

void Put32(QByteArray& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char(v >> (8 * i)));
}

// A photograph-like gradient with some noise, bottom-up rows, 40-byte header.
bool WriteBmp(const QString& path)
{
    const int stride = (Width * 3 + 3) / 4 * 4;
    QByteArray file("BM");
    Put32(file, uint32_t(54 + stride * Height));
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, Width);
    Put32(file, Height);
    file.append(char(1)).append(char(0)).append(char(24)).append(char(0));
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
    QByteArray pixels(qsizetype(stride) * Height, '\0');
    uint32_t noise = 12345;
    for (int y = 0; y < Height; ++y) {
        uchar* row = reinterpret_cast<uchar*>(pixels.data()) + qsizetype(y) * stride;
        for (int x = 0; x < Width; ++x) {
            noise = noise * 1103515245u + 12345u;
            row[3 * x] = uchar(x / 24 + (noise >> 28));
            row[3 * x + 1] = uchar(y / 16 + (noise >> 29));
            row[3 * x + 2] = uchar((x + y) / 40);
        }
    }
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size()
           && out.write(pixels) == pixels.size();
}

void BM_ReadFileIntoMemory(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(g_path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open the file");
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadFileIntoMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same read as TZVBmp does it (into a buffer backed by huge pages), so
// the decode's own share shows apart from the cost of faulting in memory.
void BM_ReadFileBytes(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(g_path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open the file");
        QByteArray bytes = ReadFileBytes(file, int64_t(1) << 31);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TZVBmp24Bit6000x4000(benchmark::State& state)
{
    for (auto _ : state) {
        TBufImage slot;
        {
            TZVBmp reader(&slot, g_path);
            reader.Read();
        }
        if (slot.Bitmap.width() != Width)
            state.SkipWithError("the reader gave no picture");
        benchmark::DoNotOptimize(slot.Bitmap.constBits());
    }
}
BENCHMARK(BM_TZVBmp24Bit6000x4000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Shows the usual table and keeps each benchmark's mean real time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "mean")
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
};

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    g_path = dir.filePath("photo24.bmp");
    if (!WriteBmp(g_path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(g_path));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double read = reporter.times["BM_ReadFileIntoMemory"];
    const double decode = reporter.times["BM_TZVBmp24Bit6000x4000"];
    const double readBytes = reporter.times["BM_ReadFileBytes"];
    if (read > 0 && decode > 0)
        std::printf("TZVBmp / QFile::readAll of the file: %.2f\n", decode / read);
    if (readBytes > 0 && decode > 0)
        std::printf("TZVBmp / ReadFileBytes of the file: %.2f\n", decode / readBytes);
    benchmark::Shutdown();
    return 0;
}
