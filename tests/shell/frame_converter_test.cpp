// The frame converter: natural frame order, the strip, the offered name,
// and the source frames kept until the strip is saved.
#include "shell_fixture.h"

#include <sys/stat.h>

#include "graphics/bitmap_files.h"
#include "preset/preset_setter.h"
#include "shell/frame_converter.h"
#include "slides/slide_objects.h"

namespace {

class FrameConvertTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Prepare(CONFIGURE, 320, 240);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
        converter = folder + "/Data/Frame Converter/";
        objects = folder + "/Data/Bmp/Objects/";
        mkdir(converter.c_str(), 0755);
    }

    // Three 64 x 64 frames in one colour each, named so that byte order
    // and natural order differ.
    void Three_Frames() {
        ASSERT_TRUE(Write_Test_Bitmap(converter + "10.bmp", 64, 64, [](int, int) { return 0x0000FFu; }));
        ASSERT_TRUE(Write_Test_Bitmap(converter + "2.bmp", 64, 64, [](int, int) { return 0x00FF00u; }));
        ASSERT_TRUE(Write_Test_Bitmap(converter + "1.BMP", 64, 64, [](int, int) { return 0xFF0000u; }));
    }
    bool Sources_Kept() {
        return File_Size(converter + "10.bmp") > 0 && File_Size(converter + "2.bmp") > 0 &&
               File_Size(converter + "1.BMP") > 0;
    }
    // The colour of a 32-bit surface's pixel.
    static uint32_t Pixel(Surface* surface, int x, int y) {
        uint32_t value;
        std::memcpy(&value, &surface->memory[y * surface->pitch + x * 4], 4);
        return value & 0xFFFFFF;
    }

    std::string converter, objects;
};

}  // namespace

TEST(NaturalOrder, NumbersInNamesCountAsNumbers) {
    struct Case {
        const char *a, *b;
        bool before;
    };
    const Case cases[] = {{"2.bmp", "10.bmp", true},           {"10.bmp", "2.bmp", false},
                          {"frame9.bmp", "Frame10.bmp", true}, {"a.bmp", "B.bmp", true},
                          {"007.bmp", "8.bmp", true},          {"x1y2.bmp", "x1y10.bmp", true},
                          {"same.bmp", "same.bmp", false},     {"ab.bmp", "abc.bmp", true}};
    for (const Case& c : cases) EXPECT_EQ(Natural_Order_Before(c.a, c.b), c.before) << c.a << " " << c.b;
}

TEST_F(FrameConvertTest, ThreeFramesMakeOneStripInNaturalOrderAndOnlyThenGo) {
    Three_Frames();
    platform_file_dialog_answer = objects + "9.bmp";
    EXPECT_EQ(Frame_Convert(), 1);

    ASSERT_EQ(platform_file_dialog_requests.size(), 1u);
    const File_Dialog_Request& request = platform_file_dialog_requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_TRUE(request.overwrite_prompt);
    EXPECT_EQ(request.filter_index, 3);
    EXPECT_EQ(request.default_extension, "bmp");
    EXPECT_EQ(request.initial_folder, objects);
    EXPECT_EQ(request.initial_name, std::to_string(objects_loaded) + ".bmp");

    int width = 0, height = 0;
    Surface* strip = Load_SYSTEM_Bitmap((objects + "9.bmp").c_str(), &width, &height);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 192);
    EXPECT_EQ(Pixel(strip, 10, 10), 0xFF0000u);   // 1.BMP
    EXPECT_EQ(Pixel(strip, 10, 74), 0x00FF00u);   // 2.bmp
    EXPECT_EQ(Pixel(strip, 10, 138), 0x0000FFu);  // 10.bmp
    Release(strip);
    EXPECT_EQ(File_Size(converter + "10.bmp"), -1);
    EXPECT_EQ(File_Size(converter + "2.bmp"), -1);
    EXPECT_EQ(File_Size(converter + "1.BMP"), -1);
    // The picture is back.
    EXPECT_EQ(Run_Calvorine(), 1);
}

TEST_F(FrameConvertTest, ACancelledOrFailedSaveKeepsEverySourceFrame) {
    Three_Frames();
    EXPECT_EQ(Frame_Convert(), 1);  // cancelled: nothing saved, nothing lost
    EXPECT_TRUE(Sources_Kept());

    platform_file_dialog_answer = folder + "/gone/9.bmp";
    EXPECT_EQ(Frame_Convert(), 0);
    EXPECT_GE(Log_Position("Frame_Convert(): Save_Bitmap FAILED " + folder + "/gone/9.bmp"), 0);
    EXPECT_GE(Log_Position("Frame_Convert(): Save_Conversion FAILED"), 0);
    EXPECT_TRUE(Sources_Kept());
    EXPECT_EQ(Run_Calvorine(), 1);
}

TEST_F(FrameConvertTest, AFrameTooSmallStopsTheStripButTheSourcesStayUnlessSaved) {
    Three_Frames();
    ASSERT_TRUE(Write_Test_Bitmap(converter + "3.bmp", 32, 64, [](int, int) { return 0xFFFFFFu; }));
    platform_file_dialog_answer = objects + "9.bmp";
    EXPECT_EQ(Frame_Convert(), 0);
    EXPECT_GE(Log_Position("Frame_Convert(): Fast Blit frame 2 FAILED"), 0);
    // The two frames before it were saved in the partial strip and are gone;
    // the small one and the one after it stay.
    EXPECT_EQ(File_Size(converter + "1.BMP"), -1);
    EXPECT_EQ(File_Size(converter + "2.bmp"), -1);
    EXPECT_GT(File_Size(converter + "3.bmp"), 0);
    EXPECT_GT(File_Size(converter + "10.bmp"), 0);
}

TEST_F(FrameConvertTest, AnEmptyFolderChangesNothing) {
    EXPECT_EQ(Frame_Convert(), 0);
    EXPECT_GE(Log_Position("FindFirstFile returned INVALID_HANDLE_VALUE"), 0);
    EXPECT_TRUE(platform_file_dialog_requests.empty());
    // From the menu the failure is named.
    Main_Window_Procedure(&window, WM_COMMAND, MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT, 0);
    EXPECT_GE(Log_Position("MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT: Frame Convert FAILED"), 0);
}
