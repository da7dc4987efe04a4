// The window layer on Qt: the run's one window, its events as the program's
// window messages, the cursor, the message box and sound, the desktop facts,
// the pointer and the presentation of the primary surface.
//
// The window is a QMainWindow (it owns the menu-bar slot) whose central
// widget, the canvas, is the client area and shows the picture. Its record,
// the `Window` the program holds, is rewritten from the real geometry on
// every move, resize and state change, so presentation and the program's
// geometry questions always agree with the screen.
#include "platform/window_qt.h"
#include "platform/file_dialog.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/icons/icon_110.xpm"
#include "platform/library_lookup.h"
#include "platform/pixel_format.h"
#include "platform/present_scale.h"
#include "platform/row_bands.h"
#include "platform/screen_covers.h"
#include "platform/wayland_pointer.h"
#include "platform/x_present.h"

// A user's drag ends when no resize has come for this long: the window
// system has no "end of sizing" event of its own.
constexpr int EXIT_SIZE_MOVE_DELAY_MS = 250;
// How often a preview checks that the window it lives in still exists.
constexpr int PARENT_WATCH_INTERVAL_MS = 250;
// How often a hosted window looks at its host's size: a resize is followed
// within this time.
constexpr int HOST_WATCH_INTERVAL_MS = 100;
// The classic sizes of the frame pieces the window manager draws here.
constexpr int CLASSIC_FRAME = 4;
constexpr int CLASSIC_CAPTION = 19;
constexpr int CLASSIC_MENU = 19;
// The smallest window Windows allows when the program sets no minimum.
constexpr int DEFAULT_MIN_TRACK_WIDTH = 112;
constexpr int DEFAULT_MIN_TRACK_HEIGHT = 27;
constexpr double DEFAULT_REFRESH_RATE = 60.0;
// Refresh rates below this are not believed (some servers report 0 or 1).
constexpr double LOWEST_BELIEVED_REFRESH_RATE = 20.0;

// ---------------------------------------------------------------------------
// The few X requests Qt does not offer: the geometry and the life of another
// program's window (the preview's parent). libxcb is already in the process
// through Qt's X plugin; its functions are looked up there so that the layer
// needs no X library of its own at build time. The structures are the X
// protocol's replies as libxcb lays them out.

struct Xcb_Cookie {
    unsigned int sequence;
};
struct Xcb_Geometry_Reply {
    uint8_t response_type, depth;
    uint16_t sequence;
    uint32_t length;
    uint32_t root;
    int16_t x, y;
    uint16_t width, height, border_width;
    uint8_t pad[2];
};
struct Xcb_Translate_Reply {
    uint8_t response_type, same_screen;
    uint16_t sequence;
    uint32_t length;
    uint32_t child;
    int16_t dst_x, dst_y;
};
struct Xcb_Functions {
    Xcb_Cookie (*get_geometry)(xcb_connection_t*, uint32_t);
    Xcb_Geometry_Reply* (*get_geometry_reply)(xcb_connection_t*, Xcb_Cookie, void**);
    Xcb_Cookie (*translate_coordinates)(xcb_connection_t*, uint32_t, uint32_t, int16_t, int16_t);
    Xcb_Translate_Reply* (*translate_coordinates_reply)(xcb_connection_t*, Xcb_Cookie, void**);
};

static const Xcb_Functions* Xcb() {
    static Xcb_Functions functions;
    static int found = -1;
    if (found < 0) {
        void* library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
        found = library && Look_Up(library, "xcb_get_geometry", &functions.get_geometry) &&
                Look_Up(library, "xcb_get_geometry_reply", &functions.get_geometry_reply) &&
                Look_Up(library, "xcb_translate_coordinates", &functions.translate_coordinates) &&
                Look_Up(library, "xcb_translate_coordinates_reply", &functions.translate_coordinates_reply);
    }
    return found ? &functions : nullptr;
}

static xcb_connection_t* Xcb_Connection() {
    if (!qGuiApp) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool Platform_Get_Foreign_Client_Rect(uintptr_t window_id, Rect* client, Point* screen_origin) {
    const Xcb_Functions* xcb = Xcb();
    xcb_connection_t* connection = Xcb_Connection();
    if (!xcb || !connection || window_id == 0 || window_id > UINT32_MAX) return false;
    auto id = static_cast<uint32_t>(window_id);
    void* error = nullptr;
    Xcb_Geometry_Reply* geometry = xcb->get_geometry_reply(connection, xcb->get_geometry(connection, id), &error);
    std::free(error);
    if (!geometry) return false;
    error = nullptr;
    Xcb_Translate_Reply* origin = xcb->translate_coordinates_reply(
        connection, xcb->translate_coordinates(connection, id, geometry->root, 0, 0), &error);
    std::free(error);
    if (client) *client = Rect{0, 0, geometry->width, geometry->height};
    if (screen_origin) *screen_origin = origin ? Point{origin->dst_x, origin->dst_y} : Point{};
    bool known = origin != nullptr;
    std::free(geometry);
    std::free(origin);
    return known;
}

// ---------------------------------------------------------------------------
// The window.

namespace {

class Saver_Canvas;
class Saver_Frame;

struct Window_State {
    Window* record = nullptr;
    Saver_Frame* frame = nullptr;
    Saver_Canvas* canvas = nullptr;
    Window_Kind kind = WINDOW_OVERLAPPED;
    QWindow* foreign_parent = nullptr;  // a child's parent, another program's window
    uintptr_t parent_id = 0;
    Point parent_origin;                          // the parent's client origin on the screen
    bool parent_gone = false;                     // WM_DESTROY was posted for the parent's end
    int emulated_width = 0, emulated_height = 0;  // a pop-up's client area: the emulated screen
    QRect normal_geometry;                        // where an overlapped window returns from full screen
    QSize expected_size;                          // a frame size we asked for: not the user's drag
    Cursor_Shape cursor_shape = CURSOR_ARROW;
    QTimer* exit_size_move_timer = nullptr;
    QTimer* parent_watch_timer = nullptr;
    bool restyling = false;  // the frame is being rebuilt in another kind
};

Window_State state;
Window_Procedure window_procedure = nullptr;
std::string window_class_name;
int last_posted_activation = -1;  // the wparam of the last WM_ACTIVATEAPP, -1 before the first

bool Is_Main(Window* window) { return window && window == state.record && state.frame; }

QRect Screen_Geometry() {
    QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->geometry() : QRect(0, 0, 0, 0);
}

uintptr_t Size_Kind();
void Update_Record();

void Post(unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (state.record) Platform_Post_Message(state.record, message, wparam, lparam);
}

void Post_Size() {
    Update_Record();
    Post(WM_SIZE, Size_Kind(), MAKELPARAM(state.record->client_width, state.record->client_height));
}

unsigned Modifier_State(Qt::KeyboardModifiers modifiers) {
    unsigned state_bits = 0;
    if (modifiers & Qt::ShiftModifier) state_bits |= KEY_SHIFT;
    if (modifiers & Qt::ControlModifier) state_bits |= KEY_CONTROL;
    if (modifiers & Qt::AltModifier) state_bits |= KEY_ALT;
    if (modifiers & Qt::KeypadModifier) state_bits |= KEY_KEYPAD;
    return state_bits;
}

void Post_Key(QKeyEvent* event) {
    const unsigned modifiers = Modifier_State(event->modifiers());
    // X key codes are the PC scan codes moved up by 8.
    quint32 native = event->nativeScanCode();
    uintptr_t scan = native >= 8 ? (native - 8) & 0xFF : 0;
    // The digit row and the letters act by their place, whatever the layout
    // prints on them (on AZERTY the key that types "&" is still '1').
    unsigned key = (modifiers & KEY_KEYPAD) ? 0 : Platform_Key_At_Position(static_cast<unsigned>(scan));
    if (key == 0) key = Platform_Translate_Key(event->key(), modifiers);
    constexpr intptr_t REPEAT_COUNT_ONE = 1;
    constexpr intptr_t PREVIOUSLY_DOWN = intptr_t(1) << 30;
    intptr_t lparam =
        REPEAT_COUNT_ONE | static_cast<intptr_t>(scan << 16) | (event->isAutoRepeat() ? PREVIOUSLY_DOWN : 0);
    Post(WM_KEYDOWN, key, lparam);
}

class Saver_Canvas : public QWidget {
public:
    explicit Saver_Canvas(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

    QImage picture;       // the last presented picture
    bool scaled = false;  // full screen: already scaled to the whole canvas
    QSize scaled_from;    // the mode the scaled picture shows
    // Full screen on X: the server scales the picture into a window of its
    // own over the canvas.
    X_Presenter presenter;
    bool server_scaling_refused = false;  // tried once and the server could not

protected:
    void paintEvent(QPaintEvent*) override {
        // Under the server's window (shown, or to be shown with the first
        // frame of a full-screen run on X) the canvas paints nothing: a
        // window-sized backing store that is never drawn into never takes
        // up memory.
        if (presenter.Is_Shown() || (state.kind == WINDOW_POPUP && !server_scaling_refused && Xcb_Connection())) {
            return;
        }
        QPainter painter(this);
        if (picture.isNull()) {
            painter.fillRect(rect(), Qt::black);
            return;
        }
        if (scaled) {
            // Scaled at presentation; a picture of another size (the canvas is
            // being resized) is stretched until the next frame.
            if (picture.size() == size()) {
                painter.drawImage(0, 0, picture);
            } else {
                painter.drawImage(rect(), picture);
            }
            return;
        }
        painter.drawImage(0, 0, picture);
        // The class background is black: whatever the picture does not cover.
        if (picture.width() < width())
            painter.fillRect(picture.width(), 0, width() - picture.width(), height(), Qt::black);
        if (picture.height() < height())
            painter.fillRect(0, picture.height(), picture.width(), height() - picture.height(), Qt::black);
    }

    void resizeEvent(QResizeEvent*) override;

    void keyPressEvent(QKeyEvent* event) override {
        Post_Key(event);
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent* event) override { Platform_Qt_Pointer_Moved(this, event->position()); }

    void mousePressEvent(QMouseEvent* event) override {
        unsigned message = 0;
        switch (event->button()) {
        case Qt::LeftButton: message = WM_LBUTTONDOWN; break;
        case Qt::RightButton: message = WM_RBUTTONDOWN; break;
        case Qt::MiddleButton: message = WM_MBUTTONDOWN; break;
        default: return;
        }
        uintptr_t flags = 0;
        if (event->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
        if (event->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
        if (event->buttons() & Qt::MiddleButton) flags |= MK_MBUTTON;
        if (event->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
        if (event->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
        // In client coordinates: a pop-up's client area is the emulated screen.
        QPoint at = event->position().toPoint();
        if (state.kind == WINDOW_POPUP && width() > 0 && height() > 0) {
            at = QPoint(at.x() * state.emulated_width / width(), at.y() * state.emulated_height / height());
        }
        Post(message, flags, MAKELPARAM(at.x(), at.y()));
        event->accept();
    }
};

class Saver_Frame : public QMainWindow {
public:
protected:
    void closeEvent(QCloseEvent* event) override {
        // The program decides: the window stays until its destroy handler runs.
        event->ignore();
        Post(WM_CLOSE, 0, 0);
    }

    void keyPressEvent(QKeyEvent* event) override {
        Post_Key(event);
        event->accept();
    }

    void moveEvent(QMoveEvent*) override { Update_Record(); }
    void showEvent(QShowEvent*) override { Update_Record(); }
    void hideEvent(QHideEvent*) override { Update_Record(); }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange && state.record) {
            // Minimising changes no size on X, yet the program must hear of it.
            Post_Size();
        } else if (event->type() == QEvent::ActivationChange && state.record && !isActiveWindow() &&
                   !QApplication::activeModalWidget() && !state.restyling &&
                   !Is_Screen_Cover(QApplication::activeWindow())) {
            // The program's own dialogs and boxes stand over the window, and
            // its covers of the other screens beside it: the focus has only
            // gone to another window when none of ours has it.
            Post(WM_KILLFOCUS, 0, 0);
        }
        QMainWindow::changeEvent(event);
    }
};

void Saver_Canvas::resizeEvent(QResizeEvent*) {
    if (!state.record || state.canvas != this) return;
    Post_Size();
    if (state.kind != WINDOW_OVERLAPPED) return;
    if (state.frame->size() == state.expected_size) {
        state.expected_size = QSize();
        return;
    }
    state.exit_size_move_timer->start();
}

uintptr_t Size_Kind() {
    if (state.frame->isMinimized()) return SIZE_MINIMIZED;
    if (state.frame->isMaximized() || state.frame->isFullScreen()) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

void Update_Record() {
    Window* record = state.record;
    if (!record || !state.frame || !state.canvas) return;
    record->visible = state.frame->isVisible();
    record->iconic = state.frame->isMinimized();
    if (state.kind == WINDOW_POPUP) {
        record->screen_x = record->screen_y = 0;
        record->client_width = state.emulated_width;
        record->client_height = state.emulated_height;
    } else if (state.kind == WINDOW_CHILD || state.kind == WINDOW_HOSTED) {
        // Qt does not know where another program's window is: the parent's
        // origin comes from the X server, the child's offset from Qt.
        QPoint offset = state.frame->pos() + state.canvas->pos();
        record->screen_x = state.parent_origin.x + offset.x();
        record->screen_y = state.parent_origin.y + offset.y();
        record->client_width = state.canvas->width();
        record->client_height = state.canvas->height();
    } else {
        QPoint origin = state.canvas->mapToGlobal(QPoint(0, 0));
        record->screen_x = origin.x();
        record->screen_y = origin.y();
        record->client_width = state.canvas->width();
        record->client_height = state.canvas->height();
    }
    // A minimised window has no client area, as the program has always seen it.
    if (record->iconic) record->client_width = record->client_height = 0;
}

// Lays out the frame now, so that the canvas has its size before the window is shown.
void Settle_Layout() {
    if (state.frame->layout()) state.frame->layout()->activate();
    Update_Record();
}

void Apply_Min_Max_Info() {
    if (state.kind != WINDOW_OVERLAPPED) {
        state.frame->setMinimumSize(0, 0);
        return;
    }
    QRect screen = Screen_Geometry();
    MINMAXINFO info{};
    info.max_size = Point{screen.width(), screen.height()};
    info.max_track_size = info.max_size;
    info.min_track_size = Point{DEFAULT_MIN_TRACK_WIDTH, DEFAULT_MIN_TRACK_HEIGHT};
    Platform_Send_Message(state.record, WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
    // The frame and caption belong to the window manager: Qt's size starts inside them.
    int width = info.min_track_size.x - 2 * Platform_System_Metric(SM_CXFRAME);
    int height = info.min_track_size.y - 2 * Platform_System_Metric(SM_CYFRAME) - Platform_System_Metric(SM_CYCAPTION);
    state.frame->setMinimumSize(std::max(width, 0), std::max(height, 0));
}

void Apply_Kind_Flags(Window_Kind kind) {
    Qt::WindowFlags flags = Qt::Window;
    if (kind == WINDOW_OVERLAPPED) {
        flags |=
            Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    } else if (kind == WINDOW_POPUP) {
        flags |= Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    } else if (kind == WINDOW_HOSTED) {
        // The root window's children would otherwise be framed by the window manager.
        flags |= Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    state.frame->setWindowFlags(flags);
    if (QWidget* menu = state.frame->menuWidget()) menu->setVisible(kind == WINDOW_OVERLAPPED);
}

// The picture on every other screen too while the saver's window covers the
// primary one (platform/screen_covers.h): the desktop shows nowhere.
void Update_Other_Screens() {
    const bool covering =
        state.frame && state.kind == WINDOW_POPUP && state.frame->isVisible() && !state.frame->isMinimized();
    if (!covering || !qGuiApp) {
        Close_Screen_Covers();
        return;
    }
    if (Screen_Covers_Open()) return;
    Open_Screen_Covers(state.canvas);
    // The covers take no focus, but a compositor may hand them the keyboard
    // as they appear: it belongs to the saver's window.
    state.frame->activateWindow();
}

void Cover_Screen() {
    state.expected_size = Screen_Geometry().size();
    state.frame->setGeometry(Screen_Geometry());
}

void Watch_Parent() {
    if ((state.kind != WINDOW_CHILD && state.kind != WINDOW_HOSTED) || state.parent_gone) return;
    Rect client;
    Point origin;
    if (!Platform_Get_Foreign_Client_Rect(state.parent_id, &client, &origin)) {
        // The window we lived in is gone, and with it ours.
        state.parent_gone = true;
        state.parent_watch_timer->stop();
        Post(WM_DESTROY, 0, 0);
        return;
    }
    state.parent_origin = origin;
    // A hosted window always covers its host: the resize posts WM_SIZE.
    QSize host(client.right - client.left, client.bottom - client.top);
    if (state.kind == WINDOW_HOSTED && !host.isEmpty() && state.frame->size() != host) {
        state.frame->setGeometry(0, 0, host.width(), host.height());
    }
    Update_Record();
}

void Application_State_Changed(Qt::ApplicationState application_state) {
    if (!state.record) return;
    int active = application_state == Qt::ApplicationActive ? 1 : 0;
    if (active == last_posted_activation) return;
    last_posted_activation = active;
    Post(WM_ACTIVATEAPP, static_cast<uintptr_t>(active), 0);
}

}  // namespace

QMainWindow* Platform_Qt_Frame(Window* window) { return Is_Main(window) ? state.frame : nullptr; }
QWidget* Platform_Qt_Canvas(Window* window) { return Is_Main(window) ? state.canvas : nullptr; }

bool Platform_Qt_Server_Scaled(Window* window) { return Is_Main(window) && state.canvas->presenter.Is_Shown(); }

void Platform_Qt_Return_Focus(Window* owner) {
    if (!Is_Main(owner) || !state.frame->isVisible()) return;
    // Without a window manager nobody hands the keyboard back when a box closes.
    state.frame->activateWindow();
    state.canvas->setFocus();
}

// ---------------------------------------------------------------------------
// Termination signals
//
// SIGTERM, SIGINT and SIGHUP end the program the way its own ways to end do:
// the destroy message, whose handler shuts everything down in order (and in
// the configuration run saves the default preset). The handler only writes a
// byte into a pipe; the toolkit's loop reads it and posts the message. A
// second signal while that runs ends the process at once, as usual.

static int termination_pipe[2] = {-1, -1};
// A signal came before the window existed: the window gets the message as it appears.
static bool termination_pending = false;

static void On_Termination_Signal(int signal_number) {
    const char byte = static_cast<char>(signal_number);
    [[maybe_unused]] const ssize_t written = write(termination_pipe[1], &byte, 1);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(signal_number, &plain, nullptr);
}

// Set once the first signal has been read: from then on no modal loop waits.
static bool termination_requested = false;

// The modal loops running now, outermost first.
struct Modal_Loop {
    QPointer<QDialog> dialog;
    const std::function<void()>* end_in_order;
};
static std::vector<Modal_Loop> modal_loops;

// Ends every running modal loop, innermost first. A loop's orderly end may
// open a box of its own: that box is not entered (the request is known), so
// the list only ever shrinks back to where it was while this runs.
static void End_Modal_Loops() {
    for (size_t i = modal_loops.size(); i-- > 0;) {
        if (i >= modal_loops.size()) continue;
        QPointer<QDialog> dialog = modal_loops[i].dialog;
        if (!dialog) continue;
        if (modal_loops[i].end_in_order && *modal_loops[i].end_in_order) (*modal_loops[i].end_in_order)();
        if (dialog && dialog->isVisible()) dialog->done(QDialog::Rejected);
    }
    // Boxes the toolkit opens on its own inside those loops (the file
    // dialog's "replace it?") go the same way.
    constexpr int MOST_FOREIGN_BOXES = 16;
    for (int i = 0; i < MOST_FOREIGN_BOXES; i++) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) break;
        if (auto* box = qobject_cast<QDialog*>(modal)) {
            box->done(QDialog::Rejected);
        } else {
            modal->hide();
        }
        if (QApplication::activeModalWidget() == modal) break;
    }
}

static void Termination_Requested() {
    char bytes[16];
    while (read(termination_pipe[0], bytes, sizeof bytes) > 0) {}
    termination_requested = true;
    if (state.record) {
        Post(WM_DESTROY, 0, 0);
    } else {
        termination_pending = true;
    }
    End_Modal_Loops();
}

bool Platform_Termination_Requested() { return termination_requested; }

int Platform_Qt_Run_Modal(QDialog* dialog, const std::function<void()>& end_in_order) {
    if (!dialog || termination_requested) return QDialog::Rejected;
    modal_loops.push_back(Modal_Loop{dialog, &end_in_order});
    const int answer = dialog->exec();
    modal_loops.pop_back();
    return answer;
}

// A signal the starter chose to ignore (nohup, a background job) stays
// ignored unless even_ignored asks for it too.
static bool Install_Termination_Signals(bool even_ignored) {
    if (termination_pipe[0] < 0) {
        if (pipe2(termination_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            termination_pipe[0] = termination_pipe[1] = -1;
            return false;
        }
        auto* notifier = new QSocketNotifier(termination_pipe[0], QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, Termination_Requested);
    }
    struct sigaction action {};
    action.sa_handler = On_Termination_Signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool installed = true;
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction present {};
        if (sigaction(signal_number, nullptr, &present) != 0) installed = false;
        if (present.sa_handler == SIG_IGN && !even_ignored) continue;
        if (present.sa_handler == On_Termination_Signal) continue;
        if (sigaction(signal_number, &action, nullptr) != 0) installed = false;
    }
    return installed;
}

bool Platform_End_On_Ignored_Signals() { return QCoreApplication::instance() && Install_Termination_Signals(true); }

// ---------------------------------------------------------------------------

Window* Platform_Create_Window(Window_Kind kind, const char* caption, int x, int y, int width, int height,
                               uintptr_t parent_id) {
    if (state.record || !qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    if (kind != WINDOW_OVERLAPPED && kind != WINDOW_POPUP && kind != WINDOW_CHILD && kind != WINDOW_HOSTED) {
        return nullptr;
    }
    if (width < 0 || height < 0) return nullptr;
    const bool foreign_parent = kind == WINDOW_CHILD || kind == WINDOW_HOSTED;
    QWindow* foreign = nullptr;
    Point parent_origin;
    if (foreign_parent) {
        if (!Platform_Get_Foreign_Client_Rect(parent_id, nullptr, &parent_origin)) return nullptr;
        foreign = QWindow::fromWinId(static_cast<WId>(parent_id));
        if (!foreign) return nullptr;
    }

    state = Window_State{};
    state.record = new Window{};
    state.kind = kind;
    state.frame = new Saver_Frame;
    state.canvas = new Saver_Canvas(state.frame);
    state.frame->setCentralWidget(state.canvas);
    state.frame->setWindowTitle(QString::fromLatin1(caption ? caption : ""));
    state.exit_size_move_timer = new QTimer(state.frame);
    state.exit_size_move_timer->setSingleShot(true);
    state.exit_size_move_timer->setInterval(EXIT_SIZE_MOVE_DELAY_MS);
    QObject::connect(state.exit_size_move_timer, &QTimer::timeout, [] { Post(WM_EXITSIZEMOVE, 0, 0); });
    last_posted_activation = -1;
    Apply_Kind_Flags(kind);

    if (foreign_parent) {
        state.foreign_parent = foreign;
        state.parent_id = parent_id;
        state.parent_origin = parent_origin;
        if (kind == WINDOW_HOSTED) {
            // The host reads the keyboard and the mouse: nothing here asks for them.
            state.canvas->setFocusPolicy(Qt::NoFocus);
            state.canvas->setAttribute(Qt::WA_TransparentForMouseEvents);
            state.frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        state.frame->winId();
        state.frame->windowHandle()->setParent(foreign);
        state.frame->setGeometry(x, y, width, height);
        state.parent_watch_timer = new QTimer(state.frame);
        state.parent_watch_timer->setInterval(kind == WINDOW_HOSTED ? HOST_WATCH_INTERVAL_MS
                                                                    : PARENT_WATCH_INTERVAL_MS);
        QObject::connect(state.parent_watch_timer, &QTimer::timeout, Watch_Parent);
        state.parent_watch_timer->start();
    } else if (kind == WINDOW_POPUP) {
        state.emulated_width = width;
        state.emulated_height = height;
        state.normal_geometry = QRect(x, y, width, height);
        Cover_Screen();
    } else {
        state.expected_size = QSize(width, height);
        state.frame->setGeometry(x, y, width, height);
        state.normal_geometry = state.frame->geometry();
    }
    Settle_Layout();
    Apply_Min_Max_Info();
    Platform_Sync_Cursor();
    if (termination_pending) {
        termination_pending = false;
        Post(WM_DESTROY, 0, 0);
    }
    return state.record;
}

void Platform_Destroy_Window(Window* window) {
    if (!Is_Main(window)) return;
    // Forget the window before taking it down, so that no event of its end
    // reaches a half-destroyed record.
    Window_State ending = state;
    state = Window_State{};
    Update_Other_Screens();
    // Ours first: the foreign parent's wrapper would take our native window with it.
    delete ending.frame;
    delete ending.foreign_parent;
    delete ending.record;
}

Window* Platform_Main_Window() { return state.record; }

Window_Kind Platform_Window_Kind(Window* window) { return Is_Main(window) ? state.kind : WINDOW_OVERLAPPED; }

bool Platform_Set_Window_Kind(Window* window, Window_Kind kind) {
    if (!Is_Main(window) || state.kind == WINDOW_CHILD || state.kind == WINDOW_HOSTED) return false;
    if (kind != WINDOW_OVERLAPPED && kind != WINDOW_POPUP) return false;
    bool was_visible = state.frame->isVisible();
    if (state.kind == WINDOW_OVERLAPPED && kind == WINDOW_POPUP) {
        state.normal_geometry = state.frame->isMaximized() ? state.frame->normalGeometry() : state.frame->geometry();
        state.emulated_width = state.record->client_width;
        state.emulated_height = state.record->client_height;
    }
    state.kind = kind;
    // Rebuilding the frame takes its focus away for a moment: that is no
    // focus lost to another window.
    state.restyling = true;
    // The frame's windows are made anew: the server's resources on them go first.
    state.canvas->presenter.Close();
    Apply_Kind_Flags(kind);
    if (kind == WINDOW_POPUP) {
        Cover_Screen();
    } else {
        state.frame->setWindowState(Qt::WindowNoState);
        state.expected_size = state.normal_geometry.size();
        state.frame->setGeometry(state.normal_geometry);
    }
    Settle_Layout();
    Apply_Min_Max_Info();
    if (was_visible) Platform_Show_Window(window, SW_SHOW);
    Update_Other_Screens();
    state.restyling = false;
    return true;
}

bool Platform_Show_Window(Window* window, int show_command) {
    if (!Is_Main(window)) return false;
    bool was_visible = state.frame->isVisible();
    Saver_Frame* frame = state.frame;
    bool popup = state.kind == WINDOW_POPUP;
    switch (show_command) {
    case SW_HIDE: frame->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE: frame->showMinimized(); break;
    case SW_SHOWMAXIMIZED: popup ? frame->showFullScreen() : frame->showMaximized(); break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: popup ? frame->showFullScreen() : frame->showNormal(); break;
    default:
        if (popup) {
            frame->showFullScreen();
        } else {
            frame->show();
        }
        break;
    }
    if (show_command != SW_HIDE && show_command != SW_SHOWMINIMIZED && show_command != SW_MINIMIZE) {
        Apply_Min_Max_Info();
        if (state.kind != WINDOW_CHILD && state.kind != WINDOW_HOSTED) Platform_Set_Foreground_Window(window);
        // An application that was active already gets no change signal: the new window must still hear it.
        if (QGuiApplication::applicationState() == Qt::ApplicationActive)
            Application_State_Changed(Qt::ApplicationActive);
    }
    Update_Record();
    Update_Other_Screens();
    Platform_Sync_Cursor();
    return was_visible;
}

bool Platform_Set_Window_Caption(Window* window, const char* caption) {
    if (!Is_Main(window)) return false;
    state.frame->setWindowTitle(QString::fromLatin1(caption ? caption : ""));
    return true;
}

bool Platform_Place_Window(Window* window, int x, int y, int width, int height) {
    if (!Is_Main(window) || width < 0 || height < 0) return false;
    if (state.kind == WINDOW_POPUP) {
        // Still over the whole real screen; only the emulated screen changes.
        bool changed = width != state.emulated_width || height != state.emulated_height;
        state.emulated_width = width;
        state.emulated_height = height;
        Update_Record();
        if (changed) Post_Size();
        return true;
    }
    if (state.frame->isMaximized() || state.frame->isFullScreen()) state.frame->setWindowState(Qt::WindowNoState);
    state.expected_size = QSize(width, height);
    state.frame->setGeometry(x, y, width, height);
    if (state.kind == WINDOW_OVERLAPPED) state.normal_geometry = state.frame->geometry();
    Settle_Layout();
    return true;
}

bool Platform_Set_Client_Size(Window* window, int width, int height) {
    if (!Is_Main(window) || width < 0 || height < 0) return false;
    if (state.kind == WINDOW_POPUP) return Platform_Place_Window(window, 0, 0, width, height);
    QSize around = state.frame->size() - state.canvas->size();
    QRect geometry = state.frame->geometry();
    return Platform_Place_Window(window, geometry.x(), geometry.y(), width + around.width(), height + around.height());
}

bool Platform_Get_Window_Rect(Window* window, Rect* rect) {
    if (!Is_Main(window) || !rect) return false;
    if (state.kind == WINDOW_POPUP) {
        *rect = Rect{0, 0, state.emulated_width, state.emulated_height};
        return true;
    }
    QRect geometry = state.frame->geometry();
    if (state.kind == WINDOW_CHILD || state.kind == WINDOW_HOSTED) {
        geometry.translate(state.parent_origin.x, state.parent_origin.y);
    }
    *rect =
        Rect{geometry.left(), geometry.top(), geometry.left() + geometry.width(), geometry.top() + geometry.height()};
    return true;
}

bool Platform_Is_Window_Maximised(Window* window) { return Is_Main(window) && state.frame->isMaximized(); }

bool Platform_Centre_Window(Window* window) {
    if (!Is_Main(window) || state.kind != WINDOW_OVERLAPPED) return false;
    // A maximised window is centred at the size it returns to.
    QSize size = state.frame->isMaximized() ? state.frame->normalGeometry().size() : state.frame->size();
    QRect screen = Screen_Geometry();
    return Platform_Place_Window(window, screen.x() + (screen.width() - size.width()) / 2,
                                 screen.y() + (screen.height() - size.height()) / 2, size.width(), size.height());
}

bool Platform_Set_Foreground_Window(Window* window) {
    if (!Is_Main(window)) return false;
    state.frame->raise();
    state.frame->activateWindow();
    state.canvas->setFocus(Qt::ActiveWindowFocusReason);
    return true;
}

void Platform_Update_Window_Record(Window* window) {
    if (Is_Main(window)) Update_Record();
}

bool Platform_Get_Foreground_Window(Foreground_Window* window) {
    if (!window || !qApp) return false;
    QWidget* active = QApplication::activeWindow();
    if (active) {
        window->own = true;
        window->popup = active == state.frame && state.kind == WINDOW_POPUP;
        window->visible = active->isVisible();
        window->width = active->width();
        window->height = active->height();
        return true;
    }
    *window = Foreground_Window{};
    window->visible = true;
    return true;
}

// ---------------------------------------------------------------------------
// Keys.

unsigned Platform_Key_At_Position(unsigned scan_code) {
    // The rows of a PC keyboard by scan code, as a US layout labels them.
    static const char digit_row[] = "1234567890";  // scan codes 0x02 .. 0x0B
    static const char top_row[] = "QWERTYUIOP";    // 0x10 .. 0x19
    static const char home_row[] = "ASDFGHJKL";    // 0x1E .. 0x26
    static const char bottom_row[] = "ZXCVBNM";    // 0x2C .. 0x32
    struct Row {
        unsigned first;
        const char* keys;
        unsigned count;
    };
    static const Row rows[] = {{0x02, digit_row, 10}, {0x10, top_row, 10}, {0x1E, home_row, 9}, {0x2C, bottom_row, 7}};
    for (const Row& row : rows) {
        if (scan_code >= row.first && scan_code < row.first + row.count) {
            return static_cast<unsigned char>(row.keys[scan_code - row.first]);
        }
    }
    return 0;
}

unsigned Platform_Translate_Key(int toolkit_key, unsigned modifiers) {
    const bool keypad = modifiers & KEY_KEYPAD;
    if (toolkit_key >= Qt::Key_A && toolkit_key <= Qt::Key_Z) return static_cast<unsigned>(toolkit_key);
    if (toolkit_key >= Qt::Key_0 && toolkit_key <= Qt::Key_9) {
        return keypad ? VK_NUMPAD0 + static_cast<unsigned>(toolkit_key - Qt::Key_0)
                      : static_cast<unsigned>(toolkit_key);
    }
    if (toolkit_key >= Qt::Key_F1 && toolkit_key <= Qt::Key_F24) {
        return VK_F1 + static_cast<unsigned>(toolkit_key - Qt::Key_F1);
    }
    switch (toolkit_key) {
    // Shifted digits reach us as their symbols (a US layout); the key is still the digit.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print:
    case Qt::Key_SysReq: return VK_SNAPSHOT;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return VK_UNMAPPED;
    }
}

// ---------------------------------------------------------------------------
// The message loop.

bool Platform_Register_Window_Class(const char* class_name, Window_Procedure procedure) {
    if (!class_name || !*class_name || !procedure) return false;
    window_class_name = class_name;
    window_procedure = procedure;
    return true;
}

void Platform_Pump_Events() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    Platform_Sync_Cursor();
}

bool Platform_Wait_Message() {
    if (!QCoreApplication::instance()) return false;
    for (;;) {
        Platform_Pump_Events();
        if (Platform_Peek_Message(nullptr, false)) return true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

intptr_t Platform_Dispatch_Message(const Posted_Message& message) {
    if (!message.window) return 0;
    return Platform_Send_Message(message.window, message.message, message.wparam, message.lparam);
}

intptr_t Platform_Send_Message(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam) {
    intptr_t answer = window_procedure ? window_procedure(window, message, wparam, lparam)
                                       : Platform_Default_Window_Procedure(window, message, wparam, lparam);
    Platform_Sync_Cursor();
    return answer;
}

intptr_t Platform_Default_Window_Procedure(Window*, unsigned, uintptr_t, intptr_t) {
    // Closing, activation and sizing are done by the window system itself;
    // nothing the program leaves alone needs an answer here.
    return 0;
}

void Platform_Post_Quit_Message(int exit_code) {
    Platform_Post_Message(nullptr, WM_QUIT, static_cast<uintptr_t>(exit_code), 0);
}

// ---------------------------------------------------------------------------
// Cursor.

void Platform_Set_Cursor_Shape(Window* window, Cursor_Shape shape) {
    if (!Is_Main(window)) return;
    state.cursor_shape = shape;
    Platform_Sync_Cursor();
}

void Platform_Sync_Cursor() {
    if (!state.canvas) return;
    bool shown = platform_cursor_count >= 0 && state.cursor_shape != CURSOR_NONE;
    Qt::CursorShape wanted = shown ? Qt::ArrowCursor : Qt::BlankCursor;
    if (state.canvas->cursor().shape() != wanted) state.canvas->setCursor(wanted);
}

bool Platform_Cursor_Visible() { return state.canvas && state.canvas->cursor().shape() != Qt::BlankCursor; }

// ---------------------------------------------------------------------------
// Screen and input.

bool Platform_Desktop_Metrics(int* width, int* height, int* bits_per_pixel) {
    QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
    if (!screen) return false;
    int depth = screen->depth();
    // X keeps 24-bit colour in 32-bit pixels; Windows reports 15-bit modes as 16.
    int reported = depth > 16 ? 32 : depth == 15 ? 16 : depth;
    if (width) *width = screen->geometry().width();
    if (height) *height = screen->geometry().height();
    if (bits_per_pixel) *bits_per_pixel = reported;
    return true;
}

int Platform_System_Metric(int index) {
    int width = 0, height = 0;
    switch (index) {
    case SM_CXSCREEN: Platform_Desktop_Metrics(&width, nullptr, nullptr); return width;
    case SM_CYSCREEN: Platform_Desktop_Metrics(nullptr, &height, nullptr); return height;
    case SM_CYCAPTION: return CLASSIC_CAPTION;
    case SM_CYMENU:
        if (state.frame && state.frame->menuWidget()) return state.frame->menuWidget()->sizeHint().height();
        return CLASSIC_MENU;
    case SM_CXFRAME:
    case SM_CYFRAME: return CLASSIC_FRAME;
    default: return 0;
    }
}

static QPoint last_pointer;
static bool pointer_known = false;

// ---------------------------------------------------------------------------
// Relative pointer motion: XInput 2 raw motion.
//
// The pointer's position stops at the screen's edges and is shared by every
// program; the raw motion events of the X server carry what the device
// itself moved, also into an edge. They are asked for on the root windows
// through libXi (looked up at run time, like libxcb above) and read from the
// toolkit's event stream, so reading the delta in a frame asks the server
// nothing. Without them (no X11, no extension) the position is used.

// XInput 2: the raw motion event type and the all-master-devices selector.
constexpr int XI_RAW_MOTION = 17;
constexpr int XI_ALL_MASTER_DEVICES = 1;
// X's generic event code, carrying the extensions' events.
constexpr uint8_t X_GENERIC_EVENT = 35;
// Bytes of libxcb's raw event before its valuator mask (full_sequence included).
constexpr size_t RAW_EVENT_HEADER = 36;

struct XI_Event_Mask {
    int deviceid;
    int mask_len;
    unsigned char* mask;
};

static int raw_motion_opcode = -1;  // the extension's major opcode once raw motion is selected
static double raw_dx = 0.0, raw_dy = 0.0;

// One FP3232 value of the event (integral part, then 1/2^32 parts).
static double Fixed_3232(const uint8_t* at) {
    int32_t integral;
    uint32_t fraction;
    std::memcpy(&integral, at, 4);
    std::memcpy(&fraction, at + 4, 4);
    return integral + fraction / 4294967296.0;
}

// Adds a raw motion event's unaccelerated x and y (valuators 0 and 1) to the delta.
static void Take_Raw_Motion(const uint8_t* event) {
    uint16_t mask_words;
    std::memcpy(&mask_words, event + 22, 2);
    const uint8_t* mask = event + RAW_EVENT_HEADER;
    const size_t mask_bits = static_cast<size_t>(mask_words) * 32;
    int values = 0;
    for (size_t bit = 0; bit < mask_bits; ++bit) values += (mask[bit / 8] >> (bit % 8)) & 1;
    // The accelerated values come first, then as many raw ones.
    const uint8_t* raw = mask + static_cast<size_t>(mask_words) * 4 + static_cast<size_t>(values) * 8;
    int index = 0;
    for (size_t bit = 0; bit < mask_bits && bit < 2; ++bit) {
        if (!((mask[bit / 8] >> (bit % 8)) & 1)) continue;
        const double value = Fixed_3232(raw + static_cast<size_t>(index) * 8);
        (bit == 0 ? raw_dx : raw_dy) += value;
        ++index;
    }
}

class Raw_Motion_Filter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (raw_motion_opcode < 0 || type != "xcb_generic_event_t" || !message) return false;
        const auto* event = static_cast<const uint8_t*>(message);
        uint16_t event_type;
        std::memcpy(&event_type, event + 8, 2);
        if ((event[0] & 0x7F) == X_GENERIC_EVENT && event[1] == raw_motion_opcode && event_type == XI_RAW_MOTION)
            Take_Raw_Motion(event);
        return false;
    }
};

// Asks the X server for raw motion on every root window; true when it comes.
static bool Select_Raw_Motion() {
    if (raw_motion_opcode >= 0) return true;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return false;
    void* x_library = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    void* xi_library = dlopen("libXi.so.6", RTLD_NOW);
    int (*query_extension)(Display*, const char*, int*, int*, int*) = nullptr;
    int (*flush)(Display*) = nullptr;
    int (*screen_count)(Display*) = nullptr;
    unsigned long (*root_window)(Display*, int) = nullptr;
    int (*select_events)(Display*, unsigned long, XI_Event_Mask*, int) = nullptr;
    if (!x_library || !xi_library || !Look_Up(x_library, "XQueryExtension", &query_extension) ||
        !Look_Up(x_library, "XFlush", &flush) || !Look_Up(x_library, "XScreenCount", &screen_count) ||
        !Look_Up(x_library, "XRootWindow", &root_window) || !Look_Up(xi_library, "XISelectEvents", &select_events)) {
        return false;
    }
    int opcode = 0, first_event = 0, first_error = 0;
    if (!query_extension(display, "XInputExtension", &opcode, &first_event, &first_error)) return false;
    unsigned char bits[(XI_RAW_MOTION >> 3) + 1] = {};
    bits[XI_RAW_MOTION >> 3] |= static_cast<unsigned char>(1 << (XI_RAW_MOTION & 7));
    XI_Event_Mask mask{XI_ALL_MASTER_DEVICES, static_cast<int>(sizeof bits), bits};
    // The server sends raw motion to the root window of the screen the
    // pointer is on: the saver covers every screen, so it asks on each.
    const int screens = screen_count(display);
    for (int screen = 0; screen < screens; ++screen) {
        if (select_events(display, root_window(display, screen), &mask, 1) != 0) return false;
    }
    flush(display);
    static Raw_Motion_Filter filter;
    qGuiApp->installNativeEventFilter(&filter);
    raw_motion_opcode = opcode;
    return true;
}

// A Wayland compositor tells a client nothing of the pointer away from its
// windows, nor where they are: there the motion is the compositor's relative
// pointer where it offers one (platform/wayland_pointer.h), else what the
// pointer moved over the layer's windows (the saver's cover every screen).
static bool Motion_From_Windows() {
    return raw_motion_opcode < 0 && qGuiApp && QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}
static const QWidget* moved_in = nullptr;  // the window of the last move, and where in it
static QPointF moved_at;

// The compositor's relative pointer delivers the motion.
static bool relative_pointer_moving = false;

void Platform_Qt_Pointer_Moved(const QWidget* window, const QPointF& position) {
    if (!Motion_From_Windows() || relative_pointer_moving) return;
    // A move into another window starts from there.
    if (window == moved_in) {
        raw_dx += position.x() - moved_at.x();
        raw_dy += position.y() - moved_at.y();
    }
    moved_in = window;
    moved_at = position;
}

void Platform_Read_Pointer_Delta(int* dx, int* dy) {
    int moved_x = 0, moved_y = 0;
    // The first read asks for raw motion; what came before it is no movement.
    static bool raw_motion_asked = false;
    if (!raw_motion_asked && qGuiApp) {
        raw_motion_asked = true;
        if (Select_Raw_Motion()) raw_dx = raw_dy = 0.0;
        if (Motion_From_Windows()) Wayland_Relative_Pointer_Start();
    }
    // Where the compositor offers it, its relative motion: also into an
    // output's edge, where the pointer's position stays put.
    if (Motion_From_Windows()) relative_pointer_moving = Wayland_Relative_Pointer_Take(&raw_dx, &raw_dy);
    if (raw_motion_opcode >= 0 || Motion_From_Windows()) {
        // Whole units are taken; the fractions wait for the next frame.
        moved_x = static_cast<int>(std::clamp(std::trunc(raw_dx), -1.0e6, 1.0e6));
        moved_y = static_cast<int>(std::clamp(std::trunc(raw_dy), -1.0e6, 1.0e6));
        raw_dx -= moved_x;
        raw_dy -= moved_y;
    } else if (qGuiApp) {
        QPoint now = QCursor::pos();
        if (pointer_known) {
            moved_x = now.x() - last_pointer.x();
            moved_y = now.y() - last_pointer.y();
        }
        last_pointer = now;
        pointer_known = true;
    }
    if (dx) *dx = moved_x;
    if (dy) *dy = moved_y;
}

void Platform_Reset_Pointer_Delta() {
    Select_Raw_Motion();
    raw_dx = raw_dy = 0.0;
    pointer_known = qGuiApp != nullptr;
    if (pointer_known) last_pointer = QCursor::pos();
}

// ---------------------------------------------------------------------------
// Presentation.

// Writes the `area` of a surface into an image of the area's size; what lies
// outside the surface is black. The image is the caller's, kept from frame
// to frame: only the parts outside the surface are filled.
static void Fill_Surface_Image(const Surface* surface, const Rect& area, QImage& image) {
    if (image.isNull()) return;
    if (!Pixel_Surface_Usable(surface)) {
        image.fill(Qt::black);
        return;
    }
    int left = std::max(area.left, 0), right = std::min(area.right, surface->width);
    int top = std::max(area.top, 0), bottom = std::min(area.bottom, surface->height);
    if (left >= right || top >= bottom) {
        image.fill(Qt::black);
        return;
    }
    const QRgb black = qRgb(0, 0, 0);
    const int bytes = Pixel_Bytes(surface->bits_per_pixel);
    uint32_t palette[256] = {};
    if (bytes == 1) Surface_Palette_Colours(surface, palette);
    const int count = right - left;
    // scanLine() of a shared image would copy it: take the rows once, here.
    uchar* const bits = image.bits();
    const qsizetype image_pitch = image.bytesPerLine();
    const int image_width = image.width();
    // Rows in bands on every core for big windows; each band writes its own rows.
    auto band = [&](int band_begin, int band_end) {
        for (int image_y = band_begin; image_y < band_end; ++image_y) {
            auto* row = reinterpret_cast<QRgb*>(bits + image_y * image_pitch);
            const int y = area.top + image_y;
            if (y < top || y >= bottom) {
                std::fill(row, row + image_width, black);
                continue;
            }
            std::fill(row, row + (left - area.left), black);
            std::fill(row + (right - area.left), row + image_width, black);
            Convert_Surface_Pixels(
                surface,
                surface->memory.data() + static_cast<size_t>(y) * surface->pitch + static_cast<size_t>(left) * bytes,
                count, palette, row + (left - area.left));
        }
    };
    Run_Row_Bands(image.height(), image_width, band);
}

QImage Platform_Surface_Image(const Surface* surface, const Rect& area) {
    int width = std::max(0, area.right - area.left);
    int height = std::max(0, area.bottom - area.top);
    QImage image(width, height, QImage::Format_RGB32);
    Fill_Surface_Image(surface, area, image);
    return image;
}

// Full screen on X: the picture goes up at its own size and the server
// scales it. False when that cannot be done here (another platform, a server
// without RENDER); the picture is then scaled here.
static bool Present_Through_Server(Surface* primary) {
    Saver_Canvas* canvas = state.canvas;
    xcb_connection_t* connection = Xcb_Connection();
    if (!connection || canvas->server_scaling_refused) return false;
    // The frame's window as it is now: a restyled frame has a new one, which
    // the widget's own number does not always follow. (winId makes sure the
    // frame has a native window, and so a handle to ask.)
    state.frame->winId();
    QWindow* handle = state.frame->windowHandle();
    const auto frame = handle ? static_cast<uint32_t>(handle->winId()) : 0;
    X_Presenter& presenter = canvas->presenter;
    if (!presenter.Is_Open() || presenter.Parent_Id() != frame) {
        const X_Presenter::Opening opening = presenter.Open(connection, frame);
        if (opening != X_Presenter::OPENED) {
            if (opening == X_Presenter::OPEN_UNSUPPORTED) canvas->server_scaling_refused = true;
            return false;
        }
    }
    // The canvas under the server's window keeps no picture of its own.
    canvas->picture = QImage();
    if (!state.record->visible || state.record->iconic) return true;
    const qreal ratio = canvas->devicePixelRatio();
    const QPoint at = canvas->mapTo(state.frame, QPoint(0, 0)) * ratio;
    const QSize size = canvas->size() * ratio;
    if (!presenter.Show(primary, at.x(), at.y(), size.width(), size.height())) {
        // The server cannot hold the picture: scale here from now on.
        presenter.Close();
        canvas->server_scaling_refused = true;
        return false;
    }
    return true;
}

bool Platform_Present(Surface* primary) {
    if (!state.record || !state.canvas || !Pixel_Surface_Usable(primary)) return false;
    Window* record = state.record;
    bool windowed = primary->clipper && primary->clipper->window;
    if (windowed) {
        // The primary is the desktop: the window shows the part under its client area.
        Rect area{record->screen_x, record->screen_y, record->screen_x + record->client_width,
                  record->screen_y + record->client_height};
        // The picture is kept from frame to frame while the window keeps its size.
        QImage& picture = state.canvas->picture;
        const QSize size(std::max(0, area.right - area.left), std::max(0, area.bottom - area.top));
        if (picture.size() != size || picture.format() != QImage::Format_RGB32 || state.canvas->scaled) {
            picture = QImage(size, QImage::Format_RGB32);
        }
        state.canvas->presenter.Hide();
        Fill_Surface_Image(primary, area, picture);
        state.canvas->scaled = false;
    } else if (Present_Through_Server(primary)) {
        Present_On_Screen_Covers(primary, Xcb_Connection());
        Platform_Pump_Events();
        return true;
    } else {
        // The emulated mode scaled to the canvas keeping its shape, into a
        // picture kept from frame to frame: the bars are drawn only when the
        // canvas or the mode changes size.
        QImage& picture = state.canvas->picture;
        const QSize canvas_size = state.canvas->size();
        const bool new_geometry = picture.size() != canvas_size || picture.format() != QImage::Format_RGB32 ||
                                  state.canvas->scaled_from != QSize(primary->width, primary->height) ||
                                  !state.canvas->scaled;
        if (new_geometry) {
            picture = QImage(canvas_size, QImage::Format_RGB32);
            state.canvas->scaled_from = QSize(primary->width, primary->height);
        }
        if (!picture.isNull()) {
            const Scaled_Area area =
                Fit_Keeping_Shape(primary->width, primary->height, picture.width(), picture.height());
            Scale_Surface_To_Image(primary, picture.bits(), static_cast<int>(picture.bytesPerLine()), picture.width(),
                                   picture.height(), area, new_geometry);
        }
        state.canvas->scaled = true;
        Present_On_Screen_Covers(primary, Xcb_Connection());
    }
    if (record->visible && !record->iconic) state.canvas->repaint();
    Platform_Pump_Events();
    return true;
}

// ---------------------------------------------------------------------------
// Message box, sound and the vertical blank.

static int Qt_Message_Box(Window* owner, const char* text, const char* caption, unsigned style) {
    QWidget* parent = Is_Main(owner) ? state.frame : nullptr;
    QMessageBox box(style & MB_ICONSTOP ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromLatin1(caption ? caption : ""), QString::fromLatin1(text ? text : ""), QMessageBox::Ok,
                    parent);
    // Over a full-screen saver the box must not open behind it.
    if (state.frame && state.kind == WINDOW_POPUP) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    Platform_Sync_Cursor();
    Platform_Qt_Run_Modal(&box);
    Platform_Qt_Return_Focus(owner);
    return IDOK;
}

static void Qt_Play_Sound(const char* path, unsigned) {
    if (path && QFileInfo(QString::fromLocal8Bit(path)).isFile() &&
        !QStandardPaths::findExecutable(QStringLiteral("aplay")).isEmpty() &&
        QProcess::startDetached(QStringLiteral("aplay"), {QStringLiteral("-q"), QString::fromLocal8Bit(path)})) {
        return;
    }
    QApplication::beep();
}

void Platform_Wait_Vertical_Blank() {
    double rate = DEFAULT_REFRESH_RATE;
    if (QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr) {
        if (screen->refreshRate() >= LOWEST_BELIEVED_REFRESH_RATE) rate = screen->refreshRate();
    }
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
    // The refresh the next frame is due for. A frame ready early waits for
    // it; a frame a little late goes at once and the beat stays, so the next
    // one has its whole period again; a frame more than a period late starts
    // a new beat. No frame that takes less than a period waits for two.
    static Clock::time_point due{};
    const Clock::time_point now = Clock::now();
    if (due == Clock::time_point{} || now > due + period) {
        due = now;
    } else if (now < due) {
        std::this_thread::sleep_until(due);
    }
    due += period;
}

// ---------------------------------------------------------------------------
// Start and end.

static QApplication* owned_application = nullptr;
static int application_argc = 1;
static char application_name[] = "calvorine";
static char* default_argv[] = {application_name, nullptr};

// Qt ends the process when its X plugin cannot reach the display; asking
// the X server first lets the program report the failure instead. The
// asking connection is held until Qt has made its own: an X server whose
// last client has just left resets, and refuses connections meanwhile.
struct Display_Check {
    bool reachable = true;
    xcb_connection_t* connection = nullptr;
    void (*disconnect)(xcb_connection_t*) = nullptr;

    Display_Check() = default;
    Display_Check(const Display_Check&) = delete;
    Display_Check& operator=(const Display_Check&) = delete;
    ~Display_Check() {
        if (connection) disconnect(connection);
    }
};

static void Check_Display(Display_Check* check) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if (platform && *platform && std::strncmp(platform, "xcb", 3) != 0) return;
    if (!display || !*display) {
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        check->reachable = !platform && wayland && *wayland;
        return;
    }
    void* library = dlopen("libxcb.so.1", RTLD_NOW);
    if (!library) return;  // cannot ask: let Qt try
    xcb_connection_t* (*connect)(const char*, int*) = nullptr;
    int (*has_error)(xcb_connection_t*) = nullptr;
    if (!Look_Up(library, "xcb_connect", &connect) || !Look_Up(library, "xcb_connection_has_error", &has_error) ||
        !Look_Up(library, "xcb_disconnect", &check->disconnect)) {
        return;
    }
    check->connection = connect(display, nullptr);
    check->reachable = check->connection && has_error(check->connection) == 0;
}

bool Platform_Start_Window_Layer(int argc, char** argv) {
    if (!QCoreApplication::instance()) {
        // Told exactly what to start on, the toolkit never aborts for a
        // platform it cannot start (platform/toolkit_platform.cpp).
        const std::string platform = Platform_Toolkit_Platform_For_This_Session();
        if (platform.empty()) return false;
        setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
        Display_Check check;
        Check_Display(&check);
        if (!check.reachable) return false;
        // QApplication keeps the count by reference and the arguments by pointer.
        application_argc = argc > 0 && argv ? argc : 1;
        owned_application = new QApplication(application_argc, argc > 0 && argv ? argv : default_argv);
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !QGuiApplication::primaryScreen()) return false;
    static bool connected = false;
    if (!connected) {
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, Application_State_Changed);
        connected = true;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    Install_Termination_Signals(false);
    platform_message_box_hook = Qt_Message_Box;
    platform_sound_hook = Qt_Play_Sound;
    platform_file_dialog_hook = Platform_Qt_File_Dialog;
    Platform_Install_Qt_Dialogs(true);
    Platform_Install_Qt_Help(true);
    dd_vertical_blank_hook = Platform_Wait_Vertical_Blank;
    Platform_Desktop_Metrics(&dd_config.desktop_width, &dd_config.desktop_height, &dd_config.desktop_bpp);
    return true;
}

void Platform_Stop_Window_Layer() {
    Platform_Destroy_Window(state.record);
    if (platform_message_box_hook == Qt_Message_Box) platform_message_box_hook = nullptr;
    if (platform_sound_hook == Qt_Play_Sound) platform_sound_hook = nullptr;
    if (platform_file_dialog_hook == Platform_Qt_File_Dialog) platform_file_dialog_hook = nullptr;
    Platform_Install_Qt_Dialogs(false);
    Platform_Install_Qt_Help(false);
    if (dd_vertical_blank_hook == Platform_Wait_Vertical_Blank) dd_vertical_blank_hook = nullptr;
    pointer_known = false;
}

// ---------------------------------------------------------------------------
// Hosts: the root window, the end signals, the X11 platform.

uintptr_t Platform_Root_Window() {
    // The X protocol's screen list as libxcb lays it out: each screen starts
    // with its root window's number.
    struct Xcb_Screen_Iterator {
        const uint32_t* data;
        int rem;
        int index;
    };
    xcb_connection_t* connection = Xcb_Connection();
    void* library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!connection || !library) return 0;
    const void* (*get_setup)(xcb_connection_t*) = nullptr;
    Xcb_Screen_Iterator (*roots)(const void*) = nullptr;
    void (*next)(Xcb_Screen_Iterator*) = nullptr;
    if (!Look_Up(library, "xcb_get_setup", &get_setup) || !Look_Up(library, "xcb_setup_roots_iterator", &roots) ||
        !Look_Up(library, "xcb_screen_next", &next)) {
        return 0;
    }
    // The screen number DISPLAY names after its dot (":0.1"), else the first.
    int wanted = 0;
    if (const char* display = std::getenv("DISPLAY")) {
        const char* dot = std::strrchr(display, '.');
        const char* colon = std::strrchr(display, ':');
        if (dot && colon && dot > colon) wanted = std::atoi(dot + 1);
    }
    Xcb_Screen_Iterator screens = roots(get_setup(connection));
    for (int index = 0; screens.rem > 0; index++, next(&screens)) {
        if (index == wanted) return screens.data ? screens.data[0] : 0;
    }
    return 0;
}

void Platform_Prefer_X11() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool asks_wayland = platform && std::strncmp(platform, "wayland", 7) == 0;
    if ((!platform || !*platform || asks_wayland) && (wayland || asks_wayland)) setenv("QT_QPA_PLATFORM", "xcb", 1);
}

// ---------------------------------------------------------------------------
// The icon.

// The program's icon resource.
constexpr int PROGRAM_ICON = 110;

bool Platform_Set_Window_Icon(Window* window, int icon_resource) {
    if (!Is_Main(window) || icon_resource != PROGRAM_ICON) return false;
    QPixmap icon(icon_110_xpm);
    if (icon.isNull()) return false;
    state.frame->setWindowIcon(QIcon(icon));
    return true;
}
