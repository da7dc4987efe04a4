// File dialogs without a window layer: the request is recorded and the
// answer is whatever a test has set, "cancelled" otherwise.
#include "platform/file_dialog.h"

#include <cstring>

File_Dialog_Hook platform_file_dialog_hook = nullptr;
std::string platform_file_dialog_answer;
std::vector<File_Dialog_Request> platform_file_dialog_requests;

// Copies text into a buffer of size bytes, cut short if it must be, always terminated.
static void Copy_Text(char* buffer, int size, const std::string& text) {
    if (!buffer || size <= 0) return;
    size_t n = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// The part of a path after its last folder separator.
static std::string Bare_Name(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

static int Run_File_Dialog(const File_Dialog_Request& request, char* path, int size, char* title, int title_size) {
    platform_file_dialog_requests.push_back(request);
    std::string chosen;
    if (platform_file_dialog_hook) {
        if (!platform_file_dialog_hook(request, &chosen)) return 0;
    } else {
        chosen = platform_file_dialog_answer;
    }
    if (chosen.empty()) return 0;
    // A name typed without an extension gets the default one, as the
    // system's dialogs do.
    std::string name = Bare_Name(chosen);
    if (!request.default_extension.empty() && name.find('.') == std::string::npos)
        chosen += "." + request.default_extension;
    // A path that does not fit the caller's buffer would be cut to another
    // file's name: refuse it rather than hand back the wrong file.
    if (size <= 0 || chosen.size() >= static_cast<size_t>(size)) return 0;
    Copy_Text(path, size, chosen);
    Copy_Text(title, title_size, Bare_Name(chosen));
    return 1;
}

int Platform_Open_File_Dialog(const File_Dialog_Request& request, char* path, int size, char* title, int title_size) {
    File_Dialog_Request open = request;
    open.save = false;
    return Run_File_Dialog(open, path, size, title, title_size);
}

int Platform_Save_File_Dialog(const File_Dialog_Request& request, char* path, int size, char* title, int title_size) {
    File_Dialog_Request save = request;
    save.save = true;
    return Run_File_Dialog(save, path, size, title, title_size);
}

void Platform_Reset_File_Dialog() {
    platform_file_dialog_hook = nullptr;
    platform_file_dialog_answer.clear();
    platform_file_dialog_requests.clear();
}
