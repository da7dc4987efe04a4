// The display device: full-screen and windowed set-up with their fallbacks
// and failures, presentation of Hidden on Visible, and shut-down.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

struct Format {
    int depth;
    uint32_t green_mask;
};

const Format all_formats[] = {{8, 0}, {15, 0x03E0}, {15, 0x07E0}, {16, 0x07E0}, {16, 0x03E0}, {24, 0}, {32, 0}};

std::string Name_Of(const ::testing::TestParamInfo<Format>& info) {
    std::string name = "Depth" + std::to_string(info.param.depth);
    if (info.param.green_mask == 0x07E0) name += "_565";
    if (info.param.green_mask == 0x03E0) name += "_555";
    return name;
}

class DisplayTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Reset_Trace_Flags();
        app.main_window = &window;
        dd_config.desktop_width = 320;
        dd_config.desktop_height = 240;
        app.screen_width = 320;
        app.screen_height = 240;
        app.vsync = false;
    }
    void TearDown() override {
        Shutdown_Direct_Draw();
        Release(Scratch_Pad);
        Scratch_Pad = nullptr;
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        ProgramTest::TearDown();
    }

    static void Use_Format(Format format) {
        dd_config.desktop_bpp = format.depth;
        if (format.depth == 15) dd_config.green_mask_15 = format.green_mask;
        if (format.depth == 16) dd_config.green_mask_16 = format.green_mask;
        app.screen_bpp = format.depth;
    }
    static int Bytes(const Surface* s) { return (s->bits_per_pixel + 7) / 8; }
    static uint32_t At(const Surface* s, int x, int y) {
        uint32_t v = 0;
        std::memcpy(&v, s->memory.data() + size_t(y) * s->pitch + size_t(x) * Bytes(s), size_t(Bytes(s)));
        return v;
    }
    static void Put(Surface* s, int x, int y, uint32_t v) {
        std::memcpy(s->memory.data() + size_t(y) * s->pitch + size_t(x) * Bytes(s), &v, size_t(Bytes(s)));
    }
    // A different non-zero value at every pixel (within one byte).
    static uint32_t Pattern(int x, int y) { return uint32_t(1 + (x * 7 + y * 13) % 255); }
    static void Paint(Surface* s) {
        for (int y = 0; y < s->height; ++y)
            for (int x = 0; x < s->width; ++x) Put(s, x, y, Pattern(x, y));
    }
    static std::vector<std::string> Box_Texts() {
        std::vector<std::string> texts;
        for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
        return texts;
    }
    static void Expect_All_Released() {
        EXPECT_EQ(Direct_Draw, nullptr);
        EXPECT_EQ(Direct_Draw_Interface, nullptr);
        EXPECT_EQ(Visible, nullptr);
        EXPECT_EQ(Hidden, nullptr);
        EXPECT_EQ(display_palette, nullptr);
        EXPECT_EQ(window_clipper, nullptr);
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        EXPECT_EQ(DD_Primary_Surface(), nullptr);
    }

    Window window;
};

class DisplayFormatTest : public DisplayTest, public ::testing::WithParamInterface<Format> {};

// ---------------------------------------------------------------------------
// Set-up at every depth, and the frame shown

TEST_P(DisplayFormatTest, FullScreenTakesTheModeAndShowsTheWholeFrame) {
    Format format = GetParam();
    Use_Format(format);
    dd_config.desktop_bpp = 32;  // the desktop's own depth is not the mode's
    for (int i = 0; i < 256; ++i) palette_entries[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};

    ASSERT_EQ(Setup_Direct_Draw(160, 120, format.depth), 1) << ::testing::PrintToString(Box_Texts());
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(app.display_mode, DISPLAY_FULL_SCREEN);
    EXPECT_EQ(app.screen_bpp, format.depth);
    EXPECT_EQ(DD_Current_Depth(), format.depth);
    EXPECT_EQ(Direct_Draw, nullptr);  // only the interface is kept
    ASSERT_NE(Direct_Draw_Interface, nullptr);
    EXPECT_EQ(Direct_Draw_Interface->cooperative_flags, 0x17u);
    EXPECT_EQ(Direct_Draw_Interface->window, &window);
    EXPECT_EQ(window_clipper, nullptr);

    ASSERT_NE(Visible, nullptr);
    EXPECT_TRUE(Visible->is_primary);
    EXPECT_EQ(Visible->width, 160);
    EXPECT_EQ(Visible->height, 120);
    EXPECT_EQ(Visible->bits_per_pixel, format.depth);
    EXPECT_EQ(Visible->green_mask, format.green_mask);
    ASSERT_NE(Hidden, nullptr);
    EXPECT_EQ(Hidden->placement, Placement::SYSTEM);
    EXPECT_EQ(Hidden->width, 160);
    EXPECT_EQ(Hidden->height, 120);
    EXPECT_EQ(Hidden->bits_per_pixel, format.depth);

    if (format.depth == 8) {
        ASSERT_NE(display_palette, nullptr);
        EXPECT_EQ(Visible->palette, display_palette);
        EXPECT_EQ(display_palette->entries[200].red, 200);
        EXPECT_EQ(display_palette->entries[200].green, 55);
    } else {
        EXPECT_EQ(display_palette, nullptr);
    }

    app.screen_width = 160;
    app.screen_height = 120;
    Paint(Hidden);
    ASSERT_EQ(Display_Hidden_Surface(), 1);
    for (int y = 0; y < 120; ++y)
        ASSERT_EQ(std::memcmp(Visible->memory.data() + size_t(y) * Visible->pitch,
                              Hidden->memory.data() + size_t(y) * Hidden->pitch, size_t(160 * Bytes(Hidden))),
                  0)
            << "row " << y;

    Shutdown_Direct_Draw();
    Expect_All_Released();
    EXPECT_EQ(DD_Current_Depth(), 32);  // the desktop's mode is back
}

TEST_P(DisplayFormatTest, WindowedUsesTheDesktopAndShowsTheFrameAtTheWindow) {
    Format format = GetParam();
    Use_Format(format);
    window.screen_x = 30;
    window.screen_y = 20;
    window.client_width = 100;
    window.client_height = 50;

    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, format.depth), 1) << ::testing::PrintToString(Box_Texts());
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    EXPECT_EQ(Direct_Draw_Interface->cooperative_flags, DDSCL_NORMAL);
    EXPECT_FALSE(Direct_Draw_Interface->mode_set);
    EXPECT_EQ(Visible->width, 320);
    EXPECT_EQ(Visible->bits_per_pixel, format.depth);
    ASSERT_NE(window_clipper, nullptr);
    EXPECT_EQ(window_clipper->window, &window);
    EXPECT_EQ(Visible->clipper, window_clipper);
    EXPECT_EQ(display_palette != nullptr, format.depth == 8);

    Paint(Hidden);
    ASSERT_EQ(Display_Hidden_Surface(), 1);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(At(Visible, 30 + x, 20 + y), Pattern(x, y)) << x << "," << y;
    EXPECT_EQ(At(Visible, 29, 20), 0u);
    EXPECT_EQ(At(Visible, 130, 20), 0u);
    EXPECT_EQ(At(Visible, 30, 70), 0u);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, DisplayFormatTest, ::testing::ValuesIn(all_formats), Name_Of);

// ---------------------------------------------------------------------------
// Display-mode fallbacks

TEST_F(DisplayTest, RefusedDepthsFallBackToTheirNeighboursInOrder) {
    struct Case {
        int requested;
        std::set<int> refused;
        int expected;
    };
    const Case cases[] = {
        {16, {16}, 15},         {15, {15}, 16}, {24, {24}, 32},       {24, {24, 32}, 16},
        {24, {24, 32, 16}, 15}, {32, {32}, 24}, {32, {32, 24}, 16},   {32, {32, 24, 16}, 15},
        {32, {}, 32},           {24, {32}, 24}, {8, {16, 24, 32}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        dd_faults.refused_depths = c.refused;
        app.screen_bpp = c.requested;
        ASSERT_EQ(Setup_Direct_Draw(64, 48, c.requested), 1);
        EXPECT_EQ(app.screen_bpp, c.expected);
        EXPECT_EQ(Visible->bits_per_pixel, c.expected);
        EXPECT_EQ(Hidden->bits_per_pixel, c.expected);
        EXPECT_EQ(display_palette != nullptr, c.expected == 8);
        Shutdown_Direct_Draw();
    }
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(DisplayTest, EveryDepthRefusedFailsWithTheRequestedNumbers) {
    dd_faults.refused_depths = {32, 24, 16, 15};
    app.screen_bpp = 32;
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 32), 0);
    EXPECT_EQ(app.screen_bpp, 32);
    EXPECT_EQ(Visible, nullptr);

    // 8 bits has no neighbours, even on a device that would take 16.
    Shutdown_Direct_Draw();
    dd_faults.refused_depths = {8};
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 8), 0);
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = 640,480,32",
                                        "Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = 640,480,8"}));
    Shutdown_Direct_Draw();
    Expect_All_Released();
}

// ---------------------------------------------------------------------------
// Set-up failures

TEST_F(DisplayTest, SetupRefusesToRunOverAFirstDeviceObject) {
    ASSERT_EQ(DirectDrawCreate(&Direct_Draw), DD_OK);
    DirectDrawDevice* existing = Direct_Draw;
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
    EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
    EXPECT_EQ(Direct_Draw, existing);
    EXPECT_EQ(Direct_Draw_Interface, nullptr);
    EXPECT_EQ(DD_Live_Surface_Count(), 0);
    EXPECT_EQ(DD_Current_Depth(), dd_config.desktop_bpp);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Setup_Direct_Draw(): Direct_Draw should be NULL",
                                                     "Setup_Windowed_Direct_Draw(): direct draw should be NULL"}));
}

TEST_F(DisplayTest, DeviceCreationFailuresHaveTheirTextsInBothSetups) {
    const std::pair<HRESULT, const char*> failures[] = {
        {DDERR_DIRECTDRAWALREADYCREATED,
         "Setup_Direct_Draw():DDERR_DIRECTDRAWALREADYCREATED\nA DirectDraw object representing this driver has "
         "already been created for this process."},
        {DDERR_NODIRECTDRAWHW,
         "Setup_Direct_Draw():DDERR_NODIRECTDRAWHW\nHardware-only DirectDraw object creation is not possible; the "
         "driver does not support any hardware."},
        {DDERR_INVALIDDIRECTDRAWGUID,
         "Setup_Direct_Draw():DDERR_INVALIDDIRECTDRAWGUID\nThe globally unique identifier (GUID) passed to the "
         "DirectDrawCreate function is not a valid DirectDraw driver identifier."},
        {DDERR_GENERIC, "Setup_Direct_Draw():DDERR_GENERIC\nThere is an undefined error condition."},
        {DDERR_OUTOFMEMORY,
         "Setup_Direct_Draw():DDERR_OUTOFMEMORY\n DirectDraw does not have enough memory to perform the operation."},
        {DDERR_INVALIDPARAMS,
         "Setup_Direct_Draw():DDERR_INVALIDPARAMS\nOne or more of the parameters passed to the method are incorrect."},
    };
    for (const auto& [code, text] : failures) {
        dd_faults.create_device = code;
        platform_boxes.clear();
        EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
        EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
        std::string windowed = text;
        windowed.replace(0, std::strlen("Setup_Direct_Draw"), "Setup_Windowed_Direct_Draw");
        EXPECT_EQ(Box_Texts(), (std::vector<std::string>{text, windowed}));
    }

    dd_faults.create_device = DDERR_UNSUPPORTED;
    platform_boxes.clear();
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
    EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Setup_Direct_Draw():DEFAULT\nRaise your eyebrows if you read "
                                                     "this\nas this error is undocumented",
                                                     "Setup_Windowed_Direct_Draw():DEFAULT"}));
    Expect_All_Released();
}

TEST_F(DisplayTest, InterfaceAndCooperativeLevelFailures) {
    dd_faults.query_interface = DDERR_GENERIC;
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
    Shutdown_Direct_Draw();
    EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
    Shutdown_Direct_Draw();
    dd_faults.query_interface = DD_OK;
    dd_faults.cooperative_level = DDERR_GENERIC;
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
    Shutdown_Direct_Draw();
    EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
    Shutdown_Direct_Draw();
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{
                               "Setup_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed",
                               "Setup_Windowed_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed",
                               "Setup_Direct_Draw():SetCooperativeLevel Failed",
                               "Setup_Windowed_Direct_Draw():SetCooperativeLevel Failed"}));
    Expect_All_Released();
}

TEST_F(DisplayTest, PrimarySurfaceFailuresHaveTheirTextsInBothSetups) {
    // 640 x 480 at 16 bits: 1.200 MB.
    app.screen_bpp = 16;
    const std::pair<HRESULT, const char*> failures[] = {
        {DDERR_OUTOFVIDEOMEMORY,
         "Setup_Direct_Draw():Create_Primary_Surface()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough "
         "display memory\n to perform the operation. Cannot create surface\nwidth = 640\nheight = 480N.B. Some "
         "video cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least 1.200 "
         "MB required"},
        {DDERR_NOCOOPERATIVELEVELSET,
         "Setup_Direct_Draw():Create_Primary_Surface()DDERR_NOCOOPERATIVELEVELSET\nA create function is called "
         "without the \nIDirectDraw4::SetCooperativeLevel method being called. "},
        {DDERR_OUTOFMEMORY,
         "Setup_Direct_Draw():Create_Primary_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n "
         "to perform the operation\nat least 1.200 MB required"},
        {DDERR_INVALIDPARAMS,
         "Setup_Direct_Draw():Create_Primary_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed "
         "to the method are incorrect."},
        {DDERR_INVALIDCAPS,
         "Setup_Direct_Draw():Create_Primary_Surface()DDERR_INVALIDCAPS\nOne or more of the capability bits\n "
         "passed to the callback function are incorrect."},
        {DDERR_GENERIC,
         "Setup_Direct_Draw():Create_Primary_Surface():DEFAULT\nCannot create surface\nwidth = 640\nheight = 480"},
    };
    for (const auto& [code, text] : failures) {
        dd_faults.create_primary = code;
        platform_boxes.clear();
        EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
        Shutdown_Direct_Draw();
        EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
        Shutdown_Direct_Draw();
        std::string windowed = text;
        windowed.replace(0, std::strlen("Setup_Direct_Draw"), "Setup_Windowed_Direct_Draw");
        EXPECT_EQ(Box_Texts(), (std::vector<std::string>{text, windowed}));
    }
    Expect_All_Released();
}

TEST_F(DisplayTest, HiddenPaletteAndClipperFailures) {
    app.screen_bpp = 16;
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Setup_Direct_Draw(640, 480, 16), 0);
    Shutdown_Direct_Draw();
    EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
    Shutdown_Direct_Draw();
    const std::string hidden_failure =
        "Create_SYSTEM_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the "
        "operation\nat least 1.200 MB required";
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{
                               hidden_failure, "Setup_Direct Draw():Unable to create secondary surface", hidden_failure,
                               "Setup_Windowed_Direct Draw():Unable to create secondary surface"}));
    dd_faults.create_surface = DD_OK;

    // The palette texts read the same in both set-ups.
    const std::pair<HRESULT DeviceFaults::*, const char*> palette_failures[] = {
        {&DeviceFaults::create_palette, "Setup_Windowed_Direct Draw():Unable to create 256 colour palette"},
        {&DeviceFaults::set_palette, "Setup_Windowed_Direct Draw():Unable to Attack 256 colour palette to primary"},
    };
    for (const auto& [fault, text] : palette_failures) {
        dd_faults.*fault = DDERR_GENERIC;
        platform_boxes.clear();
        app.screen_bpp = 8;
        EXPECT_EQ(Setup_Direct_Draw(640, 480, 8), 0);
        Shutdown_Direct_Draw();
        EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 8), 0);
        Shutdown_Direct_Draw();
        EXPECT_EQ(Box_Texts(), (std::vector<std::string>{text, text}));
        // Above 8 bits no palette is made, so its fault does not matter.
        EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 1);
        Shutdown_Direct_Draw();
        dd_faults.*fault = DD_OK;
    }

    const std::pair<HRESULT DeviceFaults::*, const char*> clipper_failures[] = {
        {&DeviceFaults::create_clipper, "Setup_Windowed_Direct_Draw():CreateClipper FAILED"},
        {&DeviceFaults::clipper_set_window, "Setup_Windowed_Direct_Draw():Clipper->SetHWnd FAILED"},
        {&DeviceFaults::set_clipper, "Setup_Windowed_Direct_Draw():SetClipper FAILED"},
    };
    for (const auto& [fault, text] : clipper_failures) {
        dd_faults.*fault = DDERR_GENERIC;
        platform_boxes.clear();
        EXPECT_EQ(Setup_Windowed_Direct_Draw(640, 480, 16), 0);
        EXPECT_EQ(Box_Texts(), std::vector<std::string>{text});
        Shutdown_Direct_Draw();
        Expect_All_Released();
        dd_faults.*fault = DD_OK;
    }
}

TEST_F(DisplayTest, ShutdownAfterAFailedSetupReleasesWhateverExists) {
    // A failure at each step, later and later in the set-up.
    dd_faults.create_palette = DDERR_GENERIC;
    app.screen_bpp = 8;
    EXPECT_EQ(Setup_Direct_Draw(64, 48, 8), 0);
    EXPECT_NE(Visible, nullptr);
    EXPECT_NE(Hidden, nullptr);
    EXPECT_EQ(DD_Current_Depth(), 8);
    EXPECT_EQ(Shutdown_Direct_Draw(), 1);
    Expect_All_Released();
    EXPECT_EQ(DD_Current_Depth(), dd_config.desktop_bpp);

    dd_faults.create_palette = DD_OK;
    dd_faults.set_clipper = DDERR_GENERIC;
    EXPECT_EQ(Setup_Windowed_Direct_Draw(64, 48, 8), 0);
    EXPECT_NE(window_clipper, nullptr);
    EXPECT_NE(display_palette, nullptr);
    EXPECT_EQ(Shutdown_Direct_Draw(), 1);
    Expect_All_Released();

    // A first device object left behind by a failed interface is released too.
    dd_faults.set_clipper = DD_OK;
    dd_faults.query_interface = DDERR_GENERIC;
    EXPECT_EQ(Setup_Direct_Draw(64, 48, 16), 0);
    EXPECT_NE(Direct_Draw, nullptr);
    EXPECT_EQ(Shutdown_Direct_Draw(), 1);
    Expect_All_Released();

    // And nothing at all.
    EXPECT_EQ(Shutdown_Direct_Draw(), 1);
    Expect_All_Released();
}

TEST_F(DisplayTest, WindowedSetupTracesItsFirstCompleteRun) {
    TempFolder folder;
    app.error_log_enabled = true;
    app.error_log_path = folder.file("error_log.txt");
    ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File("T\r\n"), 1);
    ASSERT_EQ(Setup_Windowed_Direct_Draw(64, 48, 32), 1);
    Shutdown_Direct_Draw();
    ASSERT_EQ(Setup_Windowed_Direct_Draw(64, 48, 32), 1);
    Close_Error_Log_File();

    FILE* file = fopen(app.error_log_path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string log(10000, '\0');
    log.resize(fread(log.data(), 1, log.size(), file));
    fclose(file);
    EXPECT_EQ(log.substr(log.find("T\r\n") + 3),
              "\r\nEntering Setup_Windowed_Direct_Draw"
              "\r\nSetup_Windowed_Direct_Draw(): Direct_Draw->QueryInterface SUCCESS"
              "\r\nSetup_Windowed_Direct_Draw(): Direct_Draw_Interface->SetCooperativeLevel SUCCESS"
              "\r\nEntering Create_SYSTEM_Surface"
              "\r\nExitting Create_SYSTEM_Surface"
              "\r\nExitting Setup_Windowed_Direct_Draw");
}

// ---------------------------------------------------------------------------
// Presentation

TEST_F(DisplayTest, VerticalBlankWaitPrecedesEachCopyOnlyWithVsync) {
    app.screen_bpp = 16;
    ASSERT_EQ(Setup_Direct_Draw(320, 240, 16), 1);
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_EQ(dd_vertical_blank_waits, 0);

    app.vsync = true;
    long copies = dd_blt_calls;
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_EQ(dd_vertical_blank_waits, 2);
    EXPECT_EQ(dd_blt_calls - copies, 2);

    Shutdown_Direct_Draw();
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 16), 1);
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 1);
    EXPECT_EQ(dd_vertical_blank_waits, 4);

    // Nothing to show: no wait either.
    window.client_height = 0;
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_EQ(dd_vertical_blank_waits, 4);
}

TEST_F(DisplayTest, WindowWiderThanTheScreenCopiesOnlyTheScreenWidth) {
    app.screen_bpp = 32;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 32), 1);
    Paint(Hidden);
    // Partly off the left of the screen and wider than it.
    window.screen_x = -50;
    window.screen_y = 10;
    window.client_width = 500;
    window.client_height = 40;
    ASSERT_EQ(Display_Hidden_Surface(), 1) << ::testing::PrintToString(Box_Texts());
    for (int x = 0; x < 270; ++x) ASSERT_EQ(At(Visible, x, 10), Pattern(50 + x, 0)) << x;
    EXPECT_EQ(At(Visible, 270, 10), 0u);  // beyond Hidden's right edge nothing is copied
    EXPECT_EQ(At(Visible, 0, 50), 0u);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(DisplayTest, EmptyClientAreaShowsNothingAndSucceeds) {
    app.screen_bpp = 16;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 16), 1);
    long copies = dd_blt_calls;
    window.client_width = 0;
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    window.client_width = 200;
    window.client_height = 0;
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_EQ(dd_blt_calls, copies);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(DisplayTest, PresentationFailures) {
    EXPECT_EQ(Display_Hidden_Surface(), 0);
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 0);
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Display_Hidden_Surface(): Hidden or Visible is NULL",
                                        "Display_Stretched_Hidden_Surface():Either source or dest is NULL"}));

    app.screen_bpp = 24;
    ASSERT_EQ(Setup_Direct_Draw(320, 240, 24), 1);
    dd_faults.blt_answer = DDERR_GENERIC;  // after the set-up, which clears Hidden
    platform_boxes.clear();
    EXPECT_EQ(Display_Hidden_Surface(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Display_Hidden_Screen(): Fast Blit FAILED");
    // Full screen: the scaled presentation is the plain one, and succeeds regardless.
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 1);
    EXPECT_EQ(platform_boxes.back().text, "Display_Hidden_Screen(): Fast Blit FAILED");
    Shutdown_Direct_Draw();

    dd_faults.blt_answer = DD_OK;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 24), 1);
    dd_faults.blt_answer = DDERR_GENERIC;
    platform_boxes.clear();
    EXPECT_EQ(Display_Hidden_Surface(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Display_Hidden_Surface(): Fast_Blit FAILED");
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Display_Stretched_Hidden_Surface():Stretch_Blit FAILED");
    dd_faults.blt_answer = DD_OK;

    // Lost surfaces are restored before the copy, or the copy fails.
    DD_Lose_All_Surfaces();
    EXPECT_EQ(Display_Hidden_Surface(), 1);
    EXPECT_FALSE(Visible->lost || Hidden->lost);
    DD_Lose_All_Surfaces();
    dd_faults.restore_fails = true;
    platform_boxes.clear();
    EXPECT_EQ(Display_Hidden_Surface(), 0);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Restore_All_Surfaces():Unable to restore Visible Surface",
                                                     "Display_Hidden_Surface(): Restore_All_Surfaces FAILED"}));
}

TEST_F(DisplayTest, StretchedPresentationScalesIntoTheClientArea) {
    app.screen_bpp = 16;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 16), 1);
    // Two-by-two blocks, so any nearest-pixel halving reads the same values.
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) Put(Hidden, x, y, Pattern(x / 2, y / 2));
    window.screen_x = 10;
    window.screen_y = 20;
    window.client_width = 160;
    window.client_height = 120;
    ASSERT_EQ(Display_Stretched_Hidden_Surface(), 1) << ::testing::PrintToString(Box_Texts());
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) ASSERT_EQ(At(Visible, 10 + x, 20 + y), Pattern(x, y)) << x << "," << y;
    EXPECT_EQ(At(Visible, 170, 20), 0u);
    EXPECT_EQ(At(Visible, 10, 140), 0u);

    // Never larger than the screen: a bigger client area gets a 1:1 copy.
    window.screen_x = 0;
    window.screen_y = 0;
    window.client_width = 400;
    window.client_height = 300;
    ASSERT_EQ(Display_Stretched_Hidden_Surface(), 1);
    EXPECT_EQ(At(Visible, 319, 239), Pattern(159, 119));
    EXPECT_EQ(At(Visible, 101, 33), Pattern(50, 16));
}

TEST_F(DisplayTest, StretchedPresentationOfAMinimisedOrFlattenedWindow) {
    app.screen_bpp = 32;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 32), 1);
    long copies = dd_blt_calls;
    window.iconic = true;
    window.client_width = 0;
    window.client_height = 0;
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 1);
    EXPECT_EQ(dd_blt_calls, copies);
    EXPECT_TRUE(platform_boxes.empty());

    window.iconic = false;
    window.client_width = 160;
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Display_Stretched_Hidden_Surface(): Invalid width 160 height 0"});
    EXPECT_EQ(dd_blt_calls, copies);

    app.main_window = nullptr;
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Display_Stretched_Hidden_Surface(): GetClientRect FAILED");
}

TEST_F(DisplayTest, StretchedPresentationDoesNotRestoreALostHidden) {
    app.screen_bpp = 16;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(320, 240, 16), 1);
    Hidden->lost = true;
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 0);
    EXPECT_TRUE(Hidden->lost);
    Hidden->lost = false;

    Visible->lost = true;
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 1);
    EXPECT_FALSE(Visible->lost);

    Visible->lost = true;
    dd_faults.restore_fails = true;
    EXPECT_EQ(Display_Stretched_Hidden_Surface(), 0);
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Display_Stretched_Hidden_Surface():Either source or dest is lost",
                                        "Restore_All_Surfaces():Unable to restore Visible Surface",
                                        "Display_Stretched_Hidden_Surface():Either source or dest is lost"}));
}

}  // namespace
