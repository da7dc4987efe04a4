// Relative pointer motion on a Wayland compositor that offers it
// (zwp_relative_pointer_manager_v1): what the device itself moved, also into
// the edge of an output, where the pointer's position stays put.
//
// It rides on the toolkit's own connection, since the compositor tells only
// the client under the pointer of its motion, on a queue of its own that the
// frame dispatches when it reads the delta. libwayland-client is in the
// process through Qt's Wayland plugin; its functions are looked up there, and
// the protocol's two interfaces are written out below as libwayland lays
// them out, so the build needs no Wayland package of its own.
#include "platform/wayland_pointer.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstring>
#include <qpa/qplatformnativeinterface.h>

#include "platform/library_lookup.h"

namespace {

struct wl_display;
struct wl_event_queue;
struct wl_proxy;

struct Wl_Interface;
struct Wl_Message {
    const char* name;
    const char* signature;
    const Wl_Interface** types;
};
struct Wl_Interface {
    const char* name;
    int version;
    int method_count;
    const Wl_Message* methods;
    int event_count;
    const Wl_Message* events;
};

// The wl_seat capability bit of a pointer.
constexpr uint32_t SEAT_CAPABILITY_POINTER = 1;
// Request numbers: wl_display.get_registry, wl_registry.bind, wl_seat.get_pointer,
// zwp_relative_pointer_manager_v1.get_relative_pointer.
constexpr uint32_t DISPLAY_GET_REGISTRY = 1;
constexpr uint32_t REGISTRY_BIND = 0;
constexpr uint32_t SEAT_GET_POINTER = 0;
constexpr uint32_t MANAGER_GET_RELATIVE_POINTER = 1;
constexpr uint32_t RELATIVE_POINTER_DESTROY = 0;
// wl_proxy_marshal_flags: the proxy goes with the request.
constexpr uint32_t MARSHAL_FLAG_DESTROY = 1;
constexpr double FIXED_ONE = 256.0;  // wl_fixed_t: 24.8

extern const Wl_Interface relative_pointer_interface;
const Wl_Interface* no_types[6] = {};
const Wl_Interface* get_relative_pointer_types[2] = {&relative_pointer_interface, nullptr};  // [1]: wl_pointer
const Wl_Message relative_pointer_requests[] = {{"destroy", "", no_types}};
const Wl_Message relative_pointer_events[] = {{"relative_motion", "uuffff", no_types}};
const Wl_Interface relative_pointer_interface = {
    "zwp_relative_pointer_v1", 1, 1, relative_pointer_requests, 1, relative_pointer_events};
const Wl_Message manager_requests[] = {{"destroy", "", no_types},
                                       {"get_relative_pointer", "no", get_relative_pointer_types}};
const Wl_Interface manager_interface = {"zwp_relative_pointer_manager_v1", 1, 2, manager_requests, 0, nullptr};

struct Functions {
    wl_event_queue* (*create_queue)(wl_display*);
    wl_proxy* (*create_wrapper)(void*);
    void (*set_queue)(wl_proxy*, wl_event_queue*);
    wl_proxy* (*marshal_flags)(wl_proxy*, uint32_t, const Wl_Interface*, uint32_t, uint32_t, ...);
    int (*add_listener)(wl_proxy*, void (**)(void), void*);
    void (*destroy)(wl_proxy*);
    int (*roundtrip_queue)(wl_display*, wl_event_queue*);
    int (*dispatch_queue_pending)(wl_display*, wl_event_queue*);
    int (*flush)(wl_display*);
    const Wl_Interface* registry_interface;
    const Wl_Interface* seat_interface;
    const Wl_Interface* pointer_interface;
};

Functions wl;
wl_display* display = nullptr;
wl_event_queue* queue = nullptr;
wl_proxy* seat = nullptr;
wl_proxy* manager = nullptr;
wl_proxy* pointer = nullptr;
wl_proxy* relative_pointer = nullptr;
uint32_t seat_name = 0, manager_name = 0;
double motion_x = 0.0, motion_y = 0.0;

void On_Global(void*, wl_proxy*, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, "wl_seat") == 0 && seat_name == 0) seat_name = name;
    if (std::strcmp(interface, manager_interface.name) == 0) manager_name = name;
}
void On_Global_Remove(void*, wl_proxy*, uint32_t) {}

void On_Relative_Motion(void*, wl_proxy*, uint32_t, uint32_t, int32_t dx, int32_t dy, int32_t, int32_t) {
    motion_x += dx / FIXED_ONE;
    motion_y += dy / FIXED_ONE;
}

void On_Capabilities(void*, wl_proxy*, uint32_t capabilities) {
    const bool has_pointer = capabilities & SEAT_CAPABILITY_POINTER;
    if (!has_pointer && relative_pointer) {
        // The seat's last pointer went (unplugged): the next one is asked for anew.
        wl.marshal_flags(relative_pointer, RELATIVE_POINTER_DESTROY, nullptr, 1, MARSHAL_FLAG_DESTROY);
        wl.destroy(pointer);
        relative_pointer = pointer = nullptr;
        wl.flush(display);
    }
    // A pointer may be asked for only while the seat has one.
    if (relative_pointer || !has_pointer) return;
    pointer = wl.marshal_flags(seat, SEAT_GET_POINTER, wl.pointer_interface, 1, 0, nullptr);
    relative_pointer = wl.marshal_flags(manager, MANAGER_GET_RELATIVE_POINTER, &relative_pointer_interface, 1, 0,
                                        nullptr, pointer);
    using Motion = void (*)(void*, wl_proxy*, uint32_t, uint32_t, int32_t, int32_t, int32_t, int32_t);
    static Motion motion_listener[] = {On_Relative_Motion};
    wl.add_listener(relative_pointer, reinterpret_cast<void (**)(void)>(motion_listener), nullptr);
    wl.flush(display);
}

bool Look_Up_Functions() {
    void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
    return library && Look_Up(library, "wl_display_create_queue", &wl.create_queue) &&
           Look_Up(library, "wl_proxy_create_wrapper", &wl.create_wrapper) &&
           Look_Up(library, "wl_proxy_set_queue", &wl.set_queue) &&
           Look_Up(library, "wl_proxy_marshal_flags", &wl.marshal_flags) &&
           Look_Up(library, "wl_proxy_add_listener", &wl.add_listener) &&
           Look_Up(library, "wl_proxy_destroy", &wl.destroy) &&
           Look_Up(library, "wl_display_roundtrip_queue", &wl.roundtrip_queue) &&
           Look_Up(library, "wl_display_dispatch_queue_pending", &wl.dispatch_queue_pending) &&
           Look_Up(library, "wl_display_flush", &wl.flush) &&
           Look_Up(library, "wl_registry_interface", &wl.registry_interface) &&
           Look_Up(library, "wl_seat_interface", &wl.seat_interface) &&
           Look_Up(library, "wl_pointer_interface", &wl.pointer_interface);
}

}  // namespace

bool Wayland_Relative_Pointer_Start() {
    static int started = -1;
    if (started >= 0) return started == 1;
    started = 0;
    if (!qGuiApp || !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) return false;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    display = native ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")) : nullptr;
    if (!display || !Look_Up_Functions()) return false;
    queue = wl.create_queue(display);
    if (!queue) return false;
    // The registry's events come on this queue, not the toolkit's.
    wl_proxy* display_on_queue = wl.create_wrapper(display);
    if (!display_on_queue) return false;
    wl.set_queue(display_on_queue, queue);
    wl_proxy* registry =
        wl.marshal_flags(display_on_queue, DISPLAY_GET_REGISTRY, wl.registry_interface, 1, 0, nullptr);
    using Global = void (*)(void*, wl_proxy*, uint32_t, const char*, uint32_t);
    using Global_Remove = void (*)(void*, wl_proxy*, uint32_t);
    static void (*registry_listener[2])(void) = {reinterpret_cast<void (*)(void)>(static_cast<Global>(On_Global)),
                                                 reinterpret_cast<void (*)(void)>(
                                                     static_cast<Global_Remove>(On_Global_Remove))};
    if (!registry || wl.add_listener(registry, registry_listener, nullptr) != 0) return false;
    if (wl.roundtrip_queue(display, queue) < 0 || seat_name == 0 || manager_name == 0) return false;
    // Objects made from the registry's stay on its queue.
    manager = wl.marshal_flags(registry, REGISTRY_BIND, &manager_interface, 1, 0, manager_name,
                               manager_interface.name, 1u, nullptr);
    seat = wl.marshal_flags(registry, REGISTRY_BIND, wl.seat_interface, 1, 0, seat_name, wl.seat_interface->name, 1u,
                            nullptr);
    if (!manager || !seat) return false;
    using Capabilities = void (*)(void*, wl_proxy*, uint32_t);
    static Capabilities seat_listener[] = {On_Capabilities};
    wl.add_listener(seat, reinterpret_cast<void (**)(void)>(seat_listener), nullptr);
    wl.flush(display);
    started = 1;
    return true;
}

bool Wayland_Relative_Pointer_Take(double* dx, double* dy) {
    if (!queue || !manager) return false;
    wl.dispatch_queue_pending(display, queue);
    *dx += motion_x;
    *dy += motion_y;
    motion_x = motion_y = 0.0;
    return relative_pointer != nullptr;
}
