// The memory-only display device: formats, modes, copies and injected faults.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/ddraw.h"
#include "platform/row_bands.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

class DeviceTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_EQ(DirectDrawCreate(&first), DD_OK);
        ASSERT_EQ(DD_QueryInterface(first, &device), DD_OK);
        ASSERT_EQ(DD_SetCooperativeLevel(device, &window, DDSCL_NORMAL), DD_OK);
    }
    void TearDown() override {
        for (Surface* s : made) Release(s);
        Release(device);
        Release(first);
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        ProgramTest::TearDown();
    }
    Surface* make(int w, int h, uint32_t caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY) {
        Surface* s = nullptr;
        SurfaceDesc desc;
        desc.caps = caps;
        desc.width = w;
        desc.height = h;
        EXPECT_EQ(DD_CreateSurface(device, desc, &s), DD_OK);
        if (s) made.push_back(s);
        return s;
    }
    // Pixel value at (x, y) read straight from memory.
    static uint32_t at(Surface* s, int x, int y) {
        const int bpp = s->bits_per_pixel == 8 ? 1 : s->bits_per_pixel <= 16 ? 2 : s->bits_per_pixel / 8;
        uint32_t v = 0;
        std::memcpy(&v, s->memory.data() + size_t(y) * s->pitch + size_t(x) * bpp, size_t(bpp));
        return v;
    }
    static void put(Surface* s, int x, int y, uint32_t v) {
        const int bpp = s->bits_per_pixel == 8 ? 1 : s->bits_per_pixel <= 16 ? 2 : s->bits_per_pixel / 8;
        std::memcpy(s->memory.data() + size_t(y) * s->pitch + size_t(x) * bpp, &v, size_t(bpp));
    }
    // Fills with a pattern unique per pixel (within the depth's bits).
    static void pattern(Surface* s) {
        for (int y = 0; y < s->height; ++y)
            for (int x = 0; x < s->width; ++x) put(s, x, y, uint32_t(1 + x + 37 * y) & 0x7F);
    }

    DirectDrawDevice* first = nullptr;
    DirectDrawDevice* device = nullptr;
    Window window;
    std::vector<Surface*> made;
};

TEST_F(DeviceTest, SurfacesTakeTheDisplayFormatAndPaddedPitch) {
    struct Case {
        int depth;
        uint32_t mask16;
        int bytes;
        uint32_t green;
    } cases[] = {{8, 0x07E0, 1, 0},       {15, 0x07E0, 2, 0x03E0}, {16, 0x07E0, 2, 0x07E0},
                 {16, 0x03E0, 2, 0x03E0}, {24, 0x07E0, 3, 0},      {32, 0x07E0, 4, 0}};
    dd_config.pitch_padding = 12;
    for (const Case& c : cases) {
        dd_config.desktop_bpp = c.depth;
        dd_config.green_mask_16 = c.mask16;
        Surface* s = make(10, 4);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->bits_per_pixel, c.depth);
        EXPECT_EQ(s->green_mask, c.green) << c.depth;
        EXPECT_EQ(s->pitch, 10 * c.bytes + 12);
        SurfaceDesc desc;
        ASSERT_EQ(Surface_Lock(s, &desc), DD_OK);
        EXPECT_EQ(desc.pitch, s->pitch);
        EXPECT_EQ(desc.green_mask, c.green);
        EXPECT_EQ(Surface_Lock(s, &desc), DDERR_SURFACEBUSY) << "a second lock is refused";
        EXPECT_EQ(Surface_Unlock(s), DD_OK);
        EXPECT_EQ(Surface_Unlock(s), DDERR_NOTLOCKED);
    }
}

TEST_F(DeviceTest, DisplayModesCanBeRefusedAndRestored) {
    dd_faults.refused_depths = {32, 24};
    EXPECT_EQ(DD_SetDisplayMode(device, 640, 480, 32), DDERR_INVALIDMODE);
    EXPECT_EQ(DD_SetDisplayMode(device, 640, 480, 12), DDERR_INVALIDMODE);
    EXPECT_EQ(DD_SetDisplayMode(device, 640, 480, 16), DD_OK);
    EXPECT_EQ(DD_Current_Depth(), 16);
    Surface* primary = make(0, 0, DDSCAPS_PRIMARYSURFACE);
    ASSERT_NE(primary, nullptr);
    EXPECT_TRUE(primary->is_primary);
    EXPECT_EQ(primary->width, 640);
    EXPECT_EQ(primary->height, 480);
    EXPECT_EQ(DD_Primary_Surface(), primary);
    EXPECT_EQ(DD_RestoreDisplayMode(device), DD_OK);
    EXPECT_EQ(DD_Current_Depth(), dd_config.desktop_bpp);
}

TEST_F(DeviceTest, BltMirrorsKeysAndStretchesAtEveryDepth) {
    // Once on one thread, once in row bands as big copies go: the same pixels.
    for (int threads : {1, 3})
        for (int depth : {8, 16, 24, 32}) {
            row_band_threads = threads;
            dd_config.desktop_bpp = depth;
            Surface* src = make(8, 6);
            Surface* dst = make(16, 12);
            pattern(src);
            Rect sr{2, 1, 6, 5}, dr{3, 2, 7, 6};
            BltFx fx;
            fx.effects = DDBLTFX_MIRRORLEFTRIGHT;
            ASSERT_EQ(Surface_Blt(dst, &dr, src, &sr, DDBLT_DDFX, &fx), DD_OK);
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) EXPECT_EQ(at(dst, 3 + i, 2 + j), at(src, 2 + 3 - i, 1 + j));
            fx.effects = DDBLTFX_MIRRORUPDOWN;
            ASSERT_EQ(Surface_Blt(dst, &dr, src, &sr, DDBLT_DDFX, &fx), DD_OK);
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) EXPECT_EQ(at(dst, 3 + i, 2 + j), at(src, 2 + i, 1 + 3 - j));

            // Key: pixels equal to the source key leave the destination alone.
            Rect all{0, 0, 8, 6};
            BltFx fill;
            fill.fill_colour = 0x55;
            ASSERT_EQ(Surface_Blt(dst, nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
            src->colour_key = at(src, 1, 1);
            ASSERT_EQ(Surface_Blt(dst, &all, src, &all, DDBLT_KEYSRC, nullptr), DD_OK);
            EXPECT_EQ(at(dst, 1, 1), 0x55u);
            EXPECT_EQ(at(dst, 2, 1), at(src, 2, 1));

            // Stretch: 2x in both directions, every source pixel becomes a 2x2 block.
            Rect big{0, 0, 16, 12};
            BltFx none;
            ASSERT_EQ(Surface_Blt(dst, &big, src, &all, DDBLT_DDFX, &none), DD_OK);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x) EXPECT_EQ(at(dst, x, y), at(src, x / 2, y / 2));
            Release(src);
            Release(dst);
            made.clear();
        }
    row_band_threads = 0;
}

TEST_F(DeviceTest, ACopyOntoItselfThatOverlapsKeepsItsOrderInBands) {
    std::vector<uint8_t> results[2];
    for (int threads : {1, 4}) {
        row_band_threads = threads;
        Surface* s = make(8, 12);
        pattern(s);
        Rect from{0, 0, 8, 8}, to{0, 3, 8, 11}, beside{0, 0, 4, 12}, right{4, 0, 8, 12};
        BltFx none;
        ASSERT_EQ(Surface_Blt(s, &to, s, &from, DDBLT_DDFX, &none), DD_OK);
        BltFx mirror;
        mirror.effects = DDBLTFX_MIRRORLEFTRIGHT;
        ASSERT_EQ(Surface_Blt(s, &right, s, &beside, DDBLT_DDFX, &mirror), DD_OK);
        results[threads == 1 ? 0 : 1] = s->memory;
    }
    row_band_threads = 0;
    EXPECT_EQ(results[0], results[1]);
}

TEST_F(DeviceTest, RectanglesOutsideTheirSurfaceAreRefusedAndNothingDrawn) {
    Surface* src = make(8, 8);
    Surface* dst = make(8, 8);
    pattern(src);
    Rect crossing{4, 4, 12, 12}, inside{0, 0, 8, 8}, empty{2, 2, 2, 4};
    EXPECT_EQ(Surface_Blt(dst, &crossing, src, &inside, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(Surface_Blt(dst, &inside, src, &crossing, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(Surface_Blt(dst, &empty, src, &inside, 0, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(Surface_BltFast(dst, 1, 0, src, &inside, DDBLTFAST_NOCOLORKEY), DDERR_INVALIDRECT);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(at(dst, x, y), 0u);
}

TEST_F(DeviceTest, LockedLostAndClippedSurfacesAnswerAsTheProgramExpects) {
    Surface* src = make(8, 8);
    Surface* dst = make(8, 8);
    SurfaceDesc desc;
    ASSERT_EQ(Surface_Lock(src, &desc), DD_OK);
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DDERR_LOCKEDSURFACES);
    Surface_Unlock(src);

    DeviceContext* dc = nullptr;
    ASSERT_EQ(Surface_GetDC(dst, &dc), DD_OK);
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DDERR_LOCKEDSURFACES);
    EXPECT_EQ(Surface_ReleaseDC(dst, dc), DD_OK);

    DD_Lose_All_Surfaces();
    EXPECT_EQ(Surface_IsLost(src), DDERR_SURFACELOST);
    EXPECT_EQ(Surface_Lock(src, &desc), DDERR_SURFACELOST);
    dd_faults.restore_fails = true;
    EXPECT_NE(Surface_Restore(src), DD_OK);
    dd_faults.restore_fails = false;
    EXPECT_EQ(Surface_Restore(src), DD_OK);
    EXPECT_EQ(Surface_Restore(dst), DD_OK);
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DD_OK);

    Clipper* clipper = nullptr;
    ASSERT_EQ(DD_CreateClipper(device, 0, &clipper), DD_OK);
    ASSERT_EQ(Surface_SetClipper(dst, clipper), DD_OK);
    EXPECT_EQ(Surface_BltFast(dst, 0, 0, src, nullptr, DDBLTFAST_NOCOLORKEY), DDERR_UNSUPPORTED);
    Release(clipper);
    EXPECT_EQ(dst->clipper, nullptr) << "releasing a clipper detaches it";
}

TEST_F(DeviceTest, AClipperKeepsCopiesInsideTheWindow) {
    Surface* src = make(20, 20);
    Surface* desktop = make(40, 30);
    pattern(src);
    window.screen_x = 10;
    window.screen_y = 5;
    window.client_width = 6;
    window.client_height = 4;
    Clipper* clipper = nullptr;
    ASSERT_EQ(DD_CreateClipper(device, 0, &clipper), DD_OK);
    ASSERT_EQ(Clipper_SetHWnd(clipper, &window), DD_OK);
    ASSERT_EQ(Surface_SetClipper(desktop, clipper), DD_OK);
    Rect dr{8, 4, 28, 24}, sr{0, 0, 20, 20};
    ASSERT_EQ(Surface_Blt(desktop, &dr, src, &sr, 0, nullptr), DD_OK);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 16 && y >= 5 && y < 9;
            ASSERT_EQ(at(desktop, x, y), inside ? at(src, x - 8, y - 4) : 0u) << x << "," << y;
        }
    window.iconic = true;
    BltFx fill;
    fill.fill_colour = 7;
    ASSERT_EQ(Surface_Blt(desktop, nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
    EXPECT_EQ(at(desktop, 12, 6), at(src, 4, 2)) << "a minimised window shows nothing new";
    Release(clipper);
}

TEST_F(DeviceTest, AWindowPartlyOffTheDesktopTakesTheCopyThatFits) {
    Surface* src = make(10, 10);
    Surface* desktop = make(20, 20);
    pattern(src);
    window.screen_x = -4;
    window.screen_y = 15;
    window.client_width = 10;
    window.client_height = 10;
    Clipper* clipper = nullptr;
    ASSERT_EQ(DD_CreateClipper(device, 0, &clipper), DD_OK);
    ASSERT_EQ(Clipper_SetHWnd(clipper, &window), DD_OK);
    Rect dr{-4, 15, 6, 25}, sr{0, 0, 10, 10};
    EXPECT_EQ(Surface_Blt(desktop, &dr, src, &sr, 0, nullptr), DDERR_INVALIDRECT) << "no clipper: refused";
    ASSERT_EQ(Surface_SetClipper(desktop, clipper), DD_OK);
    Rect half{-4, 15, 1, 20};  // a stretch to half size
    ASSERT_EQ(Surface_Blt(desktop, &half, src, &sr, 0, nullptr), DD_OK);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x < 1 && y >= 15;
            ASSERT_EQ(at(desktop, x, y), inside ? at(src, (x + 4) * 2, (y - 15) * 2) : 0u) << x << "," << y;
        }
    Release(clipper);
}

TEST_F(DeviceTest, VideoMemoryIsBudgetedAndGivenBack) {
    dd_config.video_memory_total = 100 * 4 * 10 + 100;
    uint32_t total = 0, free = 0;
    ASSERT_EQ(DD_GetAvailableVidMem(device, &total, &free), DD_OK);
    EXPECT_EQ(free, total);
    Surface* s = make(100, 10, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(s->placement, Placement::VIDEO);
    DD_GetAvailableVidMem(device, &total, &free);
    EXPECT_EQ(free, 100u);
    Surface* more = nullptr;
    SurfaceDesc desc;
    desc.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;
    desc.width = 10;
    desc.height = 10;
    EXPECT_EQ(DD_CreateSurface(device, desc, &more), DDERR_OUTOFVIDEOMEMORY);
    Release(s);
    made.clear();
    DD_GetAvailableVidMem(device, &total, &free);
    EXPECT_EQ(free, total);

    DDCaps caps;
    dd_config.wide_surfaces = false;
    ASSERT_EQ(DD_GetCaps(device, &caps), DD_OK);
    EXPECT_EQ(caps.caps2 & DDCAPS2_WIDESURFACES, 0u);
}

TEST_F(DeviceTest, InjectedAnswersAreUsedUpOneCallAtATime) {
    Surface* src = make(4, 4);
    Surface* dst = make(4, 4);
    dd_faults.blt_busy = 2;
    dd_faults.blt_still_drawing = 1;
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(Surface_BltFast(dst, 0, 0, src, nullptr, 0), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(dd_blt_calls, 4);

    dd_faults.lose_on_blt = 1;
    EXPECT_EQ(Surface_Blt(dst, nullptr, src, nullptr, 0, nullptr), DDERR_SURFACELOST);
    EXPECT_TRUE(dst->lost);
    EXPECT_TRUE(src->lost);
    Surface_Restore(src);
    Surface_Restore(dst);

    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    dd_faults.create_surface_after = 1;
    Surface* ok = make(2, 2);
    EXPECT_NE(ok, nullptr);
    Surface* refused = nullptr;
    SurfaceDesc desc;
    desc.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.width = desc.height = 2;
    EXPECT_EQ(DD_CreateSurface(device, desc, &refused), DDERR_OUTOFMEMORY);
    EXPECT_EQ(refused, nullptr);

    dd_faults.blt_status_still_drawing = 2;
    EXPECT_EQ(Surface_GetBltStatus(src, DDGBS_ISBLTDONE), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(Surface_GetBltStatus(src, DDGBS_ISBLTDONE), DDERR_WASSTILLDRAWING);
    EXPECT_EQ(Surface_GetBltStatus(src, DDGBS_ISBLTDONE), DD_OK);

    EXPECT_EQ(DD_WaitForVerticalBlank(device, DDWAITVB_BLOCKBEGIN), DD_OK);
    EXPECT_EQ(dd_vertical_blank_waits, 1);
}

TEST_F(DeviceTest, PalettesAreCopiedAndDetachedOnRelease) {
    dd_config.desktop_bpp = 8;
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), 3, 0};
    Palette* palette = nullptr;
    ASSERT_EQ(DD_CreatePalette(device, DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
    Surface* primary = make(0, 0, DDSCAPS_PRIMARYSURFACE);
    ASSERT_EQ(Surface_SetPalette(primary, palette), DD_OK);
    EXPECT_EQ(DD_Current_Palette(), palette);
    PaletteEntry one{9, 8, 7, 0};
    ASSERT_EQ(Palette_SetEntries(palette, 255, 1, &one), DD_OK);
    EXPECT_EQ(Palette_SetEntries(palette, 255, 2, &one), DDERR_INVALIDPARAMS);
    PaletteEntry back[256];
    ASSERT_EQ(Palette_GetEntries(palette, 0, 256, back), DD_OK);
    EXPECT_EQ(back[10].green, 245);
    EXPECT_EQ(back[255].red, 9);
    Release(palette);
    EXPECT_EQ(primary->palette, nullptr);
    EXPECT_EQ(DD_Current_Palette(), nullptr);
}

}  // namespace
