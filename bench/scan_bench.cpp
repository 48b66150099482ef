// Opening a big folder: scan plus sort by name of 20,000 image names (empty
// files are enough), against `ls -U | sort` on the same folder in the same run.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "imagelist/FolderScan.h"
#include "imagelist/TFileSort.h"

namespace {

const QString& Folder()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString path = dir.path() + "/big/";
        QDir().mkpath(path);
        for (int i = 0; i < 20000; ++i) {
            // Mixed case and digits, in no particular order on disk.
            QFile f(path + QString("Photo_%1_%2.jpg").arg((i * 7919) % 20000).arg(i % 7 ? "a" : "B"));
            f.open(QIODevice::WriteOnly);
        }
        return path;
    }();
    return folder;
}

void ScanAndSortByName(benchmark::State& state)
{
    const QString folder = Folder();
    for (auto _ : state) {
        // As the loader opens a folder sorted by name: no stat() of plain files.
        TFileList files = ScanImageFiles(folder, nullptr, TFileSort::NeedsTimes(TFileSort::ByName));
        TFileSort(TFileSort::ByName, true).Sort(files);
        benchmark::DoNotOptimize(files.data());
        if (files.size() != 20000)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(ScanAndSortByName)->Unit(benchmark::kMillisecond)->MinTime(3);

void ScanWithTimesAndSortBySize(benchmark::State& state)
{
    const QString folder = Folder();
    for (auto _ : state) {
        TFileList files = ScanImageFiles(folder, nullptr, true);
        TFileSort(TFileSort::BySize, true).Sort(files);
        benchmark::DoNotOptimize(files.data());
    }
}
BENCHMARK(ScanWithTimesAndSortBySize)->Unit(benchmark::kMillisecond)->MinTime(1);

void LsUnsortedPipedIntoSort(benchmark::State& state)
{
    const QByteArray command = "ls -U '" + QFile::encodeName(Folder()) + "' | sort > /dev/null";
    for (auto _ : state) {
        if (std::system(command.constData()) != 0)
            state.SkipWithError("ls | sort failed");
    }
}
BENCHMARK(LsUnsortedPipedIntoSort)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace

BENCHMARK_MAIN();
