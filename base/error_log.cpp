// The one error reporter, the information box and the error log file.
#include "base/error_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "base/app_state.h"
#include "platform/files.h"
#include "platform/system.h"

char message_buffer[MESSAGE_BUFFER_SIZE];

// One log record: CR LF, at most 257 characters of text and the terminating zero.
static constexpr size_t LOG_RECORD_SIZE = 260;
// The text of a box.
static constexpr size_t BOX_TEXT_SIZE = 512;
// Trace lines are "Entering " or "Exitting " and a function name.
static constexpr size_t TRACE_LINE_SIZE = 260;

static const char* const day_names[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
static const char* const month_names[12] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};

// Every trace flag that has been set, so tests can start each case with
// every function tracing its first run again.
static std::vector<bool*>& Set_Trace_Flags() {
    static std::vector<bool*> flags;
    return flags;
}

Before_Error_Box_Hook before_error_box = nullptr;

// With an exclusive full-screen display the desktop is behind the saver's
// surfaces: the display brings it forward, or the box would be invisible yet modal.
static void Bring_Desktop_Forward() {
    if (before_error_box) before_error_box();
}

void Report_Formatted(const char* format, ...) {
    char text[MESSAGE_BUFFER_SIZE + 4096];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    Report_Error(text);
}

void Report_Error(const char* message) {
    if (!message) message = "";
    if (app.error_log_enabled && Save_Error_Log_To_File(app.error_log_path.c_str(), message, LOG_APPEND) == 1) return;

    // The count is raised and never lowered again: after an error the user
    // must be able to reach the box whatever mode the saver was in.
    Platform_Show_Cursor(true);
    Bring_Desktop_Forward();
    char text[BOX_TEXT_SIZE];
    snprintf(text, sizeof text, "%s", message);
    Platform_Play_Sound("Include/Error.wav", SND_ASYNC | SND_FILENAME);
    Platform_Message_Box(app.main_window, text, "Error", MB_OK | MB_ICONSTOP);
}

void Report_Message(const char* message) {
    if (!message) message = "";
    Bring_Desktop_Forward();
    Platform_Show_Cursor(true);
    char text[BOX_TEXT_SIZE];
    snprintf(text, sizeof text, "%s", message);
    Platform_Message_Box(app.main_window, text, "Message", MB_OK);
}

// Switches the log off for the rest of the run and reports why; the report
// is a box now that the log is off.
static void Stop_Log(const char* why) {
    app.error_log_enabled = false;
    Report_Error(why);
}

// Opens the log for a record. Appending needs the file the start-up created;
// it is never created here, so a log deleted under a running saver stops
// the log instead of starting a new one without its stamp.
// Set when the start-up found a link where the log goes and started a fresh log instead.
static bool log_link_replaced = false;

static bool Open_Log(const char* path, int open_mode) {
    if (open_mode == LOG_CREATE) {
        app.error_log_file = Platform_Open_Log_File(path, true, &log_link_replaced);
        if (!app.error_log_file) {
            // The running saver and the preview start silently: a box over
            // the screen saver or inside the display settings helps no one.
            if (app.saver_mode == SAVER || app.saver_mode == PREVIEW) {
                app.error_log_enabled = false;
                return false;
            }
            Stop_Log("Save_Error_Log_To_File() CreateFile FILE FAILED");
            return false;
        }
        return true;
    }
    app.error_log_file = Platform_Open_Log_File(path, false, nullptr);
    if (!app.error_log_file) {
        Stop_Log("Save_Error_Log_To_File() CreateFile APPEND TO FILE FAILED");
        return false;
    }
    return true;
}

int Save_Error_Log_To_File(const char* path, const char* text, int open_mode) {
    if (!path || !*path) return 0;
    if (!text) text = "";

    // A longer text is cut to what the record holds.
    char record[LOG_RECORD_SIZE];
    snprintf(record, sizeof record, "\r\n%s", text);
    size_t length = strlen(record);

    // LOG_CLOSE_AFTER on a closed log opens it for appending like LOG_APPEND,
    // so the record is kept and the file is closed again afterwards.
    if (!app.error_log_file && !Open_Log(path, open_mode)) return 0;

    FILE* file = app.error_log_file;
    long size = (fseek(file, 0, SEEK_END) == 0) ? ftell(file) : -1;
    if (size > ERROR_LOG_LIMIT) {
        Stop_Log("Save_Error_Log_To_File() Max Error log file size EXCEEDED");
        Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
        return 0;
    }

    // Each record goes to the disk at once: the log is read after a crash.
    if (size < 0 || fwrite(record, 1, length, file) != length || fflush(file) != 0) {
        Stop_Log("Save_Error_Log_To_File() WriteFile FAILED");
        Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
        return 0;
    }

    if (open_mode == LOG_CLOSE_AFTER) Close_Error_Log_File();
    return 1;
}

int Format_Date_Stamp(char* buffer, size_t size, const struct tm& when) {
    if (!buffer || size == 0) return 0;
    const char* day = (when.tm_wday >= 0 && when.tm_wday < 7) ? day_names[when.tm_wday] : "";
    const char* month = (when.tm_mon >= 0 && when.tm_mon < 12) ? month_names[when.tm_mon] : "";
    int written = snprintf(buffer, size, "\r\n%d:%d:%d, %s %s %d, %d\r\n", when.tm_hour, when.tm_min, when.tm_sec, day,
                           month, when.tm_mday, when.tm_year + 1900);
    if (written < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(written) < size ? written : static_cast<int>(size - 1);
}

int Stamp_Date_And_Title_To_Saver_Error_Log_File(const char* title) {
    time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);

    char stamp[LOG_RECORD_SIZE];
    int length = Format_Date_Stamp(stamp, sizeof stamp, local);
    snprintf(stamp + length, sizeof stamp - length, "%s", title ? title : "");

    log_link_replaced = false;
    if (!Save_Error_Log_To_File(app.error_log_path.c_str(), stamp, LOG_CREATE)) {
        app.error_log_enabled = false;
        return 0;
    }
    if (log_link_replaced) {
        Report_Error("Save_Error_Log_To_File(): error_log.txt was a symbolic link: it was removed and a new log started");
    }
    return 1;
}

int Close_Error_Log_File() {
    if (app.error_log_file) {
        fclose(app.error_log_file);
        app.error_log_file = nullptr;
    }
    return 1;
}

void Trace_Enter(bool traced_once, const char* name) {
    if (!app.error_log_enabled || traced_once) return;
    char line[TRACE_LINE_SIZE];
    snprintf(line, sizeof line, "Entering %s", name ? name : "");
    Report_Error(line);
}

void Trace_Exit(bool& traced_once, const char* name) {
    if (!app.error_log_enabled || traced_once) return;
    char line[TRACE_LINE_SIZE];
    snprintf(line, sizeof line, "Exitting %s", name ? name : "");
    Report_Error(line);
    traced_once = true;
    Set_Trace_Flags().push_back(&traced_once);
}

void Register_Trace_Flag(bool* flag) { Set_Trace_Flags().push_back(flag); }

void Reset_Trace_Flags() {
    for (bool* flag : Set_Trace_Flags()) *flag = false;
    Set_Trace_Flags().clear();
}
