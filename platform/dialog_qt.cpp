// Dialogs on Qt: a QDialog with one widget per control of the template,
// placed by dialog units, whose events become the dialog messages.
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <map>
#include <vector>

#include "platform/dialog.h"
#include "platform/window.h"
#include "platform/window_qt.h"

namespace {

class Template_Dialog : public QDialog {
public:
    Template_Dialog(Control_Dialog* record, QWidget* parent) : QDialog(parent), record(record) {
        setMouseTracking(true);
    }

    Control_Dialog* record;
    std::map<int, QWidget*> widgets;  // by control identifier
    std::vector<QWidget*> by_place;   // every control, in template order
    bool updating = false;            // the program is setting a widget: no messages back

    void Send(unsigned message, uintptr_t wparam, intptr_t lparam) {
        Platform_Send_Dialog_Message(record, message, wparam, lparam);
        if (record->ended) done(record->result);
    }

protected:
    void moveEvent(QMoveEvent* event) override {
        QDialog::moveEvent(event);
        if (isVisible()) Send(WM_MOVE, 0, MAKELPARAM(x(), y()));
    }
    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        Send(WM_PAINT, 0, 0);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(at.x(), at.y()));
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QPoint at = event->position().toPoint();
        Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x(), at.y()));
    }
    // Escape and the close box are Cancel, as in a classic dialog.
    void reject() override { Send(WM_COMMAND, IDCANCEL, 0); }
    void accept() override { Send(WM_COMMAND, IDOK, 0); }
};

// A scroll bar's action as the scroll code of WM_HSCROLL.
int Scroll_Code(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return SB_LINELEFT;
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINERIGHT;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGELEFT;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGERIGHT;
    case QAbstractSlider::SliderToMinimum: return SB_LEFT;
    case QAbstractSlider::SliderToMaximum: return SB_RIGHT;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return -1;
    }
}

void Show_Control(Control_Dialog* dialog, Control_State* state) {
    auto* owner = static_cast<Template_Dialog*>(dialog->toolkit);
    auto found = owner->widgets.find(state->control->id);
    if (found == owner->widgets.end()) return;
    QWidget* widget = found->second;
    owner->updating = true;
    if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
        bar->setRange(state->minimum, state->maximum);
        bar->setValue(state->position);
        bar->setSliderPosition(state->position);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setChecked(state->checked);
        box->setText(QString::fromLatin1(state->text.c_str()));
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        if (list->count() != static_cast<int>(state->entries.size())) {
            list->clear();
            for (const std::string& entry : state->entries) list->addItem(QString::fromLatin1(entry.c_str()));
        }
        list->setCurrentRow(state->selection);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(QString::fromLatin1(state->text.c_str()));
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(QString::fromLatin1(state->text.c_str()));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (state->control->kind == DIALOG_TEXT) label->setText(QString::fromLatin1(state->text.c_str()));
    }
    owner->updating = false;
}

bool Show_Picture(Control_Dialog* dialog, Control_State* state, const Surface* surface, int x, int y, int width,
                  int height) {
    auto* owner = static_cast<Template_Dialog*>(dialog->toolkit);
    auto* label = qobject_cast<QLabel*>(owner->widgets[state->control->id]);
    if (!label) return false;
    QImage image = Platform_Surface_Image(surface, Rect{x, y, x + width, y + height});
    if (image.isNull()) return false;
    label->setPixmap(QPixmap::fromImage(image.scaled(label->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    return true;
}

QWidget* Make_Widget(Template_Dialog* owner, Control_State& state) {
    const Control_Template& control = *state.control;
    const QString text = QString::fromLatin1(control.text ? control.text : "");
    const int id = control.id;
    switch (control.kind) {
    case DIALOG_BUTTON:
    case DIALOG_DEFAULT_BUTTON: {
        auto* button = new QPushButton(text, owner);
        button->setAutoDefault(false);
        button->setDefault(control.kind == DIALOG_DEFAULT_BUTTON);
        QObject::connect(button, &QPushButton::clicked,
                         [owner, id] { owner->Send(WM_COMMAND, static_cast<uintptr_t>(id), 0); });
        return button;
    }
    case DIALOG_CHECK_BOX: {
        auto* box = new QCheckBox(text, owner);
        QObject::connect(box, &QCheckBox::toggled, [owner, id](bool checked) {
            if (owner->updating) return;
            if (Control_State* record = Platform_Dialog_Control(owner->record, id)) record->checked = checked;
            owner->Send(WM_COMMAND, static_cast<uintptr_t>(id), 0);
        });
        return box;
    }
    case DIALOG_SCROLL_BAR: {
        auto* bar = new QScrollBar(Qt::Horizontal, owner);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // The program moves the bar: after each action the bar shows the
        // position the procedure left, whatever the action asked for.
        QObject::connect(bar, &QAbstractSlider::actionTriggered, [owner, bar, id](int action) {
            const int code = Scroll_Code(action);
            if (code < 0 || owner->updating) return;
            const int position = action == QAbstractSlider::SliderMove ? bar->sliderPosition() : 0;
            owner->Send(WM_HSCROLL, static_cast<uintptr_t>(code | (position << 16)), id);
            if (!owner->record->ended) bar->setSliderPosition(Platform_Get_Scroll_Pos(owner->record, id));
        });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, [owner, bar, id] {
            owner->Send(WM_HSCROLL, static_cast<uintptr_t>(SB_THUMBPOSITION | (bar->sliderPosition() << 16)), id);
            if (!owner->record->ended) owner->Send(WM_HSCROLL, SB_ENDSCROLL, id);
        });
        return bar;
    }
    case DIALOG_LIST_BOX: {
        auto* list = new QListWidget(owner);
        QObject::connect(list, &QListWidget::currentRowChanged, [owner, id](int row) {
            if (owner->updating) return;
            if (Control_State* record = Platform_Dialog_Control(owner->record, id)) record->selection = row;
        });
        return list;
    }
    case DIALOG_GROUP: return new QGroupBox(text, owner);
    case DIALOG_PICTURE: {
        auto* picture = new QLabel(owner);
        picture->setFrameShape(QFrame::Box);
        picture->setAttribute(Qt::WA_TransparentForMouseEvents);
        return picture;
    }
    case DIALOG_TEXT:
    default: {
        auto* label = new QLabel(text, owner);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        return label;
    }
    }
}

// The width a control's text needs, in pixels; 0 for controls without text.
int Text_Width(QWidget* widget, const Control_Template& control) {
    const QFontMetrics metrics(widget->font());
    const int padding = 2 * metrics.averageCharWidth();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return metrics.horizontalAdvance(button->text()) + padding;
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return metrics.horizontalAdvance(group->title()) + padding;
    if (qobject_cast<QCheckBox*>(widget)) return widget->sizeHint().width();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (control.kind != DIALOG_TEXT || label->text().isEmpty()) return 0;
        return label->sizeHint().width();
    }
    return 0;
}

// The dialog units in pixels: a quarter of the average character width
// across, an eighth of the line height down. A template laid out for the
// fonts of its day may be too narrow for the desktop's font or a larger
// one: then the whole dialog is stretched across, keeping its layout, until
// its widest-reaching text fits.
struct Dialog_Units {
    double x = 1.0, y = 1.0;
};

int Scaled(int value, double unit) { return static_cast<int>(value * unit + 0.5); }

void Place_Controls(Template_Dialog* widget, Control_Dialog* dialog, const Dialog_Units& units) {
    const Control_Dialog_Template& t = *dialog->dialog_template;
    widget->setFixedSize(Scaled(t.width, units.x), Scaled(t.height, units.y));
    for (const Control_State& state : dialog->controls) {
        const Control_Template& control = *state.control;
        QWidget* child = widget->by_place[static_cast<size_t>(&state - dialog->controls.data())];
        child->setGeometry(Scaled(control.x, units.x), Scaled(control.y, units.y), Scaled(control.width, units.x),
                           Scaled(control.height, units.y));
    }
}

// Widens the units so that every text of the dialog fits its control; true when they grew.
bool Fit_Texts(Template_Dialog* widget, Control_Dialog* dialog, Dialog_Units* units) {
    double stretch = 1.0;
    for (const Control_State& state : dialog->controls) {
        const Control_Template& control = *state.control;
        QWidget* child = widget->by_place[static_cast<size_t>(&state - dialog->controls.data())];
        const int available = Scaled(control.width, units->x);
        if (!child || available <= 0) continue;
        stretch = std::max(stretch, static_cast<double>(Text_Width(child, control)) / available);
    }
    if (stretch <= 1.0) return false;
    units->x *= stretch;
    return true;
}

int Run_Dialog(Control_Dialog* dialog) {
    QWidget* parent = Platform_Qt_Frame(dialog->owner);
    Template_Dialog widget(dialog, parent);
    const Control_Dialog_Template& t = *dialog->dialog_template;
    widget.setWindowTitle(QString::fromLatin1(t.caption ? t.caption : ""));
    widget.setObjectName(QString::fromLatin1(t.name ? t.name : ""));
    widget.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const QFontMetrics metrics(widget.font());
    Dialog_Units units{metrics.averageCharWidth() / 4.0, metrics.height() / 8.0};
    widget.by_place.assign(dialog->controls.size(), nullptr);
    // Groups first, so that the controls inside them lie on top.
    for (int pass = 0; pass < 2; pass++) {
        for (Control_State& state : dialog->controls) {
            const Control_Template& control = *state.control;
            if ((control.kind == DIALOG_GROUP) != (pass == 0)) continue;
            QWidget* child = Make_Widget(&widget, state);
            child->setObjectName(QStringLiteral("control_%1").arg(control.id));
            widget.by_place[static_cast<size_t>(&state - dialog->controls.data())] = child;
            if (control.id >= 0) widget.widgets[control.id] = child;
        }
    }
    dialog->toolkit = &widget;
    for (Control_State& state : dialog->controls) Show_Control(dialog, &state);
    // The keyboard starts on the first control that takes it, in template order.
    for (const Control_State& state : dialog->controls) {
        auto found = widget.widgets.find(state.control->id);
        if (found != widget.widgets.end() && found->second->focusPolicy() != Qt::NoFocus) {
            found->second->setFocus();
            break;
        }
    }
    Fit_Texts(&widget, dialog, &units);
    Place_Controls(&widget, dialog, units);
    widget.Send(WM_INITDIALOG, 0, 0);
    // The procedure may have given a text control a longer text of its own.
    if (!dialog->ended && Fit_Texts(&widget, dialog, &units)) Place_Controls(&widget, dialog, units);
    int result = dialog->result;
    // A termination signal cancels the dialog as Escape would, so that what
    // it changed on the way is put back before the program ends.
    if (!dialog->ended) result = Platform_Qt_Run_Modal(&widget, [&widget] { widget.Send(WM_COMMAND, IDCANCEL, 0); });
    dialog->toolkit = nullptr;
    Platform_Qt_Return_Focus(dialog->owner);
    if (!dialog->ended && Platform_Termination_Requested()) return IDCANCEL;
    return dialog->ended ? dialog->result : result;
}

}  // namespace

void Platform_Install_Qt_Dialogs(bool install) {
    platform_control_dialog_hook = install ? Run_Dialog : nullptr;
    platform_control_show_hook = install ? Show_Control : nullptr;
    platform_control_picture_hook = install ? Show_Picture : nullptr;
}
