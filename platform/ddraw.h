// The memory-only display device.
//
// The saver was written against a DirectDraw-style device: a device object,
// display modes, surfaces that may lose their memory, blits with mirrors,
// colour keys and stretching, a palette, a clipper and a vertical-blank wait.
// This header is that device as the program sees it, kept under the result
// names the program's messages use. Surfaces are plain pixel buffers in the
// display format; nothing here touches real hardware. The windowed desktop and
// the emulated full-screen mode are shown by the window layer, which reads
// the primary surface after each presentation copy.
//
// Tests steer the device through `dd_config` (formats, budgets, pitch padding)
// and `dd_faults` (answers to inject); `DD_Reset_Emulation` puts both back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

struct Window;
struct DeviceContext;

using HRESULT = int32_t;

// Result codes (DirectDraw's values).
constexpr HRESULT DD_OK = 0;
constexpr HRESULT make_ddhresult(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_INVALIDCAPS = make_ddhresult(100);
constexpr HRESULT DDERR_INVALIDCLIPLIST = make_ddhresult(110);
constexpr HRESULT DDERR_INVALIDMODE = make_ddhresult(120);
constexpr HRESULT DDERR_INVALIDOBJECT = make_ddhresult(130);
constexpr HRESULT DDERR_INVALIDRECT = make_ddhresult(150);
constexpr HRESULT DDERR_LOCKEDSURFACES = make_ddhresult(160);
constexpr HRESULT DDERR_NOBLTHW = make_ddhresult(180);
constexpr HRESULT DDERR_NOCLIPLIST = make_ddhresult(205);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = make_ddhresult(212);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = make_ddhresult(380);
constexpr HRESULT DDERR_SURFACEBUSY = make_ddhresult(430);
constexpr HRESULT DDERR_SURFACELOST = make_ddhresult(450);
constexpr HRESULT DDERR_WASSTILLDRAWING = make_ddhresult(540);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = make_ddhresult(561);
constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = make_ddhresult(562);
constexpr HRESULT DDERR_NODIRECTDRAWHW = make_ddhresult(563);
constexpr HRESULT DDERR_NOTLOCKED = make_ddhresult(584);

// Cooperative levels.
constexpr uint32_t DDSCL_FULLSCREEN = 0x01;
constexpr uint32_t DDSCL_ALLOWREBOOT = 0x02;
constexpr uint32_t DDSCL_NOWINDOWCHANGES = 0x04;
constexpr uint32_t DDSCL_NORMAL = 0x08;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;

// Surface capabilities.
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

// Blt flags and effects.
constexpr uint32_t DDBLT_COLORFILL = 0x400;
constexpr uint32_t DDBLT_DDFX = 0x800;
constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_WAIT = 0x1000000;
constexpr uint32_t DDBLTFX_MIRRORLEFTRIGHT = 0x2;
constexpr uint32_t DDBLTFX_MIRRORUPDOWN = 0x4;
constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr uint32_t DDCKEY_SRCBLT = 0x8;
constexpr uint32_t DDGBS_ISBLTDONE = 0x2;
constexpr uint32_t DDWAITVB_BLOCKBEGIN = 0x1;
constexpr uint32_t DDPCAPS_8BIT = 0x4;
constexpr uint32_t DDPCAPS_ALLOW256 = 0x40;
constexpr uint32_t DDCAPS2_WIDESURFACES = 0x00400000;

enum class Placement { VIDEO, SYSTEM };

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct PaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

struct Palette {
    PaletteEntry entries[256];
};

struct Clipper {
    Window* window = nullptr;  // copies into a surface carrying this clipper land inside this window
};

// One surface: `height` rows of `pitch` bytes in the display format.
// Whoever holds a surface's pixels for a while in memory of its own (the X
// presenter, in memory it shares with the server).
class Surface_Memory_Lender {
public:
    // The pixels are about to change: whoever still reads the last ones must be done.
    virtual void Before_Write() = 0;
    // The surface has taken its pixels back (or is going): the memory is the lender's again.
    virtual void Returned() = 0;

protected:
    ~Surface_Memory_Lender() = default;
};

// A surface's pixels: a buffer of its own, or, lent, memory someone else
// holds (the full-screen primary in the segment the X server reads, so that
// the frame's last copy is the one that shows it). Reads and writes go to
// data() either way; any resize takes the pixels back into the surface's
// own buffer first, and so does the surface going.
class Surface_Memory {
public:
    Surface_Memory() = default;
    Surface_Memory(const Surface_Memory& other) : own_(other.begin(), other.end()) {}
    Surface_Memory& operator=(const Surface_Memory& other) {
        if (this != &other) assign_from(other.begin(), other.end());
        return *this;
    }
    ~Surface_Memory() { Forget_Lender(); }

    uint8_t* data() { return lent_ ? lent_ : own_.data(); }
    const uint8_t* data() const { return lent_ ? lent_ : own_.data(); }
    size_t size() const { return own_.size(); }
    bool empty() const { return own_.empty(); }
    uint8_t& operator[](size_t i) { return data()[i]; }
    const uint8_t& operator[](size_t i) const { return data()[i]; }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + size(); }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + size(); }
    void assign(size_t count, uint8_t value) {
        Take_Back();
        own_.assign(count, value);
    }
    void resize(size_t count) {
        Take_Back();
        own_.resize(count);
    }
    operator std::vector<uint8_t>() const { return std::vector<uint8_t>(begin(), end()); }

    // Moves the pixels into `memory` (size() bytes or more), which holds
    // them until Take_Back; `lender` hears before each write and at the end.
    void Lend(uint8_t* memory, Surface_Memory_Lender* lender);
    // The pixels back in the surface's own buffer; nothing when not lent.
    void Take_Back();
    bool Is_Lent() const { return lent_ != nullptr; }
    // Called by every write through the device (blits, fills, locks, pixel
    // writes) before it changes a pixel.
    void Before_Write() {
        if (lender_) lender_->Before_Write();
    }

private:
    void assign_from(const uint8_t* first, const uint8_t* last) {
        Take_Back();
        own_.assign(first, last);
    }
    void Forget_Lender();

    std::vector<uint8_t> own_;
    uint8_t* lent_ = nullptr;
    Surface_Memory_Lender* lender_ = nullptr;
};

struct Surface {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    uint32_t green_mask = 0;  // 0x07E0 or 0x03E0 at 15/16 bits, else 0
    int pitch = 0;
    Surface_Memory memory;
    bool lost = false;
    uint32_t colour_key = 0;
    Placement placement = Placement::SYSTEM;
    bool is_primary = false;
    int lock_count = 0;
    Palette* palette = nullptr;  // attached palette (the primary surface at 8 bits)
    Clipper* clipper = nullptr;  // attached clipper (the primary surface in a window)
    long id = 0;                 // a number for messages that print a surface handle
};

struct SurfaceDesc {
    uint32_t caps = 0;
    int width = 0;
    int height = 0;
    int pitch = 0;
    int bits_per_pixel = 0;
    uint32_t green_mask = 0;
    uint8_t* pixels = nullptr;
};

struct BltFx {
    uint32_t effects = 0;      // DDBLTFX_MIRRORLEFTRIGHT, DDBLTFX_MIRRORUPDOWN
    uint32_t fill_colour = 0;  // with DDBLT_COLORFILL
};

struct DDCaps {
    uint32_t caps = 0;
    uint32_t caps2 = 0;
};

// The device object; the same record stands for the first object and the interface.
struct DirectDrawDevice {
    bool is_interface = false;
    Window* window = nullptr;
    uint32_t cooperative_flags = 0;
    bool mode_set = false;
    int mode_width = 0, mode_height = 0, mode_bpp = 0;
    uint32_t video_memory_used = 0;
};

// How the emulated hardware is built. Tests change it before the device is made.
struct DeviceConfig {
    int desktop_width = 1024;
    int desktop_height = 768;
    int desktop_bpp = 32;
    uint32_t green_mask_15 = 0x03E0;  // layout a 15-bit display uses
    uint32_t green_mask_16 = 0x07E0;  // layout a 16-bit display uses
    int pitch_padding = 0;            // extra bytes at the end of every row
    uint32_t video_memory_total = 64u << 20;
    bool wide_surfaces = true;
};

// Answers to inject. Counts are used up one call at a time.
struct DeviceFaults {
    HRESULT create_device = DD_OK;  // DirectDrawCreate
    HRESULT query_interface = DD_OK;
    HRESULT cooperative_level = DD_OK;
    std::set<int> refused_depths;  // SetDisplayMode refuses these depths
    HRESULT create_primary = DD_OK;
    HRESULT create_surface = DD_OK;  // every off-screen CreateSurface answers this while set
    int create_surface_after = 0;    // ... but only after this many successful creations
    HRESULT create_palette = DD_OK;
    HRESULT set_palette = DD_OK;
    HRESULT create_clipper = DD_OK;
    HRESULT clipper_set_window = DD_OK;
    HRESULT set_clipper = DD_OK;
    HRESULT available_video_memory = DD_OK;
    HRESULT get_caps = DD_OK;
    HRESULT set_colour_key = DD_OK;
    HRESULT get_surface_desc = DD_OK;
    HRESULT get_dc = DD_OK;
    bool restore_fails = false;        // Restore answers DDERR_GENERIC
    int blt_busy = 0;                  // the next N Blt/BltFast answer DDERR_SURFACEBUSY
    int blt_still_drawing = 0;         // the next N Blt/BltFast answer DDERR_WASSTILLDRAWING
    HRESULT blt_answer = DD_OK;        // every Blt/BltFast answers this while set
    int lock_busy = 0;                 // the next N Lock answer DDERR_SURFACEBUSY
    HRESULT lock_answer = DD_OK;       // every Lock answers this while set
    int lose_on_blt = 0;               // the Nth next Blt/BltFast finds its surfaces lost
    int blt_status_still_drawing = 0;  // GetBltStatus answers still drawing N times
    HRESULT blt_status_answer = DD_OK;
};

extern DeviceConfig dd_config;
extern DeviceFaults dd_faults;
extern long dd_vertical_blank_waits;  // number of vertical-blank waits so far
extern long dd_blt_calls;             // Blt/BltFast calls so far (retries included)

// The window layer installs this to wait for the real display's vertical
// blank; without it the wait only counts.
using Vertical_Blank_Hook = void (*)();
extern Vertical_Blank_Hook dd_vertical_blank_hook;

// Puts the configuration and fault tables back to their defaults and
// forgets the counters. Surfaces that still exist are not touched.
void DD_Reset_Emulation();

// Takes every surface's memory away (as a mode switch by another program would).
void DD_Lose_All_Surfaces();

// Number of surfaces alive (created and not released): for leak checks in tests.
int DD_Live_Surface_Count();

// The format and size of the screen as it is now: the display mode when one
// is set, else the desktop.
int DD_Current_Depth();
uint32_t DD_Current_Green_Mask();

// The primary surface while one exists (the window layer shows it), else null.
Surface* DD_Primary_Surface();
// The palette the device uses to map colours at 8 bits (the primary's), or null.
Palette* DD_Current_Palette();

// Device object.
HRESULT DirectDrawCreate(DirectDrawDevice** out);
HRESULT DD_QueryInterface(DirectDrawDevice* device, DirectDrawDevice** out);
HRESULT DD_SetCooperativeLevel(DirectDrawDevice* device, Window* window, uint32_t flags);
HRESULT DD_SetDisplayMode(DirectDrawDevice* device, int width, int height, int bpp);
HRESULT DD_RestoreDisplayMode(DirectDrawDevice* device);
HRESULT DD_CreateSurface(DirectDrawDevice* device, const SurfaceDesc& desc, Surface** out);
HRESULT DD_GetAvailableVidMem(DirectDrawDevice* device, uint32_t* total, uint32_t* free);
HRESULT DD_GetCaps(DirectDrawDevice* device, DDCaps* caps);
HRESULT DD_CreatePalette(DirectDrawDevice* device, uint32_t flags, const PaletteEntry* entries, Palette** out);
HRESULT DD_CreateClipper(DirectDrawDevice* device, uint32_t flags, Clipper** out);
HRESULT DD_WaitForVerticalBlank(DirectDrawDevice* device, uint32_t flags);
HRESULT DD_FlipToGDISurface(DirectDrawDevice* device);

// Palette and clipper.
HRESULT Palette_SetEntries(Palette* palette, int first, int count, const PaletteEntry* entries);
HRESULT Palette_GetEntries(Palette* palette, int first, int count, PaletteEntry* entries);
HRESULT Clipper_SetHWnd(Clipper* clipper, Window* window);

// Surfaces.
HRESULT Surface_IsLost(Surface* surface);
HRESULT Surface_Restore(Surface* surface);
HRESULT Surface_Lock(Surface* surface, SurfaceDesc* desc);
HRESULT Surface_Unlock(Surface* surface);
// dest_rect/source_rect null mean the whole surface. With DDBLT_COLORFILL the
// source is unused and fx->fill_colour fills the destination rectangle.
HRESULT Surface_Blt(Surface* dest, const Rect* dest_rect, Surface* source, const Rect* source_rect, uint32_t flags,
                    const BltFx* fx);
HRESULT Surface_BltFast(Surface* dest, int x, int y, Surface* source, const Rect* source_rect, uint32_t trans);
HRESULT Surface_GetBltStatus(Surface* surface, uint32_t flags);
HRESULT Surface_SetColorKey(Surface* surface, uint32_t flags, uint32_t key);
HRESULT Surface_GetSurfaceDesc(Surface* surface, SurfaceDesc* desc);
HRESULT Surface_SetPalette(Surface* surface, Palette* palette);
HRESULT Surface_GetPalette(Surface* surface, Palette** palette);
HRESULT Surface_SetClipper(Surface* surface, Clipper* clipper);
HRESULT Surface_GetDC(Surface* surface, DeviceContext** dc);
HRESULT Surface_ReleaseDC(Surface* surface, DeviceContext* dc);

// Release destroys the object; each accepts null.
void Release(Surface* surface);
void Release(Palette* palette);
void Release(Clipper* clipper);
void Release(DirectDrawDevice* device);
