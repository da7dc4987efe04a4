// Slide objects: loading and expanding the object files, compaction, the
// instance queue, animation, movement, zones and the blend modes.
#include "slides/slide_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/data_folder.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/bitmap_files.h"
#include "graphics/graphics_fixture.h"
#include "plasma/plasma_settings.h"
#include "slides/colour_slides.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const COLORREF RED = RGB(255, 0, 0);
const COLORREF GREY = RGB(128, 128, 128);

std::vector<char> Read_File(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Width and height stored in a bitmap file's info header.
std::pair<int, int> Bitmap_Size(const std::string& path) {
    std::vector<char> bytes = Read_File(path);
    int32_t w = 0, h = 0;
    if (bytes.size() >= 26) {
        std::memcpy(&w, bytes.data() + 18, 4);
        std::memcpy(&h, bytes.data() + 22, 4);
    }
    return {w, h};
}

int Queue_Length() {
    int n = 0;
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) ++n;
    return n;
}

}  // namespace

class SlideObjectsTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        Set_Windows_Directory(windows_.path());
        objects_ = Data_Folder() + "/Data/Bmp/Objects";
        fs::create_directories(objects_);
        Start(Depth());
    }

    virtual int Depth() const { return 32; }

    void TearDown() override {
        Release_All_Objects();
        objects_loaded = 0;
        any_object_animates = any_object_moves = 0;
        Set_Windows_Directory("");
        GraphicsTest::TearDown();
    }

    // The display at a depth, the default preset and a fixed random sequence.
    void Start(int depth) {
        Open_Display(GraphicsFormat{depth, 0x07E0, 0, "x"});
        app.saver_mode = CONFIGURE;
        app.client_width = app.client_height = 96;
        Set_Default_Plasma_Settings();
        crt::srand(7);
        frame_seconds = 0.25;
    }

    std::string Path(int n) const { return objects_ + "/" + std::to_string(n) + ".bmp"; }

    // An object file: red with a grey pixel at (1, 1) and black on the left column.
    void Write_Object(int n, int width, int height) {
        Surface* s = Make(width, height);
        Fill(s, Colour_To_Pixel(s, RED));
        Put(s, 1, 1, Colour_To_Pixel(s, GREY));
        for (int y = 0; y < height; ++y) Put(s, 0, y, 0);
        ASSERT_EQ(Save_Bitmap(s, Path(n).c_str()), 1);
    }

    COLORREF Strip_Colour(int type, int x, int y) {
        Surface* s = Objects_Data[type].images;
        return Pixel_To_Colour(s, Get(s, x, y));
    }

    TempFolder windows_;
    std::string objects_;
};

TEST_F(SlideObjectsTest, SingleFrameExpandsIntoSavedHueStripThatLaterLoadsAsIs) {
    Write_Object(0, 40, 40);
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(objects_loaded, 1);
    const ObjectData& entry = Objects_Data[0];
    EXPECT_EQ(entry.frame_size, 40);
    EXPECT_EQ(entry.strip_height, 1280);
    EXPECT_EQ(entry.frame_count, 32);
    EXPECT_FLOAT_EQ(objects_ram_mb, 40.0f * 1280 * 32 / 8388608.0f);
    // Frame 0 as drawn, frame 8 a quarter turn on, greys and black kept.
    EXPECT_EQ(Strip_Colour(0, 5, 5), RED);
    EXPECT_EQ(Strip_Colour(0, 5, 8 * 40 + 5), RGB(127, 255, 0));
    EXPECT_EQ(Strip_Colour(0, 1, 16 * 40 + 1), GREY);
    EXPECT_EQ(Strip_Colour(0, 0, 31 * 40 + 3), 0u);
    EXPECT_EQ(Bitmap_Size(Path(0)), std::make_pair(40, 1280));
    EXPECT_EQ(fs::file_size(Path(0)), 3u * 40 * 1280 + 54);

    const std::vector<char> saved = Read_File(Path(0));
    Release_All_Objects();
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(Objects_Data[0].frame_count, 32);
    EXPECT_EQ(Strip_Colour(0, 5, 8 * 40 + 5), RGB(127, 255, 0));
    EXPECT_EQ(Read_File(Path(0)), saved);
}

TEST_F(SlideObjectsTest, LoadStopsAtFirstGapKeepsStripsInPreviewAndMatchesNamesIgnoringCase) {
    app.saver_mode = PREVIEW;
    for (int n : {0, 1, 2, 4}) Write_Object(n, 40, n == 1 ? 120 : 40);
    fs::rename(Path(2), objects_ + "/2.BMP");
    const std::vector<char> before = Read_File(Path(0));
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(objects_loaded, 3);
    EXPECT_EQ(Objects_Data[0].frame_count, 1);
    EXPECT_EQ(Objects_Data[1].frame_count, 3);
    EXPECT_EQ(Objects_Data[4].images, nullptr);
    EXPECT_EQ(Read_File(Path(0)), before);

    // Outside preview the upper-case file is expanded over itself.
    Release_All_Objects();
    app.saver_mode = SAVER;
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(Bitmap_Size(objects_ + "/2.BMP"), std::make_pair(40, 1280));
    EXPECT_FALSE(fs::exists(Path(2)));
    EXPECT_EQ(Objects_Data[1].frame_count, 3);  // three frames: loaded as is
}

TEST_F(SlideObjectsTest, MissingDamagedAndOddFilesAreReportedWithoutHarm) {
    EXPECT_EQ(Load_All_Objects(), 0);
    EXPECT_TRUE(Reported("Load_All_Objects(): No Special Effects files (Objects) Loaded"));

    // An object wider than tall is shown as its left square, one frame.
    Write_Object(0, 48, 40);
    const std::vector<char> wide = Read_File(Path(0));
    // A truncated file cannot be loaded: that object is skipped, the next loads.
    Write_Object(1, 40, 40);
    fs::resize_file(Path(1), 1000);
    Write_Object(2, 40, 120);
    EXPECT_EQ(Load_All_Objects(), 1);
    EXPECT_TRUE(Reported("Load_All_Objects():Unable to load " + Path(1)));
    EXPECT_TRUE(Reported("Load_All_Objects():Object 1 skipped\n" + Path(1)));
    EXPECT_EQ(objects_loaded, 3);
    EXPECT_EQ(Objects_Data[0].frame_size, 40);
    EXPECT_EQ(Objects_Data[0].frame_count, 1);
    EXPECT_EQ(Objects_Data[1].images, nullptr);
    EXPECT_EQ(Get_Object_Image(1), nullptr);
    EXPECT_EQ(Objects_Data[2].frame_count, 3);
    EXPECT_EQ(Read_File(Path(0)), wide);

    // Loading over a filled table is refused.
    EXPECT_EQ(Load_All_Objects(), 0);
    EXPECT_EQ(Last_Report(), "Load All Objects(): Objects_Data[i].images should be NULL");

    // A strip that cannot be saved (sides not multiples of 8) skips its
    // object; the file stays and the others load.
    Release_All_Objects();
    fs::remove(Path(2));
    fs::remove(Path(1));
    fs::remove(Path(0));
    Write_Object(0, 40, 40);
    Write_Object(1, 40, 40);
    Write_Object(2, 8, 8);
    {
        // A 36 x 36 file: a 40 x 40 file with its size fields edited.
        std::vector<char> bytes = Read_File(Path(1));
        const int32_t side = 36, size = 3 * 36 * 36 + 54;
        std::memcpy(bytes.data() + 2, &size, 4);
        std::memcpy(bytes.data() + 18, &side, 4);
        std::memcpy(bytes.data() + 22, &side, 4);
        bytes.resize(size);
        std::ofstream(Path(1), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const std::vector<char> odd_bytes = Read_File(Path(1));
    EXPECT_EQ(Load_All_Objects(), 1);
    EXPECT_TRUE(Reported("Load_All_Objects():Unable to save new hue gradient for object 1\n" + Path(1)));
    EXPECT_EQ(Objects_Data[1].images, nullptr);
    EXPECT_EQ(objects_loaded, 3);
    EXPECT_EQ(Objects_Data[2].frame_count, OBJECT_HUE_FRAMES);
    EXPECT_EQ(Read_File(Path(1)), odd_bytes);

    // The slides carry the objects that loaded and pass over the skipped one.
    Set_Default_Plasma_Settings();
    EXPECT_EQ(plasma_settings.object_selected[1], 1);
    ASSERT_EQ(Setup_Colour_Slides(96, 96, 10.0), 1);
    std::set<int> types;
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) types.insert(o->object_type);
    EXPECT_EQ(types, (std::set<int>{0, 2}));
    Shutdown_Colour_Slides();
}

TEST_F(SlideObjectsTest, OversizedObjectsAreRefusedBeforeTheyAreRead) {
    // Headers alone (with an end-of-bitmap mark) that claim far more than
    // any display mode can show: refused from the size, nothing expanded.
    auto write_claim = [&](int n, int32_t width, int32_t height) {
        ASSERT_TRUE(Write_Claimed_Bitmap(Path(n), width, height));
    };
    Write_Object(0, 8, 8);
    write_claim(1, 2048, 2048);  // wider than any mode
    write_claim(2, 1280, 1280);  // a frame taller than any mode
    write_claim(3, 1281, 4000);  // a strip wider than any mode
    write_claim(4, 64, 64);      // small: the empty picture loads
    const std::vector<char> claimed = Read_File(Path(1));
    EXPECT_EQ(Load_All_Objects(), 1);
    EXPECT_TRUE(
        Reported("Load_All_Objects():Object 1 is 2048 x 2048, larger than any display mode can show\n" + Path(1)));
    EXPECT_TRUE(
        Reported("Load_All_Objects():Object 2 is 1280 x 1280, larger than any display mode can show\n" + Path(2)));
    EXPECT_TRUE(
        Reported("Load_All_Objects():Object 3 is 1281 x 4000, larger than any display mode can show\n" + Path(3)));
    for (int n : {1, 2, 3}) EXPECT_EQ(Objects_Data[n].images, nullptr) << n;
    EXPECT_EQ(objects_loaded, 5);
    EXPECT_EQ(Objects_Data[4].frame_size, 64);
    EXPECT_EQ(Read_File(Path(1)), claimed);
}

TEST_F(SlideObjectsTest, FullTableCountsAsLoaded) {
    app.saver_mode = PREVIEW;
    Write_Object(0, 8, 8);
    for (int n = 1; n < 251; ++n) fs::copy_file(Path(0), Path(n));
    EXPECT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(objects_loaded, 250);
}

TEST_F(SlideObjectsTest, HueGradientArgumentsAndFailuresKeepTheEntry) {
    app.saver_mode = PREVIEW;
    Write_Object(0, 40, 40);
    ASSERT_EQ(Load_All_Objects(), 1);
    Surface* original = Objects_Data[0].images;
    for (int frames : {0, -3, 512}) EXPECT_EQ(Create_Objects_Hue_Gradient(0, 40, 40, frames, 0), 0);
    EXPECT_EQ(Create_Objects_Hue_Gradient(-1, 40, 40, 4, 0), 0);
    EXPECT_EQ(Create_Objects_Hue_Gradient(250, 40, 40, 4, 0), 0);
    EXPECT_EQ(Create_Objects_Hue_Gradient(1, 40, 40, 4, 0), 0);  // no strip to start from
    EXPECT_TRUE(platform_boxes.empty());

    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Create_Objects_Hue_Gradient(0, 40, 40, 4, 0), 0);
    EXPECT_EQ(Last_Report(), "Create_Objects_Hue_Gradient():Unable to alter hue at step 1");
    dd_faults.get_dc = DD_OK;
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Create_Objects_Hue_Gradient(0, 40, 40, 4, 0), 0);
    EXPECT_EQ(Last_Report(),
              "Create_Objects_Hue_Gradient():Unable to create resized surface\nobjects # 0\nresized width 40\n"
              "resized height 160");
    dd_faults.create_surface = DD_OK;
    EXPECT_EQ(Objects_Data[0].images, original);
    EXPECT_EQ(Objects_Data[0].frame_count, 1);

    // Four frames asking 100 each would pass the full turn: 64 each instead.
    ASSERT_EQ(Create_Objects_Hue_Gradient(0, 40, 40, 4, 100), 1);
    EXPECT_EQ(Strip_Colour(0, 5, 40 + 5), RGB(127, 255, 0));
    EXPECT_EQ(Objects_Data[0].strip_height, 160);

    // Progress that cannot be shown ends the gradient early; what is left stays black.
    Release_All_Objects();
    ASSERT_EQ(Load_All_Objects(), 1);
    Hidden->lost = true;
    dd_faults.restore_fails = true;
    ASSERT_EQ(Create_Objects_Hue_Gradient(0, 40, 40, 4, 0), 1);
    dd_faults.restore_fails = false;
    Hidden->lost = false;
    EXPECT_EQ(Last_Report(), "Create_Objects_Hue_Gradient(): Clear Hidden FAILED");
    EXPECT_EQ(Strip_Colour(0, 5, 5), RED);
    EXPECT_EQ(Strip_Colour(0, 5, 3 * 40 + 5), 0u);
}

TEST_F(SlideObjectsTest, CompactionRewritesOnlyHueStrips) {
    Write_Object(0, 40, 40);
    Write_Object(1, 40, 120);
    const std::vector<char> single = Read_File(Path(0));
    const std::vector<char> animation = Read_File(Path(1));
    ASSERT_EQ(Load_All_Objects(), 1);
    ASSERT_EQ(Compact_All_Objects(), 1);
    EXPECT_EQ(Read_File(Path(0)), single);
    EXPECT_EQ(Read_File(Path(1)), animation);
    EXPECT_EQ(objects_loaded, 2);
    EXPECT_EQ(Objects_Data[0].frame_count, 1);
    EXPECT_FLOAT_EQ(objects_ram_mb, (40.0f * 40 + 40 * 120) * 32 / 8388608.0f);

    fs::remove(Path(0));
    EXPECT_EQ(Compact_All_Objects(), 0);
    EXPECT_EQ(Last_Report(), "Load_All_Objects(): No Special Effects files (Objects) Loaded");
}

class SlideObjectsQueueTest : public SlideObjectsTest {
protected:
    void SetUp() override {
        SlideObjectsTest::SetUp();
        Write_Object(0, 8, 8);   // expanded: 32 frames
        Write_Object(1, 8, 24);  // three frames
        ASSERT_EQ(Load_All_Objects(), 1);
        slide_ = Make(64, 48);
        other_ = Make(64, 48);
    }
    Surface* slide_ = nullptr;
    Surface* other_ = nullptr;
};

TEST_F(SlideObjectsQueueTest, EnqueueDequeueAndEmpty) {
    plasma_settings.slide_speed = 0.0;
    plasma_settings.object_animation_speed[0] = 100.0;
    plasma_settings.object_animation_speed[1] = 100.0;
    plasma_settings.object_speed[1] = 10.0;
    for (int i = 0; i < 40; ++i) ASSERT_EQ(Enqueue_Objects(i % 2, i % 4 ? slide_ : other_), 1);
    ASSERT_EQ(Queue_Length(), 40);
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) {
        EXPECT_FALSE(o->dx == 0 && o->dy == 0);
        EXPECT_TRUE(o->dx >= -6 && o->dx <= 5 && o->dy >= -6 && o->dy <= 5);
        EXPECT_TRUE(o->x >= 0 && o->x < 64 - 8);
        EXPECT_TRUE(o->y >= -o->strip_height && o->y < 48);
        EXPECT_TRUE(o->frame >= 0 && o->frame < o->frame_count);
        EXPECT_EQ(o->animation_mode, o->object_type == 0 ? ANIMATION_PING_PONG : ANIMATION_LOOP);
        EXPECT_DOUBLE_EQ(o->animation_period, 1.0);
    }
    EXPECT_TRUE(any_object_animates && any_object_moves);

    EXPECT_EQ(Enqueue_Objects(250, slide_), 0);
    EXPECT_EQ(Last_Report(), "Enqueue_Objects():Invalid objects_type 250");
    EXPECT_EQ(Enqueue_Objects(2, slide_), 0);  // no file 2 here
    EXPECT_EQ(Queue_Length(), 40);

    ObjectInstance* head = objects_queue_head;
    ObjectInstance* second = head->next;
    ObjectInstance* before_tail = objects_queue_tail->prev;
    EXPECT_EQ(Dequeue_Object(second->next), 1);
    EXPECT_EQ(Dequeue_Object(head), 1);
    EXPECT_EQ(Dequeue_Object(objects_queue_tail), 1);
    EXPECT_EQ(Dequeue_Object(nullptr), 0);
    EXPECT_EQ(objects_queue_head, second);
    EXPECT_EQ(objects_queue_tail, before_tail);
    EXPECT_EQ(second->prev, nullptr);
    EXPECT_EQ(second->next->prev, second);
    EXPECT_EQ(Queue_Length(), 37);
    EXPECT_EQ(Empty_Objects_Queue(), 1);
    EXPECT_EQ(objects_queue_head, nullptr);
    EXPECT_EQ(objects_queue_tail, nullptr);
}

TEST_F(SlideObjectsQueueTest, ShuffleKeepsTypesAndSlides) {
    for (int i = 0; i < 30; ++i) ASSERT_EQ(Enqueue_Objects(i % 2, i < 10 ? other_ : slide_), 1);
    auto order = [] {
        std::vector<std::pair<int, Surface*>> kinds;
        for (ObjectInstance* o = objects_queue_head; o; o = o->next) kinds.push_back({o->object_type, o->slide});
        return kinds;
    };
    const auto before = order();
    ASSERT_EQ(Shuffle_Objects_Queue(0), 1);
    EXPECT_EQ(order(), before);
    ASSERT_EQ(Shuffle_Objects_Queue(25), 1);
    const auto after = order();
    EXPECT_NE(after, before);
    EXPECT_EQ(std::multiset(after.begin(), after.end()), std::multiset(before.begin(), before.end()));
    EXPECT_EQ(objects_queue_tail->next, nullptr);
    EXPECT_EQ(objects_queue_head->prev, nullptr);

    // A failing replacement stops the shuffle with the queue whole.
    objects_loaded = 0;
    EXPECT_EQ(Shuffle_Objects_Queue(1), 0);
    EXPECT_EQ(Last_Report(), "Shuffle_Objects_Queue(): Enqueue_Objects_Ex FAILED");
    EXPECT_EQ(Queue_Length(), 30);
    objects_loaded = 2;
}

TEST_F(SlideObjectsQueueTest, AnimationModesStepByTheFrameClock) {
    plasma_settings.object_animation_speed[1] = 100.0;  // one step a second
    ASSERT_EQ(Enqueue_Objects(1, slide_), 1);
    ObjectInstance* loop = objects_queue_tail;
    loop->frame = 0;
    loop->animation_timer = 0.0;
    std::vector<int> frames;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(Draw_Objects(slide_, loop), 1);
        frames.push_back(loop->frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 1, 1, 1, 2, 2, 2, 2, 2}));

    plasma_settings.object_animation_speed[0] = 100.0;
    ASSERT_EQ(Enqueue_Objects(0, slide_), 1);
    ObjectInstance* swing = objects_queue_tail;
    frame_seconds = 2.0;
    std::set<int> seen;
    int previous = swing->frame, turns = 0;
    bool was_reverse = swing->reverse;
    for (int i = 0; i < 400; ++i) {
        ASSERT_EQ(Draw_Objects(slide_, swing), 1);
        EXPECT_LE(std::abs(swing->frame - previous), 1);
        EXPECT_TRUE(swing->frame >= 0 && swing->frame < 32);
        if (swing->reverse != was_reverse) ++turns;
        was_reverse = swing->reverse;
        previous = swing->frame;
        seen.insert(swing->frame);
    }
    EXPECT_EQ(seen.size(), 32u);
    EXPECT_GE(turns, 4);

    // A still instance keeps its frame; nothing animates while no instance asks.
    plasma_settings.object_animation_speed[1] = 0.0;
    ASSERT_EQ(Enqueue_Objects(1, slide_), 1);
    ObjectInstance* still = objects_queue_tail;
    EXPECT_EQ(still->animation_mode, ANIMATION_STILL);
    const int kept = still->frame;
    for (int i = 0; i < 5; ++i) Draw_Objects(slide_, still);
    EXPECT_EQ(still->frame, kept);
    any_object_animates = 0;
    const int loop_frame = loop->frame;
    for (int i = 0; i < 5; ++i) Draw_Objects(slide_, loop);
    EXPECT_EQ(loop->frame, loop_frame);
}

TEST_F(SlideObjectsQueueTest, MovementTurnsOnlyOffTheSlide) {
    plasma_settings.object_speed[1] = 10.0;  // factor 1
    ASSERT_EQ(Enqueue_Objects(1, slide_), 1);
    ObjectInstance* o = objects_queue_tail;
    o->x = 10.0f, o->y = 10.0f, o->dx = 3, o->dy = -2;
    plasma_settings.slide_ignore_fps = 1;
    Draw_Objects(slide_, o);
    EXPECT_FLOAT_EQ(o->x, 13.0f);
    EXPECT_FLOAT_EQ(o->y, 8.0f);
    plasma_settings.slide_ignore_fps = 0;
    frame_seconds = 0.05;  // 0.05 x 1 x 10: half a unit
    Draw_Objects(slide_, o);
    EXPECT_FLOAT_EQ(o->x, 14.5f);
    EXPECT_EQ(o->dx, 3);

    plasma_settings.slide_ignore_fps = 1;
    o->x = 62.0f, o->y = 10.0f, o->dx = 2, o->dy = 0;  // reaches 64: gone off the right
    Draw_Objects(slide_, o);
    EXPECT_FALSE(o->dx == 2 && o->dy == 0);
    EXPECT_FALSE(o->dx == 0 && o->dy == 0);
    o->x = 10.0f, o->y = -7.0f, o->dx = 0, o->dy = -1;  // -8: a whole frame above
    Draw_Objects(slide_, o);
    EXPECT_FALSE(o->dx == 0 && o->dy == -1);
}

TEST_F(SlideObjectsQueueTest, ScatterRemixZonesAndPicks) {
    for (int i = 0; i < 6; ++i) ASSERT_EQ(Enqueue_Objects(0, i % 2 ? other_ : slide_), 1);
    ASSERT_EQ(Scatter_Objects(slide_, 64, 48), 1);
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) {
        if (o->slide != slide_) continue;
        EXPECT_TRUE(o->x >= 0 && o->x < 56 && o->y >= -7 && o->y < 48);
        EXPECT_TRUE(o->frame >= 0 && o->frame < 32);
    }

    // Type 0 unselected, type 1 with frequency 4: the walk over both slides
    // gives type 1 the first four instances, and those on this slide change.
    plasma_settings.slide_speed = 0.0;
    plasma_settings.object_selected[0] = 0;
    plasma_settings.object_selected[1] = 1;
    plasma_settings.object_frequency[1] = 4;
    ASSERT_EQ(Remix_Objects(slide_, 64, 48), 1);
    std::vector<int> types;
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) {
        types.push_back(o->object_type);
        if (o->object_type == 1) {
            EXPECT_TRUE(o->dx >= -2 && o->dx <= 1 && o->dy >= -2 && o->dy <= 1);
        }
    }
    EXPECT_EQ(types, (std::vector<int>{1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(objects_queue_head->frame_count, 3);

    plasma_settings.zone_multicolour = 0;
    any_object_animates = 0;
    ASSERT_EQ(Make_Object_Zone(other_, 64, 48, 0, 5), 1);
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) {
        if (o->slide != other_) continue;
        EXPECT_EQ(o->object_type, 0);
        EXPECT_EQ(o->frame, 5);
        EXPECT_EQ(o->animation_mode, ANIMATION_STILL);
        EXPECT_FALSE(o->dx == 0 && o->dy == 0);
    }
    EXPECT_EQ(Make_Object_Zone(other_, 64, 48, 7, 0), 0);
    EXPECT_EQ(Make_Object_Zone(other_, 64, 48, 1, 3), 0);

    // Picks land on selected types only, by frequency; a queue longer than
    // the frequencies makes some picks fail.
    std::map<int, int> picks;
    int failed = 0;
    for (int i = 0; i < 600; ++i) {
        int type = -1, frame = -1;
        if (Pick_Random_Object(&type, &frame)) {
            ++picks[type];
            EXPECT_TRUE(frame >= 0 && frame < 3);
        } else {
            ++failed;
        }
    }
    EXPECT_EQ(picks.size(), 1u);
    EXPECT_GT(picks[1], 300);
    EXPECT_GT(failed, 100);
    Empty_Objects_Queue();
    EXPECT_EQ(Pick_Random_Object(nullptr, nullptr), 0);

    EXPECT_EQ(Get_Object_Image(1), Objects_Data[1].images);
    EXPECT_EQ(Get_Object_Image(2), nullptr);
    EXPECT_EQ(Get_Object_Image(-1), nullptr);
}

TEST_F(SlideObjectsQueueTest, LostStripsAreReloadedWithoutTouchingOldInstances) {
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Enqueue_Objects(i % 2, slide_), 1);
    EXPECT_EQ(Restore_All_Objects(), 1);  // nothing lost: nothing done
    EXPECT_EQ(Queue_Length(), 5);

    // Everything but the strips comes back; the first draw reloads the strips.
    DD_Lose_All_Surfaces();
    for (Surface* s : made_) Surface_Restore(s);
    Surface_Restore(Hidden);
    Surface_Restore(Visible);
    plasma_settings.slides_on = 0;
    EXPECT_EQ(Draw_All_Objects_Ex(slide_), 1);
    EXPECT_EQ(objects_queue_head, nullptr);
    EXPECT_EQ(objects_loaded, 2);
    ASSERT_NE(Objects_Data[0].images, nullptr);
    EXPECT_NE(Surface_IsLost(Objects_Data[0].images), DDERR_SURFACELOST);
    EXPECT_EQ(Objects_Data[0].frame_count, 32);

    // With the slides on, they are made again around the reloaded strips;
    // a failed reload is reported and leaves them off.
    plasma_settings.slides_on = 1;
    plasma_settings.object_selected[0] = plasma_settings.object_selected[1] = 1;
    plasma_settings.object_frequency[0] = plasma_settings.object_frequency[1] = 2;
    ASSERT_EQ(Setup_Colour_Slides(64, 64, 10.0), 1);
    DD_Lose_All_Surfaces();
    for (Surface* s : made_) Surface_Restore(s);
    Surface_Restore(Hidden);
    Surface_Restore(Visible);
    ASSERT_EQ(Restore_All_Objects(), 1);
    EXPECT_EQ(slides_active, 1);
    EXPECT_EQ(slide_width, 96);
    EXPECT_EQ(Queue_Length(), 4);
    for (ObjectInstance* o = objects_queue_head; o; o = o->next)
        EXPECT_TRUE(o->slide == slides[0] || o->slide == slides[1] || o->slide == slides[2]);

    DD_Lose_All_Surfaces();
    for (Surface* s : made_) Surface_Restore(s);
    fs::remove(Path(0));
    EXPECT_EQ(Restore_All_Objects(), 0);
    EXPECT_EQ(Last_Report(), "Restore_All_Objects(): Load_All_Objects FAILED");
    Shutdown_Colour_Slides();
}

// Blend modes on the depths that blend.
class SlideObjectsBlendTest : public SlideObjectsTest, public ::testing::WithParamInterface<int> {
protected:
    int Depth() const override { return GetParam(); }
};

TEST_P(SlideObjectsBlendTest, BlendModesOverBlackAndColour) {
    app.saver_mode = PREVIEW;
    Write_Object(0, 8, 8);
    ASSERT_EQ(Load_All_Objects(), 1);
    Surface* slide = Make(32, 32);
    ASSERT_EQ(Enqueue_Objects(0, slide), 1);
    ObjectInstance* o = objects_queue_tail;
    o->x = 2.6f, o->y = 4.0f;  // drawn at (3, 4)
    const uint32_t red = Colour_To_Pixel(slide, RED);
    const uint32_t blue = Colour_To_Pixel(slide, RGB(0, 0, 255));

    for (int mode : {0, 1, 2, 3}) {
        plasma_settings.blend_mode = mode;
        Fill(slide, 0);
        Put(slide, 3, 5, blue);  // under the object's black left column
        Put(slide, 5, 6, blue);  // under its red
        ASSERT_EQ(Draw_Objects(slide, o), 1) << mode;
        EXPECT_EQ(Get(slide, 3, 5), blue) << mode;  // black source: destination kept
        const uint32_t over_black = Get(slide, 6, 7);
        const uint32_t over_blue = Get(slide, 5, 6);
        switch (mode) {
        case 0:
            EXPECT_EQ(over_black, red);
            EXPECT_EQ(over_blue, red);
            break;
        case 1:
            EXPECT_EQ(over_black, red);
            EXPECT_NE(over_blue, red);
            EXPECT_NE(over_blue, blue);
            break;
        case 2:
            EXPECT_EQ(over_black, GetParam() == 32 ? 0u : red);
            EXPECT_EQ(over_blue, blue);  // blue's hue, value already full
            break;
        default:
            EXPECT_EQ(over_black, 0u);
            EXPECT_EQ(over_blue, blue);
            break;
        }
    }
    EXPECT_TRUE(platform_boxes.empty());

    plasma_settings.blend_mode = 0;
    dd_faults.blt_answer = DDERR_GENERIC;
    EXPECT_EQ(Draw_Objects(slide, o), 0);
    dd_faults.blt_answer = DD_OK;
    EXPECT_EQ(Last_Report(), "Draw_Objects():Could not blit \nframe# " + std::to_string(o->frame) +
                                 "\nof objects id# 0\nto dest (3,4)");
    EXPECT_EQ(Draw_Objects(nullptr, o), 0);
    EXPECT_EQ(Last_Report(), "Draw_Objects():Could not Grab_Surface_Dimensions");
}

INSTANTIATE_TEST_SUITE_P(Depths, SlideObjectsBlendTest, ::testing::Values(15, 16, 32));

// Strips are made, saved and loaded back at every depth.
class SlideObjectsDepthTest : public SlideObjectsTest, public ::testing::WithParamInterface<int> {
protected:
    int Depth() const override { return GetParam(); }
};

TEST_P(SlideObjectsDepthTest, ExpansionSavesAStripThatLoadsBack) {
    Write_Object(0, 8, 8);
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(Bitmap_Size(Path(0)), std::make_pair(8, 256));
    const COLORREF turned = Strip_Colour(0, 4, 8 * 8 + 4);
    EXPECT_NE(turned, Strip_Colour(0, 4, 4));
    Release_All_Objects();
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(Objects_Data[0].frame_count, 32);
    EXPECT_EQ(Strip_Colour(0, 4, 8 * 8 + 4), turned);
    EXPECT_TRUE(platform_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, SlideObjectsDepthTest, ::testing::Values(8, 15, 16, 24, 32));
