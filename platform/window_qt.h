// The window layer's toolkit side, for the other parts of platform/ that
// build on the window (the menu bar, dialogs) and for tests. The program
// never includes this: it uses platform/window.h.
#pragma once

#include <QImage>

#include "platform/window.h"

#include <functional>
#include <string>

struct File_Dialog_Request;
class QDialog;
class QMainWindow;
class QPointF;
class QWidget;

// The top-level widget of the run's window (it owns the menu-bar slot), or null.
QMainWindow* Platform_Qt_Frame(Window* window);
// The widget of the client area, where the picture is shown, or null.
QWidget* Platform_Qt_Canvas(Window* window);
// Whether the X server shows the full-screen picture, scaled there (else it is scaled here).
bool Platform_Qt_Server_Scaled(Window* window);
// The pointer moved to `position` in one of the layer's windows (the
// canvas, a cover of another screen): the pointer's motion where the window
// system tells of no other (Wayland).
void Platform_Qt_Pointer_Moved(const QWidget* window, const QPointF& position);
// Gives the keyboard back to the window once a dialog or box over it closes.
void Platform_Qt_Return_Focus(Window* owner);

// Runs a modal dialog's loop and returns what exec() returns. A termination
// signal ends every running loop, innermost first: each in its own orderly
// way (`end_in_order`, e.g. the dialog's Cancel) and, if that leaves it
// open, by force with QDialog::Rejected. After the signal a new loop is not
// entered at all and answers Rejected. Every modal loop of the layer goes
// through here, so that the program's own end comes within the second.
int Platform_Qt_Run_Modal(QDialog* dialog, const std::function<void()>& end_in_order = {});

// The part `area` of a surface as a screen image (32-bit RGB), each depth
// converted to true colour: 8 bits through the surface's attached palette
// (else the device's mapping palette), 15/16 bits by the green mask, 24 bits
// B-G-R, 32 bits X-R-G-B. Pixels of `area` outside the surface are black; an
// unusable surface gives a black image.
QImage Platform_Surface_Image(const Surface* surface, const Rect& area);

// What the choice of the toolkit's platform goes by.
struct Toolkit_Platform_Facts {
    const char* requested = nullptr;  // $QT_QPA_PLATFORM: the user's own choice, null or empty for none
    bool wayland_reachable = false;   // a compositor answers at $WAYLAND_DISPLAY
    bool wayland_plugin = false;      // the toolkit's Wayland plugin is installed
    bool x_display = false;           // $DISPLAY names an X server
};
// The value for QT_QPA_PLATFORM: the user's choice unless it is a Wayland
// that cannot start, else Wayland with the X server as its fallback
// ("wayland;xcb"), Wayland alone, or X alone; empty when there is nothing to
// show a window on. Platform_Start_Window_Layer starts the toolkit with it.
std::string Platform_Choose_Toolkit_Platform(const Toolkit_Platform_Facts& facts);
// The same choice from this process's environment, the compositor's socket
// and the installed plugins (platform/toolkit_platform.cpp).
std::string Platform_Toolkit_Platform_For_This_Session();

// The real open and save dialogs (platform/file_dialog_qt.cpp), installed as
// the file dialogs' hook while the window layer runs.
bool Platform_Qt_File_Dialog(const File_Dialog_Request& request, std::string* chosen);
// Installs (or removes) the modal dialogs built from templates
// (platform/dialog_qt.cpp); the window layer's start and stop call it.
void Platform_Install_Qt_Dialogs(bool install);
// Installs (or removes) the help window (platform/help_qt.cpp).
void Platform_Install_Qt_Help(bool install);
