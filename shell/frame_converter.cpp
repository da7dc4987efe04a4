// The frame converter.
#include "shell/frame_converter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "platform/ddraw.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/window.h"
#include "preset/preset_files.h"
#include "shell/lifecycle.h"
#include "shell/menu_commands.h"
#include "slides/slide_objects.h"

static std::string Converter_Folder() {
    return Match_Path_Case(Windows_Directory() + "/" + DATA_FOLDER_NAME + "/Data/Frame Converter") + "/";
}

bool Natural_Order_Before(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digit_a = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool digit_b = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (digit_a && digit_b) {
            // Compare the runs as numbers: without leading zeros, the longer is larger.
            size_t end_a = i, end_b = j;
            while (end_a < a.size() && std::isdigit(static_cast<unsigned char>(a[end_a]))) end_a++;
            while (end_b < b.size() && std::isdigit(static_cast<unsigned char>(b[end_b]))) end_b++;
            size_t start_a = i, start_b = j;
            while (start_a + 1 < end_a && a[start_a] == '0') start_a++;
            while (start_b + 1 < end_b && b[start_b] == '0') start_b++;
            const std::string run_a = a.substr(start_a, end_a - start_a), run_b = b.substr(start_b, end_b - start_b);
            if (run_a.size() != run_b.size()) return run_a.size() < run_b.size();
            if (run_a != run_b) return run_a < run_b;
            i = end_a;
            j = end_b;
            continue;
        }
        const int ca = std::tolower(static_cast<unsigned char>(a[i])),
                  cb = std::tolower(static_cast<unsigned char>(b[j]));
        if (ca != cb) return ca < cb;
        i++;
        j++;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;  // names equal but for case or zeros: a fixed order all the same
}

std::vector<std::string> Frame_Converter_Files() {
    std::vector<std::string> names;
    const std::string pattern = Converter_Folder() + "*.BMP";
    std::string name;
    File_Search* search = Find_First_File(pattern.c_str(), &name);
    if (!search) return names;
    do {
        names.push_back(name);
    } while (Find_Next_File(search, &name));
    Find_Close(search);
    std::sort(names.begin(), names.end(), Natural_Order_Before);
    return names;
}

int Save_Conversion(Surface* strip, bool* saved) {
    *saved = false;
    const std::string windows = Windows_Directory();
    if (windows.empty()) {
        Report_Error("Save_Conversion(): GetWindowsDirectory FAILED");
        return 0;
    }
    const std::string folder = Match_Path_Case(windows + "/" + DATA_FOLDER_NAME + "/Data/Bmp/Objects") + "/";
    char path[FILE_DIALOG_BUFFER_SIZE];
    char title[FILE_DIALOG_BUFFER_SIZE] = "";
    std::snprintf(path, sizeof path, "%d.bmp", objects_loaded);
    constexpr int BITMAP_FILTER = 3;
    Init_File_Dialog(app.main_window, folder.c_str(), BITMAP_FILTER);
    if (!Save_File_Dialog(app.main_window, path, title)) return 1;
    if (!Save_Bitmap(strip, path)) {
        Report_Formatted("Frame_Convert(): Save_Bitmap FAILED %s", path);
        return 0;
    }
    *saved = true;
    return 1;
}

// Puts the frame k of the strip in the middle of the screen, with any
// pending notice; 1, or 0 after a report.
static int Show_Frame(Surface* strip, int k, int w) {
    Clear(Hidden);
    if (!Fast_Blit(strip, Hidden, 0, k * w, (app.screen_width - w) / 2, (app.screen_height - w) / 2, w, w)) {
        Report_Formatted("Frame_Convert(): Fast_Blit %d FAILED", k);
        return 0;
    }
    Draw_Screen_Notice();
    if (!Display_Stretched_Hidden_Surface()) {
        Report_Error("Frame_Convert(): Display_Stretched_Hidden_Surface() FAILED");
        return 0;
    }
    if (app.main_window && app.main_window == Platform_Main_Window()) Platform_Present(Visible);
    return 1;
}

int Frame_Convert() {
    int result = 1;
    const std::vector<std::string> names = Frame_Converter_Files();
    if (names.empty()) {
        Report_Error("FindFirstFile returned INVALID_HANDLE_VALUE");
        return 0;
    }
    const std::string folder = Converter_Folder();

    int w = 0, height = 0;
    Surface* first = Load_SYSTEM_Bitmap((folder + names[0]).c_str(), &w, &height);
    if (!first) {
        Report_Formatted("Frame_Convert(): Unable to load %s", (folder + names[0]).c_str());
        return 0;
    }
    Release(first);
    const int n = static_cast<int>(names.size());
    Surface* strip = nullptr;
    if (w <= 0 || !Create_SYSTEM_Surface(&strip, w, n * w)) {
        Report_Error("Frame_Convert(): Sorry, unable to create destination bitmap - perhaps due to lack of memory");
        return 0;
    }
    Clear(strip);

    // Frames 0 .. converted - 1 are in the strip.
    int converted = 0;
    for (int k = 0; k < n; k++) {
        const std::string path = folder + names[k];
        int frame_width = 0, frame_height = 0;
        Surface* frame = Load_SYSTEM_Bitmap(path.c_str(), &frame_width, &frame_height);
        if (!frame) {
            Report_Formatted("Frame_Convert(): Could not load %s", path.c_str());
            result = 0;
            break;
        }
        if (frame_width < w || frame_height < w || !Fast_Blit(frame, strip, 0, 0, 0, k * w, w, w)) {
            Report_Formatted("Frame_Convert(): Fast Blit frame %d FAILED", k);
            Release(frame);
            result = 0;
            break;
        }
        Release(frame);
        converted = k + 1;
        if (!Show_Frame(strip, k, w)) {
            result = 0;
            break;
        }
    }

    // The sources go only once their frames are safely in the saved strip:
    // a cancelled or failed save keeps every one of them.
    bool saved = false;
    if (!Save_Conversion(strip, &saved)) {
        Report_Error("Frame_Convert(): Save_Conversion FAILED");
        result = 0;
    }
    Release(strip);
    if (saved) {
        for (int k = 0; k < converted; k++) {
            const std::string path = folder + names[k];
            if (std::remove(path.c_str()) != 0) {
                Report_Formatted("Frame_Convert(): Could not delete %s", path.c_str());
                result = 0;
            }
        }
    }

    // The display showed the frames: the picture is built again.
    Backup_Plasma_Settings();
    Shutdown();
    if (!Setup()) {
        Report_Error("Frame_Convert(): Setup FAILED");
        Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
        result = 0;
    }
    if (!Restore_Plasma_Settings()) {
        Report_Error("Frame_Convert(): Restore_Plasma_Settings FAILED");
        return 0;
    }
    return result;
}
