#include "platform/ddraw.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/device_context.h"
#include "platform/pixel_format.h"
#include "platform/pixel_rows.h"
#include "platform/row_bands.h"
#include "platform/system.h"

DeviceConfig dd_config;
DeviceFaults dd_faults;
long dd_vertical_blank_waits = 0;
long dd_blt_calls = 0;
Vertical_Blank_Hook dd_vertical_blank_hook = nullptr;

// The emulated screen: one display mode at a time, shared by every device object.
static bool mode_set = false;
static int mode_width = 0, mode_height = 0, mode_bpp = 0;

static std::vector<Surface*> live_surfaces;
static std::vector<Palette*> live_palettes;
static std::vector<Clipper*> live_clippers;
static Surface* primary_surface = nullptr;
static uint32_t video_memory_used = 0;
static long next_surface_id = 1;

// Larger requests than this are answered with "out of memory" instead of
// letting a bad size exhaust the host.
static constexpr int64_t MAX_SURFACE_BYTES = int64_t(1) << 30;

void DD_Reset_Emulation() {
    dd_config = DeviceConfig{};
    dd_faults = DeviceFaults{};
    dd_vertical_blank_waits = 0;
    dd_blt_calls = 0;
    dd_vertical_blank_hook = nullptr;
    mode_set = false;
    mode_width = mode_height = mode_bpp = 0;
}

void DD_Lose_All_Surfaces() {
    for (Surface* s : live_surfaces) s->lost = true;
}

int DD_Live_Surface_Count() { return static_cast<int>(live_surfaces.size()); }

int DD_Current_Depth() { return mode_set ? mode_bpp : dd_config.desktop_bpp; }

static int current_width() { return mode_set ? mode_width : dd_config.desktop_width; }
static int current_height() { return mode_set ? mode_height : dd_config.desktop_height; }

static uint32_t green_mask_for(int depth) {
    if (depth == 15) return dd_config.green_mask_15;
    if (depth == 16) return dd_config.green_mask_16;
    return 0;
}

uint32_t DD_Current_Green_Mask() { return green_mask_for(DD_Current_Depth()); }

Surface* DD_Primary_Surface() { return primary_surface; }

Palette* DD_Current_Palette() { return primary_surface ? primary_surface->palette : nullptr; }

// A depth the device refuses never gets this far; four bytes keeps any
// other surface's arithmetic safe all the same.
static int bytes_per_pixel(int depth) {
    const int bytes = Pixel_Bytes(depth);
    return bytes != 0 ? bytes : 4;
}

static bool valid_depth(int depth) { return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32; }

// ---------------------------------------------------------------------------
// Device object

HRESULT DirectDrawCreate(DirectDrawDevice** out) {
    if (!out) return DDERR_INVALIDPARAMS;
    if (dd_faults.create_device != DD_OK) return dd_faults.create_device;
    *out = new DirectDrawDevice{};
    return DD_OK;
}

HRESULT DD_QueryInterface(DirectDrawDevice* device, DirectDrawDevice** out) {
    if (!device || !out) return DDERR_INVALIDPARAMS;
    if (dd_faults.query_interface != DD_OK) return dd_faults.query_interface;
    auto* interface = new DirectDrawDevice{};
    interface->is_interface = true;
    *out = interface;
    return DD_OK;
}

HRESULT DD_SetCooperativeLevel(DirectDrawDevice* device, Window* window, uint32_t flags) {
    if (!device) return DDERR_INVALIDOBJECT;
    if (dd_faults.cooperative_level != DD_OK) return dd_faults.cooperative_level;
    device->window = window;
    device->cooperative_flags = flags;
    return DD_OK;
}

HRESULT DD_SetDisplayMode(DirectDrawDevice* device, int width, int height, int bpp) {
    if (!device) return DDERR_INVALIDOBJECT;
    if (width <= 0 || height <= 0 || !valid_depth(bpp)) return DDERR_INVALIDMODE;
    if (dd_faults.refused_depths.count(bpp)) return DDERR_INVALIDMODE;
    mode_set = true;
    mode_width = width;
    mode_height = height;
    mode_bpp = bpp;
    device->mode_set = true;
    device->mode_width = width;
    device->mode_height = height;
    device->mode_bpp = bpp;
    return DD_OK;
}

HRESULT DD_RestoreDisplayMode(DirectDrawDevice* device) {
    if (!device) return DDERR_INVALIDOBJECT;
    mode_set = false;
    device->mode_set = false;
    return DD_OK;
}

void Surface_Memory::Lend(uint8_t* memory, Surface_Memory_Lender* lender) {
    Take_Back();
    if (!memory || !lender) return;
    lender->Before_Write();
    std::memcpy(memory, own_.data(), own_.size());
    lent_ = memory;
    lender_ = lender;
}

void Surface_Memory::Take_Back() {
    if (!lent_) return;
    std::memcpy(own_.data(), lent_, own_.size());
    Forget_Lender();
}

void Surface_Memory::Forget_Lender() {
    Surface_Memory_Lender* lender = lender_;
    lent_ = nullptr;
    lender_ = nullptr;
    if (lender) lender->Returned();
}

static Surface* make_surface(int width, int height, Placement placement) {
    auto* s = new Surface{};
    s->width = width;
    s->height = height;
    s->bits_per_pixel = DD_Current_Depth();
    s->green_mask = green_mask_for(s->bits_per_pixel);
    s->pitch = width * bytes_per_pixel(s->bits_per_pixel) + dd_config.pitch_padding;
    s->memory.assign(static_cast<size_t>(s->pitch) * height, 0);
    s->placement = placement;
    s->id = next_surface_id++;
    if (placement == Placement::VIDEO) video_memory_used += static_cast<uint32_t>(s->memory.size());
    live_surfaces.push_back(s);
    return s;
}

HRESULT DD_CreateSurface(DirectDrawDevice* device, const SurfaceDesc& desc, Surface** out) {
    if (!device || !out) return DDERR_INVALIDPARAMS;
    if (desc.caps & DDSCAPS_PRIMARYSURFACE) {
        if (dd_faults.create_primary != DD_OK) return dd_faults.create_primary;
        if (primary_surface) return DDERR_GENERIC;
        Surface* s = make_surface(current_width(), current_height(), Placement::VIDEO);
        s->is_primary = true;
        primary_surface = s;
        *out = s;
        return DD_OK;
    }
    if (desc.width <= 0 || desc.height <= 0) return DDERR_INVALIDPARAMS;
    if (dd_faults.create_surface != DD_OK) {
        if (dd_faults.create_surface_after > 0) {
            --dd_faults.create_surface_after;
        } else {
            return dd_faults.create_surface;
        }
    }
    const int64_t bytes =
        (int64_t(desc.width) * bytes_per_pixel(DD_Current_Depth()) + dd_config.pitch_padding) * desc.height;
    if (bytes > MAX_SURFACE_BYTES) return DDERR_OUTOFMEMORY;
    Placement placement = (desc.caps & DDSCAPS_VIDEOMEMORY) ? Placement::VIDEO : Placement::SYSTEM;
    if (placement == Placement::VIDEO) {
        const uint32_t free = dd_config.video_memory_total - std::min(video_memory_used, dd_config.video_memory_total);
        if (uint64_t(bytes) > free) return DDERR_OUTOFVIDEOMEMORY;
        if (desc.width > current_width() && !dd_config.wide_surfaces) return DDERR_OUTOFVIDEOMEMORY;
    }
    *out = make_surface(desc.width, desc.height, placement);
    return DD_OK;
}

HRESULT DD_GetAvailableVidMem(DirectDrawDevice* device, uint32_t* total, uint32_t* free) {
    if (!device) return DDERR_INVALIDOBJECT;
    if (dd_faults.available_video_memory != DD_OK) return dd_faults.available_video_memory;
    if (total) *total = dd_config.video_memory_total;
    if (free) *free = dd_config.video_memory_total - std::min(video_memory_used, dd_config.video_memory_total);
    return DD_OK;
}

HRESULT DD_GetCaps(DirectDrawDevice* device, DDCaps* caps) {
    if (!device || !caps) return DDERR_INVALIDPARAMS;
    if (dd_faults.get_caps != DD_OK) return dd_faults.get_caps;
    caps->caps = 0;
    caps->caps2 = dd_config.wide_surfaces ? DDCAPS2_WIDESURFACES : 0;
    return DD_OK;
}

HRESULT DD_CreatePalette(DirectDrawDevice* device, uint32_t, const PaletteEntry* entries, Palette** out) {
    if (!device || !entries || !out) return DDERR_INVALIDPARAMS;
    if (dd_faults.create_palette != DD_OK) return dd_faults.create_palette;
    auto* palette = new Palette{};
    std::copy(entries, entries + 256, palette->entries);
    live_palettes.push_back(palette);
    *out = palette;
    return DD_OK;
}

HRESULT DD_CreateClipper(DirectDrawDevice* device, uint32_t, Clipper** out) {
    if (!device || !out) return DDERR_INVALIDPARAMS;
    if (dd_faults.create_clipper != DD_OK) return dd_faults.create_clipper;
    auto* clipper = new Clipper{};
    live_clippers.push_back(clipper);
    *out = clipper;
    return DD_OK;
}

HRESULT DD_WaitForVerticalBlank(DirectDrawDevice* device, uint32_t) {
    if (!device) return DDERR_INVALIDOBJECT;
    ++dd_vertical_blank_waits;
    if (dd_vertical_blank_hook) dd_vertical_blank_hook();
    return DD_OK;
}

HRESULT DD_FlipToGDISurface(DirectDrawDevice* device) { return device ? DD_OK : DDERR_INVALIDOBJECT; }

// ---------------------------------------------------------------------------
// Palette and clipper

HRESULT Palette_SetEntries(Palette* palette, int first, int count, const PaletteEntry* entries) {
    if (!palette || !entries || first < 0 || count < 0 || first + count > 256) return DDERR_INVALIDPARAMS;
    std::copy(entries, entries + count, palette->entries + first);
    return DD_OK;
}

HRESULT Palette_GetEntries(Palette* palette, int first, int count, PaletteEntry* entries) {
    if (!palette || !entries || first < 0 || count < 0 || first + count > 256) return DDERR_INVALIDPARAMS;
    std::copy(palette->entries + first, palette->entries + first + count, entries);
    return DD_OK;
}

HRESULT Clipper_SetHWnd(Clipper* clipper, Window* window) {
    if (!clipper) return DDERR_INVALIDOBJECT;
    if (dd_faults.clipper_set_window != DD_OK) return dd_faults.clipper_set_window;
    clipper->window = window;
    return DD_OK;
}

// ---------------------------------------------------------------------------
// Surfaces

HRESULT Surface_IsLost(Surface* surface) {
    if (!surface) return DDERR_INVALIDOBJECT;
    return surface->lost ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface_Restore(Surface* surface) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (dd_faults.restore_fails) return DDERR_GENERIC;
    surface->lost = false;
    return DD_OK;
}

// A surface's description, without its pixels.
static void describe(const Surface* surface, SurfaceDesc* desc) {
    *desc = SurfaceDesc{};
    desc->caps = surface->is_primary ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN;
    desc->width = surface->width;
    desc->height = surface->height;
    desc->pitch = surface->pitch;
    desc->bits_per_pixel = surface->bits_per_pixel;
    desc->green_mask = surface->green_mask;
}

HRESULT Surface_Lock(Surface* surface, SurfaceDesc* desc) {
    if (!surface || !desc) return DDERR_INVALIDPARAMS;
    if (surface->lost) return DDERR_SURFACELOST;
    if (dd_faults.lock_answer != DD_OK) return dd_faults.lock_answer;
    if (dd_faults.lock_busy > 0) {
        --dd_faults.lock_busy;
        return DDERR_SURFACEBUSY;
    }
    if (surface->lock_count > 0) return DDERR_SURFACEBUSY;
    surface->lock_count = 1;
    surface->memory.Before_Write();
    describe(surface, desc);
    desc->pixels = surface->memory.data();
    return DD_OK;
}

HRESULT Surface_Unlock(Surface* surface) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (surface->lock_count == 0) return DDERR_NOTLOCKED;
    surface->lock_count = 0;
    return DD_OK;
}

static bool rect_inside(const Rect& r, const Surface* s) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= s->width &&
           r.bottom <= s->height;
}

static uint32_t depth_mask(int depth) {
    switch (depth) {
    case 8: return 0xFF;
    case 15:
    case 16: return 0xFFFF;
    default: return 0xFFFFFF;  // the top byte of a 32-bit pixel carries nothing
    }
}

// The part of the destination a clipper lets through: the surface itself,
// within the window's client area on the screen, or nothing while the window
// is minimised or hidden.
static bool clip_to_window(const Surface* dest, Rect* area) {
    if (!dest->clipper) return true;
    area->left = std::max(area->left, 0);
    area->top = std::max(area->top, 0);
    area->right = std::min(area->right, dest->width);
    area->bottom = std::min(area->bottom, dest->height);
    if (!dest->clipper->window) return area->left < area->right && area->top < area->bottom;
    const Window* w = dest->clipper->window;
    if (w->iconic || !w->visible) return false;
    area->left = std::max(area->left, w->screen_x);
    area->top = std::max(area->top, w->screen_y);
    area->right = std::min(area->right, w->screen_x + w->client_width);
    area->bottom = std::min(area->bottom, w->screen_y + w->client_height);
    return area->left < area->right && area->top < area->bottom;
}

// Whether a Blt/BltFast call is answered by an injected fault before any work.
static HRESULT injected_blt_answer(Surface* dest, Surface* source) {
    ++dd_blt_calls;
    if (dd_faults.blt_answer != DD_OK) return dd_faults.blt_answer;
    if (dd_faults.blt_busy > 0) {
        --dd_faults.blt_busy;
        return DDERR_SURFACEBUSY;
    }
    if (dd_faults.blt_still_drawing > 0) {
        --dd_faults.blt_still_drawing;
        return DDERR_WASSTILLDRAWING;
    }
    if (dd_faults.lose_on_blt > 0 && --dd_faults.lose_on_blt == 0) {
        dest->lost = true;
        if (source) source->lost = true;
        return DDERR_SURFACELOST;
    }
    return DD_OK;
}

static void fill_rect(Surface* dest, const Rect& r, uint32_t colour) {
    dest->memory.Before_Write();
    const int bpp = bytes_per_pixel(dest->bits_per_pixel);
    colour &= depth_mask(dest->bits_per_pixel);
    const size_t row_bytes = size_t(r.right - r.left) * bpp;
    uint8_t* first = dest->memory.data() + size_t(r.top) * dest->pitch + size_t(r.left) * bpp;
    // Fill the first row pixel by pixel, then copy it to the others.
    if (bpp == 1) {
        std::memset(first, int(colour), row_bytes);
    } else {
        for (uint8_t* p = first; p < first + row_bytes; p += bpp) Write_Pixel_Value(p, bpp, colour);
    }
    // The copies go in row bands on every core for big fills; they all read the first row only.
    auto band = [&](int band_begin, int band_end) {
        for (int y = r.top + 1 + band_begin; y < r.top + 1 + band_end; ++y)
            std::memcpy(first + size_t(y - r.top) * dest->pitch, first, row_bytes);
    };
    Run_Row_Bands(r.bottom - r.top - 1, r.right - r.left, band);
}

// One destination row of a copy. `columns[i]` is the source column (in
// pixels from the row's start) of the i-th destination pixel; MIRROR/KEYED
// are compile-time so the common cases run without per-pixel branches.
template <int B, bool KEYED>
static void copy_row_mapped(uint8_t* out, const uint8_t* source_row, const int* columns, int count, uint32_t key,
                            uint32_t mask) {
    for (int i = 0; i < count; ++i, out += B) {
        const uint8_t* in = source_row + size_t(columns[i]) * B;
        if constexpr (KEYED) {
            if ((Read_Pixel_Value(in, B) & mask) == key) continue;
        }
        std::memcpy(out, in, B);
    }
}

// Unscaled row: source columns run from `first` forwards, or backwards when mirrored.
template <int B, bool MIRROR, bool KEYED>
static void copy_row_straight(uint8_t* out, const uint8_t* in, int count, uint32_t key, uint32_t mask) {
    for (int i = 0; i < count; ++i, out += B) {
        if constexpr (KEYED) {
            if ((Read_Pixel_Value(in, B) & mask) == key) {
                in += MIRROR ? -B : B;
                continue;
            }
        }
        std::memcpy(out, in, B);
        in += MIRROR ? -B : B;
    }
}

static bool rects_overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

template <int B>
static void copy_rows(Surface* dest, const Rect& dr, const Rect& area, Surface* source, const Rect& sr, bool mirror_x,
                      bool mirror_y, bool keyed) {
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    const int sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    const uint32_t mask = depth_mask(source->bits_per_pixel);
    const uint32_t key = source->colour_key & mask;
    const int count = area.right - area.left;
    const bool stretched_x = dw != sw;

    // Source column of every destination column of the area, for scaled rows.
    static thread_local std::vector<int> columns;
    static thread_local Column_Map columns_32;
    if (stretched_x) {
        columns.resize(size_t(count));
        for (int x = area.left; x < area.right; ++x) {
            const int si = int(int64_t(x - dr.left) * sw / dw);
            columns[size_t(x - area.left)] = sr.left + (mirror_x ? sw - 1 - si : si);
        }
        if (B == 4 && !keyed) columns_32.Build(columns.data(), count, source->width);
    }
    // Rows go in bands on every core for big copies. A copy within one
    // surface whose rectangles overlap keeps its top-to-bottom order, and
    // its pixels go one at a time.
    const bool overlapping = source == dest && rects_overlap(sr, area);
    const int* column_map = columns.data();
    const Column_Map& map_32 = columns_32;
    auto band = [&](int band_begin, int band_end) {
        for (int y = area.top + band_begin; y < area.top + band_end; ++y) {
            const int j = y - dr.top;
            const int sj = (dh == sh) ? j : int(int64_t(j) * sh / dh);
            const int sy = sr.top + (mirror_y ? sh - 1 - sj : sj);
            const uint8_t* source_row = source->memory.data() + size_t(sy) * source->pitch;
            uint8_t* out = dest->memory.data() + size_t(y) * dest->pitch + size_t(area.left) * B;
            if (stretched_x) {
                if constexpr (B == 4) {
                    if (!keyed && !overlapping) {
                        map_32.Copy_Row(out, source_row);
                        continue;
                    }
                }
                if (keyed)
                    copy_row_mapped<B, true>(out, source_row, column_map, count, key, mask);
                else
                    copy_row_mapped<B, false>(out, source_row, column_map, count, key, mask);
                continue;
            }
            const int i = area.left - dr.left;
            const int first = sr.left + (mirror_x ? sw - 1 - i : i);
            const uint8_t* in = source_row + size_t(first) * B;
            if (!mirror_x && !keyed) {
                // memmove: a surface may copy onto itself.
                std::memmove(out, in, size_t(count) * B);
                continue;
            }
            if constexpr (B == 4) {
                if (!overlapping) {
                    if (keyed)
                        Copy_Row_Keyed_32(out, in, count, mirror_x, key, mask);
                    else
                        Copy_Row_Mirrored_32(out, in, count);
                    continue;
                }
            }
            if (mirror_x) {
                if (keyed)
                    copy_row_straight<B, true, true>(out, in, count, key, mask);
                else
                    copy_row_straight<B, true, false>(out, in, count, key, mask);
            } else {
                copy_row_straight<B, false, true>(out, in, count, key, mask);
            }
        }
    };
    const int rows = area.bottom - area.top;
    if (rows <= 0) return;
    if (overlapping) {
        band(0, rows);
    } else {
        Run_Row_Bands(rows, count, band);
    }
}

// The copy behind Blt and BltFast: source rectangle sr onto destination
// rectangle dr (scaled when the sizes differ, nearest pixel), mirrored by
// `effects`, skipping key pixels when `keyed`, limited to `area` of dr.
static void copy_rect(Surface* dest, const Rect& dr, const Rect& area, Surface* source, const Rect& sr,
                      uint32_t effects, bool keyed) {
    dest->memory.Before_Write();
    const bool mirror_x = effects & DDBLTFX_MIRRORLEFTRIGHT;
    const bool mirror_y = effects & DDBLTFX_MIRRORUPDOWN;
    switch (bytes_per_pixel(dest->bits_per_pixel)) {
    case 1: copy_rows<1>(dest, dr, area, source, sr, mirror_x, mirror_y, keyed); break;
    case 2: copy_rows<2>(dest, dr, area, source, sr, mirror_x, mirror_y, keyed); break;
    case 3: copy_rows<3>(dest, dr, area, source, sr, mirror_x, mirror_y, keyed); break;
    default: copy_rows<4>(dest, dr, area, source, sr, mirror_x, mirror_y, keyed); break;
    }
}

HRESULT Surface_Blt(Surface* dest, const Rect* dest_rect, Surface* source, const Rect* source_rect, uint32_t flags,
                    const BltFx* fx) {
    if (!dest) return DDERR_INVALIDOBJECT;
    if (dest->lost) return DDERR_SURFACELOST;
    if (dest->lock_count > 0) return DDERR_LOCKEDSURFACES;
    const Rect dr = dest_rect ? *dest_rect : Rect{0, 0, dest->width, dest->height};
    // A surface with a clipper (the desktop behind a window) takes rectangles
    // that reach past its edges, as a window partly off the screen needs;
    // the clipper cuts them down. Without one, such a rectangle is refused.
    if (dest->clipper ? (dr.left >= dr.right || dr.top >= dr.bottom) : !rect_inside(dr, dest)) return DDERR_INVALIDRECT;

    if (flags & DDBLT_COLORFILL) {
        if (!fx) return DDERR_INVALIDPARAMS;
        if (HRESULT r = injected_blt_answer(dest, nullptr); r != DD_OK) return r;
        Rect area = dr;
        if (clip_to_window(dest, &area)) fill_rect(dest, area, fx->fill_colour);
        return DD_OK;
    }

    if (!source) return DDERR_INVALIDPARAMS;
    if (source->lost) return DDERR_SURFACELOST;
    if (source->lock_count > 0) return DDERR_LOCKEDSURFACES;
    if (source->bits_per_pixel != dest->bits_per_pixel) return DDERR_INVALIDPARAMS;
    const Rect sr = source_rect ? *source_rect : Rect{0, 0, source->width, source->height};
    if (!rect_inside(sr, source)) return DDERR_INVALIDRECT;
    if (HRESULT r = injected_blt_answer(dest, source); r != DD_OK) return r;

    const uint32_t effects = ((flags & DDBLT_DDFX) && fx) ? fx->effects : 0;
    Rect area = dr;
    if (clip_to_window(dest, &area)) copy_rect(dest, dr, area, source, sr, effects, flags & DDBLT_KEYSRC);
    return DD_OK;
}

HRESULT Surface_BltFast(Surface* dest, int x, int y, Surface* source, const Rect* source_rect, uint32_t trans) {
    if (!dest || !source) return DDERR_INVALIDOBJECT;
    if (dest->clipper) return DDERR_UNSUPPORTED;
    if (dest->lost || source->lost) return DDERR_SURFACELOST;
    if (dest->lock_count > 0 || source->lock_count > 0) return DDERR_LOCKEDSURFACES;
    if (source->bits_per_pixel != dest->bits_per_pixel) return DDERR_INVALIDPARAMS;
    const Rect sr = source_rect ? *source_rect : Rect{0, 0, source->width, source->height};
    if (!rect_inside(sr, source)) return DDERR_INVALIDRECT;
    const Rect dr{x, y, x + (sr.right - sr.left), y + (sr.bottom - sr.top)};
    if (!rect_inside(dr, dest)) return DDERR_INVALIDRECT;
    if (HRESULT r = injected_blt_answer(dest, source); r != DD_OK) return r;
    copy_rect(dest, dr, dr, source, sr, 0, trans & DDBLTFAST_SRCCOLORKEY);
    return DD_OK;
}

HRESULT Surface_GetBltStatus(Surface* surface, uint32_t) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (surface->lost) return DDERR_SURFACELOST;
    if (dd_faults.blt_status_still_drawing > 0) {
        --dd_faults.blt_status_still_drawing;
        return DDERR_WASSTILLDRAWING;
    }
    return dd_faults.blt_status_answer;
}

HRESULT Surface_SetColorKey(Surface* surface, uint32_t, uint32_t key) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (dd_faults.set_colour_key != DD_OK) return dd_faults.set_colour_key;
    surface->colour_key = key;
    return DD_OK;
}

HRESULT Surface_GetSurfaceDesc(Surface* surface, SurfaceDesc* desc) {
    if (!surface || !desc) return DDERR_INVALIDPARAMS;
    if (dd_faults.get_surface_desc != DD_OK) return dd_faults.get_surface_desc;
    describe(surface, desc);
    return DD_OK;
}

HRESULT Surface_SetPalette(Surface* surface, Palette* palette) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (dd_faults.set_palette != DD_OK) return dd_faults.set_palette;
    surface->palette = palette;
    return DD_OK;
}

HRESULT Surface_GetPalette(Surface* surface, Palette** palette) {
    if (!surface || !palette) return DDERR_INVALIDPARAMS;
    if (!surface->palette) return DDERR_GENERIC;
    *palette = surface->palette;
    return DD_OK;
}

HRESULT Surface_SetClipper(Surface* surface, Clipper* clipper) {
    if (!surface) return DDERR_INVALIDOBJECT;
    if (dd_faults.set_clipper != DD_OK) return dd_faults.set_clipper;
    surface->clipper = clipper;
    return DD_OK;
}

HRESULT Surface_GetDC(Surface* surface, DeviceContext** dc) {
    if (!surface || !dc) return DDERR_INVALIDPARAMS;
    if (surface->lost) return DDERR_SURFACELOST;
    if (surface->lock_count > 0) return DDERR_SURFACEBUSY;
    if (dd_faults.get_dc != DD_OK) return dd_faults.get_dc;
    // A context holds the surface as a lock does: no blit may touch it meanwhile.
    surface->lock_count = 1;
    auto* context = new DeviceContext{};
    context->surface = surface;
    *dc = context;
    return DD_OK;
}

HRESULT Surface_ReleaseDC(Surface* surface, DeviceContext* dc) {
    if (!surface || !dc || dc->surface != surface) return DDERR_INVALIDPARAMS;
    surface->lock_count = 0;
    delete dc;
    return DD_OK;
}

// ---------------------------------------------------------------------------
// Release

template <typename T>
static bool forget(std::vector<T*>& list, T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

void Release(Surface* surface) {
    if (!surface || !forget(live_surfaces, surface)) return;
    if (surface->placement == Placement::VIDEO)
        video_memory_used -= std::min(video_memory_used, static_cast<uint32_t>(surface->memory.size()));
    if (surface == primary_surface) primary_surface = nullptr;
    delete surface;
}

void Release(Palette* palette) {
    if (!palette || !forget(live_palettes, palette)) return;
    for (Surface* s : live_surfaces)
        if (s->palette == palette) s->palette = nullptr;
    delete palette;
}

void Release(Clipper* clipper) {
    if (!clipper || !forget(live_clippers, clipper)) return;
    for (Surface* s : live_surfaces)
        if (s->clipper == clipper) s->clipper = nullptr;
    delete clipper;
}

void Release(DirectDrawDevice* device) { delete device; }
