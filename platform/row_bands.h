// Work over the rows of a big picture shared among the processor's cores.
//
// A small pool of threads, one per core besides the caller's, is started the
// first time it is needed and lives for the whole run. The rows are cut into
// one band per thread; the caller draws the first band itself and returns
// when every band is done. Each band must touch only its own rows, so the
// picture comes out byte for byte as if one thread had drawn it.
#pragma once

#include <type_traits>
#include <utility>

// Pictures of this many pixels or fewer (the emulated 640 x 480 mode and
// smaller) are drawn on the caller's thread alone: waking the pool costs
// more than it saves.
constexpr long ROW_BANDS_MAX_SINGLE_PIXELS = 640L * 480L;

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
// (rows x pixels_per_row) is big enough and there is more than one thread to
// use, else as one band on the caller's thread.
void Run_Row_Bands(int rows, long pixels_per_row, Row_Band_Work work);
