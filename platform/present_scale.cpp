#include "platform/present_scale.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/pixel_format.h"
#include "platform/row_bands.h"

Scaled_Area Fit_Keeping_Shape(int source_width, int source_height, int screen_width, int screen_height) {
    if (source_width <= 0 || source_height <= 0 || screen_width <= 0 || screen_height <= 0) return {0, 0, 0, 0};
    // Width-limited when screen_width / source_width <= screen_height / source_height.
    int width = screen_width, height = screen_height;
    if (static_cast<long long>(screen_width) * source_height <= static_cast<long long>(screen_height) * source_width) {
        height = static_cast<int>(static_cast<long long>(screen_width) * source_height / source_width);
    } else {
        width = static_cast<int>(static_cast<long long>(screen_height) * source_width / source_height);
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return {(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

static constexpr uint32_t OPAQUE = 0xFF000000u;

void Convert_Surface_Pixels(const Surface* surface, const uint8_t* source, int width, const uint32_t* palette,
                            uint32_t* out) {
    switch (Pixel_Bytes(surface->bits_per_pixel)) {
    case 1:
        for (int x = 0; x < width; ++x) out[x] = palette[source[x]];
        break;
    case 2:
        if (Pixel_Is_565(surface->green_mask)) {
            for (int x = 0; x < width; ++x) {
                const uint32_t p = Read_16(source + 2 * x);
                out[x] = OPAQUE | Expand_Field((p >> 11) & 0x1F, 5) << 16 | Expand_Field((p >> 5) & 0x3F, 6) << 8 |
                         Expand_Field(p & 0x1F, 5);
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const uint32_t p = Read_16(source + 2 * x);
                out[x] = OPAQUE | Expand_Field((p >> 10) & 0x1F, 5) << 16 | Expand_Field((p >> 5) & 0x1F, 5) << 8 |
                         Expand_Field(p & 0x1F, 5);
            }
        }
        break;
    case 3:
        for (int x = 0; x < width; ++x)
            out[x] = OPAQUE | uint32_t(source[3 * x + 2]) << 16 | uint32_t(source[3 * x + 1]) << 8 | source[3 * x];
        break;
    default:
        for (int x = 0; x < width; ++x) out[x] = OPAQUE | Read_32(source + 4 * x);
        break;
    }
}

void Surface_Palette_Colours(const Surface* surface, uint32_t colours[256]) {
    const Palette* source = surface->palette ? surface->palette : Pixel_Mapping_Palette();
    for (int index = 0; index < 256; ++index) {
        const PaletteEntry& entry = source->entries[index];
        colours[index] = OPAQUE | uint32_t(entry.red) << 16 | uint32_t(entry.green) << 8 | entry.blue;
    }
}

namespace {

// The source column of each target column in [left, right) of `area`, kept
// for the last geometry this thread scaled to.
const int* Source_Columns(int source_width, const Scaled_Area& area, int left, int right) {
    struct Geometry {
        int source_width, area_x, area_width, left, right;
        bool operator==(const Geometry&) const = default;
    };
    static thread_local Geometry kept{-1, 0, 0, 0, 0};
    static thread_local std::vector<int> columns;
    const Geometry now{source_width, area.x, area.width, left, right};
    if (!(now == kept)) {
        columns.resize(static_cast<size_t>(right - left));
        for (int i = 0; i < right - left; ++i) {
            const long long x = left + i - area.x;
            columns[static_cast<size_t>(i)] = static_cast<int>(x * source_width / area.width);
        }
        kept = now;
    }
    return columns.data();
}

}  // namespace

bool Scale_Surface_To_Image(const Surface* surface, uint8_t* target, int target_pitch, int target_width,
                            int target_height, const Scaled_Area& area, bool clear_outside) {
    if (!target || !Pixel_Surface_Usable(surface) || target_width <= 0 || target_height <= 0) return false;
    if (target_pitch < target_width * 4) return false;
    // The area, held inside the image.
    const int left = std::clamp(area.x, 0, target_width), right = std::clamp(area.x + area.width, 0, target_width);
    const int top = std::clamp(area.y, 0, target_height), bottom = std::clamp(area.y + area.height, 0, target_height);

    if (clear_outside) {
        for (int y = 0; y < target_height; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(target + static_cast<size_t>(y) * target_pitch);
            if (y < top || y >= bottom) {
                std::fill(row, row + target_width, OPAQUE);
            } else {
                std::fill(row, row + left, OPAQUE);
                std::fill(row + right, row + target_width, OPAQUE);
            }
        }
    }
    if (left >= right || top >= bottom || area.width <= 0 || area.height <= 0) return true;

    uint32_t palette[256] = {};
    if (surface->bits_per_pixel == 8) Surface_Palette_Colours(surface, palette);
    // The source column of every target column, worked out again only when
    // the geometry changes: a steady run of frames allocates nothing.
    const int columns = right - left;
    const int* source_x = Source_Columns(surface->width, area, left, right);
    const bool one_to_one = area.width == surface->width && left == area.x && right == area.x + area.width;

    const int bytes = Pixel_Bytes(surface->bits_per_pixel);
    auto band = [&](int band_begin, int band_end) {
        // A scaled row is converted a stretch of source pixels at a time, on
        // the stack of whichever thread draws the band: nothing is allocated.
        constexpr int STRETCH = 512;
        uint32_t converted[STRETCH];
        int previous_source_y = -1;
        const uint32_t* previous_row = nullptr;
        for (int y = top + band_begin; y < top + band_end; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(target + static_cast<size_t>(y) * target_pitch) + left;
            const int source_y = static_cast<int>(static_cast<long long>(y - area.y) * surface->height / area.height);
            if (source_y == previous_source_y && previous_row) {
                std::memcpy(row, previous_row, static_cast<size_t>(columns) * 4);
                continue;
            }
            const uint8_t* source = surface->memory.data() + static_cast<size_t>(source_y) * surface->pitch;
            if (one_to_one) {
                Convert_Surface_Pixels(surface, source, surface->width, palette, row - left + area.x);
            } else {
                // The source columns rise from left to right.
                for (int i = 0; i < columns;) {
                    const int first = source_x[i];
                    const int count = std::min(STRETCH, surface->width - first);
                    Convert_Surface_Pixels(surface, source + static_cast<size_t>(first) * bytes, count, palette,
                                           converted);
                    for (; i < columns && source_x[i] < first + count; ++i) row[i] = converted[source_x[i] - first];
                }
            }
            previous_source_y = source_y;
            previous_row = row;
        }
    };
    Run_Row_Bands(bottom - top, columns, band);
    return true;
}
