#include "platform/row_bands.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

int row_band_threads = 0;

namespace {

// The pool: workers wait for a new generation of work, each takes the band
// of its own index, and the last one to finish wakes the caller.
struct Band_Pool {
    std::mutex lock;
    std::condition_variable work_ready;
    std::condition_variable work_done;
    std::vector<std::thread> workers;
    const Row_Band_Work* work = nullptr;
    int rows = 0;
    int bands = 0;
    unsigned generation = 0;
    int unfinished = 0;

    // Band `index` of `bands` over the rows.
    void Band(int index, int* begin, int* end) const {
        *begin = static_cast<int>(static_cast<long>(rows) * index / bands);
        *end = static_cast<int>(static_cast<long>(rows) * (index + 1) / bands);
    }

    void Worker(int index) {
        unsigned seen = 0;
        for (;;) {
            std::unique_lock<std::mutex> hold(lock);
            work_ready.wait(hold, [&] { return generation != seen; });
            seen = generation;
            if (index >= bands) continue;  // this round needs fewer threads
            int begin = 0, end = 0;
            Band(index, &begin, &end);
            const Row_Band_Work* job = work;
            hold.unlock();
            if (begin < end) (*job)(begin, end);
            hold.lock();
            if (--unfinished == 0) work_done.notify_one();
        }
    }
};

Band_Pool& Pool() {
    // Never destroyed: its threads wait for work until the process ends.
    static Band_Pool* pool = new Band_Pool;
    return *pool;
}

int Threads_To_Use() {
    if (row_band_threads > 0) return row_band_threads;
    // Asking the system reads a file each time: once is enough.
    static const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return cores;
}

}  // namespace

void Run_Row_Bands(int rows, long pixels_per_row, Row_Band_Work work) {
    if (rows <= 0) return;
    int threads = std::min(Threads_To_Use(), rows);
    // A thread count set by hand is obeyed whatever the size, so that the
    // banding itself can be checked on small pictures.
    if (row_band_threads == 0 && static_cast<long>(rows) * pixels_per_row <= ROW_BANDS_MAX_SINGLE_PIXELS) threads = 1;
    if (threads <= 1) {
        work(0, rows);
        return;
    }
    Band_Pool& pool = Pool();
    std::unique_lock<std::mutex> hold(pool.lock);
    while (static_cast<int>(pool.workers.size()) < threads - 1) {
        const int index = static_cast<int>(pool.workers.size()) + 1;
        pool.workers.emplace_back([&pool, index] { pool.Worker(index); });
    }
    pool.work = &work;
    pool.rows = rows;
    pool.bands = threads;
    pool.unfinished = threads - 1;
    ++pool.generation;
    pool.work_ready.notify_all();
    int begin = 0, end = 0;
    pool.Band(0, &begin, &end);
    hold.unlock();
    work(begin, end);
    hold.lock();
    pool.work_done.wait(hold, [&] { return pool.unfinished == 0; });
    pool.work = nullptr;
}
