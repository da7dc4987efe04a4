// Modal dialogs from templates, shown with Qt widgets: the template's
// controls stacked top to bottom, the buttons in a row at the foot.
#include "platform/dialog_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/window.h"
#include "platform/window_qt.h"

Dialog_Hook platform_dialog_hook = nullptr;

bool Platform_End_Dialog(Dialog* dialog, intptr_t result) {
    if (!dialog) return false;
    dialog->ended = true;
    dialog->result = result;
    if (dialog->widget) static_cast<QDialog*>(dialog->widget)->done(0);
    return true;
}

intptr_t Platform_Run_Dialog_Headless(const Dialog_Template& dialog_template, Dialog_Procedure procedure,
                                      intptr_t parameter, const int* commands, int command_count) {
    if (!procedure) return -1;
    Dialog dialog;
    dialog.dialog_template = &dialog_template;
    procedure(&dialog, WM_INITDIALOG, 0, parameter);
    for (int i = 0; i < command_count && !dialog.ended; i++) {
        procedure(&dialog, WM_COMMAND, static_cast<uintptr_t>(commands[i]), 0);
    }
    return dialog.ended ? dialog.result : -1;
}

namespace {

// The dialog window: Escape and the close button are the cancel command,
// which the procedure may answer or leave alone (the dialog then stays).
class Template_Dialog : public QDialog {
public:
    Template_Dialog(Dialog* dialog, Dialog_Procedure procedure) : dialog_(dialog), procedure_(procedure) {}

    void Command(int id) { procedure_(dialog_, WM_COMMAND, static_cast<uintptr_t>(id), 0); }

protected:
    void reject() override { Command(IDCANCEL); }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        Command(IDCANCEL);
    }

private:
    Dialog* dialog_;
    Dialog_Procedure procedure_;
};

void Build_Controls(Template_Dialog* widget, const Dialog_Template& dialog_template) {
    auto* layout = new QVBoxLayout(widget);
    QVBoxLayout* target = layout;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (int i = 0; i < dialog_template.control_count; i++) {
        const Dialog_Control& control = dialog_template.controls[i];
        const QString text = QString::fromLatin1(control.text ? control.text : "");
        switch (control.kind) {
        case CONTROL_HEADING: {
            auto* label = new QLabel(text);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            label->setAlignment(Qt::AlignHCenter);
            target->addWidget(label);
            break;
        }
        case CONTROL_TEXT: {
            auto* label = new QLabel(text);
            label->setWordWrap(true);
            target->addWidget(label);
            break;
        }
        case CONTROL_GROUP: {
            auto* group = new QGroupBox(text);
            auto* inside = new QVBoxLayout(group);
            layout->addWidget(group);
            target = inside;
            break;
        }
        case CONTROL_GROUP_END: target = layout; break;
        case CONTROL_DEFAULT_BUTTON:
        case CONTROL_BUTTON: {
            auto* button = new QPushButton(text);
            const bool is_default = control.kind == CONTROL_DEFAULT_BUTTON;
            button->setDefault(is_default);
            button->setAutoDefault(is_default);
            const int id = control.id;
            QObject::connect(button, &QPushButton::clicked, widget, [widget, id] { widget->Command(id); });
            buttons->addWidget(button);
            if (is_default) button->setFocus();
            break;
        }
        }
    }
    buttons->addStretch(1);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

}  // namespace

intptr_t Platform_Dialog_Box(const Dialog_Template& dialog_template, Window* owner, Dialog_Procedure procedure,
                             intptr_t parameter) {
    if (platform_dialog_hook) return platform_dialog_hook(dialog_template, procedure, parameter);
    if (!procedure || !qobject_cast<QApplication*>(QCoreApplication::instance())) return -1;

    Dialog dialog;
    dialog.dialog_template = &dialog_template;
    Template_Dialog widget(&dialog, procedure);
    dialog.widget = &widget;
    if (QWidget* parent = Platform_Qt_Frame(owner)) {
        widget.setParent(parent, widget.windowFlags());
    }
    widget.setWindowTitle(QString::fromLatin1(dialog_template.caption ? dialog_template.caption : ""));
    widget.setObjectName(QString::fromLatin1(dialog_template.name ? dialog_template.name : ""));
    // The template's font names a face of its day; the desktop's sans-serif
    // at the same size stands in for it.
    QFont font(QStringLiteral("Sans Serif"), dialog_template.font_points > 0 ? dialog_template.font_points : 8);
    font.setStyleHint(QFont::SansSerif);
    widget.setFont(font);
    widget.setModal(true);
    // No help button in the caption, as the templates never had one.
    widget.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    Build_Controls(&widget, dialog_template);

    procedure(&dialog, WM_INITDIALOG, 0, parameter);
    if (!dialog.ended) {
        widget.show();
        widget.raise();
        widget.activateWindow();
        // A termination signal first tries the template's cancel command,
        // then ends the box unanswered (-1): the caller asks
        // Platform_Termination_Requested why.
        Platform_Qt_Run_Modal(&widget, [&widget] { widget.Command(IDCANCEL); });
    }
    dialog.widget = nullptr;
    return dialog.ended ? dialog.result : -1;
}
