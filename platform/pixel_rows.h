// Row kernels of the 32-bit copies: the pixels of one row moved several at a
// time where the processor can. Each gives exactly the bytes a copy pixel by
// pixel gives. The source and destination rows must not overlap.
#pragma once

#include <cstdint>
#include <vector>

// Copies `count` pixels, skipping those whose value under `mask` is `key`
// (the destination keeps its pixel there). Mirrored, the source runs
// backwards from `in`: out[i] takes in[-i].
void Copy_Row_Keyed_32(uint8_t* out, const uint8_t* in, int count, bool mirror, uint32_t key, uint32_t mask);

// out[i] takes in[-i], for `count` pixels.
void Copy_Row_Mirrored_32(uint8_t* out, const uint8_t* in, int count);

// The source column of every pixel of a scaled row, worked out once for all
// the rows of a copy: out[i] takes source_row[columns[i]].
class Column_Map {
public:
    // `source_width` is the width of the source surface: no read reaches past
    // it. The map reads `columns` in place: they must outlive its copies.
    void Build(const int* columns, int count, int source_width);
    void Copy_Row(uint8_t* out, const uint8_t* source_row) const;

private:
    const int* columns_ = nullptr;
    int count_ = 0;
    // For each group of eight destination pixels whose sources lie within
    // eight pixels: the first of those sources, else -1 (copied one by one).
    std::vector<int> group_base_;
    // Each pixel's source less its group's base.
    std::vector<int32_t> group_offsets_;
    bool vector_ = false;
};

// Whether the processor runs the eight-pixel kernels (tests compare both ways).
bool Pixel_Rows_Use_Vectors();
void Pixel_Rows_Set_Vectors(bool on);
