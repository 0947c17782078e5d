#include "shell/parallel_work.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kItemsPerThread = 256;  // below this, starting a thread costs more than it saves
constexpr unsigned kMostThreads = 8;

}  // namespace

void RunInParallel(std::size_t count, ParallelWork work, void* context) {
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
    const std::size_t parts = std::min<std::size_t>(cores, (count + kItemsPerThread - 1) / kItemsPerThread);
    if (parts <= 1) {
        if (count > 0) work(0, count, context);
        return;
    }
    const std::size_t size = (count + parts - 1) / parts;
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (std::size_t begin = size; begin < count; begin += size) {
        const std::size_t end = std::min(count, begin + size);
        try {
            threads.emplace_back(work, begin, end, context);
        } catch (const std::system_error&) {
            work(begin, end, context);
        }
    }
    work(0, size, context);
    for (std::thread& thread : threads) thread.join();
}
