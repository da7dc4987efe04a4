#include "platform/screen_covers.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "platform/pixel_format.h"
#include "platform/present_scale.h"
#include "platform/window_qt.h"
#include "platform/x_present.h"

namespace {

class Screen_Cover : public QWidget {
public:
    Screen_Cover(QScreen* screen, QWidget* input_target)
        : QWidget(nullptr,
                  Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
          input_target_(input_target) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        // Black until the first picture.
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        setAutoFillBackground(true);
        setCursor(Qt::BlankCursor);
        setMouseTracking(true);
        // The window is made on its own screen: another X screen has another
        // root window, and a Wayland output is chosen by the window's screen.
        setScreen(screen);
        setGeometry(screen->geometry());
    }

    // Shows the picture at this cover's own size.
    void Present(const Surface* primary, xcb_connection_t* connection) {
        if (!isVisible()) return;
        if (connection && !server_scaling_refused_ && Present_Through_Server(primary, connection)) return;
        const QSize size = this->size();
        const QSize mode(primary->width, primary->height);
        const bool new_geometry = picture_.size() != size || scaled_from_ != mode;
        if (new_geometry) {
            picture_ = QImage(size, QImage::Format_RGB32);
            scaled_from_ = mode;
        }
        if (picture_.isNull()) return;
        const Scaled_Area area = Fit_Keeping_Shape(primary->width, primary->height, picture_.width(), picture_.height());
        Scale_Surface_To_Image(primary, picture_.bits(), static_cast<int>(picture_.bytesPerLine()), picture_.width(),
                               picture_.height(), area, new_geometry);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (picture_.isNull()) return;  // the black background, or the server's picture over it
        QPainter painter(this);
        if (picture_.size() == size()) {
            painter.drawImage(0, 0, picture_);
        } else {
            painter.drawImage(rect(), picture_);
        }
    }

    // The saver's window acts on what happens here as on its own input.
    void keyPressEvent(QKeyEvent* event) override { Forward(event); }
    void mousePressEvent(QMouseEvent* event) override { Forward(event); }
    void mouseMoveEvent(QMouseEvent* event) override { Platform_Qt_Pointer_Moved(this, event->position()); }

private:
    void Forward(QEvent* event) {
        if (input_target_) QCoreApplication::sendEvent(input_target_, event);
        event->accept();
    }

    bool Present_Through_Server(const Surface* primary, xcb_connection_t* connection) {
        const auto window = static_cast<uint32_t>(winId());
        if (!presenter_.Is_Open() || presenter_.Parent_Id() != window) {
            const X_Presenter::Opening opening = presenter_.Open(connection, window);
            if (opening == X_Presenter::OPEN_UNSUPPORTED) server_scaling_refused_ = true;
            if (opening != X_Presenter::OPENED) return false;
        }
        const QSize size = this->size() * devicePixelRatio();
        if (!presenter_.Show(primary, 0, 0, size.width(), size.height())) {
            presenter_.Close();
            server_scaling_refused_ = true;
            return false;
        }
        picture_ = QImage();
        return true;
    }

    QPointer<QWidget> input_target_;
    QImage picture_;
    QSize scaled_from_;
    // Declared last, so it goes first: its window is a child of this one.
    X_Presenter presenter_;
    bool server_scaling_refused_ = false;
};

std::vector<Screen_Cover*> covers;
QPointer<QWidget> covers_input_target;
bool covers_open = false;

void Make_Covers() {
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == primary) continue;
        auto* cover = new Screen_Cover(screen, covers_input_target);
        // Not showFullScreen(), which would ask for the focus as well.
        cover->setWindowState(Qt::WindowFullScreen);
        cover->show();
        covers.push_back(cover);
    }
}

void Delete_Covers() {
    for (Screen_Cover* cover : covers) delete cover;
    covers.clear();
}

// A monitor plugged in or out, or another one made primary, while the
// covers are up: cover the screens as they are now.
void Screens_Changed() {
    if (!covers_open) return;
    Delete_Covers();
    Make_Covers();
}

}  // namespace

void Open_Screen_Covers(QWidget* input_target) {
    if (covers_open || !qGuiApp) return;
    static bool watching = false;
    if (!watching) {
        QObject::connect(qGuiApp, &QGuiApplication::screenAdded, Screens_Changed);
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, Screens_Changed);
        QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, Screens_Changed);
        watching = true;
    }
    covers_open = true;
    covers_input_target = input_target;
    Make_Covers();
}

void Close_Screen_Covers() {
    covers_open = false;
    covers_input_target = nullptr;
    Delete_Covers();
}

bool Screen_Covers_Open() { return covers_open; }

bool Is_Screen_Cover(const QWidget* widget) {
    for (const Screen_Cover* cover : covers) {
        if (widget && cover == widget) return true;
    }
    return false;
}

void Present_On_Screen_Covers(const Surface* primary, xcb_connection_t* connection) {
    if (!Pixel_Surface_Usable(primary)) return;
    for (Screen_Cover* cover : covers) cover->Present(primary, connection);
}
