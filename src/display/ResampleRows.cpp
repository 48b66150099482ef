#include "display/ResampleTypes.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace Resample {

namespace {

// Below this many pixel operations a second thread costs more than it saves.
constexpr int64_t kWorkPerThread = 1 << 18;
// The viewer shares the machine with the loader thread; more than a few
// threads give nothing for pictures of screen size.
constexpr unsigned kMaxThreads = 8;
// Bands per thread. The threads take bands in turn, so when one thread is
// kept off its core by other work the others finish its share.
constexpr int kBandsPerThread = 4;

} // namespace

void ForEachRowBand(int rows, int64_t work, const std::function<void(int, int)>& body)
{
    if (rows <= 0)
        return;
    unsigned threads = std::max(1u, std::min(std::thread::hardware_concurrency(), kMaxThreads));
    threads = unsigned(std::min<int64_t>(threads, std::max<int64_t>(1, work / kWorkPerThread)));
    threads = std::min<unsigned>(threads, unsigned(rows));
    if (threads <= 1) {
        body(0, rows);
        return;
    }

    const int bands = std::min(rows, int(threads) * kBandsPerThread);
    std::atomic<int> next{0};
    std::exception_ptr error;
    std::mutex errorLock;
    auto worker = [&] {
        for (int band = next++; band < bands; band = next++) {
            try {
                body(int(int64_t(rows) * band / bands), int(int64_t(rows) * (band + 1) / bands));
            } catch (...) {
                const std::lock_guard<std::mutex> lock(errorLock);
                if (!error)
                    error = std::current_exception();
                next = bands;  // no further bands
            }
        }
    };

    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    try {
        for (unsigned k = 1; k < threads; ++k)
            helpers.emplace_back(worker);
    } catch (...) {
        // A thread could not be started: the ones running and this one take
        // all the bands.
    }
    worker();
    for (std::thread& t : helpers)
        t.join();
    if (error)
        std::rethrow_exception(error);
}

} // namespace Resample
