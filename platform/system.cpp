// Host services in their headless form: the window record, the message
// queue, message boxes, sounds, the cursor count, clocks and memory facts.
// The window layer replaces the box and the sound through the hooks; the
// rest serves it unchanged.
#include "platform/system.h"

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <chrono>
#include <cstdio>
#include <deque>
#include <utility>

std::vector<Recorded_Box> platform_boxes;
std::vector<std::string> platform_sounds;
int platform_cursor_count = 0;
Message_Box_Hook platform_message_box_hook = nullptr;
Sound_Hook platform_sound_hook = nullptr;

// Messages posted and not yet taken, oldest first.
static std::deque<Posted_Message> message_queue;

bool GetClientRect(Window* window, Rect* rect) {
    if (!window || !rect) return false;
    *rect = Rect{0, 0, window->client_width, window->client_height};
    return true;
}

void ClientToScreen(Window* window, Point* point) {
    if (!window || !point) return;
    point->x += window->screen_x;
    point->y += window->screen_y;
}

bool IsIconic(Window* window) { return window && window->iconic; }

bool Platform_Post_Message(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam) {
    message_queue.push_back(Posted_Message{window, message, wparam, lparam});
    return true;
}

bool Platform_Peek_Message(Posted_Message* message, bool remove) {
    if (message_queue.empty()) return false;
    if (message) *message = message_queue.front();
    if (remove) message_queue.pop_front();
    return true;
}

int Platform_Message_Box(Window* owner, const char* text, const char* caption, unsigned style) {
    if (platform_message_box_hook) return platform_message_box_hook(owner, text, caption, style);
    Recorded_Box box{text ? text : "", caption ? caption : "", style};
    // Nobody can answer a headless box: say what it said where an operator will see it.
    std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(stderr);
    platform_boxes.push_back(std::move(box));
    return IDOK;
}

void Platform_Play_Sound(const char* path, unsigned flags) {
    if (platform_sound_hook) {
        platform_sound_hook(path, flags);
        return;
    }
    platform_sounds.push_back(path ? path : "");
}

int Platform_Show_Cursor(bool show) {
    platform_cursor_count += show ? 1 : -1;
    return platform_cursor_count;
}

void Platform_Reset_Records() {
    platform_boxes.clear();
    platform_sounds.clear();
    platform_cursor_count = 0;
    platform_message_box_hook = nullptr;
    platform_sound_hook = nullptr;
    message_queue.clear();
}

// All clocks read the steady clock, so they never step back when the wall clock is set.
static std::chrono::steady_clock::duration Since_Clock_Start() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

uint32_t Platform_Tick_Count() {
    // Wraps after 49.7 days, as the tick count always has.
    auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(Since_Clock_Start()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(milliseconds));
}

int64_t Platform_Performance_Counter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Since_Clock_Start()).count();
}

int64_t Platform_Performance_Frequency() { return 1'000'000'000; }

uint64_t Platform_Total_Physical_Memory() {
    long pages = sysconf(_SC_PHYS_PAGES);
    long page_size = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || page_size <= 0) return 0;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(page_size);
}

// The niceness of one thread (Linux keeps it per thread) raised to the
// saver's, never lowered.
static bool Lower_Thread(id_t thread) {
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, thread);
    if (now == -1 && errno != 0) return errno == ESRCH;  // the thread has ended meanwhile
    if (now >= SAVER_NICENESS) return true;
    return setpriority(PRIO_PROCESS, thread, SAVER_NICENESS) == 0 || errno == ESRCH;
}

bool Platform_Lower_Priority() {
    // The toolkit has threads of its own by now: each is lowered, and the
    // threads started later take the niceness of the one starting them.
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return Lower_Thread(0);
    bool all = true;
    while (const dirent* entry = readdir(tasks)) {
        char* end = nullptr;
        const long thread = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || thread <= 0) continue;
        all = Lower_Thread(static_cast<id_t>(thread)) && all;
    }
    closedir(tasks);
    return all;
}
