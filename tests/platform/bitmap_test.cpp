// Bitmap files: every BMP kind loads with its colours, damaged files are
// refused, and StretchBlt scales, clips and converts into every format.
#include <QImage>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "surface_fixture.h"

namespace {

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A bitmap file with a 40-byte info header, the colour table (0x00RRGGBB
// each) and the pixel bytes exactly as given (rows already padded).
std::string Bmp_File(int width, int height, int bits, uint32_t compression, const std::vector<uint32_t>& colours,
                     const std::string& pixels) {
    const uint32_t offset = 54 + 4 * static_cast<uint32_t>(colours.size());
    std::string out = "BM";
    Put32(out, offset + static_cast<uint32_t>(pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, compression);
    Put32(out, static_cast<uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(colours.size()));
    Put32(out, 0);
    for (uint32_t colour : colours) Put32(out, colour);
    return out + pixels;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values) out += static_cast<char>(value);
    return out;
}

void Write_File(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

std::string Read_File(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

COLORREF From_Rgb(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Red, green / blue, white, written bottom row first.
std::string Two_By_Two_24() {
    return Bmp_File(2, 2, 24, 0, {}, Bytes({255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}));
}

class BitmapTest : public SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        Open_Device(all_display_formats[5]);
    }

    // Loads a file and copies it 1:1 onto a 32-bit surface: its colours, row by row.
    std::vector<COLORREF> Load_Colours(const std::string& path, int expected_width, int expected_height) {
        Bitmap* bitmap = GDI_LoadImage(path.c_str());
        EXPECT_TRUE(bitmap) << path;
        if (!bitmap) return {};
        int width = 0, height = 0;
        EXPECT_TRUE(GDI_GetObject(bitmap, &width, &height));
        EXPECT_EQ(width, expected_width);
        EXPECT_EQ(height, expected_height);
        DeviceContext* dc = Context_On(Make_Surface(width, height));
        EXPECT_TRUE(GDI_StretchBlt(dc, 0, 0, width, height, bitmap, 0, 0, width, height));
        GDI_DeleteObject(bitmap);
        std::vector<COLORREF> colours;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) colours.push_back(GDI_GetPixel(dc, x, y));
        EXPECT_TRUE(Padding_Intact(GDI_Surface_Of(dc)));
        return colours;
    }

    TempFolder folder_;
};

TEST_F(BitmapTest, KindsWrittenByQtLoadWithTheirColours) {
    // 24 bits, five pixels wide so that every row is padded.
    QImage full(5, 3, QImage::Format_RGB32);
    std::vector<COLORREF> expected;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            full.setPixel(x, y, qRgb(x * 50, y * 100, 7 + x + y));
            expected.push_back(RGB(x * 50, y * 100, 7 + x + y));
        }
    }
    ASSERT_TRUE(full.save(QString::fromStdString(folder_.file("full.bmp")), "BMP"));
    EXPECT_EQ(Read_File(folder_.file("full.bmp"))[28], 24);
    EXPECT_EQ(Load_Colours(folder_.file("full.bmp"), 5, 3), expected);

    // 1, 4 and 8 bits come from a two-, sixteen- and two-hundred-colour table.
    struct Indexed {
        const char* name;
        int colours;
        int bits;
    };
    for (Indexed kind : {Indexed{"mono.bmp", 2, 1}, Indexed{"four.bmp", 16, 4}, Indexed{"eight.bmp", 200, 8}}) {
        QImage image(9, 4, kind.bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
        image.setColorCount(kind.colours);
        for (int i = 0; i < kind.colours; ++i) image.setColor(i, qRgb(i * 3 % 256, 255 - i, i * 7 % 256));
        expected.clear();
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 9; ++x) {
                int index = (x * 5 + y * 3) % kind.colours;
                image.setPixel(x, y, index);
                expected.push_back(RGB(index * 3 % 256, 255 - index, index * 7 % 256));
            }
        }
        std::string path = folder_.file(kind.name);
        ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        EXPECT_EQ(Read_File(path)[28], kind.bits) << kind.name;
        EXPECT_EQ(Load_Colours(path, 9, 4), expected) << kind.name;
    }
}

TEST_F(BitmapTest, HandWrittenKindsLoad) {
    const uint32_t A = 0x102030, B = 0xC0FFEE, C = 0x00FF00;
    // 4 bits, three pixels a row: indices high nibble first, rows padded to four bytes.
    Write_File(folder_.file("four.bmp"), Bmp_File(3, 2, 4, 0, {A, B, C}, Bytes({0x12, 0x00, 0, 0, 0x01, 0x20, 0, 0})));
    EXPECT_EQ(Load_Colours(folder_.file("four.bmp"), 3, 2),
              (std::vector<COLORREF>{From_Rgb(A), From_Rgb(B), From_Rgb(C), From_Rgb(B), From_Rgb(C), From_Rgb(A)}));

    // Run-length 8 bits: a run of three 1s then a literal 2, 0, 1; end of line; end of bitmap.
    Write_File(folder_.file("rle.bmp"),
               Bmp_File(3, 2, 8, 1, {A, B, C}, Bytes({3, 1, 0, 0, 0, 3, 2, 0, 1, 0, 0, 0, 0, 1})));
    EXPECT_EQ(Load_Colours(folder_.file("rle.bmp"), 3, 2),
              (std::vector<COLORREF>{From_Rgb(C), From_Rgb(A), From_Rgb(B), From_Rgb(B), From_Rgb(B), From_Rgb(B)}));

    // 16 bits 5-5-5 and 32 bits, both one row of two. Five-bit fields widen by a shift, as the
    // program's own writer does, so full red reads 248.
    Write_File(folder_.file("sixteen.bmp"), Bmp_File(2, 1, 16, 0, {}, Bytes({0x00, 0x7C, 0xFF, 0x7F})));
    EXPECT_EQ(Load_Colours(folder_.file("sixteen.bmp"), 2, 1),
              (std::vector<COLORREF>{RGB(248, 0, 0), RGB(248, 248, 248)}));
    Write_File(folder_.file("wide.bmp"),
               Bmp_File(2, 1, 32, 0, {}, Bytes({0x30, 0x20, 0x10, 0x99, 0xEE, 0xFF, 0xC0, 0})));
    EXPECT_EQ(Load_Colours(folder_.file("wide.bmp"), 2, 1), (std::vector<COLORREF>{From_Rgb(A), From_Rgb(B)}));

    // A negative height stores the top row first.
    Write_File(folder_.file("top_down.bmp"), Bmp_File(1, -2, 24, 0, {}, Bytes({0, 0, 255, 0, 0, 255, 0, 0})));
    EXPECT_EQ(Load_Colours(folder_.file("top_down.bmp"), 1, 2),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 255, 0)}));
}

TEST_F(BitmapTest, DamagedOrMissingFilesGiveNoBitmap) {
    const std::string good = Two_By_Two_24();
    std::string garbage;
    for (int i = 0; i < 300; ++i) garbage += static_cast<char>((i * 73 + 11) % 256);
    std::string huge = good;
    huge[18] = huge[19] = huge[22] = huge[23] = '\x7F';  // 32639 x 32639
    const std::pair<const char*, std::string> damaged[] = {
        {"empty.bmp", ""},
        {"garbage.bmp", garbage},
        {"garbage_after_signature.bmp", "BM" + garbage},
        {"headers_only.bmp", good.substr(0, 54)},
        {"cut_in_the_pixels.bmp", good.substr(0, good.size() - 3)},
        {"huge.bmp", huge},
        {"unfinished_run_length.bmp", Bmp_File(3, 2, 8, 1, {0, 0xFFFFFF}, Bytes({3, 1, 0, 0, 3, 1}))},
        {"unknown_compression.bmp", Bmp_File(2, 2, 24, 9, {}, good.substr(54))},
    };
    for (const auto& [name, contents] : damaged) {
        Write_File(folder_.file(name), contents);
        EXPECT_EQ(GDI_LoadImage(folder_.file(name).c_str()), nullptr) << name;
    }
    EXPECT_EQ(GDI_LoadImage(folder_.file("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(GDI_LoadImage(folder_.path().c_str()), nullptr);
    EXPECT_EQ(GDI_LoadImage(nullptr), nullptr);
    EXPECT_EQ(GDI_LoadImage(""), nullptr);

    Write_File(folder_.file("good.bmp"), good);
    Bitmap* bitmap = GDI_LoadImage(folder_.file("good.bmp").c_str());
    EXPECT_NE(bitmap, nullptr);
    GDI_DeleteObject(bitmap);
    GDI_DeleteObject(nullptr);
    EXPECT_FALSE(GDI_GetObject(nullptr, nullptr, nullptr));
}

using StretchFormatTest = FormatTest;

TEST_P(StretchFormatTest, ScalesClipsAndConvertsToTheSurfaceFormat) {
    TempFolder folder;
    Write_File(folder.file("quads.bmp"), Two_By_Two_24());
    Bitmap* bitmap = GDI_LoadImage(folder.file("quads.bmp").c_str());
    ASSERT_TRUE(bitmap);
    Surface* surface = Make_Surface(12, 10);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);

    // Each source pixel becomes a 4 x 3 block at (1, 1); the rest stays black.
    ASSERT_TRUE(GDI_StretchBlt(dc, 1, 1, 8, 6, bitmap, 0, 0, 2, 2));
    EXPECT_EQ(GDI_GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GDI_GetPixel(dc, 4, 3), RGB(255, 0, 0));
    EXPECT_EQ(GDI_GetPixel(dc, 5, 3), RGB(0, 255, 0));
    EXPECT_EQ(GDI_GetPixel(dc, 4, 4), RGB(0, 0, 255));
    EXPECT_EQ(GDI_GetPixel(dc, 8, 6), RGB(255, 255, 255));
    EXPECT_EQ(GDI_GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GDI_GetPixel(dc, 9, 6), RGB(0, 0, 0));
    EXPECT_EQ(GDI_GetPixel(dc, 8, 7), RGB(0, 0, 0));

    // A negative width mirrors.
    ASSERT_TRUE(GDI_StretchBlt(dc, 8, 1, -8, 6, bitmap, 0, 0, 2, 2));
    EXPECT_EQ(GDI_GetPixel(dc, 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(GDI_GetPixel(dc, 8, 1), RGB(255, 0, 0));

    // Past the right and bottom edges the copy is cut off, not wrapped into the padding.
    ASSERT_TRUE(GDI_StretchBlt(dc, 9, 7, 8, 8, bitmap, 0, 0, 2, 2));
    EXPECT_EQ(GDI_GetPixel(dc, 11, 9), RGB(255, 0, 0));
    ASSERT_TRUE(GDI_StretchBlt(dc, -1000000, -1000000, 2000000, 2000000, bitmap, 0, 0, 2, 2));
    EXPECT_TRUE(Padding_Intact(surface));

    EXPECT_FALSE(GDI_StretchBlt(dc, 0, 0, 0, 4, bitmap, 0, 0, 2, 2));
    EXPECT_FALSE(GDI_StretchBlt(dc, 0, 0, 4, 4, nullptr, 0, 0, 2, 2));
    GDI_DeleteObject(bitmap);
}

TEST_P(StretchFormatTest, InexactColoursTakeTheNearestTheFormatHolds) {
    TempFolder folder;
    Write_File(folder.file("near.bmp"), Bmp_File(1, 1, 24, 0, {}, Bytes({6, 4, 250, 0})));
    Bitmap* bitmap = GDI_LoadImage(folder.file("near.bmp").c_str());
    ASSERT_TRUE(bitmap);
    Surface* surface = Make_Surface(2, 2);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(GDI_StretchBlt(dc, 0, 0, 1, 1, bitmap, 0, 0, 1, 1));
    GDI_DeleteObject(bitmap);
    switch (surface->bits_per_pixel) {
    case 8: EXPECT_EQ(Stored(surface, 0, 0), 180u); break;  // the default palette's red
    case 15:
    case 16: EXPECT_EQ(Stored(surface, 0, 0), surface->green_mask == 0x07E0 ? 0xF820u : 0x7C00u); break;
    default: EXPECT_EQ(Stored(surface, 0, 0), 0xFA0406u);
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, StretchFormatTest, ::testing::ValuesIn(all_display_formats), Format_Name);

}  // namespace
