#include "base/random.h"

#include <cstdint>

namespace crt {

static uint32_t rand_state = 1;

int rand() {
    rand_state = rand_state * 214013u + 2531011u;
    return static_cast<int>((rand_state >> 16) & 0x7FFF);
}

void srand(unsigned seed) { rand_state = seed; }

}  // namespace crt
