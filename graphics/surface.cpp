// Surfaces: creation (video memory first), locking, clearing, the colour
// key, dimensions, loss and restoration, and device-context text.
#include "graphics/surface.h"

#include <cstdio>
#include <cstring>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "graphics/display.h"

Surface* Visible = nullptr;
Surface* Hidden = nullptr;
Surface* Scratch_Pad = nullptr;
int format_565 = 0;

// Green mask of the 5-6-5 layout; anything else at two bytes is 5-5-5.
static constexpr uint32_t GREEN_MASK_565 = 0x07E0;
// A busy device accepts a fill within a few tries; one that keeps refusing
// is broken, and the frame must fail rather than hang the saver.
static constexpr int CLEAR_TRIES = 1000;
// Surfaces can be lost again between a restore and the next lock when
// another program keeps switching modes; give up after this many rounds.
static constexpr int LOCK_RESTORE_TRIES = 8;
// The colour of the frame-rate text and of the notices: red, green and blue 200.
static constexpr COLORREF STATUS_TEXT_COLOUR = RGB(200, 200, 200);

// Megabytes a surface of this size needs, as the messages print it.
static double Megabytes_Needed(int width, int height) {
    return 2.0 * app.screen_bpp * width * height / 8192.0 / 1000.0;
}

// Reports a failed CreateSurface by its code; `who` names the creating function.
static void Report_Create_Failure(const char* who, HRESULT result, int width, int height) {
    double megabytes = Megabytes_Needed(width, height);
    switch (result) {
    case DDERR_OUTOFVIDEOMEMORY:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display memory\n to perform the "
                 "operation. Cannot create surface\nwidth = %d\nheight = %dN.B. Some video cards do not "
                 "support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least %.3lf MB required",
                 who, width, height, megabytes);
        break;
    case DDERR_NOCOOPERATIVELEVELSET:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without the "
                 "\nIDirectDraw4::SetCooperativeLevel method being called. ",
                 who);
        break;
    case DDERR_OUTOFMEMORY:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to perform the operation\nat "
                 "least %.3lf MB required",
                 who, megabytes);
        break;
    case DDERR_INVALIDPARAMS:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the method are incorrect.", who);
        break;
    case DDERR_INVALIDCAPS:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to the callback function are "
                 "incorrect.",
                 who);
        break;
    default:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():DEFAULT\nCannot create surface\nwidth = %d\nheight = %dN.B. Some video cards do not "
                 "support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least %.3lf MB required",
                 who, width, height, megabytes);
        break;
    }
    Report_Error(message_buffer);
}

// Creates an off-screen surface in the given memory, clears it and keys
// black. On a failed clear or key the new surface stays in `*surface` for
// the caller to release.
static int Create_Off_Screen_Surface(const char* who, Surface** surface, int width, int height, Placement placement) {
    SurfaceDesc desc{};
    desc.caps = DDSCAPS_OFFSCREENPLAIN | (placement == Placement::VIDEO ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    desc.width = width;
    desc.height = height;

    // Without a device or an out-handle there is nothing to create into.
    HRESULT result = (surface && Direct_Draw_Interface) ? DD_CreateSurface(Direct_Draw_Interface, desc, surface)
                                                        : DDERR_INVALIDPARAMS;
    if (result != DD_OK) {
        Report_Create_Failure(who, result, width, height);
        return 0;
    }
    if (!Clear(*surface)) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "%s(): Clear FAILED", who);
        Report_Error(message_buffer);
        return 0;
    }
    if (!Set_Transparency(*surface, 0)) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "%s(): Set Transparency FAILED", who);
        Report_Error(message_buffer);
        return 0;
    }
    return 1;
}

int Create_Surface(Surface** surface, int width, int height) {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Create_Surface");

    uint32_t total = 0, free = 0;
    if (!Get_Available_Video_Memory(&total, &free)) {
        Report_Error("Create_Surface():Unable to determine available video memory");
        return 0;
    }

    // A 15-bit pixel is stored in two bytes, so it needs 16 bits of video
    // memory; counted as 15 the need falls short and a surface that does not
    // fit is asked for in video memory, where its creation then fails.
    // Large sizes overflow 32 bits; the comparison must not wrap.
    int stored_bits = (app.screen_bpp == 15) ? 16 : app.screen_bpp;
    int64_t needed = static_cast<int64_t>(stored_bits) * width * height / 8;
    Placement placement = Placement::VIDEO;
    if ((width > app.screen_width && !Wide_Surfaces_Supported()) || static_cast<int64_t>(free) < needed) {
        placement = Placement::SYSTEM;
        Report_Error("Create Surface(): Out of VIDEOMEM: Loading surface to SYSTEM");
    }

    if (!Create_Off_Screen_Surface("Create_Surface", surface, width, height, placement)) return 0;
    Trace_Exit(traced_once, "Create_Surface");
    return 1;
}

int Create_SYSTEM_Surface(Surface** surface_to_create, int width, int height) {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Create_SYSTEM_Surface");

    if (surface_to_create && *surface_to_create) {
        Report_Error("Create_SYSTEM_Surface(): surface_to_create should be NULL");
        return 0;
    }
    if (!Create_Off_Screen_Surface("Create_SYSTEM_Surface", surface_to_create, width, height, Placement::SYSTEM))
        return 0;
    Trace_Exit(traced_once, "Create_SYSTEM_Surface");
    return 1;
}

int Restore_All_Surfaces() {
    struct Global {
        Surface* surface;
        const char* failure;
    };
    const Global globals[] = {
        {Visible, "Restore_All_Surfaces():Unable to restore Visible Surface"},
        {Hidden, "Restore_All_Surfaces():Unable to restore Hidden Surface"},
        {Scratch_Pad, "Restore_All_Surfaces():Unable to restore Scratch_Pad"},
    };
    for (const Global& global : globals) {
        if (!global.surface || Surface_IsLost(global.surface) != DDERR_SURFACELOST) continue;
        if (Surface_Restore(global.surface) != DD_OK) {
            Report_Error(global.failure);
            return 0;
        }
    }
    return 1;
}

uint8_t* Lock_Surface(Surface* surface, int* pitch) {
    if (!surface) return nullptr;

    SurfaceDesc desc{};
    HRESULT result = DDERR_SURFACELOST;
    for (int round = 0; round < LOCK_RESTORE_TRIES && result == DDERR_SURFACELOST; ++round) {
        desc = SurfaceDesc{};
        result = Surface_Lock(surface, &desc);
        if (result != DDERR_SURFACELOST) break;
        // Only the three globals are restored here; any other surface
        // belongs to an effect that restores and repaints it itself.
        if (!Restore_All_Surfaces() || Surface_IsLost(surface) == DDERR_SURFACELOST) break;
    }

    switch (result) {
    case DDERR_SURFACELOST: Report_Error("Lock_Surface():DDERR_SURFACELOST"); return nullptr;
    case DDERR_WASSTILLDRAWING: Report_Error("Lock_Surface():DDERR_WASSTILLDRAWING"); return nullptr;
    case DDERR_SURFACEBUSY: Report_Error("Lock_Surface():DDERR_SURFACEBUSY"); return nullptr;
    case DDERR_OUTOFMEMORY: Report_Error("Lock_Surface():DDERR_OUTOFMEMORY"); return nullptr;
    case DDERR_INVALIDPARAMS: Report_Error("Lock_Surface():DDERR_INVALIDPARAMS"); return nullptr;
    case DDERR_INVALIDOBJECT: Report_Error("Lock_Surface():DDERR_INVALIDOBJECT"); return nullptr;
    default: break;
    }

    // Any other failure reads as an empty description: no pixels, pitch 0.
    if (result != DD_OK) desc = SurfaceDesc{};
    format_565 = (desc.green_mask == GREEN_MASK_565) ? 1 : 0;
    if (pitch) *pitch = desc.pitch;
    return desc.pixels;
}

void Unlock_Surface(Surface* surface) {
    if (surface) Surface_Unlock(surface);
}

int Clear(Surface* surface) {
    if (!surface) return 0;
    for (int tries = 0; tries < CLEAR_TRIES; ++tries) {
        BltFx fx{};
        fx.fill_colour = 0;
        HRESULT result = Surface_Blt(surface, nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
        if (result == DD_OK) return 1;
        if (result == DDERR_LOCKEDSURFACES) {
            Report_Error("Clear(): DDERR_LOCKEDSURFACES I think you need to free a surface!");
            return 0;
        }
        if (result == DDERR_SURFACELOST) {
            if (!Restore_All_Surfaces()) return 0;
            // A surface other than the three globals stays lost: its owner
            // restores it, filling again would never succeed.
            if (Surface_IsLost(surface) == DDERR_SURFACELOST) {
                Report_Error("Clear(): DDERR_SURFACELOST");
                return 0;
            }
        }
    }
    Report_Error("Clear(): Blt COLORFILL FAILED");
    return 0;
}

int Set_Transparency(Surface* surface, uint32_t key) {
    if (!surface || Surface_SetColorKey(surface, DDCKEY_SRCBLT, key) != DD_OK) {
        Report_Error("Set_Transparency(): SetColorKey FAILED");
        return 0;
    }
    return 1;
}

int Grab_Surface_Dimensions(Surface* surface, int* width, int* height) {
    if (!surface) {
        if (width) *width = 0;
        if (height) *height = 0;
        Report_Error(" Grab_Surface_Dimensions(): Surface NULL");
        return 0;
    }
    // A lost surface keeps the caller's values: nothing trustworthy to give.
    if (Surface_IsLost(surface) == DDERR_SURFACELOST) {
        Report_Error(" Grab_Surface_Dimensions(): Surface LOST");
        return 0;
    }
    SurfaceDesc desc{};
    if (Surface_GetSurfaceDesc(surface, &desc) != DD_OK) {
        Report_Error("Grab_Surface_Dimensions():Get Surface Description FAILED");
        if (width) *width = 0;
        if (height) *height = 0;
        return 0;
    }
    if (width) *width = desc.width;
    if (height) *height = desc.height;
    return 1;
}

int Get_Available_Video_Memory(uint32_t* total, uint32_t* free) {
    static bool traced_once = false;
    if (!Direct_Draw_Interface) return 0;
    Trace_Enter(traced_once, "Get_Available_Video_Memory");

    uint32_t total_bytes = 0, free_bytes = 0;
    if (DD_GetAvailableVidMem(Direct_Draw_Interface, &total_bytes, &free_bytes) != DD_OK) return 0;
    if (total) *total = total_bytes;
    if (free) *free = free_bytes;

    Trace_Exit(traced_once, "Get_Available_Video_Memory");
    return 1;
}

int Wide_Surfaces_Supported() {
    if (!Direct_Draw_Interface) return 0;
    DDCaps caps{};
    if (DD_GetCaps(Direct_Draw_Interface, &caps) != DD_OK) return 0;
    return (caps.caps2 & DDCAPS2_WIDESURFACES) ? 1 : 0;
}

int Draw_GDI_Text(Surface* surface, int x, int y, COLORREF colour, const char* text) {
    if (!surface || !text) return 0;
    DeviceContext* dc = nullptr;
    if (Surface_GetDC(surface, &dc) != DD_OK || !dc) return 0;
    GDI_SetTextColor(dc, colour);
    GDI_SetBkMode(dc, GDI_TRANSPARENT);
    GDI_TextOut(dc, x, y, text, static_cast<int>(strlen(text)));
    Surface_ReleaseDC(surface, dc);
    return 1;
}

void Display_GDI_FPS() {
    if (app.show_fps) Draw_GDI_Text(Hidden, 0, 0, STATUS_TEXT_COLOUR, fps_text);
}

void Release_Scratch_Pad() {
    Release(Scratch_Pad);
    Scratch_Pad = nullptr;
}

int Setup_Scratch_Pad() {
    Release_Scratch_Pad();
    if (Create_SYSTEM_Surface(&Scratch_Pad, app.screen_width, app.screen_height) && Set_Transparency(Scratch_Pad, 0) &&
        Clear(Scratch_Pad)) {
        return 1;
    }
    Report_Error("Setup_Scratch_Pad():\n\nUnable to Create Scratch Pad Surface");
    return 0;
}
