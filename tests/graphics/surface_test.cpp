// Surfaces: placement in video or system memory, creation failures, locking
// and the 5-6-5 flag, clearing, keys, dimensions, loss and restoration, text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

// A display format: the depth and, at two bytes, the green mask of its layout.
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

class SurfaceTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Reset_Trace_Flags();
    }
    void TearDown() override {
        for (Surface* s : made) Release(s);
        for (Surface** global : {&Scratch_Pad}) {
            Release(*global);
            *global = nullptr;
        }
        Shutdown_Direct_Draw();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        ProgramTest::TearDown();
    }

    // A device interface at the given format, as the display set-up leaves it,
    // without the global surfaces.
    void Open_Device(Format format, int width = 640, int height = 480) {
        dd_config.desktop_width = width;
        dd_config.desktop_height = height;
        dd_config.desktop_bpp = format.depth;
        if (format.depth == 15) dd_config.green_mask_15 = format.green_mask;
        if (format.depth == 16) dd_config.green_mask_16 = format.green_mask;
        app.screen_width = width;
        app.screen_height = height;
        app.screen_bpp = format.depth;
        ASSERT_EQ(DirectDrawCreate(&Direct_Draw), DD_OK);
        ASSERT_EQ(DD_QueryInterface(Direct_Draw, &Direct_Draw_Interface), DD_OK);
        Release(Direct_Draw);
        Direct_Draw = nullptr;
    }
    // A system-memory surface that the test releases at its end.
    Surface* Make(int width, int height) {
        Surface* s = nullptr;
        EXPECT_EQ(Create_SYSTEM_Surface(&s, width, height), 1);
        made.push_back(s);
        return s;
    }
    static std::vector<std::string> Box_Texts() {
        std::vector<std::string> texts;
        for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
        return texts;
    }
    static bool All_Zero(Surface* s) {
        int row_bytes = s->width * ((s->bits_per_pixel + 7) / 8);
        for (int y = 0; y < s->height; ++y)
            for (int x = 0; x < row_bytes; ++x)
                if (s->memory[size_t(y) * s->pitch + x] != 0) return false;
        return true;
    }

    std::vector<Surface*> made;
};

class SurfaceFormatTest : public SurfaceTest, public ::testing::WithParamInterface<Format> {};

// ---------------------------------------------------------------------------
// Placement

TEST_P(SurfaceFormatTest, VideoMemoryEqualToTheNeedIsEnoughAndOneByteLessGoesToSystem) {
    Format format = GetParam();
    Open_Device(format);
    int stored_bits = format.depth == 15 ? 16 : format.depth;
    uint32_t needed = uint32_t(stored_bits) * 100 * 50 / 8;

    dd_config.video_memory_total = needed;
    Surface* fits = nullptr;
    ASSERT_EQ(Create_Surface(&fits, 100, 50), 1);
    made.push_back(fits);
    EXPECT_EQ(fits->placement, Placement::VIDEO);
    EXPECT_EQ(fits->bits_per_pixel, format.depth);
    EXPECT_EQ(fits->green_mask, format.green_mask);
    EXPECT_TRUE(platform_boxes.empty());

    // The first surface used up the budget except for one byte short of another.
    dd_config.video_memory_total = 2 * needed - 1;
    Surface* spills = nullptr;
    ASSERT_EQ(Create_Surface(&spills, 100, 50), 1);
    made.push_back(spills);
    EXPECT_EQ(spills->placement, Placement::SYSTEM);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM"});
    EXPECT_TRUE(All_Zero(spills));
    EXPECT_EQ(spills->colour_key, 0u);
}

TEST_P(SurfaceFormatTest, LockGivesPixelsAndPitchAndSetsTheFlagFromTheGreenMask) {
    Format format = GetParam();
    Open_Device(format);
    dd_config.pitch_padding = 12;
    Surface* s = Make(30, 20);

    format_565 = format.green_mask == 0x07E0 ? 0 : 1;  // the opposite of what the lock must set
    int pitch = -1;
    uint8_t* pixels = Lock_Surface(s, &pitch);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pitch, s->pitch);
    EXPECT_EQ(pitch, 30 * ((format.depth + 7) / 8) + 12);
    EXPECT_EQ(format_565, format.green_mask == 0x07E0 ? 1 : 0);
    pixels[19 * pitch] = 0x5A;  // first byte of the last row
    Unlock_Surface(s);
    EXPECT_EQ(s->memory[size_t(19) * s->pitch], 0x5A);
    EXPECT_EQ(s->lock_count, 0);
}

TEST_P(SurfaceFormatTest, ClearFillsEveryPixelWithZero) {
    Open_Device(GetParam());
    dd_config.pitch_padding = 4;
    Surface* s = Make(33, 7);
    std::fill(s->memory.begin(), s->memory.end(), 0xA5);
    EXPECT_EQ(Clear(s), 1);
    EXPECT_TRUE(All_Zero(s));
}

INSTANTIATE_TEST_SUITE_P(AllFormats, SurfaceFormatTest, ::testing::ValuesIn(all_formats), Name_Of);

TEST_F(SurfaceTest, WideSurfacesGoToSystemMemoryOnADeviceWithoutWideSupport) {
    Open_Device({16, 0x07E0});
    dd_config.wide_surfaces = false;
    EXPECT_EQ(Wide_Surfaces_Supported(), 0);
    Surface* wide = nullptr;
    ASSERT_EQ(Create_Surface(&wide, 641, 10), 1);
    made.push_back(wide);
    EXPECT_EQ(wide->placement, Placement::SYSTEM);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM"});

    // As wide as the screen is not wider than the primary surface.
    Surface* screen_wide = nullptr;
    ASSERT_EQ(Create_Surface(&screen_wide, 640, 10), 1);
    made.push_back(screen_wide);
    EXPECT_EQ(screen_wide->placement, Placement::VIDEO);

    dd_config.wide_surfaces = true;
    EXPECT_EQ(Wide_Surfaces_Supported(), 1);
    Surface* allowed = nullptr;
    ASSERT_EQ(Create_Surface(&allowed, 641, 10), 1);
    made.push_back(allowed);
    EXPECT_EQ(allowed->placement, Placement::VIDEO);

    dd_faults.get_caps = DDERR_GENERIC;
    EXPECT_EQ(Wide_Surfaces_Supported(), 0);
}

TEST_F(SurfaceTest, VideoMemoryQueryNeedsADevice) {
    uint32_t total = 7, free = 7;
    EXPECT_EQ(Get_Available_Video_Memory(&total, &free), 0);
    EXPECT_EQ(Wide_Surfaces_Supported(), 0);
    Surface* s = nullptr;
    EXPECT_EQ(Create_Surface(&s, 10, 10), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Create_Surface():Unable to determine available video memory"});

    Open_Device({32, 0});
    dd_config.video_memory_total = 5000;
    ASSERT_EQ(Get_Available_Video_Memory(&total, &free), 1);
    EXPECT_EQ(total, 5000u);
    EXPECT_EQ(free, 5000u);

    dd_faults.available_video_memory = DDERR_GENERIC;
    platform_boxes.clear();
    EXPECT_EQ(Get_Available_Video_Memory(&total, &free), 0);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(Create_Surface(&s, 10, 10), 0);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Create_Surface():Unable to determine available video memory"});
}

// ---------------------------------------------------------------------------
// Creation failures

// The texts of Create_Surface for a 100 x 50 surface at depth 16 (0.020 MB).
struct Create_Failure {
    HRESULT code;
    const char* text;
};
const Create_Failure create_failures[] = {
    {DDERR_OUTOFVIDEOMEMORY,
     "Create_Surface()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display memory\n to perform the "
     "operation. Cannot create surface\nwidth = 100\nheight = 50N.B. Some video cards do not support\nVIDEOMEMORY "
     "surfaces\nthat are wider than the primary surface\nat least 0.020 MB required"},
    {DDERR_NOCOOPERATIVELEVELSET,
     "Create_Surface()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the "
     "\nIDirectDraw4::SetCooperativeLevel method being called. "},
    {DDERR_OUTOFMEMORY,
     "Create_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the operation\nat "
     "least 0.020 MB required"},
    {DDERR_INVALIDPARAMS,
     "Create_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the method are incorrect."},
    {DDERR_INVALIDCAPS,
     "Create_Surface()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to the callback function are "
     "incorrect."},
    {DDERR_GENERIC,
     "Create_Surface():DEFAULT\nCannot create surface\nwidth = 100\nheight = 50N.B. Some video cards do not "
     "support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least 0.020 MB required"},
};

TEST_F(SurfaceTest, EachCreateFailureCodeHasItsTextInBothCreators) {
    Open_Device({16, 0x07E0});
    for (const Create_Failure& failure : create_failures) {
        SCOPED_TRACE(failure.text);
        dd_faults.create_surface = failure.code;

        platform_boxes.clear();
        Surface* s = nullptr;
        EXPECT_EQ(Create_Surface(&s, 100, 50), 0);
        EXPECT_EQ(Box_Texts(), std::vector<std::string>{failure.text});

        // Create_SYSTEM_Surface says the same with its own name in front.
        std::string system_text = failure.text;
        system_text.replace(0, std::strlen("Create_Surface"), "Create_SYSTEM_Surface");
        platform_boxes.clear();
        EXPECT_EQ(Create_SYSTEM_Surface(&s, 100, 50), 0);
        EXPECT_EQ(Box_Texts(), std::vector<std::string>{system_text});
        EXPECT_EQ(s, nullptr);
    }
    EXPECT_EQ(DD_Live_Surface_Count(), 0);
}

TEST_F(SurfaceTest, MegabyteFigureOfAScreenSizedSurfaceAt32Bits) {
    Open_Device({32, 0}, 1024, 768);
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    Surface* s = nullptr;
    EXPECT_EQ(Create_Surface(&s, 1024, 768), 0);
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text,
              "Create_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the "
              "operation\nat least 6.144 MB required");
}

TEST_F(SurfaceTest, OutOfVideoMemoryOnAVideoRequestIsNotRetriedInSystemMemory) {
    // The budget says it fits, the device still refuses: reported, not retried.
    Open_Device({32, 0});
    dd_faults.create_surface = DDERR_OUTOFVIDEOMEMORY;
    Surface* s = nullptr;
    EXPECT_EQ(Create_Surface(&s, 100, 50), 0);
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text.rfind("Create_Surface()DDERR_OUTOFVIDEOMEMORY\n", 0), 0u);
    EXPECT_EQ(DD_Live_Surface_Count(), 0);
}

TEST_F(SurfaceTest, SystemCreatorRefusesAHandleInUseAndCreateSurfaceOverwritesIt) {
    Open_Device({16, 0x07E0});
    Surface* s = Make(8, 8);
    s->memory[0] = 0x77;
    Surface* kept = s;

    EXPECT_EQ(Create_SYSTEM_Surface(&s, 16, 16), 0);
    EXPECT_EQ(s, kept);
    EXPECT_EQ(s->width, 8);
    EXPECT_EQ(s->memory[0], 0x77);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Create_SYSTEM_Surface(): surface_to_create should be NULL"});

    ASSERT_EQ(Create_Surface(&s, 16, 16), 1);
    EXPECT_NE(s, kept);
    EXPECT_EQ(s->width, 16);
    made.push_back(s);
}

TEST_F(SurfaceTest, FailedClearOrKeyAfterCreationLeavesTheSurfaceForTheCaller) {
    Open_Device({24, 0});
    dd_faults.set_colour_key = DDERR_GENERIC;
    Surface* s = nullptr;
    EXPECT_EQ(Create_Surface(&s, 10, 10), 0);
    ASSERT_NE(s, nullptr);
    made.push_back(s);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Set_Transparency(): SetColorKey FAILED",
                                                     "Create_Surface(): Set Transparency FAILED"}));

    dd_faults.set_colour_key = DD_OK;
    dd_faults.blt_answer = DDERR_LOCKEDSURFACES;
    platform_boxes.clear();
    Surface* t = nullptr;
    EXPECT_EQ(Create_SYSTEM_Surface(&t, 10, 10), 0);
    ASSERT_NE(t, nullptr);
    made.push_back(t);
    EXPECT_EQ(Box_Texts(),
              (std::vector<std::string>{"Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!",
                                        "Create_SYSTEM_Surface(): Clear FAILED"}));
}

TEST_F(SurfaceTest, CreatorsTraceTheirFirstSuccessOnly) {
    TempFolder folder;
    app.error_log_enabled = true;
    app.error_log_path = folder.file("error_log.txt");
    ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File("Title\r\n"), 1);
    Open_Device({32, 0});

    // Refused first: its entry is traced again by the next call, which succeeds.
    Surface in_use;
    Surface* s = &in_use;
    EXPECT_EQ(Create_SYSTEM_Surface(&s, 4, 4), 0);
    Make(4, 4);
    Make(4, 4);
    Close_Error_Log_File();

    FILE* file = fopen(app.error_log_path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string log(40000, '\0');
    log.resize(fread(log.data(), 1, log.size(), file));
    fclose(file);
    std::string records = log.substr(log.find("Title\r\n") + 7);
    EXPECT_EQ(records,
              "\r\nEntering Create_SYSTEM_Surface"
              "\r\nCreate_SYSTEM_Surface(): surface_to_create should be NULL"
              "\r\nEntering Create_SYSTEM_Surface"
              "\r\nExitting Create_SYSTEM_Surface");
}

// ---------------------------------------------------------------------------
// Locking

TEST_F(SurfaceTest, LockFailuresReportTheirCodeAndOtherCodesGiveAnEmptyDescription) {
    Open_Device({16, 0x07E0});
    Surface* s = Make(4, 4);
    EXPECT_EQ(Lock_Surface(nullptr), nullptr);
    EXPECT_TRUE(platform_boxes.empty());

    const std::pair<HRESULT, const char*> reported[] = {
        {DDERR_WASSTILLDRAWING, "Lock_Surface():DDERR_WASSTILLDRAWING"},
        {DDERR_SURFACEBUSY, "Lock_Surface():DDERR_SURFACEBUSY"},
        {DDERR_OUTOFMEMORY, "Lock_Surface():DDERR_OUTOFMEMORY"},
        {DDERR_INVALIDPARAMS, "Lock_Surface():DDERR_INVALIDPARAMS"},
        {DDERR_INVALIDOBJECT, "Lock_Surface():DDERR_INVALIDOBJECT"},
    };
    for (const auto& [code, text] : reported) {
        dd_faults.lock_answer = code;
        platform_boxes.clear();
        EXPECT_EQ(Lock_Surface(s), nullptr);
        EXPECT_EQ(Box_Texts(), std::vector<std::string>{text});
    }

    dd_faults.lock_answer = DDERR_GENERIC;
    platform_boxes.clear();
    format_565 = 1;
    int pitch = 99;
    EXPECT_EQ(Lock_Surface(s, &pitch), nullptr);
    EXPECT_EQ(pitch, 0);
    EXPECT_EQ(format_565, 0);
    EXPECT_TRUE(platform_boxes.empty());

    // A surface already locked is busy.
    dd_faults.lock_answer = DD_OK;
    ASSERT_NE(Lock_Surface(s), nullptr);
    EXPECT_EQ(Lock_Surface(s), nullptr);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Lock_Surface():DDERR_SURFACEBUSY"});
    Unlock_Surface(s);
    Unlock_Surface(nullptr);
}

TEST_F(SurfaceTest, LockRestoresLostGlobalsAndGivesUpOnOthers) {
    Open_Device({32, 0});
    ASSERT_EQ(Create_SYSTEM_Surface(&Scratch_Pad, 8, 8), 1);
    Surface* other = Make(8, 8);

    DD_Lose_All_Surfaces();
    EXPECT_NE(Lock_Surface(Scratch_Pad), nullptr);
    EXPECT_FALSE(Scratch_Pad->lost);
    Unlock_Surface(Scratch_Pad);

    // Not one of the globals: its owner restores it; the lock must not spin.
    EXPECT_EQ(Lock_Surface(other), nullptr);
    EXPECT_TRUE(other->lost);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Lock_Surface():DDERR_SURFACELOST"});

    DD_Lose_All_Surfaces();
    dd_faults.restore_fails = true;
    platform_boxes.clear();
    EXPECT_EQ(Lock_Surface(Scratch_Pad), nullptr);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Restore_All_Surfaces():Unable to restore Scratch_Pad",
                                                     "Lock_Surface():DDERR_SURFACELOST"}));
}

// ---------------------------------------------------------------------------
// Clearing, keys, dimensions

TEST_F(SurfaceTest, ClearRetriesABusyDeviceButNotForever) {
    Open_Device({16, 0x03E0});
    Surface* s = Make(4, 4);
    EXPECT_EQ(Clear(nullptr), 0);

    std::fill(s->memory.begin(), s->memory.end(), 0xFF);
    dd_faults.blt_busy = 3;
    dd_faults.blt_still_drawing = 2;
    EXPECT_EQ(Clear(s), 1);
    EXPECT_TRUE(All_Zero(s));
    EXPECT_TRUE(platform_boxes.empty());

    dd_faults.blt_answer = DDERR_GENERIC;
    long calls_before = dd_blt_calls;
    EXPECT_EQ(Clear(s), 0);
    EXPECT_GT(dd_blt_calls - calls_before, 1);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Clear(): Blt COLORFILL FAILED"});

    dd_faults.blt_answer = DD_OK;
    platform_boxes.clear();
    ASSERT_NE(Lock_Surface(s), nullptr);
    EXPECT_EQ(Clear(s), 0);
    EXPECT_EQ(Box_Texts(),
              std::vector<std::string>{"Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!"});
    Unlock_Surface(s);
}

TEST_F(SurfaceTest, ClearOfALostSurfaceRestoresTheGlobalsFirst) {
    Open_Device({8, 0});
    ASSERT_EQ(Create_SYSTEM_Surface(&Scratch_Pad, 4, 4), 1);
    Surface* other = Make(4, 4);
    DD_Lose_All_Surfaces();
    Scratch_Pad->memory.assign(Scratch_Pad->memory.size(), 9);
    EXPECT_EQ(Clear(Scratch_Pad), 1);
    EXPECT_TRUE(All_Zero(Scratch_Pad));

    EXPECT_EQ(Clear(other), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Clear(): DDERR_SURFACELOST"});

    DD_Lose_All_Surfaces();
    dd_faults.restore_fails = true;
    platform_boxes.clear();
    EXPECT_EQ(Clear(Scratch_Pad), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Restore_All_Surfaces():Unable to restore Scratch_Pad"});
}

TEST_F(SurfaceTest, TransparencyKeyIsStoredOrReported) {
    Open_Device({32, 0});
    Surface* s = Make(2, 2);
    EXPECT_EQ(Set_Transparency(s, 0xFFFFFF), 1);
    EXPECT_EQ(s->colour_key, 0xFFFFFFu);
    dd_faults.set_colour_key = DDERR_GENERIC;
    EXPECT_EQ(Set_Transparency(s, 5), 0);
    EXPECT_EQ(s->colour_key, 0xFFFFFFu);
    EXPECT_EQ(Set_Transparency(nullptr, 5), 0);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Set_Transparency(): SetColorKey FAILED",
                                                     "Set_Transparency(): SetColorKey FAILED"}));
}

TEST_F(SurfaceTest, DimensionsOfNullLostAndUndescribableSurfaces) {
    Open_Device({15, 0x03E0});
    Surface* s = Make(37, 11);
    int width = -1, height = -1;
    EXPECT_EQ(Grab_Surface_Dimensions(s, &width, &height), 1);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 11);

    EXPECT_EQ(Grab_Surface_Dimensions(nullptr, &width, &height), 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);

    width = 5, height = 6;
    s->lost = true;
    EXPECT_EQ(Grab_Surface_Dimensions(s, &width, &height), 0);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 6);
    EXPECT_TRUE(s->lost);  // no restore is tried
    s->lost = false;

    dd_faults.get_surface_desc = DDERR_GENERIC;
    EXPECT_EQ(Grab_Surface_Dimensions(s, &width, &height), 0);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{" Grab_Surface_Dimensions(): Surface NULL",
                                                     " Grab_Surface_Dimensions(): Surface LOST",
                                                     "Grab_Surface_Dimensions():Get Surface Description FAILED"}));
}

// ---------------------------------------------------------------------------
// Restoring the globals

TEST_F(SurfaceTest, RestoreAllSurfacesGoesInOrderAndStopsAtTheFirstFailure) {
    Open_Device({16, 0x07E0});
    ASSERT_EQ(Create_SYSTEM_Surface(&Visible, 4, 4), 1);
    ASSERT_EQ(Create_SYSTEM_Surface(&Hidden, 4, 4), 1);
    ASSERT_EQ(Create_SYSTEM_Surface(&Scratch_Pad, 4, 4), 1);

    EXPECT_EQ(Restore_All_Surfaces(), 1);  // nothing lost
    EXPECT_TRUE(platform_boxes.empty());

    DD_Lose_All_Surfaces();
    dd_faults.restore_fails = true;
    EXPECT_EQ(Restore_All_Surfaces(), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Restore_All_Surfaces():Unable to restore Visible Surface"});

    Visible->lost = false;
    platform_boxes.clear();
    EXPECT_EQ(Restore_All_Surfaces(), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Restore_All_Surfaces():Unable to restore Hidden Surface"});

    Hidden->lost = false;
    platform_boxes.clear();
    EXPECT_EQ(Restore_All_Surfaces(), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Restore_All_Surfaces():Unable to restore Scratch_Pad"});

    dd_faults.restore_fails = false;
    DD_Lose_All_Surfaces();
    EXPECT_EQ(Restore_All_Surfaces(), 1);
    EXPECT_FALSE(Visible->lost || Hidden->lost || Scratch_Pad->lost);

    // Missing globals are skipped.
    Release(Hidden);
    Hidden = nullptr;
    EXPECT_EQ(Restore_All_Surfaces(), 1);
}

// ---------------------------------------------------------------------------
// Text

// Number of pixels in rows [top, bottom) that are not 0.
int Lit_Pixels(Surface* s, int top, int bottom) {
    int bytes = (s->bits_per_pixel + 7) / 8;
    int lit = 0;
    for (int y = top; y < bottom && y < s->height; ++y)
        for (int x = 0; x < s->width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, s->memory.data() + size_t(y) * s->pitch + size_t(x) * bytes, size_t(bytes));
            lit += v != 0;
        }
    return lit;
}

TEST_F(SurfaceTest, GdiTextDrawsOnTheSurfaceAndRefusesWhatItCannotDrawOn) {
    Open_Device({32, 0});
    Surface* s = Make(200, 40);
    EXPECT_EQ(Draw_GDI_Text(nullptr, 0, 0, RGB(255, 255, 255), "x"), 0);
    EXPECT_EQ(Draw_GDI_Text(s, 0, 20, RGB(255, 255, 255), "Hello"), 1);
    EXPECT_EQ(Lit_Pixels(s, 0, 20), 0);
    EXPECT_GT(Lit_Pixels(s, 20, 40), 0);
    EXPECT_EQ(s->lock_count, 0);  // the device context was given back

    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Draw_GDI_Text(s, 0, 0, RGB(255, 255, 255), "Hello"), 0);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(SurfaceTest, FrameRateTextOnlyWhenAskedFor) {
    Open_Device({16, 0x07E0});
    ASSERT_EQ(Create_SYSTEM_Surface(&Hidden, 200, 60), 1);
    std::strcpy(fps_text, "60.0 fps");

    Display_GDI_FPS();
    EXPECT_EQ(Lit_Pixels(Hidden, 0, 60), 0);

    app.show_fps = true;
    Display_GDI_FPS();
    EXPECT_GT(Lit_Pixels(Hidden, 0, 20), 0);
}

}  // namespace
