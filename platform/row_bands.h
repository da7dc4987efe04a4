// Work over the rows of a big picture shared among the processor's cores.
//
// A small pool of threads, one per core besides the caller's, is started the
// first time it is needed and lives for the whole run. The rows are cut into
// a few bands per thread, which the caller and its helpers take in turn; a
// band no helper has begun when the caller runs out is the caller's, so a
// helper the system has put aside costs no waiting. On a busy machine, when
// the pool made a picture slower than the caller alone, the next pictures
// are drawn on the caller's thread for a while. Each band must touch only
// its own rows, so the picture comes out byte for byte as if one thread had
// drawn it.
#pragma once

#include <type_traits>
#include <utility>

// Pictures of this many pixels or fewer (the emulated 640 x 480 mode and
// smaller) are drawn on the caller's thread alone: waking the pool costs
// more than it saves.
constexpr long ROW_BANDS_MAX_SINGLE_PIXELS = 640L * 480L;

// Bands cut for each thread drawing.
constexpr int ROW_BANDS_PER_THREAD = 4;
// Pictures drawn on the caller's thread alone after the pool did not pay,
// the first time and at most (the count doubles each time in a row).
constexpr int ROW_BANDS_FIRST_BACKOFF = 16;
constexpr int ROW_BANDS_LONGEST_BACKOFF = 1024;

// Whether a round with helpers was quicker than the caller alone: it took
// round_seconds, of which the caller spent caller_seconds drawing
// caller_bands of the `bands`. Run_Row_Bands asks it after each round.
bool Row_Bands_Pool_Helped(double round_seconds, double caller_seconds, int caller_bands, int bands);
// Forgets how the pool has paid so far: the next big picture is offered to
// it. Tests call it to start from a known state.
void Row_Bands_Reset_Payoff();

// Threads to draw with, the caller's included: 0 (the default) means one per
// core; tests set 1 or more to compare banded pictures with whole ones.
extern int row_band_threads;

// The work of one band, work(begin, end): a reference to the caller's
// function object, which must outlive the call it is handed to. Nothing is
// copied or allocated, whatever the function object holds.
class Row_Band_Work {
public:
    template <typename Work, typename = std::enable_if_t<!std::is_same_v<std::decay_t<Work>, Row_Band_Work>>>
    Row_Band_Work(Work&& work)  // NOLINT: converts implicitly, as a function parameter would
        : object_(const_cast<void*>(static_cast<const void*>(&work))), call_([](void* object, int begin, int end) {
              (*static_cast<std::remove_reference_t<Work>*>(object))(begin, end);
          }) {}

    void operator()(int begin, int end) const { call_(object_, begin, end); }

private:
    void* object_;
    void (*call_)(void* object, int begin, int end);
};

// Runs work(begin, end) over [0, rows) in bands, on the pool when the picture
// (rows x pixels_per_row) is big enough, there is more than one thread to
// use and the pool has been paying, else as one band on the caller's thread.
// Not to be called from inside a band.
void Run_Row_Bands(int rows, long pixels_per_row, Row_Band_Work work);
