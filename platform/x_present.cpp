#include "platform/x_present.h"

#include <dlfcn.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/library_lookup.h"
#include "platform/pixel_format.h"
#include "platform/present_scale.h"
#include "platform/row_bands.h"

namespace {

// libxcb and its RENDER and MIT-SHM libraries are in the process through Qt's
// X plugin; their functions are looked up there, so the layer needs no X
// library of its own at build time. The structures are the X protocol's as
// libxcb lays them out.

struct Cookie {
    unsigned int sequence;
};
struct Extension_Reply {
    uint8_t response_type, pad0;
    uint16_t sequence;
    uint32_t length;
    uint8_t present, major_opcode, first_event, first_error;
};
struct Window_Attributes_Reply {
    uint8_t response_type, backing_store;
    uint16_t sequence;
    uint32_t length;
    uint32_t visual;
};
struct Pixmap_Format {
    uint8_t depth, bits_per_pixel, scanline_pad, pad[5];
};
struct Transform {
    int32_t matrix[9];  // 16.16 fixed point, row by row
};
struct Render_Colour {
    uint16_t red, green, blue, alpha;
};
struct Rectangle_16 {
    int16_t x, y;
    uint16_t width, height;
};
struct Picture_Visual {
    uint32_t visual, format;
};
struct Picture_Format_Info {
    uint32_t id;
};

// The offset of the image byte order in the connection set-up.
constexpr size_t SETUP_IMAGE_BYTE_ORDER = 30;
constexpr uint8_t LSB_FIRST = 0;
constexpr uint8_t Z_PIXMAP = 2;
constexpr uint8_t RENDER_OP_SRC = 1;
constexpr int STANDARD_RGB_24 = 1;
constexpr uint32_t GC_GRAPHICS_EXPOSURES = 1u << 16;
constexpr uint16_t WINDOW_CLASS_INPUT_OUTPUT = 1;
constexpr uint32_t WINDOW_BACK_PIXEL = 1u << 1;
constexpr uint16_t CONFIGURE_PLACE = 1 | 2 | 4 | 8;  // x, y, width, height
constexpr uint8_t SHAPE_SET = 0, SHAPE_INPUT = 2, SHAPE_UNSORTED = 0;
constexpr int LARGEST_SIDE = 32767;
constexpr int32_t FIXED_ONE = 1 << 16;

struct Screen_Iterator {
    const uint32_t* screen;  // its first field is the root window
    int rem, index;
};

struct Functions {
    // libxcb
    xcb_connection_t* (*connect)(const char*, int*);
    void (*disconnect)(xcb_connection_t*);
    int (*connection_has_error)(xcb_connection_t*);
    void* (*poll_for_queued_event)(xcb_connection_t*);
    Screen_Iterator (*setup_roots_iterator)(const uint8_t*);
    uint32_t (*generate_id)(xcb_connection_t*);
    int (*flush)(xcb_connection_t*);
    const Extension_Reply* (*get_extension_data)(xcb_connection_t*, void*);
    void* (*request_check)(xcb_connection_t*, Cookie);
    const uint8_t* (*get_setup)(xcb_connection_t*);
    const Pixmap_Format* (*setup_pixmap_formats)(const uint8_t*);
    int (*setup_pixmap_formats_length)(const uint8_t*);
    Cookie (*get_window_attributes)(xcb_connection_t*, uint32_t);
    Window_Attributes_Reply* (*get_window_attributes_reply)(xcb_connection_t*, Cookie, void**);
    Cookie (*get_input_focus)(xcb_connection_t*);
    void* (*get_input_focus_reply)(xcb_connection_t*, Cookie, void**);
    Cookie (*create_pixmap)(xcb_connection_t*, uint8_t, uint32_t, uint32_t, uint16_t, uint16_t);
    Cookie (*free_pixmap)(xcb_connection_t*, uint32_t);
    Cookie (*create_gc)(xcb_connection_t*, uint32_t, uint32_t, uint32_t, const void*);
    Cookie (*free_gc)(xcb_connection_t*, uint32_t);
    Cookie (*create_window)(xcb_connection_t*, uint8_t, uint32_t, uint32_t, int16_t, int16_t, uint16_t, uint16_t,
                            uint16_t, uint16_t, uint32_t, uint32_t, const void*);
    Cookie (*configure_window)(xcb_connection_t*, uint32_t, uint16_t, const void*);
    Cookie (*map_window)(xcb_connection_t*, uint32_t);
    Cookie (*unmap_window)(xcb_connection_t*, uint32_t);
    Cookie (*destroy_window)(xcb_connection_t*, uint32_t);
    Cookie (*put_image)(xcb_connection_t*, uint8_t, uint32_t, uint32_t, uint16_t, uint16_t, int16_t, int16_t, uint8_t,
                        uint8_t, uint32_t, const uint8_t*);
    uint32_t (*maximum_request_length)(xcb_connection_t*);
    // MIT-SHM
    void* shm_extension;
    Cookie (*shm_attach_checked)(xcb_connection_t*, uint32_t, uint32_t, uint8_t);
    Cookie (*shm_detach)(xcb_connection_t*, uint32_t);
    Cookie (*shm_put_image)(xcb_connection_t*, uint32_t, uint32_t, uint16_t, uint16_t, uint16_t, uint16_t, uint16_t,
                            uint16_t, int16_t, int16_t, uint8_t, uint8_t, uint8_t, uint32_t, uint32_t);
    // SHAPE
    void* shape_extension;
    Cookie (*shape_rectangles)(xcb_connection_t*, uint8_t, uint8_t, uint8_t, uint32_t, int16_t, int16_t, uint32_t,
                               const Rectangle_16*);
    // RENDER
    void* render_extension;
    Cookie (*create_picture)(xcb_connection_t*, uint32_t, uint32_t, uint32_t, uint32_t, const void*);
    Cookie (*free_picture)(xcb_connection_t*, uint32_t);
    Cookie (*set_picture_transform)(xcb_connection_t*, uint32_t, Transform);
    Cookie (*set_picture_filter)(xcb_connection_t*, uint32_t, uint16_t, const char*, uint32_t, const int32_t*);
    Cookie (*composite)(xcb_connection_t*, uint8_t, uint32_t, uint32_t, uint32_t, int16_t, int16_t, int16_t, int16_t,
                        int16_t, int16_t, uint16_t, uint16_t);
    Cookie (*fill_rectangles)(xcb_connection_t*, uint8_t, uint32_t, Render_Colour, uint32_t, const Rectangle_16*);
    const void* (*query_formats)(xcb_connection_t*);
    const Picture_Visual* (*find_visual_format)(const void*, uint32_t);
    const Picture_Format_Info* (*find_standard_format)(const void*, int);
};

const Functions* Xcb() {
    static Functions f;
    static int found = -1;
    if (found >= 0) return found ? &f : nullptr;
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
    void* shm = dlopen("libxcb-shm.so.0", RTLD_NOW | RTLD_NOLOAD);
    void* render = dlopen("libxcb-render.so.0", RTLD_NOW | RTLD_NOLOAD);
    void* shape = dlopen("libxcb-shape.so.0", RTLD_NOW | RTLD_NOLOAD);
    void* util = dlopen("libxcb-render-util.so.0", RTLD_NOW | RTLD_NOLOAD);
    found = xcb && shm && render && util && shape && Look_Up(shape, "xcb_shape_id", &f.shape_extension) &&
            Look_Up(shape, "xcb_shape_rectangles", &f.shape_rectangles) &&
            Look_Up(xcb, "xcb_connect", &f.connect) && Look_Up(xcb, "xcb_disconnect", &f.disconnect) &&
            Look_Up(xcb, "xcb_connection_has_error", &f.connection_has_error) &&
            Look_Up(xcb, "xcb_poll_for_queued_event", &f.poll_for_queued_event) &&
            Look_Up(xcb, "xcb_setup_roots_iterator", &f.setup_roots_iterator) &&
            Look_Up(xcb, "xcb_generate_id", &f.generate_id) && Look_Up(xcb, "xcb_flush", &f.flush) &&
            Look_Up(xcb, "xcb_get_extension_data", &f.get_extension_data) &&
            Look_Up(xcb, "xcb_request_check", &f.request_check) && Look_Up(xcb, "xcb_get_setup", &f.get_setup) &&
            Look_Up(xcb, "xcb_setup_pixmap_formats", &f.setup_pixmap_formats) &&
            Look_Up(xcb, "xcb_setup_pixmap_formats_length", &f.setup_pixmap_formats_length) &&
            Look_Up(xcb, "xcb_get_window_attributes", &f.get_window_attributes) &&
            Look_Up(xcb, "xcb_get_window_attributes_reply", &f.get_window_attributes_reply) &&
            Look_Up(xcb, "xcb_get_input_focus", &f.get_input_focus) &&
            Look_Up(xcb, "xcb_get_input_focus_reply", &f.get_input_focus_reply) &&
            Look_Up(xcb, "xcb_create_pixmap", &f.create_pixmap) && Look_Up(xcb, "xcb_free_pixmap", &f.free_pixmap) &&
            Look_Up(xcb, "xcb_create_gc", &f.create_gc) && Look_Up(xcb, "xcb_free_gc", &f.free_gc) &&
            Look_Up(xcb, "xcb_create_window", &f.create_window) &&
            Look_Up(xcb, "xcb_configure_window", &f.configure_window) &&
            Look_Up(xcb, "xcb_map_window", &f.map_window) && Look_Up(xcb, "xcb_unmap_window", &f.unmap_window) &&
            Look_Up(xcb, "xcb_destroy_window", &f.destroy_window) && Look_Up(xcb, "xcb_put_image", &f.put_image) &&
            Look_Up(xcb, "xcb_get_maximum_request_length", &f.maximum_request_length) &&
            Look_Up(shm, "xcb_shm_id", &f.shm_extension) &&
            Look_Up(shm, "xcb_shm_attach_checked", &f.shm_attach_checked) &&
            Look_Up(shm, "xcb_shm_detach", &f.shm_detach) && Look_Up(shm, "xcb_shm_put_image", &f.shm_put_image) &&
            Look_Up(render, "xcb_render_id", &f.render_extension) &&
            Look_Up(render, "xcb_render_create_picture", &f.create_picture) &&
            Look_Up(render, "xcb_render_free_picture", &f.free_picture) &&
            Look_Up(render, "xcb_render_set_picture_transform", &f.set_picture_transform) &&
            Look_Up(render, "xcb_render_set_picture_filter", &f.set_picture_filter) &&
            Look_Up(render, "xcb_render_composite", &f.composite) &&
            Look_Up(render, "xcb_render_fill_rectangles", &f.fill_rectangles) &&
            Look_Up(util, "xcb_render_util_query_formats", &f.query_formats) &&
            Look_Up(util, "xcb_render_util_find_visual_format", &f.find_visual_format) &&
            Look_Up(util, "xcb_render_util_find_standard_format", &f.find_standard_format);
    return found ? &f : nullptr;
}

bool Extension_Present(const Functions* x, xcb_connection_t* connection, void* extension) {
    const Extension_Reply* reply = x->get_extension_data(connection, extension);
    return reply && reply->present;
}

// The server keeps 24-bit pixmaps as little-endian 32-bit words, as the
// pictures here are laid out.
bool Pixmaps_Match_Pictures(const Functions* x, xcb_connection_t* connection) {
    const uint8_t* setup = x->get_setup(connection);
    if (!setup || setup[SETUP_IMAGE_BYTE_ORDER] != LSB_FIRST) return false;
    const Pixmap_Format* formats = x->setup_pixmap_formats(setup);
    const int count = x->setup_pixmap_formats_length(setup);
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == 24) return formats[i].bits_per_pixel == 32;
    }
    return false;
}

int32_t Fixed_Ratio(int numerator, int denominator) {
    return static_cast<int32_t>((static_cast<int64_t>(numerator) * FIXED_ONE) / denominator);
}

uint32_t First_Root(const Functions* x, xcb_connection_t* connection) {
    const uint8_t* setup = x->get_setup(connection);
    if (!setup) return 0;
    const Screen_Iterator screens = x->setup_roots_iterator(setup);
    return screens.rem > 0 && screens.screen ? screens.screen[0] : 0;
}

// A connection of the presenter's own to the toolkit's server, or null.
// The toolkit's requests so far are answered first, so that the parent it
// made exists for the new connection too.
xcb_connection_t* Connect_Own(const Functions* x, xcb_connection_t* toolkit) {
    void* error = nullptr;
    std::free(x->get_input_focus_reply(toolkit, x->get_input_focus(toolkit), &error));
    std::free(error);
    xcb_connection_t* own = x->connect(nullptr, nullptr);
    if (!own) return nullptr;
    // The same server: $DISPLAY may name another than the toolkit took.
    const uint32_t root = x->connection_has_error(own) ? 0 : First_Root(x, own);
    if (root == 0 || root != First_Root(x, toolkit)) {
        x->disconnect(own);
        return nullptr;
    }
    return own;
}

}  // namespace

X_Presenter::Opening X_Presenter::Open(xcb_connection_t* connection, uint32_t parent) {
    Close();
    const Functions* x = Xcb();
    if (!x || !connection) return OPEN_UNSUPPORTED;
    // On a connection of its own the frame's replies come back to this
    // thread alone: on the toolkit's they also wake the toolkit's reader
    // thread once a frame.
    if (xcb_connection_t* own = Connect_Own(x, connection)) {
        const Opening opening = Open_On(own, parent);
        if (opening == OPENED) {
            own_connection_ = true;
            return opening;
        }
        x->disconnect(own);
    }
    return Open_On(connection, parent);
}

X_Presenter::Opening X_Presenter::Open_On(xcb_connection_t* connection, uint32_t parent) {
    const Functions* x = Xcb();
    if (!Extension_Present(x, connection, x->render_extension) || !Pixmaps_Match_Pictures(x, connection)) {
        return OPEN_UNSUPPORTED;
    }
    const void* formats = x->query_formats(connection);
    const Picture_Format_Info* rgb = formats ? x->find_standard_format(formats, STANDARD_RGB_24) : nullptr;
    if (!rgb) return OPEN_UNSUPPORTED;
    void* error = nullptr;
    Window_Attributes_Reply* attributes =
        parent ? x->get_window_attributes_reply(connection, x->get_window_attributes(connection, parent), &error)
               : nullptr;
    std::free(error);
    if (!attributes) return OPEN_NO_WINDOW;
    // The child has its parent's visual.
    const Picture_Visual* visual = x->find_visual_format(formats, attributes->visual);
    std::free(attributes);
    if (!visual) return OPEN_UNSUPPORTED;

    connection_ = connection;
    parent_ = parent;
    source_format_ = rgb->id;
    // Without shared memory (a remote display) the picture goes up in plain
    // puts; the server still does the scaling.
    shared_memory_ = Extension_Present(x, connection, x->shm_extension);
    // Black where nothing is drawn yet.
    window_ = x->generate_id(connection);
    const uint32_t black = 0;
    x->create_window(connection, 0, window_, parent, 0, 0, 1, 1, 0, WINDOW_CLASS_INPUT_OUTPUT, 0, WINDOW_BACK_PIXEL,
                     &black);
    // Nothing of it takes the pointer: the pointer stays in the frame, which
    // keeps its cursor (hidden over a saver) and its clicks.
    if (Extension_Present(x, connection, x->shape_extension)) {
        x->shape_rectangles(connection, SHAPE_SET, SHAPE_INPUT, SHAPE_UNSORTED, window_, 0, 0, 0, nullptr);
    }
    window_picture_ = x->generate_id(connection);
    x->create_picture(connection, window_picture_, window_, visual->format, 0, nullptr);
    gc_ = x->generate_id(connection);
    const uint32_t no_exposures = 0;
    x->create_gc(connection, gc_, window_, GC_GRAPHICS_EXPOSURES, &no_exposures);
    mapped_ = false;
    x_ = y_ = 0;
    width_ = height_ = 1;
    shown_width_ = shown_height_ = shown_source_width_ = shown_source_height_ = -1;
    return OPENED;
}

void X_Presenter::Wait_For_Server() {
    if (!sync_pending_) return;
    const Functions* x = Xcb();
    void* error = nullptr;
    std::free(x->get_input_focus_reply(connection_, Cookie{sync_sequence_}, &error));
    std::free(error);
    sync_pending_ = false;
    // Nothing asks for events on the own connection: what comes is an
    // error (a window the server has already taken with its parent).
    if (own_connection_) {
        while (void* event = x->poll_for_queued_event(connection_)) std::free(event);
    }
}

void X_Presenter::Take_Back_Segment() {
    if (lent_to_) lent_to_->memory.Take_Back();
    lent_to_ = nullptr;
}

void X_Presenter::Release_Source() {
    const Functions* x = Xcb();
    if (!x || !connection_) return;
    Wait_For_Server();
    // The surface drawing into the segment takes its pixels home first.
    Take_Back_Segment();
    if (source_picture_) x->free_picture(connection_, source_picture_);
    if (pixmap_) x->free_pixmap(connection_, pixmap_);
    if (segment_) x->shm_detach(connection_, segment_);
    if (memory_) shmdt(memory_);
    source_picture_ = pixmap_ = segment_ = 0;
    memory_ = nullptr;
    std::vector<uint8_t>().swap(put_rows_);
    source_width_ = source_height_ = 0;
}

bool X_Presenter::Attach_Segment(size_t bytes) {
    const Functions* x = Xcb();
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return false;
    void* memory = shmat(id, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const uint32_t segment = x->generate_id(connection_);
    // A server that cannot reach this memory (another machine) says so here.
    void* refused = x->request_check(connection_, x->shm_attach_checked(connection_, segment, id, 1));
    // Marked for removal now: it goes when both sides have let go of it.
    shmctl(id, IPC_RMID, nullptr);
    if (refused) {
        std::free(refused);
        shmdt(memory);
        return false;
    }
    memory_ = static_cast<uint8_t*>(memory);
    segment_ = segment;
    return true;
}

bool X_Presenter::Prepare_Source(int width, int height) {
    if (width == source_width_ && height == source_height_ && pixmap_) return true;
    Release_Source();
    if (width <= 0 || height <= 0 || width > LARGEST_SIDE || height > LARGEST_SIDE) return false;
    const Functions* x = Xcb();
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    // Refused once, the server will not take shared memory later either.
    if (shared_memory_ && !Attach_Segment(bytes)) shared_memory_ = false;
    source_width_ = width;
    source_height_ = height;
    pixmap_ = x->generate_id(connection_);
    x->create_pixmap(connection_, 24, pixmap_, window_, static_cast<uint16_t>(width), static_cast<uint16_t>(height));
    source_picture_ = x->generate_id(connection_);
    x->create_picture(connection_, source_picture_, pixmap_, source_format_, 0, nullptr);
    static const char nearest[] = "nearest";
    x->set_picture_filter(connection_, source_picture_, sizeof nearest - 1, nearest, 0, nullptr);
    shown_source_width_ = shown_source_height_ = -1;
    return true;
}

void X_Presenter::Place(int x, int y, int width, int height) {
    const Functions* f = Xcb();
    x = std::clamp(x, -LARGEST_SIDE, LARGEST_SIDE);
    y = std::clamp(y, -LARGEST_SIDE, LARGEST_SIDE);
    width = std::clamp(width, 1, LARGEST_SIDE);
    height = std::clamp(height, 1, LARGEST_SIDE);
    if (x != x_ || y != y_ || width != width_ || height != height_) {
        const uint32_t place[4] = {static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(width),
                                   static_cast<uint32_t>(height)};
        f->configure_window(connection_, window_, CONFIGURE_PLACE, place);
        x_ = x;
        y_ = y;
        width_ = width;
        height_ = height;
    }
    if (!mapped_) {
        f->map_window(connection_, window_);
        mapped_ = true;
        // Mapped anew, the window is all background: the bars go again.
        shown_width_ = -1;
    }
}

void X_Presenter::Draw() {
    const Functions* x = Xcb();
    const Scaled_Area area = Fit_Keeping_Shape(source_width_, source_height_, width_, height_);
    const bool new_geometry = width_ != shown_width_ || height_ != shown_height_ ||
                              source_width_ != shown_source_width_ || source_height_ != shown_source_height_;
    if (new_geometry) {
        // Black wherever the picture does not land.
        const Render_Colour black{0, 0, 0, 0xFFFF};
        Rectangle_16 bars[4];
        uint32_t count = 0;
        auto add = [&](int left, int top, int right, int bottom) {
            if (right > left && bottom > top) {
                bars[count++] = {static_cast<int16_t>(left), static_cast<int16_t>(top),
                                 static_cast<uint16_t>(right - left), static_cast<uint16_t>(bottom - top)};
            }
        };
        add(0, 0, width_, area.y);
        add(0, area.y + area.height, width_, height_);
        add(0, area.y, area.x, area.y + area.height);
        add(area.x + area.width, area.y, width_, area.y + area.height);
        if (count) x->fill_rectangles(connection_, RENDER_OP_SRC, window_picture_, black, count, bars);
        // Each window pixel samples the picture at its own place, scaled back.
        if (area.width > 0 && area.height > 0) {
            Transform scale{{Fixed_Ratio(source_width_, area.width), 0, 0, 0, Fixed_Ratio(source_height_, area.height),
                             0, 0, 0, FIXED_ONE}};
            x->set_picture_transform(connection_, source_picture_, scale);
        }
        shown_width_ = width_;
        shown_height_ = height_;
        shown_source_width_ = source_width_;
        shown_source_height_ = source_height_;
    }
    if (area.width > 0 && area.height > 0) {
        x->composite(connection_, RENDER_OP_SRC, source_picture_, 0, window_picture_, 0, 0, 0, 0,
                     static_cast<int16_t>(area.x), static_cast<int16_t>(area.y), static_cast<uint16_t>(area.width),
                     static_cast<uint16_t>(area.height));
    }
}

// Rows as the 24-bit pixmap takes them (0x00RRGGBB words, width x 4 bytes a
// row), converted in row bands into `target`.
static void Convert_Rows(const Surface* surface, uint8_t* target) {
    uint32_t palette[256] = {};
    if (surface->bits_per_pixel == 8) Surface_Palette_Colours(surface, palette);
    const size_t pitch = static_cast<size_t>(surface->width) * 4;
    // A 24-bit pixmap ignores the top byte: 32-bit rows go up as they are.
    const bool as_is = Pixel_Bytes(surface->bits_per_pixel) == 4;
    auto band = [&](int top, int bottom) {
        for (int row = top; row < bottom; ++row) {
            const uint8_t* source = surface->memory.data() + static_cast<size_t>(row) * surface->pitch;
            uint8_t* out = target + static_cast<size_t>(row) * pitch;
            if (as_is) {
                std::memcpy(out, source, pitch);
            } else {
                Convert_Surface_Pixels(surface, source, surface->width, palette, reinterpret_cast<uint32_t*>(out));
            }
        }
    };
    Run_Row_Bands(surface->height, surface->width, band);
}

void X_Presenter::Put_Rows(const uint8_t* rows) {
    const Functions* x = Xcb();
    const size_t row_bytes = static_cast<size_t>(source_width_) * 4;
    // A request longer than the server takes would end the connection: the
    // picture goes up in strips that fit (the limit counts 4-byte units).
    constexpr size_t PUT_IMAGE_HEADER = 24;
    const size_t limit = static_cast<size_t>(x->maximum_request_length(connection_)) * 4;
    const size_t fitting = limit > PUT_IMAGE_HEADER ? (limit - PUT_IMAGE_HEADER) / row_bytes : 0;
    const int strip = static_cast<int>(std::clamp<size_t>(fitting, 1, static_cast<size_t>(source_height_)));
    for (int top = 0; top < source_height_; top += strip) {
        const int rows_here = std::min(strip, source_height_ - top);
        x->put_image(connection_, Z_PIXMAP, pixmap_, gc_, static_cast<uint16_t>(source_width_),
                     static_cast<uint16_t>(rows_here), 0, static_cast<int16_t>(top), 0, 24,
                     static_cast<uint32_t>(row_bytes * static_cast<size_t>(rows_here)),
                     rows + static_cast<size_t>(top) * row_bytes);
    }
}

bool X_Presenter::Show_Picture(Surface* surface, bool may_lend, int x, int y, int width, int height) {
    if (!Is_Open() || !Pixel_Surface_Usable(surface)) return false;
    if (!Prepare_Source(surface->width, surface->height)) return false;
    const Functions* f = Xcb();
    const auto w = static_cast<uint16_t>(source_width_), h = static_cast<uint16_t>(source_height_);
    const bool rows_as_pixmap = Pixel_Bytes(surface->bits_per_pixel) == 4 && surface->pitch == source_width_ * 4;
    if (memory_) {
        if (lent_to_ != surface) {
            // The server must be done reading the last picture before it is overwritten.
            Wait_For_Server();
            Take_Back_Segment();
            if (may_lend && rows_as_pixmap && !surface->memory.Is_Lent()) {
                // Its rows are the pixmap's: the surface draws its next
                // frames straight into the segment, waiting for the server
                // before each change.
                surface->memory.Lend(memory_, this);
                lent_to_ = surface;
            } else {
                Convert_Rows(surface, memory_);
            }
        }
        f->shm_put_image(connection_, pixmap_, gc_, w, h, 0, 0, w, h, 0, 0, 24, Z_PIXMAP, 0, segment_, 0);
    } else if (rows_as_pixmap) {
        // The library writes the rows out before it returns: they go up
        // straight from the surface.
        Wait_For_Server();
        Put_Rows(surface->memory.data());
    } else {
        Wait_For_Server();
        put_rows_.resize(static_cast<size_t>(source_width_) * static_cast<size_t>(source_height_) * 4);
        Convert_Rows(surface, put_rows_.data());
        Put_Rows(put_rows_.data());
    }
    Place(x, y, width, height);
    Draw();
    sync_sequence_ = f->get_input_focus(connection_).sequence;
    sync_pending_ = true;
    f->flush(connection_);
    return true;
}

void X_Presenter::Hide() {
    if (!Is_Open() || !mapped_) return;
    Xcb()->unmap_window(connection_, window_);
    Xcb()->flush(connection_);
    mapped_ = false;
}

void X_Presenter::Close() {
    if (!connection_) return;
    const Functions* x = Xcb();
    Release_Source();
    if (window_picture_) x->free_picture(connection_, window_picture_);
    if (gc_) x->free_gc(connection_, gc_);
    if (window_) x->destroy_window(connection_, window_);
    x->flush(connection_);
    if (own_connection_) x->disconnect(connection_);
    own_connection_ = false;
    connection_ = nullptr;
    parent_ = window_ = window_picture_ = gc_ = 0;
    mapped_ = false;
}
