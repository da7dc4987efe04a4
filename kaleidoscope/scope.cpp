// The scope overlay: a mask, black outside an opening and white inside it,
// laid over the frame with white as its colour key.
#include "kaleidoscope/scope.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/resolution.h"
#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/surface.h"
#include "plasma/plasma_settings.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"

Surface* scope_surface = nullptr;
int scope_active = 0;
int scope_width = 0;
int scope_height = 0;
int last_scope_shape = SCOPE_ELLIPSE;

// The mask never gets smaller than this on either side.
static constexpr int SMALLEST_SCOPE_SIDE = 16;

static constexpr COLORREF WHITE = RGB(255, 255, 255);

// The overlays' folder under the Windows directory.
static constexpr const char* OVERLAY_FOLDER = "Calvorine/Data/Bmp/Overlays/";

// Size of the file dialog's path and title buffers.
static constexpr int FILE_BUFFER_SIZE = 260;

int Setup_Scope(int width, int height, int shape) {
    // No overlay in palette mode: the refusal is a one-frame notice on the
    // screen, nothing logged; the caller reports its own failure.
    if (app.screen_bpp == 8) {
        app.screen_notice_text = "The scope does not function in 256 colour mode";
        app.screen_notice_pending = true;
        return 0;
    }
    if (scope_surface) {
        Report_Error("Setup_Scope(): Scope Surface should be NULL");
        return 0;
    }
    if (shape == SCOPE_LAST_SHAPE) shape = last_scope_shape;

    // With the kaleidoscope on the mask covers exactly its square picture.
    int w, h;
    if (plasma_settings.kaleidoscope_on) {
        w = 2 * plasma_settings.plasma_width;
        h = 2 * plasma_settings.plasma_height;
    } else {
        w = std::min(width, static_cast<int>(app.screen_width));
        h = std::min(height, static_cast<int>(app.screen_height));
    }
    if (w <= SMALLEST_SCOPE_SIDE) w = SMALLEST_SCOPE_SIDE;
    if (h <= SMALLEST_SCOPE_SIDE) h = SMALLEST_SCOPE_SIDE;

    if (!Create_SYSTEM_Surface(&scope_surface, w, h)) {
        std::snprintf(message_buffer, sizeof message_buffer,
                      " Setup_Scope():\n\nCreate Surface FAILED\nwidth %d height %d", w, h);
        Report_Error(message_buffer);
        // A creation that failed half way may have left a surface behind.
        Release(scope_surface);
        scope_surface = nullptr;
        return 0;
    }
    bool painted;
    if (shape == SCOPE_CUSTOM) {
        painted = Load_Custom_Scope(scope_surface, w, h);
        if (!painted) Report_Error("Setup_Scope: Load Custom_Scope FAILED");
    } else {
        painted = Draw_GDI_Scope(w, h, shape);
        if (!painted) Report_Error("Setup_Scope: Draw_GDI_Scope FAILED");
    }
    // White is the opening. The key is white as the mask's format stores it
    // (0x7FFF on a 5-5-5 display, not the 0xFFFF that 0xFFFFFF would give).
    if (!painted || !Set_Transparency(scope_surface, Colour_To_Pixel(scope_surface, WHITE))) {
        // A mask that is not finished would cover the picture: drop it, so
        // that the frame is drawn without an overlay.
        Release(scope_surface);
        scope_surface = nullptr;
        return 0;
    }

    scope_width = w;
    scope_height = h;
    last_scope_shape = shape;
    plasma_settings.overlay_shape = shape;
    scope_active = 1;
    plasma_settings.overlay_on = 1;
    return 1;
}

int Shutdown_Scope() {
    if (scope_surface) {
        Release(scope_surface);
        scope_surface = nullptr;
    }
    scope_active = 0;
    plasma_settings.overlay_on = 0;
    return 1;
}

int Draw_GDI_Scope(int width, int height, int shape) {
    DeviceContext* dc = nullptr;
    if (!scope_surface || Surface_GetDC(scope_surface, &dc) != DD_OK) {
        Report_Error("Draw_GDI_Scope()\n\n Unable to Acquire device context from surface");
        return 0;
    }
    GDI_Select_Brush(dc, WHITE);
    GDI_Select_Pen(dc, WHITE);
    const int w = width, h = height;
    switch (shape) {
    case SCOPE_CIRCLE:
        if (plasma_settings.kaleidoscope_on) {
            // Narrower than the square mask by the screen's aspect, so that
            // it looks round once the picture is stretched over the screen.
            const int d = static_cast<int>(static_cast<long long>(app.screen_height) * w / app.screen_width);
            GDI_Ellipse(dc, (w - d) / 2, 0, (d + w) / 2, h);
        } else {
            const int d = std::min(w, h);
            GDI_Ellipse(dc, (w - d) / 2, (h - d) / 2, (d + w) / 2, (d + h) / 2);
        }
        break;
    case SCOPE_ELLIPSE: GDI_Ellipse(dc, 0, 0, w, h); break;
    case SCOPE_DIAMOND: {
        const Point diamond[4] = {{w / 2, 0}, {w - 1, h / 2}, {w / 2, h - 1}, {0, h / 2}};
        GDI_Polygon(dc, diamond, 4);
        break;
    }
    case SCOPE_STAR: {
        // Two triangles, one pointing up and one down; the sides are inset
        // by eighths of the height on both axes.
        const Point up[3] = {{w / 2, h / 32}, {w - h / 8, h - 2 * h / 8}, {h / 8, h - 2 * h / 8}};
        const Point down[3] = {{w - h / 8, 2 * h / 8}, {w / 2, h - h / 32}, {h / 8, 2 * h / 8}};
        GDI_Polygon(dc, up, 3);
        GDI_Polygon(dc, down, 3);
        break;
    }
    default: break;
    }
    Surface_ReleaseDC(scope_surface, dc);
    return 1;
}

std::string Custom_Scope_File(const std::string& stored_path) {
    const std::string stored = Match_Path_Case(stored_path);
    if (stored.empty() || File_Exists(stored.c_str())) return stored;
    // A preset made on another machine, or before the folder moved, names
    // an overlay that is not there: the installed overlay of the same name
    // stands in for it. Presets from Windows separate with backslashes.
    const size_t separator = stored_path.find_last_of("/\\");
    const std::string name = separator == std::string::npos ? stored_path : stored_path.substr(separator + 1);
    if (name.empty()) return stored;
    const std::string installed = Match_Path_Case(Windows_Directory() + "/" + OVERLAY_FOLDER + name);
    return File_Exists(installed.c_str()) ? installed : stored;
}

// Decoding an overlay picture (read, converted to the display's format
// pixel by pixel) cost two thirds of applying a preset that has one: every
// random preset, every Open and every rebuild of the mask paid it again for
// the same few files. The last pictures are kept with what identified their
// files, together never more pixels than the largest display mode shows.
struct Kept_Scope_Picture {
    Surface* picture;
    std::string file;
    std::string identity;
    int width, height;
};
static std::vector<Kept_Scope_Picture> kept_scope_pictures;  // oldest first
static constexpr int64_t KEPT_SCOPE_PIXELS = int64_t(LARGEST_MODE_WIDTH) * LARGEST_MODE_HEIGHT;

int Kept_Custom_Scope_Pictures() { return static_cast<int>(kept_scope_pictures.size()); }

void Release_Custom_Scope_Pictures() {
    for (Kept_Scope_Picture& kept : kept_scope_pictures) Release(kept.picture);
    kept_scope_pictures.clear();
}

static void Forget_Kept_Picture(size_t index) {
    Release(kept_scope_pictures[index].picture);
    kept_scope_pictures.erase(kept_scope_pictures.begin() + static_cast<std::ptrdiff_t>(index));
}

// The kept picture of this file as it is now, in the pixel format of
// `mask`, else null. A picture of another depth (the display was set up
// again at another one) cannot be stretched onto the mask: it is read again.
static Surface* Kept_Custom_Scope_Picture(const std::string& file, const Surface* mask, int* width, int* height) {
    for (size_t i = 0; i < kept_scope_pictures.size(); ++i) {
        const Kept_Scope_Picture& kept = kept_scope_pictures[i];
        if (kept.file != file) continue;
        const std::string identity = File_Identity(file);
        const bool same_format = mask && kept.picture->bits_per_pixel == mask->bits_per_pixel &&
                                 kept.picture->green_mask == mask->green_mask;
        if (identity.empty() || identity != kept.identity || !same_format ||
            Surface_IsLost(kept.picture) != DD_OK) {
            Forget_Kept_Picture(i);
            return nullptr;
        }
        *width = kept.width;
        *height = kept.height;
        return kept.picture;
    }
    return nullptr;
}

// Keeps a picture just loaded, making room among the oldest; one too large
// to keep is released at once. True when it is kept.
static bool Keep_Custom_Scope_Picture(Surface* picture, const std::string& file, int width, int height) {
    const int64_t pixels = int64_t(width) * height;
    if (pixels > KEPT_SCOPE_PIXELS) return false;
    // At 8 bits the picture took the nearest entries of the palette then in
    // use, and the next preset may bring another palette: read it again.
    if (picture->bits_per_pixel == 8) return false;
    int64_t total = pixels;
    for (const Kept_Scope_Picture& kept : kept_scope_pictures) total += int64_t(kept.width) * kept.height;
    while (total > KEPT_SCOPE_PIXELS && !kept_scope_pictures.empty()) {
        total -= int64_t(kept_scope_pictures.front().width) * kept_scope_pictures.front().height;
        Forget_Kept_Picture(0);
    }
    kept_scope_pictures.push_back({picture, file, File_Identity(file), width, height});
    return true;
}

int Load_Custom_Scope(Surface* mask, int width, int height) {
    // The path comes from a preset file: never trust it to be terminated.
    const char* stored = plasma_settings.custom_scope_path;
    const std::string path(stored, strnlen(stored, sizeof plasma_settings.custom_scope_path));

    int bitmap_width = 0, bitmap_height = 0;
    const std::string file = Custom_Scope_File(path);
    // An overlay is stretched over one screen: a picture larger than the
    // largest mode is refused before it is read, whatever size it claims.
    if (Read_Bitmap_Size(file.c_str(), &bitmap_width, &bitmap_height) &&
        (bitmap_width > LARGEST_MODE_WIDTH || bitmap_height > LARGEST_MODE_HEIGHT)) {
        std::snprintf(message_buffer, sizeof message_buffer,
                      "Load_Custom_Scope():%s is %d x %d, larger than the largest display mode", path.c_str(),
                      bitmap_width, bitmap_height);
        Report_Error(message_buffer);
        return 0;
    }
    Surface* bitmap = Kept_Custom_Scope_Picture(file, mask, &bitmap_width, &bitmap_height);
    bool kept = bitmap != nullptr;
    if (!bitmap) {
        bitmap = Load_SYSTEM_Bitmap(file.c_str(), &bitmap_width, &bitmap_height);
        if (!bitmap) {
            std::snprintf(message_buffer, sizeof message_buffer, "Load_Custom_Scope():Load_SYSTEM_Bitmap %s FAILED",
                          path.c_str());
            Report_Error(message_buffer);
            return 0;
        }
        kept = Keep_Custom_Scope_Picture(bitmap, file, bitmap_width, bitmap_height);
    }
    // Every white pixel becomes a window onto the picture; every other
    // colour, black included, is drawn over it, so an overlay may frame the
    // picture in colour.
    const bool stretched = Stretch_Blit(bitmap, mask, 0, 0, 0, 0, bitmap_width, bitmap_height, width, height);
    if (!kept) Release(bitmap);
    if (!stretched) {
        Report_Error("Load_Custom_Scope(): Stretch_Blit FAILED");
        return 0;
    }
    return 1;
}

int Choose_Custom_Scope() {
    static const File_Filter filters[] = {
        {"Data Files (*.DAT)", "*.dat"},
        {"ASCII Files (*.ASC)", "*.asc"},
        {"Bitmap Files (*.BMP)", "*.bmp"},
        {"All Files (*.*)", "*.*"},
    };
    const std::string prefix = app.windows_prefix.empty() ? Windows_Directory() + "/" : app.windows_prefix;
    const std::string folder = Match_Path_Case(prefix + OVERLAY_FOLDER);

    File_Dialog_Request request;
    request.owner = app.main_window;
    request.filters = filters;
    request.filter_count = static_cast<int>(std::size(filters));
    request.filter_index = 3;  // bitmaps
    request.initial_folder = folder;
    request.default_extension = "bmp";
    request.hide_read_only = true;
    request.create_prompt = true;

    char file[FILE_BUFFER_SIZE] = "";
    char title[FILE_BUFFER_SIZE] = "";
    if (!Platform_Open_File_Dialog(request, file, sizeof file, title, sizeof title)) {
        std::snprintf(message_buffer, sizeof message_buffer, "Open File folder %s filename %s title name %s FAILED",
                      folder.c_str(), file, title);
        Report_Error(message_buffer);
        return 0;
    }
    std::snprintf(plasma_settings.custom_scope_path, sizeof plasma_settings.custom_scope_path, "%s", file);
    return 1;
}

int Draw_Scope(Surface* target, int, int) {
    if (!scope_active) return 1;
    // Any answer but "fine" (lost, or no mask at all) builds the mask anew.
    if (Surface_IsLost(scope_surface) != DD_OK) {
        Shutdown_Scope();
        if (!Setup_Scope(app.client_width, app.client_height, last_scope_shape)) {
            Report_Error("Draw_Scope(): Setup_Scope FAILED");
            return 0;
        }
    }
    if (!Masked_Clip_Blit(scope_surface, target, 0, 0, 0, 0, scope_width, scope_height)) {
        Report_Error("Draw_Scope():\n\nMasked_Clip_Blit FAILED");
        return 0;
    }
    return 1;
}
