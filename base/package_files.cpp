// The package's copy steps, shared by the installer and the saver's
// first-run set-up.
#include "base/package_files.h"

#include "base/data_folder.h"
#include "platform/files.h"
#include "platform/install_files.h"

int Ensure_Install_Folder(const std::string& path) {
    if (Platform_Create_Directory(path.c_str())) return 1;
    // An existing folder is reused only when it is a plain folder this user
    // may write into: anything else would fail at the first copy.
    return Platform_Get_File_Attributes(path.c_str()) == FILE_ATTRIBUTE_DIRECTORY ? 1 : 0;
}

static std::string Folder_Failed(const std::string& folder) { return "CreateDirectory " + folder + " FAILED"; }

// Copies every file of `source_folder` matching the pattern into
// `target_folder` (which ends in a separator). "" when done, else the
// failure text.
static std::string Copy_All(const std::string& source_folder, const char* pattern, const std::string& target_folder,
                            const char* none_found) {
    std::string name;
    File_Search* search = Find_First_File((source_folder + "/" + pattern).c_str(), &name);
    if (!search) return none_found;
    do {
        std::string source = source_folder + "/" + name;
        std::string target = target_folder + name;
        if (!Platform_Copy_File(source.c_str(), target.c_str(), false)) {
            Find_Close(search);
            return "CopyFile " + source + " to " + target + " FAILED";
        }
    } while (Find_Next_File(search, &name));
    Find_Close(search);
    return {};
}

// One step's result: true when it went on, else the failure text is set.
static bool Step(const std::string& result, std::string* failure) {
    if (result.empty()) return true;
    *failure = result;
    return false;
}

static bool Folder_Step(const std::string& path, std::string* failure) {
    return Step(Ensure_Install_Folder(path) ? std::string() : Folder_Failed(path), failure);
}

static bool Copy_Step(const std::string& source, const std::string& target, const std::string& failure_text,
                      std::string* failure) {
    return Step(Platform_Copy_File(source.c_str(), target.c_str(), false) ? std::string() : failure_text, failure);
}

int Copy_Package_Files(const std::string& package, const std::string& folder, std::string* failure) {
    std::string ignored;
    if (!failure) failure = &ignored;
    const std::string source = package.empty() ? "Calvorine" : package + "/Calvorine";

    // The presets.
    if (!Step(Copy_All(source, "*.DAT", folder + "/",
                       "FindFirstFile searching for Calvorine\\*.DAT returned INVALID_HANDLE_VALUE"),
              failure)) {
        return 0;
    }

    // The data folders and the help file.
    const std::string data = folder + "/Data";
    if (!Folder_Step(data, failure) || !Folder_Step(data + "/Frame Converter", failure)) return 0;
    const std::string help = data + "/Help.HLP";
    if (!Copy_Step(source + "/Data/Help.HLP", help, "CopyFile Calvorine\\Data\\Help.HLP to " + help + " FAILED",
                   failure)) {
        return 0;
    }

    // The pictures.
    const std::string bitmaps = data + "/Bmp";
    if (!Folder_Step(bitmaps, failure)) return 0;
    const std::string about = bitmaps + "/About.bmp";
    if (!Copy_Step(source + "/Data/Bmp/About.bmp", about,
                   "CopyFile Calvorine\\Data\\Bmp\\About.bmp to " + about + " FAILED", failure)) {
        return 0;
    }
    const std::string font = bitmaps + "/Font.bmp";
    if (!Copy_Step(source + "/Data/Bmp/Font.bmp", font,
                   "CopyFile Calvorine\\Data\\Bmp\\Font.bmp to " + font + " FAILED", failure)) {
        return 0;
    }

    // The slide objects.
    const std::string objects = bitmaps + "/Objects";
    if (!Folder_Step(objects, failure)) return 0;
    if (!Step(Copy_All(source + "/Data/Bmp/Objects", "*.bmp", objects + "/",
                       "FindFirstFile Objects.bmp returned INVALID_HANDLE_VALUE"),
              failure)) {
        return 0;
    }

    // The overlays, into a folder named with its trailing separator.
    const std::string overlays = folder + "/Data/Bmp/Overlays/";
    if (!Folder_Step(overlays, failure)) return 0;
    if (!Step(Copy_All(source + "/Data/Bmp/Overlays", "*.bmp", overlays,
                       "FindFirstFile Overlays.bmp returned INVALID_HANDLE_VALUE"),
              failure)) {
        return 0;
    }
    return 1;
}

std::string System_Package_Folder() {
    for (const std::string& directory : Platform_System_Data_Directories()) {
        const std::string package = directory + "/calvorine";
        if (Folder_Exists((package + "/Calvorine").c_str())) return package;
    }
    return {};
}

std::string Begin_Data_Folder_Set_Up(const std::string& folder, std::string* failure) {
    std::string ignored;
    if (!failure) failure = &ignored;
    const size_t separator = folder.find_last_of('/');
    const std::string parent = separator == std::string::npos ? "." : folder.substr(0, separator);
    const std::string name = separator == std::string::npos ? folder : folder.substr(separator + 1);

    // The folder the data folder lives in may be missing on a new account.
    if (!Folder_Exists(parent.c_str()) && !Platform_Create_Directory_Path(parent.c_str())) {
        *failure = Folder_Failed(parent);
        return {};
    }

    // Hidden, and this process's own: a leftover of an earlier process
    // with the same id is no one's any more.
    const std::string building = parent + "/." + name + ".setup-" + std::to_string(Platform_Process_Id());
    Platform_Remove_Tree(building.c_str());
    if (!Ensure_Install_Folder(building)) {
        *failure = Folder_Failed(building);
        return {};
    }
    return building;
}

int Finish_Data_Folder_Set_Up(const std::string& package, const std::string& building, const std::string& folder,
                              std::string* failure) {
    std::string ignored;
    if (!failure) failure = &ignored;
    if (!Copy_Package_Files(package, building, failure)) {
        Platform_Remove_Tree(building.c_str());
        return 0;
    }
    if (!Platform_Rename_No_Replace(building.c_str(), folder.c_str())) {
        Platform_Remove_Tree(building.c_str());
        // Another saver starting at the same moment may have won the race.
        if (Folder_Exists(folder.c_str())) return 1;
        *failure = "MoveFile " + building + " to " + folder + " FAILED";
        return 0;
    }
    return 1;
}

int Set_Up_Data_Folder_From_Package(const std::string& package, const std::string& folder, std::string* failure) {
    const std::string building = Begin_Data_Folder_Set_Up(folder, failure);
    if (building.empty()) return 0;
    return Finish_Data_Folder_Set_Up(package, building, folder, failure);
}

// ---------------------------------------------------------------------------
// Calvorine in XScreenSaver's list.

// The folder part of a path ("" for a bare name).
static std::string Folder_Of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Installed_Hack_Program(const std::string& program) {
    // <prefix>/bin/program -> <prefix>/libexec/xscreensaver/calvorine
    const std::string bin = Folder_Of(program);
    if (bin.empty()) return {};
    const std::string prefix = Folder_Of(bin);
    const std::string hack = prefix + "/libexec/xscreensaver/calvorine";
    return Platform_Is_Executable(hack.c_str()) ? hack : std::string();
}

int Select_Calvorine_In_Xscreensaver(const std::string& program, std::string* hack, std::string* failure) {
    std::string saver = Installed_Hack_Program(program);
    if (saver.empty()) {
        // An installation by calvorine-setup registers its saver here.
        std::string text;
        const std::string ini = Windows_Directory() + "/system.ini";
        if (!Platform_Read_File(ini.c_str(), &text) || !Profile_Get_String(text, "boot", "SCRNSAVE.EXE", &saver)) {
            saver.clear();
        }
    }
    if (saver.empty()) {
        *failure = "no installed Calvorine found: install the package or run calvorine-setup first";
        return 0;
    }
    if (!Platform_Select_Xscreensaver_Hack(saver)) {
        *failure = "writing " + Platform_Xscreensaver_Settings_Path() + " FAILED";
        return 0;
    }
    *hack = saver;
    return 1;
}

Xscreensaver_Offer Offer_Xscreensaver_Listing(const std::string& folder, const std::string& program,
                                              std::string* message) {
    const std::string hack = Installed_Hack_Program(program);
    if (hack.empty()) return OFFER_NOTHING;
    const std::string marker = folder + "/xscreensaver_listed.txt";
    if (File_Exists(marker.c_str())) return OFFER_NOTHING;
    const std::string settings = Platform_Xscreensaver_Settings_Path();
    std::string text;
    // Without settings XScreenSaver has never run for this user: a later
    // configuration run looks again.
    if (!File_Exists(settings.c_str()) || !Platform_Read_File(settings.c_str(), &text)) return OFFER_NOTHING;
    Xscreensaver_Offer result = OFFER_NOTHING;
    if (!Xscreensaver_Lists_Hack(text, "Calvorine")) {
        std::string backup;
        if (!Platform_Select_Xscreensaver_Hack(hack, &backup)) {
            *message = "Offer_Xscreensaver_Listing(): writing " + settings + " FAILED";
            return OFFER_FAILED;
        }
        *message = "Calvorine is now XScreenSaver's display mode: it was added to the list in " + settings +
                   " (the old settings are kept in " + backup +
                   "). xscreensaver-settings chooses another one at any time.";
        result = OFFER_LISTED;
    }
    if (!Platform_Write_File_Atomically(marker.c_str(), "", nullptr) && result == OFFER_NOTHING) {
        *message = "Offer_Xscreensaver_Listing(): writing " + marker + " FAILED";
        return OFFER_FAILED;
    }
    return result;
}
