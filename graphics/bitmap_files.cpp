// Bitmap files: loading BMP files into surfaces and saving surfaces as
// uncompressed 24-bit BMP files.
//
// Files this program saves are read back later (object hue strips, converted
// frames), so a save either leaves a whole, loadable file or leaves whatever
// was there before: it writes a temporary file beside the target and renames
// it over the target only once every byte is on disk.
#include "graphics/bitmap_files.h"

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/surface.h"
#include "platform/files.h"

static constexpr int BMP_FILE_HEADER_SIZE = 14;
static constexpr int BMP_INFO_HEADER_SIZE = 40;
static constexpr int BMP_PIXELS_PER_METRE = 10000;

// ---------------------------------------------------------------------------
// Loading

HRESULT Copy_Bitmap_To_Surface(Surface* surface, Bitmap* bitmap, int sx, int sy, int width, int height) {
    if (surface == nullptr || bitmap == nullptr) return DDERR_GENERIC;
    Surface_Restore(surface);
    int bitmap_width = 0, bitmap_height = 0;
    GDI_GetObject(bitmap, &bitmap_width, &bitmap_height);
    if (width == 0) width = bitmap_width;
    if (height == 0) height = bitmap_height;

    SurfaceDesc desc;
    Surface_GetSurfaceDesc(surface, &desc);
    DeviceContext* dc = nullptr;
    const HRESULT result = Surface_GetDC(surface, &dc);
    if (result == DD_OK) {
        GDI_StretchBlt(dc, 0, 0, desc.width, desc.height, bitmap, sx, sy, width, height);
        Surface_ReleaseDC(surface, dc);
    }
    return result;
}

// The load shared by both placements; `create` makes the surface and
// `caller` names the operation in its texts.
static Surface* Load_Into_New_Surface(const char* caller, const char* file_name, int* width, int* height,
                                      int (*create)(Surface**, int, int)) {
    Bitmap* bitmap = GDI_LoadImage(file_name);
    if (bitmap == nullptr) {
        Report_Formatted("%s():\nCould not load %s", caller, file_name);
        return nullptr;
    }
    int bitmap_width = 0, bitmap_height = 0;
    GDI_GetObject(bitmap, &bitmap_width, &bitmap_height);
    if (width) *width = bitmap_width;
    if (height) *height = bitmap_height;

    Surface* surface = nullptr;
    if (!create(&surface, bitmap_width, bitmap_height)) {
        Report_Formatted("%s():Unable to create destination surface", caller);
        // A surface made before its clear or key failed is still ours to free.
        if (surface) Release(surface);
        GDI_DeleteObject(bitmap);
        return nullptr;
    }
    Copy_Bitmap_To_Surface(surface, bitmap, 0, 0, bitmap_width, bitmap_height);
    GDI_DeleteObject(bitmap);
    Set_Transparency(surface, 0);
    return surface;
}

int Read_Bitmap_Size(const char* file_name, int* width, int* height) {
    int w = 0, h = 0;
    if (file_name == nullptr || !GDI_Bitmap_Size(file_name, &w, &h)) return 0;
    if (width) *width = w;
    if (height) *height = h;
    return 1;
}

Surface* Load_Bitmap(const char* file_name, int* width, int* height) {
    if (file_name == nullptr || file_name[0] == '\0') {
        Report_Error("Load_Bitmap():BAD FILENAME ERROR");
        return nullptr;
    }
    return Load_Into_New_Surface("Load_Bitmap", file_name, width, height, Create_Surface);
}

Surface* Load_SYSTEM_Bitmap(const char* file_name, int* width, int* height) {
    // No name check here: an empty name simply cannot be loaded.
    return Load_Into_New_Surface("Load_SYSTEM_Bitmap", file_name ? file_name : "", width, height,
                                 Create_SYSTEM_Surface);
}

// ---------------------------------------------------------------------------
// Saving

static void Put_16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

static void Put_32(uint8_t* p, uint32_t value) {
    Put_16(p, value);
    Put_16(p + 2, value >> 16);
}

// The file header and the info header of an uncompressed bottom-up 24-bit bitmap.
static void Fill_Headers(uint8_t* header, int width, int height) {
    std::memset(header, 0, BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE);
    header[0] = 'B';
    header[1] = 'M';
    Put_32(header + 2, 3u * static_cast<uint32_t>(width) * static_cast<uint32_t>(height) + 54u);
    Put_32(header + 10, BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE);
    uint8_t* info = header + BMP_FILE_HEADER_SIZE;
    Put_32(info + 0, BMP_INFO_HEADER_SIZE);
    Put_32(info + 4, static_cast<uint32_t>(width));
    Put_32(info + 8, static_cast<uint32_t>(height));
    Put_16(info + 12, 1);   // planes
    Put_16(info + 14, 24);  // bits per pixel, whatever the screen depth
    Put_32(info + 24, BMP_PIXELS_PER_METRE);
    Put_32(info + 28, BMP_PIXELS_PER_METRE);
}

// One pixel value of the surface's format as blue, green, red. The 16-bit
// fields are only shifted up, so a full 5-bit field becomes 248.
static inline void Pixel_To_BGR(const uint8_t* p, int depth, bool is_565, const PaletteEntry* palette, uint8_t* out) {
    switch (depth) {
    case 32:
    case 24:
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        break;
    case 15:
    case 16: {
        const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
        out[0] = static_cast<uint8_t>((v & 0x1F) << 3);
        if (is_565) {
            out[1] = static_cast<uint8_t>(((v >> 5) & 0x3F) << 2);
            out[2] = static_cast<uint8_t>(((v >> 11) & 0x1F) << 3);
        } else {
            out[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) << 3);
            out[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) << 3);
        }
        break;
    }
    default: {
        const PaletteEntry& entry = palette[p[0]];
        out[0] = entry.blue;
        out[1] = entry.green;
        out[2] = entry.red;
        break;
    }
    }
}

int SaveBMPToFile(Surface* surface, Surface* front, Replacement* file) {
    int width = 0, height = 0;
    if (!Grab_Surface_Dimensions(surface, &width, &height)) {
        Report_Error("SaveBMPToFile():Unable to grab surface dimensions");
        return 0;
    }
    if (file == nullptr) return 0;
    SurfaceDesc desc;
    if (Surface_GetSurfaceDesc(surface, &desc) != DD_OK) return 0;
    // The pixels are read in the surface's own format, which is the display's.
    const int depth = desc.bits_per_pixel;
    const bool is_565 = desc.green_mask == 0x07E0;
    int bytes_per_pixel = 0;
    switch (depth) {
    case 8: bytes_per_pixel = 1; break;
    case 15:
    case 16: bytes_per_pixel = 2; break;
    case 24: bytes_per_pixel = 3; break;
    case 32: bytes_per_pixel = 4; break;
    default: return 0;  // a file of headers alone would not be a picture
    }
    const size_t row_bytes = 3 * static_cast<size_t>(width);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[row_bytes * static_cast<size_t>(height)]);
    if (!buffer) return 0;

    uint8_t header[BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE];
    Fill_Headers(header, width, height);
    if (!Replacement_Write(file, header, sizeof header)) return 0;

    PaletteEntry palette[256];
    if (depth == 8) {
        if (front == nullptr) {
            Report_Error("SaveBMPToFile():No Front Buffer for 8-bit BMP save\n");
            return 0;
        }
        Palette* front_palette = nullptr;
        if (Surface_GetPalette(front, &front_palette) != DD_OK || front_palette == nullptr) {
            Report_Error("SaveBMPToFile():Surface - Couldn't get palette for 8-bit Bitmap Save\n");
            return 0;
        }
        // The palette stays attached to the screen: asking for it takes no
        // reference, so there is nothing to release here.
        Palette_GetEntries(front_palette, 0, 256, palette);
    }

    int pitch = 0;
    uint8_t* pixels = Lock_Surface(surface, &pitch);
    if (pixels == nullptr) {
        Report_Error("SaveBMPToFile():Unable to Lock Surface");
        return 0;
    }
    // Bottom row first: a positive height in the header means bottom-up rows.
    uint8_t* out = buffer.get();
    for (int row = height - 1; row >= 0; --row) {
        const uint8_t* in = pixels + static_cast<ptrdiff_t>(row) * pitch;
        for (int column = 0; column < width; ++column, in += bytes_per_pixel, out += 3) {
            Pixel_To_BGR(in, depth, is_565, palette, out);
        }
    }
    Unlock_Surface(surface);
    const size_t total = row_bytes * static_cast<size_t>(height);
    return Replacement_Write(file, buffer.get(), total) ? 1 : 0;
}

int Save_Bitmap(Surface* surface, const char* file_name) {
    static bool traced = false;
    Trace_Enter(traced, "Save_Bitmap");
    if (file_name == nullptr || file_name[0] == '\0') {
        Report_Error("Surface - Invalid filename passed to Save_Bitmap\n");
        return 0;
    }
    if (surface == nullptr) return 0;
    int width = 0, height = 0;
    if (!Grab_Surface_Dimensions(surface, &width, &height)) {
        Report_Error("Save_Bitmap():Grab_Surface_Dimensions FAILED");
        return 0;
    }
    // Rows of 3 x width bytes need no padding only when width is a multiple of 4;
    // the files are kept to multiples of 8 both ways.
    if (width % 8 != 0 || height % 8 != 0) {
        Report_Formatted("Save_Bitmap():Width (%d) and Height (%d) Must be a multiple of 8", width, height);
        return 0;
    }
    // A link is followed to the file it names; a device or a FIFO is never
    // replaced by a file.
    std::string target;
    if (!Resolve_Save_Target(file_name, &target)) {
        Report_Formatted("Save_Bitmap():An error occurred saving %s", file_name);
        return 0;
    }
    Replacement* file = Begin_Replacement(target);
    if (file == nullptr) {
        Report_Formatted("Surface - Could not open output file for Bitmap: %s\n", file_name);
        return 0;
    }
    // The target is replaced only by a complete file; a failed save keeps
    // whatever was there and says so to the caller.
    int saved = 0;
    if (SaveBMPToFile(surface, Visible, file) == 1) {
        saved = Commit_Replacement(file);
    } else {
        Abandon_Replacement(file);
    }
    if (!saved) {
        Report_Formatted("Save_Bitmap():An error occurred saving %s", file_name);
        return 0;
    }
    Trace_Exit(traced, "Save_Bitmap");
    return 1;
}
