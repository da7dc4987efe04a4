// window-probe: puts known pictures on the real screen through the window
// layer, and photographs the screen after each, so that a test can check
// what the user would see.
//
//   window-probe OUTPUT_FOLDER
//
// Each picture is four quadrants (red, green, blue, white) inside the
// window's client area; around the window the desktop primary holds yellow,
// which must never reach the screen. After each presentation the probe runs
// `import -window root` into OUTPUT_FOLDER/<name>.png and prints
//   shot <name> <left> <top> <width> <height>
// with the client area's place on the screen. Pictures: "windowed32" (an
// overlapped window showing its part of a 32-bit desktop), "fullscreen8" (a
// 320 x 240 x 8 emulated mode through a palette, scaled to the screen),
// "fullscreen16" (320 x 240 x 16, 5-6-5), "fullscreen32wide" (320 x 200 x 32,
// after the window went back to a framed one and full screen again: scaled
// keeping its shape, black bars above and below), "windowedagain" (framed
// once more, as "windowed32") and "preview24" (a child
// window in another window, 24-bit desktop). Before each photograph the
// probe prints "scaled-by-server <name> <0|1>": whether the X server shows
// the picture, scaled there. At the end the preview's parent window is
// closed and the probe prints "parent gone: WM_DESTROY" when that message
// arrives; "activated: WM_ACTIVATEAPP 1" says that showing the first window
// activated the application. Exit code 0 when every step worked.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <string>

#include "platform/ddraw.h"
#include "platform/pixel_format.h"
#include "platform/window.h"
#include "platform/window_qt.h"

static std::string output_folder;
static bool destroy_seen = false;
static bool activation_seen = false;

static intptr_t Probe_Procedure(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (message == WM_DESTROY) destroy_seen = true;
    if (message == WM_ACTIVATEAPP && wparam == 1) activation_seen = true;
    return Platform_Default_Window_Procedure(window, message, wparam, lparam);
}

// Lets the window system map, place and paint for a moment, answering messages meanwhile.
static void Settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        Platform_Pump_Events();
        Posted_Message message;
        while (Platform_Peek_Message(&message, true)) Platform_Dispatch_Message(message);
        QThread::msleep(10);
    }
}

static constexpr COLORREF QUADRANT_COLOURS[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
static constexpr COLORREF OUTSIDE_COLOUR = RGB(255, 255, 0);

// Fills the surface with yellow and the rectangle with the four quadrants.
static void Draw_Picture(Surface* surface, int left, int top, int width, int height, const Palette* palette) {
    auto pixel = [&](COLORREF colour) {
        return Colour_To_Pixel(surface->bits_per_pixel, surface->green_mask, colour, palette);
    };
    for (int y = 0; y < surface->height; ++y) {
        for (int x = 0; x < surface->width; ++x) {
            COLORREF colour = OUTSIDE_COLOUR;
            if (x >= left && x < left + width && y >= top && y < top + height) {
                int quadrant = (x - left >= width / 2 ? 1 : 0) + (y - top >= height / 2 ? 2 : 0);
                colour = QUADRANT_COLOURS[quadrant];
            }
            Pixel_Write(surface, x, y, pixel(colour));
        }
    }
}

static bool Shoot(const char* name, Window* window) {
    std::printf("scaled-by-server %s %d\n", name, Platform_Qt_Server_Scaled(window) ? 1 : 0);
    Settle(400);
    std::string path = output_folder + "/" + name + ".png";
    int result = QProcess::execute("import", {"-window", "root", QString::fromStdString(path)});
    std::printf("shot %s %d %d %d %d\n", name, window->screen_x, window->screen_y, window->client_width,
                window->client_height);
    std::fflush(stdout);
    return result == 0;
}

// Brings up a device on the desktop (windowed) or in an emulated mode, with a primary surface.
static Surface* Make_Primary(DirectDrawDevice* device, Window* window, int mode_width, int mode_height, int mode_bpp,
                             Clipper** clipper) {
    if (mode_bpp) {
        if (DD_SetCooperativeLevel(device, window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE) != DD_OK) return nullptr;
        if (DD_SetDisplayMode(device, mode_width, mode_height, mode_bpp) != DD_OK) return nullptr;
    } else if (DD_SetCooperativeLevel(device, window, DDSCL_NORMAL) != DD_OK) {
        return nullptr;
    }
    SurfaceDesc desc;
    desc.caps = DDSCAPS_PRIMARYSURFACE;
    Surface* primary = nullptr;
    if (DD_CreateSurface(device, desc, &primary) != DD_OK) return nullptr;
    if (clipper) {
        if (DD_CreateClipper(device, 0, clipper) != DD_OK || Clipper_SetHWnd(*clipper, window) != DD_OK ||
            Surface_SetClipper(primary, *clipper) != DD_OK) {
            return nullptr;
        }
    }
    return primary;
}

static bool Windowed_Picture(DirectDrawDevice* device, int desktop_bpp, const char* name, Window* window) {
    dd_config.desktop_bpp = desktop_bpp;
    Clipper* clipper = nullptr;
    Surface* primary = Make_Primary(device, window, 0, 0, 0, &clipper);
    if (!primary) return false;
    Platform_Update_Window_Record(window);
    Draw_Picture(primary, window->screen_x, window->screen_y, window->client_width, window->client_height, nullptr);
    bool shown = Platform_Present(primary) && Shoot(name, window);
    Release(primary);
    Release(clipper);
    return shown;
}

static bool Full_Screen_Picture(DirectDrawDevice* device, int width, int height, int bpp, const char* name,
                                Window* window) {
    Surface* primary = Make_Primary(device, window, width, height, bpp, nullptr);
    if (!primary) return false;
    Palette* palette = nullptr;
    if (bpp == 8) {
        PaletteEntry entries[256] = {};
        entries[1] = PaletteEntry{255, 0, 0, 0};
        entries[2] = PaletteEntry{0, 255, 0, 0};
        entries[3] = PaletteEntry{0, 0, 255, 0};
        entries[4] = PaletteEntry{255, 255, 255, 0};
        entries[5] = PaletteEntry{255, 255, 0, 0};
        if (DD_CreatePalette(device, DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette) != DD_OK ||
            Surface_SetPalette(primary, palette) != DD_OK) {
            return false;
        }
    }
    Platform_Place_Window(window, 0, 0, width, height);
    Draw_Picture(primary, 0, 0, width, height, palette);
    bool shown = Platform_Present(primary) && Shoot(name, window);
    Release(primary);
    Release(palette);
    DD_RestoreDisplayMode(device);
    return shown;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-probe OUTPUT_FOLDER\n");
        return 2;
    }
    output_folder = argv[1];
    if (!Platform_Start_Window_Layer(argc, argv)) {
        std::fprintf(stderr, "window-probe: no display\n");
        return 1;
    }
    Platform_Register_Window_Class("Calvorine", Probe_Procedure);
    DirectDrawDevice* device = nullptr;
    if (DirectDrawCreate(&device) != DD_OK) return 1;
    const int desktop_bpp = dd_config.desktop_bpp;

    Window* window = Platform_Create_Window(WINDOW_OVERLAPPED, " Calvorine", 100, 80, 400, 300, 0);
    if (!window) return 1;
    Platform_Set_Cursor_Shape(window, CURSOR_ARROW);
    Platform_Show_Window(window, SW_SHOWNORMAL);
    Settle(300);
    bool ok = Windowed_Picture(device, 32, "windowed32", window);
    // Frames are drawn only while the application is active: showing must activate it.
    if (activation_seen) std::printf("activated: WM_ACTIVATEAPP 1\n");

    Platform_Set_Window_Kind(window, WINDOW_POPUP);
    Platform_Set_Cursor_Shape(window, CURSOR_NONE);
    ok = Full_Screen_Picture(device, 320, 240, 8, "fullscreen8", window) && ok;
    ok = Full_Screen_Picture(device, 320, 240, 16, "fullscreen16", window) && ok;
    // Framed and full screen again: each way the frame gets a new X window.
    Platform_Set_Window_Kind(window, WINDOW_OVERLAPPED);
    Settle(200);
    Platform_Set_Window_Kind(window, WINDOW_POPUP);
    ok = Full_Screen_Picture(device, 320, 200, 32, "fullscreen32wide", window) && ok;
    // Framed again, the window shows its part of the desktop, not the last full-screen picture.
    Platform_Set_Window_Kind(window, WINDOW_OVERLAPPED);
    Platform_Place_Window(window, 100, 80, 400, 300);
    Settle(300);
    ok = Windowed_Picture(device, 32, "windowedagain", window) && ok;
    Platform_Destroy_Window(window);

    // The preview: a window of "another program" with ours inside it.
    auto* parent = new QWidget;
    parent->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    parent->setGeometry(500, 350, 200, 150);
    parent->show();
    Settle(300);
    Rect client;
    Point origin;
    uintptr_t parent_id = static_cast<uintptr_t>(parent->winId());
    if (!Platform_Get_Foreign_Client_Rect(parent_id, &client, &origin)) return 1;
    std::printf("parent %d %d %d %d\n", origin.x, origin.y, client.right, client.bottom);
    window = Platform_Create_Window(WINDOW_CHILD, "", 0, 0, client.right, client.bottom, parent_id);
    if (!window) return 1;
    Platform_Show_Window(window, SW_SHOWNORMAL);
    Settle(300);
    ok = Windowed_Picture(device, 24, "preview24", window) && ok;
    dd_config.desktop_bpp = desktop_bpp;

    // Closing the parent takes the preview with it: the program must hear of it.
    delete parent;
    QElapsedTimer timer;
    timer.start();
    while (!destroy_seen && timer.elapsed() < 3000) Settle(50);
    if (destroy_seen) std::printf("parent gone: WM_DESTROY\n");
    Platform_Destroy_Window(window);
    Release(device);
    Platform_Stop_Window_Layer();
    return ok && destroy_seen ? 0 : 1;
}
