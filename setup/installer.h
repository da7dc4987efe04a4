// calvorine-setup: installs the saver from the unpacked package in the
// current folder into the Windows directory, registers it and opens its
// configuration.
//
// Everything it touches goes through the platform's dialogs, files and
// verbs, so the whole run can be played without a screen: tests answer the
// dialogs, choose the system's version and make file operations fail.
#pragma once

#include <cstdint>
#include <string>

#include "base/package_files.h"
#include "platform/dialog_box.h"

// Exit codes.
constexpr int INSTALL_DONE = 0;    // installed, cancelled, or an unsupported system
constexpr int INSTALL_FAILED = 1;  // an installation step failed

// The consent dialogs' buttons.
constexpr int CONSENT_ACCEPT = 1;   // the default button
constexpr int CONSENT_DECLINE = 2;  // the second button: cancels the installation

// Set by the second button of any consent dialog; cleared only at the start.
extern bool install_cancelled;

// Where the build puts the saver program; when a file is there, it is
// copied over the package's Calvorine.dat before installing. Empty: none.
extern std::string saver_build_output_path;

// The dialog templates: the three consent dialogs and the success box.
extern const Dialog_Template REQUIREMENTSBOX;
extern const Dialog_Template WARNINGBOX;
extern const Dialog_Template DISCLAIMERBOX;
extern const Dialog_Template SUCCESSBOX;

// The one procedure of every consent dialog: button 1 closes it, button 2
// sets install_cancelled and closes it, everything else is left alone.
intptr_t Consent_Dialog_Procedure(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// The whole installation in its fixed order; gives the exit code.
int Install_Calvorine();
