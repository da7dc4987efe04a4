// The installation, step by step in its fixed order. Every source path is
// relative to the package folder, which is the current directory. A failed
// step is reported, followed by the "Message" box, and ends the run with
// exit code 1; what was installed before it stays.
#include "setup/installer.h"

#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/package_files.h"
#include "platform/install_files.h"
#include "platform/window.h"
#include "shell/saver_entry.h"

bool install_cancelled = false;
std::string saver_build_output_path;

// The installed saver's link in the user's own programs folder, so that
// calvorine-saver can be typed.
static constexpr const char* SAVER_LINK = "/.local/bin/calvorine-saver";

intptr_t Consent_Dialog_Procedure(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
    switch (message) {
    case WM_INITDIALOG: return 1;
    case WM_COMMAND:
        if (wparam == CONSENT_ACCEPT) {
            Platform_End_Dialog(dialog, 0);
            return 1;
        }
        if (wparam == CONSENT_DECLINE) {
            install_cancelled = true;
            Platform_End_Dialog(dialog, 0);
            return 1;
        }
        return 0;
    default: return 0;
    }
}

// The failure of a step: its own text, then the general one; exit code 1.
static int Install_Failed(const std::string& text) {
    Report_Error(text.c_str());
    Report_Message("An error occurred attempting to install Calvorine");
    return INSTALL_FAILED;
}

// Shows one consent dialog; true when the user agreed.
static bool Consent_Given(const Dialog_Template& dialog_template) {
    intptr_t shown = Platform_Dialog_Box(dialog_template, nullptr, Consent_Dialog_Procedure, 0);
    // A termination signal is the user's no, without a report: the end is on its way.
    if (Platform_Termination_Requested()) {
        install_cancelled = true;
        return false;
    }
    if (shown == -1) {
        // A dialog that could not be shown is no consent.
        std::string text = std::string("DialogBoxParam ") + dialog_template.name + " FAILED";
        Report_Error(text.c_str());
        install_cancelled = true;
    }
    return !install_cancelled;
}

static bool Operating_System_Supported() {
    app.operating_system = OS_UNKNOWN;
    Determine_Operating_System();
    return app.operating_system == OS_WINDOWS_95 || app.operating_system == OS_WINDOWS_98 ||
           app.operating_system == OS_WINDOWS_2000;
}

static std::string Folder_Failed(const std::string& folder) { return "CreateDirectory " + folder + " FAILED"; }

int Install_Calvorine() {
    install_cancelled = false;

    // 1. The system.
    if (!Operating_System_Supported()) {
        Report_Error("Calvorine only runs on Windows 95, 98 and 2000");
        return INSTALL_DONE;
    }

    // 2. The user's consent, three times.
    if (!Consent_Given(REQUIREMENTSBOX)) return INSTALL_DONE;
    if (!Consent_Given(WARNINGBOX)) return INSTALL_DONE;
    if (!Consent_Given(DISCLAIMERBOX)) return INSTALL_DONE;

    // 3. The data folder. The Windows directory of a new account may not
    // exist yet; it is made as the system would always have had it.
    const std::string windows = Windows_Directory();
    Platform_Create_Directory_Path(windows.c_str());
    const std::string folder = windows + "/Calvorine";
    if (!Ensure_Install_Folder(folder)) return Install_Failed(Folder_Failed(folder));

    // 4. Where the saver goes.
    const std::string target = windows + "/Calvorine.scr";

    // 5. A freshly built saver replaces the package's copy first.
    if (!saver_build_output_path.empty() && File_Exists(saver_build_output_path.c_str()) &&
        !Platform_Copy_File(saver_build_output_path.c_str(), "Calvorine.dat", false)) {
        return Install_Failed("CopyFile to Calvorine.dat FAILED");
    }

    // 6. The saver itself (its name among the user's programs comes last).
    if (!Platform_Copy_File("Calvorine.dat", target.c_str(), false)) {
        return Install_Failed("CopyFile to " + target + " FAILED");
    }

    // 7. The introduction shows again and the default preset is rebuilt.
    for (const char* name : {"no_intro.txt", "default.dat"}) {
        const std::string path = folder + "/" + name;
        if (File_Exists(path.c_str())) Platform_Delete_File(Match_Path_Case(path).c_str());
    }

    // 8. to 13. The presets, the data folders, the help file, the pictures,
    // the slide objects and the overlays.
    std::string failure;
    if (!Copy_Package_Files("", folder, &failure)) return Install_Failed(failure);

    // 14. Registration: the system's saver, switched on. A registration
    // that did not happen is not a successful installation.
    const std::string short_path = Platform_Short_Path_Name(target.c_str());
    const std::string system_ini = windows + "/system.ini";
    if (!Platform_Write_Private_Profile_String("boot", "SCRNSAVE.EXE", short_path.c_str(), system_ini.c_str())) {
        return Install_Failed("WritePrivateProfileString SCRNSAVE.EXE to " + system_ini + " FAILED");
    }
    if (!Platform_Set_Screen_Saver_Active(true)) {
        return Install_Failed("SystemParametersInfo SPI_SETSCREENSAVEACTIVE FAILED");
    }

    // The name calvorine-saver points at the new copy only now that the
    // whole installation is in place: a failed one leaves it where it was.
    const std::string link = Platform_Home_Directory() + SAVER_LINK;
    if (!Platform_Link_File(target.c_str(), link.c_str())) {
        return Install_Failed("Link " + link + " to " + target + " FAILED");
    }

    // 15. Done.
    Platform_Dialog_Box(SUCCESSBOX, nullptr, Consent_Dialog_Procedure, 0);

    // 16. The saver's configuration, in a process of its own, unless the
    // installer was told to end meanwhile.
    if (Platform_Termination_Requested()) return INSTALL_DONE;
    if (!Platform_Shell_Execute("config", target.c_str())) {
        std::string text = "ShellExecute config " + target + " FAILED";
        Report_Error(text.c_str());
    }
    return INSTALL_DONE;
}
