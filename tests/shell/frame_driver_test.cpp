#include "shell/frame_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/app_state.h"
#include "base/frame_clock.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "preset/preset_setter.h"
#include "test_support.h"
#include "text/font.h"
#include "text/titles.h"

namespace {

class FrameDriverTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        data_folder = Make_Test_Data_Folder(windows.path());
        Use_Windows_Directory(windows.path());
        about_shown = false;
        fixed_frame_seconds = 0.0;
        fps_frame_count = 0;
        fps_accumulated_milliseconds = 0;
        fps_value = 0;
        fps_text[0] = '\0';
    }
    void TearDown() override {
        Release_Test_Effects();
        Shutdown_Direct_Draw();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        fixed_frame_seconds = 0.0;
        about_shown = false;
        app.show_fps = false;
        Use_Windows_Directory("");
        ProgramTest::TearDown();
    }

    // A windowed display the size of the window, with the built-in preset applied.
    void Open_Display(int depth) {
        dd_config.desktop_width = window.client_width = app.screen_width = app.client_width = 64;
        dd_config.desktop_height = window.client_height = app.screen_height = app.client_height = 48;
        dd_config.desktop_bpp = app.screen_bpp = depth;
        app.main_window = &window;
        ASSERT_EQ(Setup_Windowed_Direct_Draw(64, 48, depth), 1);
        Set_Default_Plasma_Settings();
        ASSERT_EQ(Refresh_Plasma(), 1);
        Start_Frame_Timer();
    }

    std::vector<uint8_t> Hidden_Pixels() {
        int pitch = 0;
        uint8_t* pixels = Lock_Surface(Hidden, &pitch);
        std::vector<uint8_t> copy(pixels, pixels + static_cast<size_t>(pitch) * Hidden->height);
        Unlock_Surface(Hidden);
        return copy;
    }

    // Pixels of Hidden's rows [top, bottom) in the test font's ink, at 24 bits.
    int Ink_Pixels(int top, int bottom) {
        const std::vector<uint8_t> pixels = Hidden_Pixels();
        const int pitch = static_cast<int>(pixels.size()) / Hidden->height;
        const uint8_t blue = TEST_FONT_INK & 0xFF, green = (TEST_FONT_INK >> 8) & 0xFF, red = TEST_FONT_INK >> 16;
        int count = 0;
        for (int y = top; y < bottom; y++) {
            for (int x = 0; x < Hidden->width; x++) {
                const uint8_t* p = pixels.data() + static_cast<size_t>(y) * pitch + 3 * x;
                count += p[0] == blue && p[1] == green && p[2] == red;
            }
        }
        return count;
    }

    TempFolder windows;
    std::string data_folder;
    Window window;
};

// Sixteen frames of the given length with the frame rate shown.
void Run_Frames_Of(double seconds) {
    fixed_frame_seconds = seconds;
    for (int i = 0; i < FPS_FRAMES; i++) Time_Frame();
}

// An 8 x 8 24-bit BMP of one colour.
void Write_Bitmap(const std::string& path, uint8_t blue, uint8_t green, uint8_t red) {
    uint8_t header[54] = {'B', 'M'};
    auto put = [&](int at, uint32_t value) {
        for (int i = 0; i < 4; i++) header[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    put(2, 54 + 8 * 8 * 3);
    put(10, 54);
    put(14, 40);
    put(18, 8);
    put(22, 8);
    header[26] = 1;
    header[28] = 24;
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(header, 1, sizeof header, file);
    for (int i = 0; i < 64; i++) {
        const uint8_t pixel[3] = {blue, green, red};
        fwrite(pixel, 1, 3, file);
    }
    fclose(file);
}

}  // namespace

TEST_F(FrameDriverTest, TheFrameRateIsAveragedOverSixteenFramesAndRightAligned) {
    app.show_fps = true;
    Run_Frames_Of(0.020);
    EXPECT_STREQ(fps_text, "fps  50");
    Run_Frames_Of(0.005);
    EXPECT_STREQ(fps_text, "fps 200");
    Run_Frames_Of(0.200);
    EXPECT_STREQ(fps_text, "fps   5");
    // Frames too quick to measure keep the last figure.
    Run_Frames_Of(0.0004);
    EXPECT_STREQ(fps_text, "fps   5");
    EXPECT_EQ(frame_milliseconds, 0);

    app.show_fps = false;
    fixed_frame_seconds = 0.020;
    for (int i = 0; i < 40; i++) Time_Frame();
    EXPECT_EQ(fps_frame_count, 0);
    EXPECT_STREQ(fps_text, "fps   5");
    EXPECT_DOUBLE_EQ(frame_seconds, 0.020);
    EXPECT_EQ(frame_milliseconds, 20);
}

TEST_F(FrameDriverTest, TheMeasuredClockCountsFromTheLastMeasurement) {
    Start_Frame_Timer();
    ASSERT_TRUE(high_resolution_clock);
    int64_t before = previous_count;
    Time_Frame();
    EXPECT_GE(frame_seconds, 0.0);
    EXPECT_LT(frame_seconds, 1.0);
    EXPECT_GE(previous_count, before);
}

TEST_F(FrameDriverTest, AFrameIsThePlasmaAtEveryDepth) {
    for (int depth : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        Open_Display(depth);
        fixed_frame_seconds = 0.02;
        ASSERT_EQ(Clear(Hidden), 1);
        ASSERT_EQ(Compose_Frame(), 1);
        EXPECT_DOUBLE_EQ(frame_seconds, 0.02);
        std::vector<uint8_t> plasma = Hidden_Pixels();
        EXPECT_NE(std::count(plasma.begin(), plasma.end(), 0), static_cast<long>(plasma.size()));

        EXPECT_TRUE(platform_boxes.empty());
        Release_Test_Effects();
        Shutdown_Direct_Draw();
    }
}

TEST_F(FrameDriverTest, TheTitleAndTheFrameRateAreDrawnInTheBitmapFont) {
    // At 24 bits nothing fades: the title shows in its ink from the first frame.
    Open_Display(24);
    fixed_frame_seconds = 0.02;
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_EQ(Ink_Pixels(0, 48), 0);  // titles are off in the built-in preset
    plasma_settings.titles_on = 1;
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_GT(Ink_Pixels(0, 34), 50);
    EXPECT_EQ(Ink_Pixels(40, 48), 0);
    EXPECT_EQ(fade_in_level, 254);  // one fade step a frame

    // The frame rate goes under the title, at y 40.
    app.show_fps = true;
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_GT(Ink_Pixels(40, 48), 10);

    // The preview draws no title.
    app.show_fps = false;
    app.saver_mode = PREVIEW;
    plasma_settings.preview_active = 1;
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_EQ(Ink_Pixels(0, 48), 0);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(FrameDriverTest, WithoutItsFontTheFrameRateFallsBackToTheDeviceContextsText) {
    Open_Display(24);
    fixed_frame_seconds = 0.02;
    plasma_settings.titles_on = 0;
    Release_All_Fonts();
    ASSERT_EQ(std::remove((data_folder + "/Data/Bmp/Font.bmp").c_str()), 0);
    app.show_fps = true;
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_EQ(Ink_Pixels(0, 48), 0);
    ASSERT_FALSE(platform_boxes.empty());
    EXPECT_EQ(platform_boxes.front().text, "Load_Font():font file " + data_folder + "/Data/Bmp/Font.bmp not found");
}

TEST_F(FrameDriverTest, TheNoticeIsDrawnOverThisFramesPlasmaOnly) {
    Open_Display(32);
    fixed_frame_seconds = 0.02;
    auto notice_pixels = [&] {
        std::vector<uint8_t> pixels = Hidden_Pixels();
        int count = 0;
        for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
            count += pixels[i] == 200 && pixels[i + 1] == 200 && pixels[i + 2] == 200;
        }
        return count;
    };
    app.screen_notice_pending = true;
    app.screen_notice_text = "Notice";
    ASSERT_EQ(Compose_Frame(), 1);
    int with_notice = notice_pixels();
    EXPECT_FALSE(app.screen_notice_pending);
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_GT(with_notice, notice_pixels() + 5);
}

TEST_F(FrameDriverTest, AFailedPlasmaEndsTheFrameWithItsReport) {
    Open_Display(32);
    Surface* kept = Hidden;
    Hidden = nullptr;
    EXPECT_EQ(Compose_Frame(), 0);
    Hidden = kept;
    ASSERT_FALSE(platform_boxes.empty());
    EXPECT_EQ(platform_boxes.back().text, "Run_Calvorine(): Draw_Plasma() FAILED");
}

TEST_F(FrameDriverTest, AStillPreviewShowsTheAboutPictureLoadedOnce) {
    std::string folder = data_folder + "/Data/Bmp";
    ASSERT_EQ(remove((folder + "/About.bmp").c_str()), 0);
    Open_Display(32);
    app.saver_mode = PREVIEW;
    plasma_settings.preview_active = 0;

    EXPECT_EQ(Compose_Frame(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Run_Calvorine(): Could not load about_bitmap");

    Write_Bitmap(folder + "/About.bmp", 0x30, 0x60, 0x90);
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_TRUE(about_shown);
    std::vector<uint8_t> first = Hidden_Pixels();
    EXPECT_EQ(first[0], 0x30);
    EXPECT_EQ(first[1], 0x60);
    EXPECT_EQ(first[2], 0x90);
    // Later frames neither reload it nor draw the plasma over it.
    remove((folder + "/About.bmp").c_str());
    ASSERT_EQ(Compose_Frame(), 1);
    EXPECT_EQ(Hidden_Pixels(), first);
}
