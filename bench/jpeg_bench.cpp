// The JPEG reader against libjpeg-turbo's own djpeg on the same file, in the
// same run: a 6000 x 4000 photographic JPEG decoded for a 1920 x 1080 screen
// (one half, 3000 x 2000). Our reader opens the file, copies it into memory,
// decodes straight into the picture's rows and closes the file; djpeg runs as
// `djpeg -scale 1/2 -outfile /dev/null FILE`, process start included.
// Target: ours at most 1.10 x djpeg (bench/jpeg_vs_djpeg.sh prints the ratio).
//
// The picture (ImageMagick plasma with noise, cjpeg -quality 90) is made once
// and kept beside the executable, or taken from $ZORVIN_BENCH_JPEG.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "decode/uImageReaders.h"

extern char** environ;

namespace {

QString PhotoPath;

bool RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

QString MakePhoto(const QString& folder)
{
    const QString jpeg = folder + "/photo-6000x4000.jpg";
    if (QFileInfo::exists(jpeg))
        return jpeg;
    const QString ppm = folder + "/photo-6000x4000.ppm";
    if (!RunTool("convert", {"-size", "6000x4000", "plasma:fractal", "-attenuate", "0.4",
                             "+noise", "Gaussian", ppm})
        || !RunTool("cjpeg", {"-quality", "90", "-outfile", jpeg, ppm}))
        return QString();
    QFile::remove(ppm);
    return jpeg;
}

void TZVJpegHalfScale(benchmark::State& state)
{
    for (auto _ : state) {
        TBufImage slot;
        {
            TZVJpeg reader(&slot, PhotoPath);
            reader.ScreenSize = QSize(1920, 1080);
            reader.Read();
        }
        if (slot.Bitmap.size() != QSize(3000, 2000)) {
            state.SkipWithError("the reader did not give 3000 x 2000");
            break;
        }
        benchmark::DoNotOptimize(slot.Bitmap.constBits());
    }
}

void DjpegHalfScale(benchmark::State& state)
{
    const QByteArray path = PhotoPath.toLocal8Bit();
    char* argv[] = {const_cast<char*>("djpeg"), const_cast<char*>("-scale"),
                    const_cast<char*>("1/2"), const_cast<char*>("-outfile"),
                    const_cast<char*>("/dev/null"), const_cast<char*>(path.constData()), nullptr};
    // The child's CPU time, from wait4, compares with our reader's CPU time
    // when other work shares the machine and wall-clock times scatter.
    double childCpuMs = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        rusage usage{};
        if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv, environ) != 0
            || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status)
            || WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
        childCpuMs += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                      + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    state.counters["child_cpu_ms"] = benchmark::Counter(childCpuMs, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(TZVJpegHalfScale)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DjpegHalfScale)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    PhotoPath = qEnvironmentVariable("ZORVIN_BENCH_JPEG");
    if (PhotoPath.isEmpty())
        PhotoPath = MakePhoto(QCoreApplication::applicationDirPath());
    if (PhotoPath.isEmpty()) {
        fprintf(stderr, "cannot make the 6000 x 4000 test photo (needs convert and cjpeg)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
