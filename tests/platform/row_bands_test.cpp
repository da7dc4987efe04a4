// The row bands hand every row of a picture to exactly one band, whoever
// takes it (the caller or a helper, late or not), round after round.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "platform/row_bands.h"

namespace {

class RowBandsPool : public ::testing::Test {
protected:
    void TearDown() override { row_band_threads = 0; }

    // Runs `rounds` rounds over `rows` rows; false when a row was drawn other
    // than once a round or a band came out of order or out of range.
    static bool Every_Row_Once(int rows, long pixels_per_row, int rounds) {
        auto counts = std::make_unique<std::atomic<int>[]>(static_cast<size_t>(rows));
        std::atomic<bool> bad{false};
        for (int round = 0; round < rounds; ++round) {
            Run_Row_Bands(rows, pixels_per_row, [&](int begin, int end) {
                if (begin < 0 || end > rows || begin >= end) bad = true;
                for (int y = begin; y < end && y < rows; ++y) counts[static_cast<size_t>(y)]++;
            });
        }
        for (int y = 0; y < rows; ++y) {
            if (counts[static_cast<size_t>(y)] != rounds) return false;
        }
        return !bad;
    }
};

TEST_F(RowBandsPool, EveryRowIsDrawnOnceARound) {
    struct Case {
        int threads, rows;
        long pixels_per_row;
    };
    // By hand (more threads than rows, odd counts, many bands) and
    // automatic (one a core; big pictures, where the pool may back off).
    const Case cases[] = {{2, 1, 1}, {3, 7, 5}, {8, 5, 5}, {2, 480, 640}, {4, 1081, 1920},
                          {0, 1080, 1920}, {0, 2160, 3840}, {0, 480, 640}};
    for (const Case& c : cases) {
        row_band_threads = c.threads;
        EXPECT_TRUE(Every_Row_Once(c.rows, c.pixels_per_row, 200)) << c.threads << " threads, " << c.rows << " rows";
    }
}

TEST_F(RowBandsPool, RowsDrawnFromAnotherThreadToo) {
    // The pool is not tied to the thread that first used it.
    row_band_threads = 3;
    bool other = false;
    std::thread caller([&] { other = Every_Row_Once(300, 700, 50); });
    caller.join();
    EXPECT_TRUE(other);
    EXPECT_TRUE(Every_Row_Once(300, 700, 50));
}

TEST(RowBandsPayoff, ThePoolPaysOnlyWhenTheRoundBeatsTheCallerAlone) {
    struct Case {
        double round_seconds, caller_seconds;
        int caller_bands, bands;
        bool helped;
    };
    const Case cases[] = {
        {1.0, 0.9, 4, 8, true},    // half the bands, done in half the time a thread alone takes
        {2.0, 0.9, 7, 8, false},   // a helper held one band long after the caller was done
        {1.0, 1.0, 8, 8, true},    // the helpers woke to find nothing left: they cost no waiting
        {1.1, 1.0, 4, 4, true},
        {1.0, 0.0, 0, 8, true},    // the caller drew nothing: the helpers did it all
        {0.5, 0.4, 3, 12, true},   // three bands of twelve in 0.4: alone would have been 1.6
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Row_Bands_Pool_Helped(c.round_seconds, c.caller_seconds, c.caller_bands, c.bands), c.helped)
            << c.round_seconds << " " << c.caller_seconds << " " << c.caller_bands << "/" << c.bands;
    }
}

}  // namespace
