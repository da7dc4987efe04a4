// The 32-bit row kernels give the bytes a copy pixel by pixel gives, with
// the vector kernels and without, for every length and every kind of row.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/pixel_rows.h"

namespace {

uint32_t Pixel(const std::vector<uint8_t>& row, int i) {
    uint32_t v;
    std::memcpy(&v, row.data() + size_t(i) * 4, 4);
    return v;
}

std::vector<uint8_t> Random_Row(std::mt19937& random, int pixels, uint32_t key) {
    std::vector<uint8_t> row(size_t(pixels) * 4);
    for (int i = 0; i < pixels; ++i) {
        // A third of the pixels are the key, some only under the mask.
        uint32_t v = random();
        if (random() % 3 == 0) v = key | (random() % 2 ? 0xFF000000u : 0);
        std::memcpy(row.data() + size_t(i) * 4, &v, 4);
    }
    return row;
}

class PixelRows : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        was_ = Pixel_Rows_Use_Vectors();
        Pixel_Rows_Set_Vectors(GetParam());
    }
    void TearDown() override { Pixel_Rows_Set_Vectors(was_); }
    bool was_ = false;
    std::mt19937 random_{1234};
};

TEST_P(PixelRows, KeyedAndMirroredRowsMatchPixelByPixel) {
    const uint32_t key = 0x00FFFFFF, mask = 0x00FFFFFF;
    for (int count = 0; count <= 37; ++count) {
        for (bool mirror : {false, true}) {
            const std::vector<uint8_t> source = Random_Row(random_, count + 2, key);
            const std::vector<uint8_t> before = Random_Row(random_, count, 0);
            // Mirrored, the copy starts at the source's last pixel and runs back.
            const uint8_t* in = mirror ? source.data() + size_t(count) * 4 : source.data() + 4;
            auto source_of = [&](int i) { return Pixel(source, mirror ? count - i : i + 1); };

            std::vector<uint8_t> keyed = before;
            Copy_Row_Keyed_32(keyed.data(), in, count, mirror, key, mask);
            for (int i = 0; i < count; ++i) {
                const uint32_t s = source_of(i);
                ASSERT_EQ(Pixel(keyed, i), (s & mask) == key ? Pixel(before, i) : s)
                    << "count " << count << " mirror " << mirror << " pixel " << i;
            }
            if (!mirror) continue;
            std::vector<uint8_t> mirrored = before;
            Copy_Row_Mirrored_32(mirrored.data(), in, count);
            for (int i = 0; i < count; ++i) ASSERT_EQ(Pixel(mirrored, i), source_of(i)) << count << " " << i;
        }
    }
}

TEST_P(PixelRows, ScaledRowsTakeEachPixelFromItsColumn) {
    struct Case {
        int source_width, count;
        bool mirror;
    };
    // Up (the kaleidoscope's 480 to 640), down past eight pixels a group,
    // mirrored, and groups whose sources end at the surface's last column.
    const Case cases[] = {{480, 640, false}, {640, 480, false}, {100, 13, false}, {7, 61, true},
                          {480, 640, true},  {9, 9, false},     {1, 20, false}};
    for (const Case& c : cases) {
        std::vector<int> columns(size_t(c.count));
        for (int x = 0; x < c.count; ++x) {
            const int si = int(int64_t(x) * c.source_width / c.count);
            columns[size_t(x)] = c.mirror ? c.source_width - 1 - si : si;
        }
        Column_Map map;
        map.Build(columns.data(), c.count, c.source_width);
        const std::vector<uint8_t> source = Random_Row(random_, c.source_width, 0);
        std::vector<uint8_t> out(size_t(c.count) * 4, 0xAB);
        map.Copy_Row(out.data(), source.data());
        for (int x = 0; x < c.count; ++x)
            ASSERT_EQ(Pixel(out, x), Pixel(source, columns[size_t(x)]))
                << c.source_width << " to " << c.count << " pixel " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, PixelRows, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Vectors" : "OneByOne"; });

}  // namespace
