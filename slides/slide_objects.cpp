// Slide objects: the object table loaded from the numbered bitmaps, the hue
// strips made from single frames, and the queue of instances the colour
// slides carry.
#include "slides/slide_objects.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "base/resolution.h"
#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/display.h"
#include "graphics/pixel_effects.h"
#include "graphics/surface.h"
#include "platform/window.h"
#include "slides/colour_slides.h"

ObjectData Objects_Data[MAX_SLIDE_OBJECTS];
int objects_loaded = 0;
float objects_ram_mb = 0.0f;
ObjectInstance* objects_queue_head = nullptr;
ObjectInstance* objects_queue_tail = nullptr;
int any_object_animates = 0;
int any_object_moves = 0;

// Where the object files live inside the data folder.
static constexpr const char* OBJECTS_FOLDER = "/Data/Bmp/Objects/";
// A strip's bits at the screen depth, in megabytes: 2^-23.
static constexpr double MEGABYTES_PER_BIT = 1.0 / 8388608.0;
// Hue turns are in 1/256 of the colour circle.
static constexpr int HUE_STEPS = 256;
// Velocities: new instances and instances that left the slide draw -6..5 ...
static constexpr int WIDE_VELOCITY_RANGE = 12;
static constexpr int WIDE_VELOCITY_OFFSET = 6;
// ... remixed and zoned ones -2..1, so a repainted slide starts calmer.
static constexpr int NARROW_VELOCITY_RANGE = 4;
static constexpr int NARROW_VELOCITY_OFFSET = 2;
// The preset's speeds are stored in dialog units.
static constexpr double ANIMATION_SPEED_SECONDS = 0.01;
static constexpr double MOVE_SPEED_FACTOR = 0.1;
// Without "Ignore fps" a movement unit is a tenth of a second.
static constexpr double MOVE_UNITS_PER_SECOND = 10.0;

// Counts every emptying of the queue, so a walk over the queue can tell that
// a call inside it (a restore after lost memory) has freed the instances.
static unsigned queue_generation = 0;

// The file of object n as it exists on disk (names match ignoring case).
static std::string Object_File_Path(int number) {
    char name[32];
    snprintf(name, sizeof name, "%d.bmp", number);
    return Match_Path_Case(Data_Folder() + OBJECTS_FOLDER + name);
}

// rand() mod max(1, trunc(value)), safe for any value a preset file may hold.
static int Random_Below(double value) {
    const double whole = std::trunc(value);
    if (!(whole > 1.0)) {
        crt::rand();
        return 0;
    }
    const int limit = whole > crt::RAND_LIMIT ? crt::RAND_LIMIT + 1 : static_cast<int>(whole);
    return crt::rand() % limit;
}

// rand() mod max(1, limit).
static int Random_Below(int limit) { return crt::rand() % (limit < 1 ? 1 : limit); }

// trunc(slide_speed) is not 0: the slides scroll, so a still object is allowed.
static bool Slides_Scroll() { return std::trunc(plasma_settings.slide_speed) != 0.0; }

// Draws a velocity of range values from -offset; never (0, 0) unless allowed.
static void Draw_Velocity(ObjectInstance* instance, int range, int offset, bool still_allowed) {
    do {
        instance->dx = crt::rand() % range - offset;
        instance->dy = crt::rand() % range - offset;
    } while (!still_allowed && instance->dx == 0 && instance->dy == 0);
}

// The type's speeds from the preset, in seconds per frame and movement factor.
static void Take_Speeds(ObjectInstance* instance, int type) {
    instance->animation_period = plasma_settings.object_animation_speed[type] * ANIMATION_SPEED_SECONDS;
    instance->move_speed = plasma_settings.object_speed[type] * MOVE_SPEED_FACTOR;
}

// Animated hue strips swing back and forth through the colours; other strips loop.
static void Choose_Animation_Mode(ObjectInstance* instance) {
    if (instance->animation_period != 0.0) {
        instance->animation_mode = instance->frame_count == OBJECT_HUE_FRAMES ? ANIMATION_PING_PONG : ANIMATION_LOOP;
        any_object_animates = 1;
    } else {
        instance->animation_mode = ANIMATION_STILL;
    }
    if (instance->move_speed > 0.0) any_object_moves = 1;
}

// A type the table can make instances of.
static bool Type_Loaded(int type) {
    return type >= 0 && type < objects_loaded && type < MAX_SLIDE_OBJECTS && Objects_Data[type].images != nullptr &&
           Objects_Data[type].frame_count >= 1 && Objects_Data[type].frame_size >= 1;
}

// ---------------------------------------------------------------------------
// The object table

// Loads file `number` into its entry: the strip and its frame layout; its
// own width and height go to the out-values. 1, or 0 after a report.
static int Load_Object_File(int number, const std::string& path, int* width, int* height) {
    ObjectData& entry = Objects_Data[number];
    if (entry.images) {
        Report_Error("Load All Objects(): Objects_Data[i].images should be NULL");
        return 0;
    }
    int w = 0, h = 0;
    // The size is checked before any pixel is read: a small file may claim
    // a picture of gigabytes. A frame no display mode can show is refused.
    if (Read_Bitmap_Size(path.c_str(), &w, &h)) {
        const int frame_side = h < w ? h : w;
        if (w > LARGEST_MODE_WIDTH || frame_side > LARGEST_MODE_HEIGHT) {
            Report_Formatted("Load_All_Objects():Object %d is %d x %d, larger than any display mode can show\n%s",
                             number, w, h, path.c_str());
            return 0;
        }
    }
    Surface* strip = Load_SYSTEM_Bitmap(path.c_str(), &w, &h);
    if (strip == nullptr || w < 1 || h < 1) {
        Release(strip);
        Report_Formatted("Load_All_Objects():Unable to load %s", path.c_str());
        return 0;
    }
    entry.images = strip;
    entry.frame_size = w;
    entry.strip_height = h;
    entry.frame_count = h / w;
    if (entry.frame_count < 1) {
        // Wider than tall: no whole square frame. Its left square is shown as
        // the one frame, so no random frame choice ever divides by 0 and no
        // copy reaches past the strip; the file itself is left as it is.
        entry.frame_size = h;
        entry.frame_count = 1;
        Report_Formatted("Load_All_Objects():Object %d is wider (%d) than tall (%d): only its left %d x %d shown\n%s",
                         number, w, h, h, h, path.c_str());
    }
    *width = w;
    *height = h;
    return 1;
}

// Drops the entry's strip after a failed load, so the table holds complete entries only.
static void Forget_Object(int number) {
    Release(Objects_Data[number].images);
    // The layout goes too: an entry without a strip must not look loaded.
    Objects_Data[number] = ObjectData{};
}

// Counts a complete entry into objects_loaded and objects_ram_mb. The table
// reaches up to the last object loaded; an object skipped before it stays an
// empty entry, so every number keeps meaning its own file.
static void Count_Object(int number) {
    const Surface* strip = Objects_Data[number].images;
    const double bits = static_cast<double>(strip->width) * strip->height * app.screen_bpp;
    objects_ram_mb = static_cast<float>(objects_ram_mb + bits * MEGABYTES_PER_BIT);
    objects_loaded = number + 1;
}

// Loads object `number` and, outside the preview, turns a single square
// frame into its hue strip and writes that back. 1, or 0 after a report with
// the entry left empty.
static int Load_One_Object(int number, const std::string& path) {
    int width = 0, height = 0;
    if (!Load_Object_File(number, path, &width, &height)) return 0;
    if (width == height && app.saver_mode != PREVIEW) {
        // Making a strip takes a moment: keep the window answering meanwhile.
        Platform_Pump_Events();
        if (!Create_Objects_Hue_Gradient(number, width, height, OBJECT_HUE_FRAMES, 0)) {
            Report_Formatted("Load_All_Objects():Unable to create a hue gradient for object %d", number);
            Forget_Object(number);
            return 0;
        }
        if (!Save_Bitmap(Objects_Data[number].images, path.c_str())) {
            Report_Formatted("Load_All_Objects():Unable to save new hue gradient for object %d\n%s", number,
                             path.c_str());
            Forget_Object(number);
            return 0;
        }
    }
    return 1;
}

int Load_All_Objects() {
    objects_ram_mb = 0.0f;
    objects_loaded = 0;
    // The platform has no busy cursor; the arrow is put back below as ever.

    for (int number = 0; number < MAX_SLIDE_OBJECTS; ++number) {
        const std::string path = Object_File_Path(number);
        if (!File_Exists(path.c_str())) break;
        if (Objects_Data[number].images) {
            Report_Error("Load All Objects(): Objects_Data[i].images should be NULL");
            return 0;
        }
        // One bad file costs its own object only.
        if (!Load_One_Object(number, path)) {
            Report_Formatted("Load_All_Objects():Object %d skipped\n%s", number, path.c_str());
            continue;
        }
        Count_Object(number);
    }

    if (objects_loaded == 0) {
        Report_Error("Load_All_Objects(): No Special Effects files (Objects) Loaded");
        return 0;
    }
    // A full table (250 files) is a complete load like any other.
    if (app.display_mode != DISPLAY_FULL_SCREEN) Platform_Set_Cursor_Shape(app.main_window, CURSOR_ARROW);
    return 1;
}

int Create_Objects_Hue_Gradient(int type, int width, int height, int frames, int hue_step) {
    if (frames > HUE_STEPS) frames %= HUE_STEPS;
    // A frame count of 0 or less is refused before it can divide anything.
    if (frames < 1) return 0;
    if (hue_step == 0 || frames * hue_step > HUE_STEPS) hue_step = HUE_STEPS / frames;
    if (hue_step < 1) return 0;
    if (type < 0 || type >= MAX_SLIDE_OBJECTS || width < 1 || height < 1 || height > width) return 0;

    ObjectData& entry = Objects_Data[type];
    Surface* old_strip = entry.images;
    // The first frame is read from the old strip: it must be there and hold it.
    if (old_strip == nullptr || width > old_strip->width || height > old_strip->height) return 0;

    Surface* new_strip = nullptr;
    if (!Create_SYSTEM_Surface(&new_strip, width, width * frames)) {
        Report_Formatted(
            "Create_Objects_Hue_Gradient():Unable to create resized surface\nobjects # %d\nresized width %d\nresized "
            "height %d",
            type, width, width * frames);
        Release(new_strip);
        return 0;
    }

    if (!Blit(old_strip, new_strip, 0, 0, 0, 0, width, height))
        Report_Error("Create_Objects_Hue_Gradient():First frame copy Blit failed");

    for (int k = 1; k < frames; ++k) {
        // Each frame is shown as soon as the one before it is made.
        if (!Clear(Hidden)) {
            Report_Error("Create_Objects_Hue_Gradient(): Clear Hidden FAILED");
            break;
        }
        if (!Masked_Clip_Blit(new_strip, Hidden, 0, (k - 1) * height, (app.client_width - width) / 2,
                              (app.client_height - height) / 2, width, height))
            Report_Error("Create_Objects_Hue_Gradient():First frame copy Blit failed");
        Display_Hidden_Surface();

        if (!Alter_Hue(old_strip, new_strip, 0, 0, 0, k * height, width, height, k * hue_step)) {
            Report_Formatted("Create_Objects_Hue_Gradient():Unable to alter hue at step %d", k);
            // The entry keeps its old strip and layout.
            Release(new_strip);
            return 0;
        }
    }

    Release(old_strip);
    entry.images = new_strip;
    entry.frame_size = width;
    entry.strip_height = width * frames;
    entry.frame_count = frames;
    return 1;
}

int Compact_All_Objects() {
    Release_All_Objects();
    objects_ram_mb = 0.0f;
    objects_loaded = 0;

    for (int number = 0; number < MAX_SLIDE_OBJECTS; ++number) {
        const std::string path = Object_File_Path(number);
        if (!File_Exists(path.c_str())) {
            if (objects_loaded > 0) return 1;
            Report_Error("Load_All_Objects(): No Special Effects files (Objects) Loaded");
            return 0;
        }
        int width = 0, height = 0;
        if (!Load_Object_File(number, path, &width, &height)) return 0;
        ObjectData& entry = Objects_Data[number];

        if (entry.frame_count == OBJECT_HUE_FRAMES) {
            if (!Create_Objects_Hue_Gradient(number, width, width, 1, 1)) {
                Report_Formatted("Load_All_Objects():Unable to create a hue gradient for object %d", number);
                Forget_Object(number);
                return 0;
            }
            if (!Save_Bitmap(entry.images, path.c_str())) {
                Report_Formatted("Load_All_Objects():Unable to save new hue gradient for object %d\n%s", number,
                                 path.c_str());
                Forget_Object(number);
                return 0;
            }
        }
        Count_Object(number);

        // Show each object as it is done.
        Clear(Hidden);
        const int side = entry.frame_size;
        if (!Masked_Clip_Blit(entry.images, Hidden, 0, 0, (app.client_width - side) / 2, (app.client_height - side) / 2,
                              side, side))
            Report_Error("Create_Objects_Hue_Gradient():First frame copy Blit failed");
        Draw_Screen_Notice();
        Display_Hidden_Surface();
    }
    return 1;
}

int Release_All_Objects() {
    Empty_Objects_Queue();
    for (ObjectData& entry : Objects_Data) {
        Release(entry.images);
        entry.images = nullptr;
    }
    return 1;
}

int Restore_All_Objects() {
    bool lost = false;
    for (const ObjectData& entry : Objects_Data)
        if (entry.images && Surface_IsLost(entry.images) == DDERR_SURFACELOST) lost = true;
    if (!lost) return 1;

    Release_All_Objects();
    if (!Load_All_Objects()) {
        Report_Error("Restore_All_Objects(): Load_All_Objects FAILED");
        return 0;
    }
    if (plasma_settings.slides_on) {
        // The instances went with the old strips: the slides make new ones.
        Shutdown_Colour_Slides();
        if (!Setup_Colour_Slides(app.client_width, app.client_height, plasma_settings.slide_speed)) {
            Report_Error("Restore_All_Objects(): Setup_Colour_Slides FAILED");
            return 0;
        }
    }
    return 1;
}

Surface* Get_Object_Image(int type) {
    if (type < 0 || type >= objects_loaded || type >= MAX_SLIDE_OBJECTS) return nullptr;
    return Objects_Data[type].images;
}

// ---------------------------------------------------------------------------
// The instance queue

int Enqueue_Objects(int type, Surface* slide) {
    int slide_width = 0, slide_height = 0;
    if (!Grab_Surface_Dimensions(slide, &slide_width, &slide_height)) return 0;
    // A type outside the table, or one this installation has no file for
    // (a preset made elsewhere), has no frames to show.
    if (!Type_Loaded(type)) {
        Report_Formatted("Enqueue_Objects():Invalid objects_type %d", type);
        return 0;
    }
    ObjectInstance* instance = new (std::nothrow) ObjectInstance;
    if (instance == nullptr) {
        Report_Error("Enqueue_Objects():malloc FAILED\nOut of system memory!");
        return 0;
    }
    instance->prev = objects_queue_tail;
    if (objects_queue_tail)
        objects_queue_tail->next = instance;
    else
        objects_queue_head = instance;
    objects_queue_tail = instance;

    const ObjectData& entry = Objects_Data[type];
    instance->slide = slide;
    instance->object_type = type;
    instance->frame_size = entry.frame_size;
    instance->strip_height = entry.strip_height;
    instance->frame_count = entry.frame_count;

    // The whole strip's height above the slide: a new instance may drift in from far above.
    instance->x = static_cast<float>(Random_Below(slide_width - entry.frame_size));
    instance->y = static_cast<float>(Random_Below(slide_height + entry.strip_height) - entry.strip_height);

    Take_Speeds(instance, type);
    Choose_Animation_Mode(instance);
    Draw_Velocity(instance, WIDE_VELOCITY_RANGE, WIDE_VELOCITY_OFFSET, Slides_Scroll());

    instance->frame = Random_Below(instance->frame_count);
    instance->animation_timer = Random_Below(instance->animation_period);
    instance->reverse = false;
    return 1;
}

int Dequeue_Object(ObjectInstance* instance) {
    if (instance == nullptr) return 0;
    if (instance->prev)
        instance->prev->next = instance->next;
    else
        objects_queue_head = instance->next;
    if (instance->next)
        instance->next->prev = instance->prev;
    else
        objects_queue_tail = instance->prev;
    delete instance;
    return 1;
}

int Empty_Objects_Queue() {
    ObjectInstance* instance = objects_queue_head;
    while (instance) {
        ObjectInstance* next = instance->next;
        delete instance;
        instance = next;
    }
    objects_queue_head = nullptr;
    objects_queue_tail = nullptr;
    ++queue_generation;
    return 1;
}

int Shuffle_Objects_Queue(int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        ObjectInstance* instance = objects_queue_head;
        // The last instance has no successor and stays; instances appended
        // during the pass are walked too.
        while (instance && instance->next) {
            ObjectInstance* next = instance->next;
            if (crt::rand() % 3 == 0) {
                if (!Enqueue_Objects(instance->object_type, instance->slide)) {
                    Report_Error("Shuffle_Objects_Queue(): Enqueue_Objects_Ex FAILED");
                    return 0;
                }
                Dequeue_Object(instance);
            }
            instance = next;
        }
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Drawing

// One frame step when the instance's timer has run out.
static void Animate_Object(ObjectInstance* o) {
    o->animation_timer -= frame_seconds;
    if (o->animation_timer >= 0.0) return;
    o->animation_timer = o->animation_period;
    if (o->frame_count < 2) return;

    switch (o->animation_mode) {
    case ANIMATION_LOOP:
        if (++o->frame >= o->frame_count) o->frame = 0;
        break;
    case ANIMATION_PING_PONG:
        // Each end turns the direction only half the time: the frame waits
        // there until a later step turns it.
        if (!o->reverse) ++o->frame;
        if (o->frame >= o->frame_count) {
            o->frame = o->frame_count - 1;
            if (crt::rand() & 1) o->reverse = true;
        }
        if (o->reverse) --o->frame;
        if (o->frame < 0) {
            o->frame = 0;
            if (crt::rand() & 1) o->reverse = false;
        }
        break;
    default: break;
    }
}

// Moves the instance; once it has left the slide completely it gets a new
// random direction (tested again next time, so it may still point outward).
static void Move_Object(ObjectInstance* o, int slide_width, int slide_height) {
    const float factor = plasma_settings.slide_ignore_fps
                             ? static_cast<float>(o->move_speed)
                             : static_cast<float>(frame_seconds * o->move_speed * MOVE_UNITS_PER_SECOND);
    o->x += static_cast<float>(o->dx) * factor;
    const int x = static_cast<int>(std::trunc(o->x));
    if ((o->dx > 0 && x >= slide_width) || (o->dx < 0 && x <= -o->frame_size))
        Draw_Velocity(o, WIDE_VELOCITY_RANGE, WIDE_VELOCITY_OFFSET, false);
    o->y += static_cast<float>(o->dy) * factor;
    const int y = static_cast<int>(std::trunc(o->y));
    if ((o->dy > 0 && y >= slide_height) || (o->dy < 0 && y <= -o->frame_size))
        Draw_Velocity(o, WIDE_VELOCITY_RANGE, WIDE_VELOCITY_OFFSET, false);
}

int Draw_Objects(Surface* slide, ObjectInstance* instance) {
    int slide_width = 0, slide_height = 0;
    if (!Grab_Surface_Dimensions(slide, &slide_width, &slide_height)) {
        Report_Error("Draw_Objects():Could not Grab_Surface_Dimensions");
        return 0;
    }
    if (instance == nullptr) return 0;

    if (any_object_animates) Animate_Object(instance);
    if (any_object_moves) Move_Object(instance, slide_width, slide_height);

    if (instance->object_type < 0 || instance->object_type >= MAX_SLIDE_OBJECTS) return 0;
    Surface* strip = Objects_Data[instance->object_type].images;
    if (strip == nullptr) return 0;
    if (Surface_IsLost(strip) == DDERR_SURFACELOST) {
        // The restore rebuilds the table and the queue: this instance and its
        // picture are gone, so this draw ends here without touching them.
        return Restore_All_Objects();
    }

    const int side = instance->frame_size;
    const int source_y = instance->frame * side;
    const int x = Round_Float(instance->x);
    const int y = Round_Float(instance->y);
    int drawn = 1;
    switch (plasma_settings.blend_mode) {
    case 0: drawn = Masked_Clip_Blit_Ex(strip, slide, 0, source_y, x, y, side, side, slide_width, slide_height); break;
    case 1: drawn = Colour_Blend_Blit(strip, slide, 0, source_y, x, y, side, side, slide_width, slide_height); break;
    case 2: drawn = Light_Blend_Blit(strip, slide, 0, source_y, x, y, side, side, slide_width, slide_height); break;
    default:
        // Any other blend draws no objects at all.
        return 1;
    }
    if (!drawn) {
        Report_Formatted("Draw_Objects():Could not blit \nframe# %d\nof objects id# %d\nto dest (%d,%d)",
                         instance->frame, instance->object_type, x, y);
        return 0;
    }
    return 1;
}

int Draw_All_Objects_Ex(Surface* slide) {
    const unsigned generation = queue_generation;
    for (ObjectInstance* instance = objects_queue_head; instance;) {
        ObjectInstance* next = instance->next;
        if (instance->slide == slide) {
            if (!Draw_Objects(slide, instance)) return 0;
            // A restore inside the draw has replaced the whole queue.
            if (queue_generation != generation) return 1;
        }
        instance = next;
    }
    return 1;
}

// A new random place and frame, as a scatter gives them.
static void Scatter_Instance(ObjectInstance* o, int slide_width, int slide_height) {
    const int side = o->frame_size;
    o->x = static_cast<float>(Random_Below(slide_width - side));
    o->y = static_cast<float>(Random_Below(side + slide_height - 1) - side + 1);
}

int Scatter_Objects(Surface* slide, int width, int height) {
    const unsigned generation = queue_generation;
    for (ObjectInstance* instance = objects_queue_head; instance;) {
        ObjectInstance* next = instance->next;
        if (instance->slide == slide) {
            Scatter_Instance(instance, width, height);
            instance->frame = Random_Below(instance->frame_count);
            if (!Draw_Objects(slide, instance)) return 0;
            if (queue_generation != generation) return 1;
        }
        instance = next;
    }
    return 1;
}

// Gives the instance type `type` afresh: sizes, speeds, timer, place, a calm
// velocity, a random frame when asked, and the animation mode.
static void Retype_Instance(ObjectInstance* o, int type, int slide_width, int slide_height, bool random_frame) {
    const ObjectData& entry = Objects_Data[type];
    o->object_type = type;
    o->frame_size = entry.frame_size;
    o->strip_height = entry.strip_height;
    o->frame_count = entry.frame_count;
    Take_Speeds(o, type);
    o->animation_timer = Random_Below(o->animation_period);
    Scatter_Instance(o, slide_width, slide_height);
    Draw_Velocity(o, NARROW_VELOCITY_RANGE, NARROW_VELOCITY_OFFSET, Slides_Scroll());
    if (random_frame) o->frame = Random_Below(o->frame_count);
    Choose_Animation_Mode(o);
    o->reverse = false;
}

int Object_Copies(int type) {
    if (type < 0 || type >= MAX_SLIDE_OBJECTS) return 0;
    const int32_t frequency = plasma_settings.object_frequency[type];
    return frequency < 0 ? 0 : (frequency > MAX_OBJECT_FREQUENCY ? MAX_OBJECT_FREQUENCY : frequency);
}

int Remix_Objects(Surface* slide, int width, int height) {
    if (objects_loaded < 1) return 1;
    // One walk over the whole queue: the selected types take the instances
    // in turn, as many each as their frequency, wherever they lie; only
    // those on this slide change.
    ObjectInstance* instance = objects_queue_head;
    for (int type = 0; type < objects_loaded && type < MAX_SLIDE_OBJECTS; ++type) {
        if (plasma_settings.object_selected[type] != 1 || Object_Copies(type) <= 0) continue;
        if (!Type_Loaded(type)) continue;
        for (int copy = 0; copy < Object_Copies(type); ++copy) {
            if (instance == nullptr) return 1;
            if (instance->slide == slide) Retype_Instance(instance, type, width, height, true);
            instance = instance->next;
        }
    }
    return 1;
}

int Make_Object_Zone(Surface* slide, int width, int height, int type, int frame) {
    if (!Type_Loaded(type)) return 0;
    if (frame < 0 || frame >= Objects_Data[type].frame_count) return 0;
    for (ObjectInstance* instance = objects_queue_head; instance; instance = instance->next) {
        if (instance->slide != slide) continue;
        Retype_Instance(instance, type, width, height, false);
        if (!any_object_animates && !plasma_settings.zone_multicolour) {
            // The whole zone in one frame: one hue.
            instance->animation_mode = ANIMATION_STILL;
            instance->frame = frame;
        } else {
            instance->frame = Random_Below(instance->frame_count);
        }
    }
    return 1;
}

int Pick_Random_Object(int* type, int* frame) {
    int count = 0;
    for (const ObjectInstance* instance = objects_queue_head; instance; instance = instance->next) ++count;
    if (count == 0) return 0;
    const int pick = crt::rand() % count;

    // One step per unit of frequency of each selected type.
    int step = 0;
    for (int t = 0; t < objects_loaded && t < MAX_SLIDE_OBJECTS; ++t) {
        if (plasma_settings.object_selected[t] != 1 || !Type_Loaded(t)) continue;
        const int frequency = Object_Copies(t);
        if (frequency > 0 && pick < step + frequency) {
            if (type) *type = t;
            const int frames = Objects_Data[t].frame_count;
            const int chosen = crt::rand() % (frames < 1 ? 1 : frames);
            if (frame) *frame = frames < 1 ? 0 : chosen;
            return 1;
        }
        if (frequency > 0) step += frequency;
    }
    return 0;
}
