// The display device: set-up full screen or in a window, presentation of
// each frame (Hidden copied to Visible) and shut-down.
#include "graphics/display.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/blits.h"
#include "graphics/surface.h"
#include "platform/system.h"

DirectDrawDevice* Direct_Draw = nullptr;
DirectDrawDevice* Direct_Draw_Interface = nullptr;
Palette* display_palette = nullptr;
Clipper* window_clipper = nullptr;
PaletteEntry palette_entries[256];

// Exclusive full screen that may change the mode: the saver owns the screen.
static constexpr uint32_t FULL_SCREEN_LEVEL =
    DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES | DDSCL_EXCLUSIVE;
// The display mode was changed by the last full-screen set-up and not yet
// put back. A set-up that fails after the change has not marked the display
// full screen, yet its mode must still be undone at shut-down.
static bool display_mode_changed = false;

// All 256 entries are the saver's; none is kept back for the desktop.
static constexpr uint32_t PALETTE_FLAGS = DDPCAPS_8BIT | DDPCAPS_ALLOW256;

// Reports a failed DirectDrawCreate. `who` is "Setup_Direct_Draw" or
// "Setup_Windowed_Direct_Draw"; only the undocumented case words differ.
static void Report_Device_Failure(const char* who, HRESULT result, bool windowed) {
    switch (result) {
    case DDERR_DIRECTDRAWALREADYCREATED:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():DDERR_DIRECTDRAWALREADYCREATED\nA DirectDraw object representing this driver has already "
                 "been created for this process.",
                 who);
        break;
    case DDERR_NODIRECTDRAWHW:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():DDERR_NODIRECTDRAWHW\nHardware-only DirectDraw object creation is not possible; the driver "
                 "does not support any hardware.",
                 who);
        break;
    case DDERR_INVALIDDIRECTDRAWGUID:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():DDERR_INVALIDDIRECTDRAWGUID\nThe globally unique identifier (GUID) passed to the "
                 "DirectDrawCreate function is not a valid DirectDraw driver identifier.",
                 who);
        break;
    case DDERR_GENERIC:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "%s():DDERR_GENERIC\nThere is an undefined error condition.",
                 who);
        break;
    case DDERR_OUTOFMEMORY:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():DDERR_OUTOFMEMORY\n DirectDraw does not have enough memory to perform the operation.", who);
        break;
    case DDERR_INVALIDPARAMS:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():DDERR_INVALIDPARAMS\nOne or more of the parameters passed to the method are incorrect.", who);
        break;
    default:
        if (windowed)
            snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "%s():DEFAULT", who);
        else
            snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                     "%s():DEFAULT\nRaise your eyebrows if you read this\nas this error is undocumented", who);
        break;
    }
    Report_Error(message_buffer);
}

// Reports a failed creation of the primary surface; `who` is the set-up's name.
static void Report_Primary_Failure(const char* who, HRESULT result, int width, int height) {
    double megabytes = 2.0 * app.screen_bpp * width * height / 8192.0 / 1000.0;
    switch (result) {
    case DDERR_OUTOFVIDEOMEMORY:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():Create_Primary_Surface()DDERR_OUTOFVIDEOMEMORY\nDirectDraw does not have enough display "
                 "memory\n to perform the operation. Cannot create surface\nwidth = %d\nheight = %dN.B. Some video "
                 "cards do not support\nVIDEOMEMORY surfaces\nthat are wider than the primary surface\nat least "
                 "%.3lf MB required",
                 who, width, height, megabytes);
        break;
    case DDERR_NOCOOPERATIVELEVELSET:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():Create_Primary_Surface()DDERR_NOCOOPERATIVELEVELSET\nA create function is called without "
                 "the \nIDirectDraw4::SetCooperativeLevel method being called. ",
                 who);
        break;
    case DDERR_OUTOFMEMORY:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():Create_Primary_Surface()DDERR_OUTOFMEMORY\nDirectDraw does not have enough memory\n to "
                 "perform the operation\nat least %.3lf MB required",
                 who, megabytes);
        break;
    case DDERR_INVALIDPARAMS:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():Create_Primary_Surface()DDERR_INVALIDPARAMS\nOne or more of the parameters\n passed to the "
                 "method are incorrect.",
                 who);
        break;
    case DDERR_INVALIDCAPS:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():Create_Primary_Surface()DDERR_INVALIDCAPS\nOne or more of the capability bits\n passed to the "
                 "callback function are incorrect.",
                 who);
        break;
    default:
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "%s():Create_Primary_Surface():DEFAULT\nCannot create surface\nwidth = %d\nheight = %d", who, width,
                 height);
        break;
    }
    Report_Error(message_buffer);
}

// Sets width x height at the depth asked for, else at its neighbours in
// order; the depth that works becomes the screen depth. 0 when none works.
static int Set_Display_Mode_With_Fallbacks(int width, int height, int depth) {
    std::vector<int> depths{depth};
    switch (depth) {
    case 15: depths.insert(depths.end(), {16}); break;
    case 16: depths.insert(depths.end(), {15}); break;
    case 24: depths.insert(depths.end(), {32, 16, 15}); break;
    case 32: depths.insert(depths.end(), {24, 16, 15}); break;
    default: break;
    }
    for (int tried : depths) {
        if (DD_SetDisplayMode(Direct_Draw_Interface, width, height, tried) == DD_OK) {
            display_mode_changed = true;
            app.screen_bpp = tried;
            return 1;
        }
    }
    return 0;
}

// The primary surface: only its capabilities are given, the size and the
// format are the screen's.
static HRESULT Create_Primary_Surface() {
    SurfaceDesc desc{};
    desc.caps = DDSCAPS_PRIMARYSURFACE;
    return DD_CreateSurface(Direct_Draw_Interface, desc, &Visible);
}

// At 8 bits the screen shows palette indices: give Visible the saver's palette.
// Both set-ups report these failures with the same words.
static int Attach_Display_Palette() {
    if (DD_CreatePalette(Direct_Draw_Interface, PALETTE_FLAGS, palette_entries, &display_palette) != DD_OK) {
        Report_Error("Setup_Windowed_Direct Draw():Unable to create 256 colour palette");
        return 0;
    }
    if (Surface_SetPalette(Visible, display_palette) != DD_OK) {
        Report_Error("Setup_Windowed_Direct Draw():Unable to Attack 256 colour palette to primary");
        return 0;
    }
    return 1;
}

// The error reporter's hook: with an exclusive full-screen display the
// desktop is behind the saver's surfaces, so a box must bring it forward.
static void Bring_Desktop_Forward() {
    if (app.display_mode == DISPLAY_FULL_SCREEN && Direct_Draw_Interface) DD_FlipToGDISurface(Direct_Draw_Interface);
}

int Setup_Direct_Draw(int width, int height, int depth) {
    before_error_box = Bring_Desktop_Forward;
    static bool traced_once = false;
    Trace_Enter(traced_once, "Setup_Direct_Draw");

    if (Direct_Draw) {
        Report_Error("Setup_Direct_Draw(): Direct_Draw should be NULL");
        return 0;
    }
    HRESULT result = DirectDrawCreate(&Direct_Draw);
    if (result != DD_OK) {
        Report_Device_Failure("Setup_Direct_Draw", result, false);
        return 0;
    }
    if (DD_QueryInterface(Direct_Draw, &Direct_Draw_Interface) != DD_OK) {
        Report_Error("Setup_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
        return 0;
    }
    Release(Direct_Draw);
    Direct_Draw = nullptr;

    if (DD_SetCooperativeLevel(Direct_Draw_Interface, app.main_window, FULL_SCREEN_LEVEL) != DD_OK) {
        Report_Error("Setup_Direct_Draw():SetCooperativeLevel Failed");
        return 0;
    }
    if (!Set_Display_Mode_With_Fallbacks(width, height, depth)) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "Setup_Direct_Draw():SetDisplayMode failed\nw,h,bpp = %d,%d,%d",
                 width, height, depth);
        Report_Error(message_buffer);
        return 0;
    }

    result = Create_Primary_Surface();
    if (result != DD_OK) {
        Report_Primary_Failure("Setup_Direct_Draw", result, width, height);
        return 0;
    }
    if (!Create_SYSTEM_Surface(&Hidden, width, height)) {
        Report_Error("Setup_Direct Draw():Unable to create secondary surface");
        return 0;
    }
    if (app.screen_bpp == 8 && !Attach_Display_Palette()) return 0;

    app.display_mode = DISPLAY_FULL_SCREEN;
    Trace_Exit(traced_once, "Setup_Direct_Draw");
    return 1;
}

int Setup_Windowed_Direct_Draw(int width, int height, int depth) {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Setup_Windowed_Direct_Draw");

    if (Direct_Draw) {
        Report_Error("Setup_Windowed_Direct_Draw(): direct draw should be NULL");
        return 0;
    }
    HRESULT result = DirectDrawCreate(&Direct_Draw);
    if (result != DD_OK) {
        Report_Device_Failure("Setup_Windowed_Direct_Draw", result, true);
        return 0;
    }
    if (DD_QueryInterface(Direct_Draw, &Direct_Draw_Interface) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():QueryInterface call to engage Direct Draw 4 failed");
        return 0;
    }
    Release(Direct_Draw);
    Direct_Draw = nullptr;
    if (app.error_log_enabled && !traced_once)
        Report_Error("Setup_Windowed_Direct_Draw(): Direct_Draw->QueryInterface SUCCESS");

    // Shared use of the desktop: its mode stays as it is.
    if (DD_SetCooperativeLevel(Direct_Draw_Interface, app.main_window, DDSCL_NORMAL) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():SetCooperativeLevel Failed");
        return 0;
    }
    if (app.error_log_enabled && !traced_once)
        Report_Error("Setup_Windowed_Direct_Draw(): Direct_Draw_Interface->SetCooperativeLevel SUCCESS");

    result = Create_Primary_Surface();
    if (result != DD_OK) {
        Report_Primary_Failure("Setup_Windowed_Direct_Draw", result, width, height);
        return 0;
    }
    if (!Create_SYSTEM_Surface(&Hidden, width, height)) {
        Report_Error("Setup_Windowed_Direct Draw():Unable to create secondary surface");
        return 0;
    }
    if (depth == 8 && !Attach_Display_Palette()) return 0;

    app.display_mode = DISPLAY_WINDOWED;
    // Copies into the desktop must land only in the window's visible parts.
    if (DD_CreateClipper(Direct_Draw_Interface, 0, &window_clipper) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():CreateClipper FAILED");
        return 0;
    }
    if (Clipper_SetHWnd(window_clipper, app.main_window) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():Clipper->SetHWnd FAILED");
        return 0;
    }
    if (Surface_SetClipper(Visible, window_clipper) != DD_OK) {
        Report_Error("Setup_Windowed_Direct_Draw():SetClipper FAILED");
        return 0;
    }

    Trace_Exit(traced_once, "Setup_Windowed_Direct_Draw");
    return 1;
}

int Shutdown_Direct_Draw() {
    if ((app.display_mode == DISPLAY_FULL_SCREEN || display_mode_changed) && Direct_Draw_Interface)
        DD_RestoreDisplayMode(Direct_Draw_Interface);
    display_mode_changed = false;

    Release(window_clipper);
    window_clipper = nullptr;
    Release(display_palette);
    display_palette = nullptr;
    Release(Hidden);
    Hidden = nullptr;
    Release(Visible);
    Visible = nullptr;
    Release(Direct_Draw_Interface);
    Direct_Draw_Interface = nullptr;
    Release(Direct_Draw);
    Direct_Draw = nullptr;
    return 1;
}

// The main window's client rectangle in screen coordinates; false when the
// window cannot give it.
static bool Client_Rectangle_On_Screen(Rect* rect) {
    *rect = Rect{};
    if (!GetClientRect(app.main_window, rect)) return false;
    Point origin{};
    ClientToScreen(app.main_window, &origin);
    rect->left += origin.x;
    rect->right += origin.x;
    rect->top += origin.y;
    rect->bottom += origin.y;
    return true;
}

static void Wait_For_Vertical_Blank_If_Asked() {
    if (app.vsync) DD_WaitForVerticalBlank(Direct_Draw_Interface, DDWAITVB_BLOCKBEGIN);
}

int Display_Hidden_Surface() {
    if (!Hidden || !Visible) {
        Report_Error("Display_Hidden_Surface(): Hidden or Visible is NULL");
        return 0;
    }
    if (!Restore_All_Surfaces()) {
        Report_Error("Display_Hidden_Surface(): Restore_All_Surfaces FAILED");
        return 0;
    }

    if (app.display_mode == DISPLAY_WINDOWED) {
        // The top-left part of the frame, unscaled, at the window's place on
        // the desktop; Clip_Blit keeps it on the screen.
        Rect client;
        Client_Rectangle_On_Screen(&client);
        int w = std::min(client.right - client.left, static_cast<int>(app.screen_width));
        int h = std::min(client.bottom - client.top, static_cast<int>(app.screen_height));
        // An empty client area shows nothing and is no failure; a zero
        // height is empty too, and the copy would refuse it.
        if (w >= 1 && h >= 1) {
            Wait_For_Vertical_Blank_If_Asked();
            if (!Clip_Blit(Hidden, Visible, 0, 0, client.left, client.top, w, h)) {
                Report_Error("Display_Hidden_Surface(): Fast_Blit FAILED");
                return 0;
            }
        }
        return 1;
    }

    Wait_For_Vertical_Blank_If_Asked();
    if (!Fast_Blit(Hidden, Visible, 0, 0, 0, 0, app.screen_width, app.screen_height)) {
        Report_Error("Display_Hidden_Screen(): Fast Blit FAILED");
        return 0;
    }
    return 1;
}

int Display_Stretched_Hidden_Surface() {
    if (!Hidden || !Visible) {
        Report_Error("Display_Stretched_Hidden_Surface():Either source or dest is NULL");
        return 0;
    }
    // A lost Hidden has lost the frame being shown: nothing to scale.
    if (Surface_IsLost(Hidden) == DDERR_SURFACELOST) {
        Report_Error("Display_Stretched_Hidden_Surface():Either source or dest is lost");
        return 0;
    }
    if (Surface_IsLost(Visible) == DDERR_SURFACELOST && !Restore_All_Surfaces()) {
        Report_Error("Display_Stretched_Hidden_Surface():Either source or dest is lost");
        return 0;
    }

    if (app.display_mode != DISPLAY_WINDOWED) {
        Display_Hidden_Surface();
        return 1;
    }

    Rect client;
    if (!Client_Rectangle_On_Screen(&client)) {
        Report_Error("Display_Stretched_Hidden_Surface(): GetClientRect FAILED");
        return 0;
    }
    int w = std::min(client.right - client.left, static_cast<int>(app.screen_width));
    int h = std::min(client.bottom - client.top, static_cast<int>(app.screen_height));
    if (w >= 1 && h >= 1) {
        Wait_For_Vertical_Blank_If_Asked();
        if (!Stretch_Blit(Hidden, Visible, 0, 0, client.left, client.top, app.screen_width, app.screen_height, w, h)) {
            Report_Error("Display_Stretched_Hidden_Surface():Stretch_Blit FAILED");
            return 0;
        }
        return 1;
    }
    if (IsIconic(app.main_window)) return 1;
    snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "Display_Stretched_Hidden_Surface(): Invalid width %d height %d", w,
             h);
    Report_Error(message_buffer);
    return 0;
}

// A memory figure's line in the log.
static constexpr size_t MEMORY_LINE_SIZE = 260;

void Log_Memory_Statistics() {
    static bool traced_once = false;
    constexpr double BYTES_TO_MEGABYTES = 1.0 / 1048576.0;

    bool first_logged_run = app.error_log_enabled && !traced_once;
    if (first_logged_run) Report_Error("Enter Log_Memory_Statistics");

    double system_total = static_cast<double>(Platform_Total_Physical_Memory()) * BYTES_TO_MEGABYTES;
    uint32_t video_total = 0, video_free = 0;
    if (!Get_Available_Video_Memory(&video_total, &video_free)) video_total = video_free = 0;

    if (first_logged_run && app.error_log_enabled) {
        char line[MEMORY_LINE_SIZE];
        snprintf(line, sizeof line, "VIDEO RAM: TOTAL %.2lf FREE %.2lf Mb", video_total * BYTES_TO_MEGABYTES,
                 video_free * BYTES_TO_MEGABYTES);
        Report_Error(line);
        snprintf(line, sizeof line, "SYSTEM RAM: TOTAL %.2lf Mb", system_total);
        Report_Error(line);
    }
    if (app.error_log_enabled && !traced_once) {
        Report_Error("Exitting Log_Memory_Statistics");
        traced_once = true;
        Register_Trace_Flag(&traced_once);
    }
}

void Draw_Screen_Notice() {
    if (!app.screen_notice_pending) return;
    Draw_GDI_Text(Hidden, 0, 24, RGB(200, 200, 200), app.screen_notice_text.c_str());
    // One frame only, drawn or not: the next frame paints over it.
    app.screen_notice_pending = false;
}
