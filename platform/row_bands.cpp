#include "platform/row_bands.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

int row_band_threads = 0;

namespace {

using Clock = std::chrono::steady_clock;

// The pool: the caller opens a round, and it and every worker that wakes in
// time take bands off one counter until none are left. The caller then
// closes the round and waits only for the bands a worker has already begun:
// a worker that has not woken by then finds the round closed.
struct Band_Pool {
    std::mutex lock;
    std::condition_variable work_ready;
    std::condition_variable work_done;
    std::vector<std::thread> workers;
    const Row_Band_Work* work = nullptr;
    int rows = 0;
    int bands = 0;
    std::atomic<int> next_band{0};
    unsigned generation = 0;
    bool open = false;
    int inside = 0;  // workers taking bands of the open (or just closed) round

    // Band `index` of `bands` over the rows.
    void Band(int index, int* begin, int* end) const {
        *begin = static_cast<int>(static_cast<long>(rows) * index / bands);
        *end = static_cast<int>(static_cast<long>(rows) * (index + 1) / bands);
    }

    // Draws bands until none are left; how many it drew.
    int Take_Bands(const Row_Band_Work& job) {
        int taken = 0;
        for (;;) {
            const int index = next_band.fetch_add(1, std::memory_order_relaxed);
            if (index >= bands) return taken;
            int begin = 0, end = 0;
            Band(index, &begin, &end);
            if (begin < end) job(begin, end);
            ++taken;
        }
    }

    void Worker() {
        unsigned seen = 0;
        for (;;) {
            std::unique_lock<std::mutex> hold(lock);
            work_ready.wait(hold, [&] { return generation != seen; });
            seen = generation;
            if (!open) continue;  // woken after the caller had finished the round
            ++inside;
            const Row_Band_Work* job = work;
            hold.unlock();
            Take_Bands(*job);
            hold.lock();
            if (--inside == 0 && !open) work_done.notify_one();
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

// Whether the pool pays: after a round the pool made slower than the caller
// alone would have been (its helpers were busy elsewhere, or only woke to
// find the work gone), the next rounds stay on the caller's thread, longer
// each time it happens again, before the pool is tried once more.
struct Pool_Payoff {
    int rounds_alone = 0;  // rounds still to run on the caller alone
    int backoff = ROW_BANDS_FIRST_BACKOFF;

    bool Worth_Trying() {
        if (rounds_alone == 0) return true;
        --rounds_alone;
        return false;
    }

    void Record(bool helped) {
        if (helped) {
            backoff = ROW_BANDS_FIRST_BACKOFF;
            return;
        }
        rounds_alone = backoff;
        backoff = std::min(backoff * 2, ROW_BANDS_LONGEST_BACKOFF);
    }
};

Pool_Payoff payoff;

}  // namespace

bool Row_Bands_Pool_Helped(double round_seconds, double caller_seconds, int caller_bands, int bands) {
    // The caller drew nothing, or everything (then the helpers cost it no
    // more than waking them).
    if (caller_bands <= 0 || caller_bands >= bands) return true;
    // The caller's own pace stands for what one thread would have taken for
    // all the bands.
    return round_seconds < caller_seconds * bands / caller_bands;
}

void Row_Bands_Reset_Payoff() { payoff = Pool_Payoff{}; }

void Run_Row_Bands(int rows, long pixels_per_row, Row_Band_Work work) {
    if (rows <= 0) return;
    int threads = std::min(Threads_To_Use(), rows);
    // A thread count set by hand is obeyed whatever the size and the load,
    // so that the banding itself can be checked on small pictures.
    const bool automatic = row_band_threads == 0;
    if (automatic && static_cast<long>(rows) * pixels_per_row <= ROW_BANDS_MAX_SINGLE_PIXELS) threads = 1;
    if (threads > 1 && automatic && !payoff.Worth_Trying()) threads = 1;
    if (threads <= 1) {
        work(0, rows);
        return;
    }
    const Clock::time_point start = Clock::now();
    Band_Pool& pool = Pool();
    std::unique_lock<std::mutex> hold(pool.lock);
    while (static_cast<int>(pool.workers.size()) < threads - 1) {
        pool.workers.emplace_back([&pool] { pool.Worker(); });
    }
    pool.work = &work;
    pool.rows = rows;
    // Smaller bands than one a thread: what a late helper leaves is taken
    // by whoever is free, and the caller waits at most for one band in hand.
    pool.bands = std::min(rows, threads * ROW_BANDS_PER_THREAD);
    pool.next_band.store(0, std::memory_order_relaxed);
    pool.open = true;
    ++pool.generation;
    pool.work_ready.notify_all();
    hold.unlock();
    const int caller_bands = pool.Take_Bands(work);
    const Clock::time_point caller_done = Clock::now();
    hold.lock();
    pool.open = false;
    pool.work_done.wait(hold, [&] { return pool.inside == 0; });
    const int bands = pool.bands;
    pool.work = nullptr;
    hold.unlock();
    if (automatic) {
        const double round = std::chrono::duration<double>(Clock::now() - start).count();
        const double caller = std::chrono::duration<double>(caller_done - start).count();
        payoff.Record(Row_Bands_Pool_Helped(round, caller, caller_bands, bands));
    }
}
