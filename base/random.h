// The program's random generator.
//
// Every range in the saver (phases, object positions, palettes, preset picks)
// was tuned for the classic C library generator that yields 0..32767. The
// host C library's rand() yields numbers up to 2^31 - 1, which would change
// all of them, so the saver carries its own, under the names it always used,
// in a namespace of their own so they never meet the host's.
#pragma once

namespace crt {

constexpr int RAND_LIMIT = 0x7FFF;  // largest number rand() yields

// Next number in 0..32767: state = state * 214013 + 2531011, bits 16-30 of the state.
int rand();
// Seeds the generator (the tick count at start-up, or a fixed seed).
void srand(unsigned seed);

}  // namespace crt
