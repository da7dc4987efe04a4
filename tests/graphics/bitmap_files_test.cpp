// Bitmap files: the saved layout, round trips at every depth, the 16-bit and
// palette conversions, refused sizes, bad files and failed saves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/bitmap_files.h"
#include "graphics_fixture.h"

namespace {

std::vector<uint8_t> Read_File(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void Write_File(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t Field(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value |= uint32_t(bytes[at + i]) << (8 * i);
    return value;
}

int Files_In(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

using BitmapFormatTest = GraphicsFormatTest;

TEST_P(BitmapFormatTest, SavedFileHasTheLayoutAndLoadsBackTheSame) {
    TempFolder folder;
    const std::string path = folder.file("strip.bmp");
    Surface* surface = Make(64, 48);
    Fill_Pattern(surface);
    ASSERT_EQ(Save_Bitmap(surface, path.c_str()), 1);

    const std::vector<uint8_t> bytes = Read_File(path);
    ASSERT_EQ(bytes.size(), 9270u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    const std::pair<size_t, uint32_t> fields[] = {{2, 9270}, {10, 54},    {14, 40},    {18, 64}, {22, 48}, {30, 0},
                                                  {34, 0},   {38, 10000}, {42, 10000}, {46, 0},  {50, 0}};
    for (const auto& [at, value] : fields) EXPECT_EQ(Field(bytes, at, 4), value) << at;
    EXPECT_EQ(Field(bytes, 26, 2), 1u);
    EXPECT_EQ(Field(bytes, 28, 2), 24u);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(Files_In(folder.path()), 1);

    int width = 0, height = 0;
    Surface* loaded = Load_SYSTEM_Bitmap(path.c_str(), &width, &height);
    ASSERT_NE(loaded, nullptr);
    made_.push_back(loaded);
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(Get(loaded, x, y), Get(surface, x, y)) << x << "," << y;

    // The first stored row is the bottom row: change only the bottom-left pixel and compare.
    Put(surface, 0, 47, Get(surface, 0, 0));
    ASSERT_EQ(Save_Bitmap(surface, path.c_str()), 1);
    const std::vector<uint8_t> again = Read_File(path);
    ASSERT_EQ(again.size(), 9270u);
    EXPECT_TRUE(std::equal(again.begin() + 54, again.begin() + 57, bytes.begin() + 54 + 47 * 64 * 3));
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapFormatTest, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

class BitmapTest : public GraphicsTest {
protected:
    // The blue, green and red bytes the first pixel of a saved surface gets.
    std::vector<uint8_t> Saved_First_Pixel(Surface* surface) {
        const std::string path = folder.file("first.bmp");
        EXPECT_EQ(Save_Bitmap(surface, path.c_str()), 1);
        const std::vector<uint8_t> bytes = Read_File(path);
        if (bytes.size() < 57) return {};
        return {bytes[54], bytes[55], bytes[56]};
    }
    TempFolder folder;
};

TEST_F(BitmapTest, SixteenBitFieldsShiftUpAndPaletteIndicesTakeTheirColour) {
    Open_Display(GraphicsFormat{16, 0x07E0, 0, ""});
    Surface* surface = Make(8, 8);
    Put(surface, 0, 7, 0xFFFF);
    EXPECT_EQ(Saved_First_Pixel(surface), (std::vector<uint8_t>{248, 252, 248}));

    Restart();
    Open_Display(GraphicsFormat{16, 0x03E0, 0, ""});
    surface = Make(8, 8);
    Put(surface, 0, 7, 0x7FFF);
    EXPECT_EQ(Saved_First_Pixel(surface), (std::vector<uint8_t>{248, 248, 248}));

    Restart();
    Open_Display(GraphicsFormat{8, 0x07E0, 0, ""});
    surface = Make(8, 8);
    Put(surface, 0, 7, 5);
    // Entry 5 of the screen's palette is red 5, green 250, blue 2.
    EXPECT_EQ(Saved_First_Pixel(surface), (std::vector<uint8_t>{2, 250, 5}));
}

TEST_F(BitmapTest, SizesThatAreNotMultiplesOfEightAreRefusedBeforeTheFile) {
    Open_Display(GraphicsFormat{32, 0x07E0, 0, ""});
    const std::string path = folder.file("keep.bmp");
    Write_File(path, {1, 2, 3});
    Surface* surface = Make(100, 48);
    EXPECT_EQ(Save_Bitmap(surface, path.c_str()), 0);
    EXPECT_EQ(Last_Report(), "Save_Bitmap():Width (100) and Height (48) Must be a multiple of 8");
    EXPECT_EQ(Read_File(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Save_Bitmap(Make(64, 12), folder.file("new.bmp").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file("new.bmp")));
}

TEST_F(BitmapTest, FailedSavesKeepTheOldFileAndSaySo) {
    Open_Display(GraphicsFormat{32, 0x07E0, 0, ""});
    const std::string path = folder.file("keep.bmp");
    Write_File(path, {1, 2, 3});
    Surface* surface = Make(64, 48);

    ASSERT_NE(Lock_Surface(surface), nullptr);
    EXPECT_EQ(Save_Bitmap(surface, path.c_str()), 0);
    EXPECT_TRUE(Reported("SaveBMPToFile():Unable to Lock Surface"));
    EXPECT_EQ(Last_Report(), "Save_Bitmap():An error occurred saving " + path);
    Unlock_Surface(surface);
    EXPECT_EQ(Read_File(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Files_In(folder.path()), 1);

    const std::string nowhere = folder.file("missing/strip.bmp");
    EXPECT_EQ(Save_Bitmap(surface, nowhere.c_str()), 0);
    EXPECT_EQ(Last_Report(), "Surface - Could not open output file for Bitmap: " + nowhere + "\n");
    EXPECT_EQ(Save_Bitmap(surface, ""), 0);
    EXPECT_EQ(Last_Report(), "Surface - Invalid filename passed to Save_Bitmap\n");
    platform_boxes.clear();
    EXPECT_EQ(Save_Bitmap(nullptr, path.c_str()), 0);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(BitmapTest, SpecialFilesAreNeverReplacedAndLinksAreFollowed) {
    namespace fs = std::filesystem;
    Open_Display(GraphicsFormat{32, 0x07E0, 0, ""});
    Surface* surface = Make(8, 8);
    const std::string fifo = folder.file("pipe.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder.file("to-pipe.bmp"));
    fs::create_directory(folder.file("folder.bmp"));
    for (const std::string& name : {fifo, folder.file("to-pipe.bmp"), folder.file("folder.bmp")}) {
        EXPECT_EQ(Save_Bitmap(surface, name.c_str()), 0) << name;
        EXPECT_EQ(Last_Report(), "Save_Bitmap():An error occurred saving " + name);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(folder.file("to-pipe.bmp")));

    // A link to a picture, and a link to a name with no file yet, write where they point.
    Write_File(folder.file("real.bmp"), {1, 2, 3});
    fs::create_symlink("real.bmp", folder.file("link.bmp"));
    fs::create_symlink(folder.file("later.bmp"), folder.file("dangling.bmp"));
    for (const char* link : {"link.bmp", "dangling.bmp"}) {
        ASSERT_EQ(Save_Bitmap(surface, folder.file(link).c_str()), 1) << link;
        EXPECT_TRUE(fs::is_symlink(folder.file(link))) << link;
    }
    EXPECT_EQ(Read_File(folder.file("real.bmp")).size(), 54u + 8 * 8 * 3);
    EXPECT_EQ(Read_File(folder.file("later.bmp")).size(), 54u + 8 * 8 * 3);
}

TEST_F(BitmapTest, EightBitSavesNeedTheScreensPalette) {
    Open_Display(GraphicsFormat{8, 0x07E0, 0, ""});
    Surface* surface = Make(8, 8);
    const std::string path = folder.file("pal.bmp");
    Surface_SetPalette(Visible, nullptr);
    EXPECT_EQ(Save_Bitmap(surface, path.c_str()), 0);
    EXPECT_TRUE(Reported("SaveBMPToFile():Surface - Couldn't get palette for 8-bit Bitmap Save\n"));
    Surface* screen = Visible;
    Visible = nullptr;
    EXPECT_EQ(Save_Bitmap(surface, path.c_str()), 0);
    Visible = screen;
    EXPECT_TRUE(Reported("SaveBMPToFile():No Front Buffer for 8-bit BMP save\n"));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(Files_In(folder.path()), 0);
}

TEST_F(BitmapTest, BadNamesAndBadFilesLoadNothing) {
    Open_Display(GraphicsFormat{16, 0x07E0, 0, ""});
    const int live = DD_Live_Surface_Count();
    int width = 7, height = 7;
    EXPECT_EQ(Load_Bitmap("", &width, &height), nullptr);
    EXPECT_EQ(Last_Report(), "Load_Bitmap():BAD FILENAME ERROR");
    EXPECT_EQ(Load_SYSTEM_Bitmap("", &width, &height), nullptr);
    EXPECT_EQ(Last_Report(), "Load_SYSTEM_Bitmap():\nCould not load ");

    // A whole file cut short, and one whose header is not a bitmap's.
    const std::string path = folder.file("strip.bmp");
    Surface* surface = Make(16, 16);
    ASSERT_EQ(Save_Bitmap(surface, path.c_str()), 1);
    std::vector<uint8_t> bytes = Read_File(path);
    bytes.resize(bytes.size() - 100);
    Write_File(path, bytes);
    EXPECT_EQ(Load_SYSTEM_Bitmap(path.c_str(), &width, &height), nullptr);
    EXPECT_EQ(Last_Report(), "Load_SYSTEM_Bitmap():\nCould not load " + path);
    bytes[0] = 'X';
    Write_File(path, bytes);
    EXPECT_EQ(Load_Bitmap(path.c_str(), &width, &height), nullptr);
    EXPECT_EQ(Last_Report(), "Load_Bitmap():\nCould not load " + path);
    EXPECT_EQ(width, 7);
    EXPECT_EQ(DD_Live_Surface_Count(), live + 1);

    ASSERT_EQ(Save_Bitmap(surface, path.c_str()), 1);
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Load_Bitmap(path.c_str(), &width, &height), nullptr);
    EXPECT_EQ(Last_Report(), "Load_Bitmap():Unable to create destination surface");
    EXPECT_EQ(DD_Live_Surface_Count(), live + 1);
    EXPECT_EQ(Copy_Bitmap_To_Surface(surface, nullptr, 0, 0, 0, 0), DDERR_GENERIC);
}

TEST_F(BitmapTest, LoadedBitmapIsStretchedOverTheWholeSurface) {
    Open_Display(GraphicsFormat{32, 0x07E0, 0, ""});
    Surface* small = Make(8, 8);
    Fill_Pattern(small);
    const std::string path = folder.file("small.bmp");
    ASSERT_EQ(Save_Bitmap(small, path.c_str()), 1);
    Bitmap* bitmap = GDI_LoadImage(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    Surface* big = Make(16, 16);
    EXPECT_EQ(Copy_Bitmap_To_Surface(big, bitmap, 0, 0, 0, 0), DD_OK);
    GDI_DeleteObject(bitmap);
    EXPECT_EQ(Get(big, 0, 0), Get(small, 0, 0));
    EXPECT_EQ(Get(big, 15, 15), Get(small, 7, 7));
    EXPECT_EQ(big->colour_key, 0u);
}

}  // namespace
