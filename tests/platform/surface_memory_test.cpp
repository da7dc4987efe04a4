// A surface's pixels lent to memory someone else holds (the full-screen
// primary drawing straight into the segment the X server reads): every
// write through the device lands there and first lets the lender finish
// reading; the pixels come back whole when the surface takes them back, and
// the lender hears when the surface goes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/ddraw.h"
#include "platform/device_context.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

// Counts what it hears and checks that nothing has changed the lent memory
// since the last write it allowed.
struct Recording_Lender final : Surface_Memory_Lender {
    std::vector<uint8_t>* memory = nullptr;
    std::vector<uint8_t> seen;
    int writes = 0, returns = 0;
    bool changed_behind_its_back = false;
    void Before_Write() override {
        if (!seen.empty() && seen != *memory) changed_behind_its_back = true;
        ++writes;
    }
    void Returned() override { ++returns; }
    // After a write: what the memory holds now is what it has allowed.
    void Allow() { seen = *memory; }
};

class SurfaceMemoryTest : public ProgramTest {
public:
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
        ProgramTest::TearDown();
    }
    Surface* Make(int w, int h) {
        Surface* s = nullptr;
        SurfaceDesc desc;
        desc.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.width = w;
        desc.height = h;
        EXPECT_EQ(DD_CreateSurface(device, desc, &s), DD_OK);
        if (s) made.push_back(s);
        return s;
    }
    DirectDrawDevice* first = nullptr;
    DirectDrawDevice* device = nullptr;
    Window window;
    std::vector<Surface*> made;
};

TEST_F(SurfaceMemoryTest, EveryWriteLandsInTheLentMemoryAfterTheLenderIsAsked) {
    struct Write {
        const char* name;
        std::function<bool(Surface* target, Surface* source)> run;
    };
    const Write writes[] = {
        {"colour fill",
         [](Surface* t, Surface*) {
             BltFx fx;
             fx.fill_colour = 0x00123456;
             return Surface_Blt(t, nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx) == DD_OK;
         }},
        {"stretched copy",
         [](Surface* t, Surface* s) {
             Rect half{0, 0, 8, 6};
             return Surface_Blt(t, nullptr, s, &half, 0, nullptr) == DD_OK;
         }},
        {"fast copy", [](Surface* t, Surface* s) { return Surface_BltFast(t, 2, 1, s, nullptr, 0) == DD_OK; }},
        {"lock",
         [](Surface* t, Surface*) {
             SurfaceDesc desc;
             if (Surface_Lock(t, &desc) != DD_OK) return false;
             std::memset(desc.pixels + desc.pitch, 0x77, 16);
             return Surface_Unlock(t) == DD_OK;
         }},
        {"pixel write",
         [](Surface* t, Surface*) {
             Pixel_Write(t, 5, 5, 0x00ABCDEF);
             return true;
         }},
        {"device context",
         [](Surface* t, Surface*) {
             DeviceContext* dc = nullptr;
             if (Surface_GetDC(t, &dc) != DD_OK) return false;
             GDI_SetPixel(dc, 3, 4, RGB(10, 20, 30));
             return Surface_ReleaseDC(t, dc) == DD_OK;
         }},
    };
    for (const Write& write : writes) {
        SCOPED_TRACE(write.name);
        Surface* target = Make(16, 12);
        Surface* source = Make(12, 10);
        ASSERT_NE(target, nullptr);
        ASSERT_NE(source, nullptr);
        for (size_t i = 0; i < source->memory.size(); ++i) source->memory[i] = static_cast<uint8_t>(i * 7 + 1);
        for (size_t i = 0; i < target->memory.size(); ++i) target->memory[i] = static_cast<uint8_t>(i);
        // The same write on a twin that keeps its own memory gives the bytes to expect.
        Surface* twin = Make(16, 12);
        ASSERT_NE(twin, nullptr);
        for (size_t i = 0; i < twin->memory.size(); ++i) twin->memory[i] = static_cast<uint8_t>(i);
        ASSERT_TRUE(write.run(twin, source));
        const std::vector<uint8_t> expected = twin->memory;

        std::vector<uint8_t> lent(target->memory.size(), 0xEE);
        Recording_Lender lender;
        lender.memory = &lent;
        target->memory.Lend(lent.data(), &lender);
        ASSERT_TRUE(target->memory.Is_Lent());
        EXPECT_EQ(target->memory.data(), lent.data());
        lender.Allow();
        const int asked_before = lender.writes;
        ASSERT_TRUE(write.run(target, source));
        EXPECT_GT(lender.writes, asked_before);
        EXPECT_FALSE(lender.changed_behind_its_back);
        EXPECT_EQ(lent, expected);
        // Taken back, the surface holds what it drew and the lender is told.
        target->memory.Take_Back();
        EXPECT_FALSE(target->memory.Is_Lent());
        EXPECT_EQ(static_cast<std::vector<uint8_t>>(target->memory), expected);
        EXPECT_EQ(lender.returns, 1);
    }
}

TEST_F(SurfaceMemoryTest, TheLenderHearsWhenTheSurfaceGoesOrResizes) {
    struct Ending {
        const char* name;
        std::function<void(SurfaceMemoryTest*, Surface*)> run;
    };
    const Ending endings[] = {
        {"released",
         [](SurfaceMemoryTest* test, Surface* s) {
             std::erase(test->made, s);
             Release(s);
         }},
        {"resized", [](SurfaceMemoryTest*, Surface* s) { s->memory.assign(s->memory.size() * 2, 0); }},
        {"copied over", [](SurfaceMemoryTest*, Surface* s) { s->memory = Surface_Memory{}; }},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        Surface* surface = Make(8, 8);
        ASSERT_NE(surface, nullptr);
        std::vector<uint8_t> lent(surface->memory.size());
        Recording_Lender lender;
        lender.memory = &lent;
        surface->memory.Lend(lent.data(), &lender);
        ending.run(this, surface);
        EXPECT_EQ(lender.returns, 1);
    }
}

}  // namespace
