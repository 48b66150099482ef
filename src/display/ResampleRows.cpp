#include "display/ResampleTypes.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace Resample {

namespace {

// Below this many pixel operations a second thread costs more than it saves.
constexpr int64_t kWorkPerThread = 1 << 18;
// The viewer shares the machine with the loader thread; more than a few
// bands give nothing for pictures of screen size.
constexpr unsigned kMaxThreads = 8;

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

    std::vector<std::exception_ptr> errors(threads);
    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    auto band = [&](unsigned k) {
        const int first = int(int64_t(rows) * k / threads);
        const int end = int(int64_t(rows) * (k + 1) / threads);
        try {
            body(first, end);
        } catch (...) {
            errors[k] = std::current_exception();
        }
    };
    try {
        for (unsigned k = 1; k < threads; ++k)
            helpers.emplace_back(band, k);
    } catch (...) {
        // No thread could be started: the bands not handed out run here.
        for (unsigned k = unsigned(helpers.size()) + 1; k < threads; ++k)
            band(k);
    }
    band(0);
    for (std::thread& t : helpers)
        t.join();
    for (const std::exception_ptr& e : errors)
        if (e)
            std::rethrow_exception(e);
}

} // namespace Resample
