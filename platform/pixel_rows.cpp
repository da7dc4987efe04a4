#include "platform/pixel_rows.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define PIXEL_ROWS_AVX2 1
#endif

static uint32_t load_32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Copy_Row_Keyed_32(uint8_t* out, const uint8_t* in, int count, bool mirror, uint32_t key, uint32_t mask) {
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: where a source pixel is the key the destination's
    // own pixel is written back.
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    const __m128i masks = _mm_set1_epi32(static_cast<int>(mask));
    for (; i + 4 <= count; i += 4) {
        __m128i source;
        if (mirror) {
            source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in - (i + 3) * 4));
            source = _mm_shuffle_epi32(source, _MM_SHUFFLE(0, 1, 2, 3));
        } else {
            source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
        }
        __m128i* target = reinterpret_cast<__m128i*>(out + i * 4);
        const __m128i kept = _mm_loadu_si128(target);
        const __m128i is_key = _mm_cmpeq_epi32(_mm_and_si128(source, masks), keys);
        _mm_storeu_si128(target, _mm_or_si128(_mm_and_si128(is_key, kept), _mm_andnot_si128(is_key, source)));
    }
#endif
    for (; i < count; ++i) {
        const uint8_t* p = mirror ? in - i * 4 : in + i * 4;
        if ((load_32(p) & mask) != key) std::memcpy(out + i * 4, p, 4);
    }
}

void Copy_Row_Mirrored_32(uint8_t* out, const uint8_t* in, int count) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in - (i + 3) * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), _mm_shuffle_epi32(source, _MM_SHUFFLE(0, 1, 2, 3)));
    }
#endif
    for (; i < count; ++i) std::memcpy(out + i * 4, in - i * 4, 4);
}

#if PIXEL_ROWS_AVX2
static bool Has_AVX2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
static bool vectors = Has_AVX2();

// Eight pixels a group: the group's sources loaded at once from its base and
// put in order by one permute.
__attribute__((target("avx2"))) static void Copy_Groups_AVX2(uint8_t* out, const uint8_t* source_row,
                                                               const int* columns, const int* base,
                                                               const int32_t* offsets, int groups) {
    for (int g = 0; g < groups; ++g, out += 32) {
        if (base[g] < 0) {
            for (int k = 0; k < 8; ++k) std::memcpy(out + k * 4, source_row + size_t(columns[g * 8 + k]) * 4, 4);
            continue;
        }
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source_row + size_t(base[g]) * 4));
        const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets + g * 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permutevar8x32_epi32(pixels, order));
    }
}
#else
static bool vectors = false;
#endif

bool Pixel_Rows_Use_Vectors() { return vectors; }

void Pixel_Rows_Set_Vectors(bool on) {
#if PIXEL_ROWS_AVX2
    vectors = on && Has_AVX2();
#else
    (void)on;
#endif
}

void Column_Map::Build(const int* columns, int count, int source_width) {
    columns_ = columns;
    count_ = count;
    vector_ = vectors;
    if (!vector_) return;
    const int groups = count / 8;
    group_base_.resize(size_t(groups));
    group_offsets_.resize(size_t(groups) * 8);
    for (int g = 0; g < groups; ++g) {
        const int* c = columns + g * 8;
        const int low = *std::min_element(c, c + 8), high = *std::max_element(c, c + 8);
        const bool fits = high - low < 8 && low >= 0 && low + 8 <= source_width;
        group_base_[size_t(g)] = fits ? low : -1;
        for (int k = 0; k < 8; ++k) group_offsets_[size_t(g) * 8 + size_t(k)] = c[k] - low;
    }
}

void Column_Map::Copy_Row(uint8_t* out, const uint8_t* source_row) const {
    int i = 0;
#if PIXEL_ROWS_AVX2
    if (vector_) {
        const int groups = static_cast<int>(group_base_.size());
        Copy_Groups_AVX2(out, source_row, columns_, group_base_.data(), group_offsets_.data(), groups);
        i = groups * 8;
    }
#endif
    for (; i < count_; ++i) std::memcpy(out + size_t(i) * 4, source_row + size_t(columns_[i]) * 4, 4);
}
