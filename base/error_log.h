// The one error reporter, the information box and the error log file.
//
// While the log is on, a report is one CR LF record in error_log.txt and
// nothing shows; while it is off (before the data folder is found, or after
// the log itself failed) a report is an error box with the error sound.
#pragma once

#include <cstddef>

constexpr int LOG_APPEND = 0;
constexpr int LOG_CREATE = 1;
constexpr int LOG_CLOSE_AFTER = 2;

// The log stops once the file grows past this many bytes.
constexpr long ERROR_LOG_LIMIT = 32000;

// Shared buffer in which callers format a message before reporting it.
constexpr size_t MESSAGE_BUFFER_SIZE = 1024;
extern char message_buffer[MESSAGE_BUFFER_SIZE];

// Reports one failure or trace line: a log record, or a box when the log is off.
void Report_Error(const char* message);
// Report_Error of a text formatted like printf. Texts longer than the shared
// message buffer (long paths) are kept whole up to 4 KiB more.
__attribute__((format(printf, 1, 2))) void Report_Formatted(const char* format, ...);
// Shows an information box captioned "Message"; never logged.
void Report_Message(const char* message);
// Writes one record (CR LF and the text) to the log file; 1 written, 0 failed.
int Save_Error_Log_To_File(const char* path, const char* text, int open_mode);
// Creates the log anew with the date stamp and the title; 1 or 0.
int Stamp_Date_And_Title_To_Saver_Error_Log_File(const char* title);
// Closes the log file if it is open; 1.
int Close_Error_Log_File();
// Runs just before an error box is shown, while the log is off. The display
// installs one while it exists (it brings the desktop in front of an exclusive
// full-screen display); null: nothing to do.
using Before_Error_Box_Hook = void (*)();
extern Before_Error_Box_Hook before_error_box;

struct tm;
// Writes the date stamp of the given local time ("\r\n%d:%d:%d, %s %s %d, %d\r\n"); returns its length.
int Format_Date_Stamp(char* buffer, size_t size, const struct tm& when);

// Trace lines: a traced function reports "Entering NAME" on entry and
// "Exitting NAME" at its first successful end, while the log is on.
// `traced_once` is the function's own flag.
void Trace_Enter(bool traced_once, const char* name);
void Trace_Exit(bool& traced_once, const char* name);
// Clears every trace flag set so far, so each function traces its next run
// again (tests start each case from a fresh program).
void Reset_Trace_Flags();
// Adds a flag that Reset_Trace_Flags clears (a function's own once-only trace).
void Register_Trace_Flag(bool* flag);
