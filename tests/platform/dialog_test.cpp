// Dialogs built from templates by the window layer under the offscreen Qt
// platform: the widgets, their identifiers and ranges, and real widget
// actions reaching the program's procedure as dialog messages.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <fstream>
#include <functional>
#include <vector>

#include "plasma/plasma_settings.h"
#include "platform/dialog.h"
#include "platform/file_dialog.h"
#include "platform/window.h"
#include "platform/window_qt.h"
#include "preset/dialog_values.h"
#include "resources/dialog_templates.h"
#include "shell/settings_dialogs.h"
#include "shell/value_dialogs.h"
#include "test_support.h"

namespace {

std::vector<Posted_Message> dialog_messages;

// Records every message and lets the scalar procedure answer all but the
// repaints, which need a display this test does not build.
intptr_t Recording_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    dialog_messages.push_back(Posted_Message{nullptr, message, wparam, lparam});
    if (message == WM_MOVE || message == WM_PAINT) return 1;
    return Scalar_Dialog_Procedure(dialog, message, wparam, lparam);
}

class DialogTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(Platform_Start_Window_Layer(0, nullptr));
        dialog_messages.clear();
        Reset_Dialog_Values();
        Set_Default_Plasma_Settings();
    }
    void TearDown() override {
        Platform_Stop_Window_Layer();
        ProgramTest::TearDown();
    }

    // Runs the dialog with `user` acting on it once it is up.
    int Run(const Control_Dialog_Template& dialog_template, int kind, std::function<void(QDialog*)> user) {
        active_scalar_dialog = kind;
        QTimer::singleShot(0, [user] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            user(dialog);
            // Whatever the user did, the dialog ends.
            if (dialog->isVisible()) dialog->done(-2);
        });
        return Platform_Control_Dialog_Box(dialog_template, nullptr, Recording_Procedure);
    }

    static std::vector<int> Scroll_Codes() {
        std::vector<int> codes;
        for (const Posted_Message& message : dialog_messages) {
            if (message.message == WM_HSCROLL) codes.push_back(static_cast<int>(message.wparam & 0xFFFF));
        }
        return codes;
    }
};

}  // namespace

TEST_F(DialogTest, AScrollBarDialogHasItsControlsAndItsActionsArriveWithTheirCodes) {
    dialog_values.contrast = 12;
    const int result = Run(CONTRASTBOX, SCALAR_CONTRAST, [](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Plasma Contrast");
        EXPECT_EQ(dialog->objectName().toStdString(), "CONTRASTBOX");
        auto* bar = dialog->findChild<QScrollBar*>("control_1004");
        auto* number = dialog->findChild<QLabel*>("control_1003");
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), 1);
        EXPECT_EQ(bar->maximum(), 60);
        EXPECT_EQ(bar->value(), 12);
        EXPECT_EQ(number->text().toStdString(), "12");
        for (int id : {1, 2, 3})
            EXPECT_NE(dialog->findChild<QPushButton*>(QStringLiteral("control_%1").arg(id)), nullptr);

        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_EQ(bar->value(), 13);
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        EXPECT_EQ(bar->value(), 11);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        EXPECT_EQ(bar->value(), 60);
        EXPECT_EQ(number->text().toStdString(), "60");
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        // Dragging the thumb: the bar reports the move itself.
        bar->setSliderPosition(30);
        EXPECT_EQ(number->text().toStdString(), "30");
        dialog->findChild<QPushButton*>("control_3")->click();
        EXPECT_EQ(bar->value(), 4);
        dialog->findChild<QPushButton*>("control_2")->click();
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_FALSE(dialog_messages.empty());
    EXPECT_EQ(dialog_messages.front().message, WM_INITDIALOG);
    EXPECT_EQ(Scroll_Codes(),
              (std::vector<int>{SB_LINERIGHT, SB_PAGELEFT, SB_PAGELEFT, SB_RIGHT, SB_LEFT, SB_THUMBTRACK}));
    for (const Posted_Message& message : dialog_messages) {
        if (message.message == WM_HSCROLL) {
            EXPECT_EQ(message.lparam, CONTRAST_SCROLL);
        }
    }
    // Cancel took the preset's contrast back into the working value.
    EXPECT_EQ(dialog_values.contrast, plasma_settings.contrast);
}

TEST_F(DialogTest, ACheckBoxTurnsItselfOverAndTellsTheProcedure) {
    plasma_settings.plasma_ignore_fps = 0;
    const int result = Run(SPEEDBOX, SCALAR_SPEED, [](QDialog* dialog) {
        auto* box = dialog->findChild<QCheckBox*>("control_1056");
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->isChecked());
        box->click();
        EXPECT_EQ(plasma_settings.plasma_ignore_fps, 1);
        dialog->findChild<QPushButton*>("control_4")->click();
        EXPECT_FALSE(box->isChecked());
        EXPECT_EQ(plasma_settings.plasma_ignore_fps, 0);
        // Return presses OK: the speed is stored.
        auto* bar = dialog->findChild<QScrollBar*>("control_1002");
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        dialog->findChild<QPushButton*>("control_1")->click();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(plasma_settings.speed, 499.0);
}

TEST_F(DialogTest, AListShowsItsEntriesAndTheUsersChoiceReachesTheProcedure) {
    plasma_settings.resolution = 7;
    const int result = Platform_Control_Dialog_Box(
        RESOLUTIONBOX, nullptr,
        [](Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) -> intptr_t {
            if (message == WM_INITDIALOG) {
                QTimer::singleShot(0, [] {
                    auto* widget = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                    ASSERT_NE(widget, nullptr);
                    EXPECT_EQ(widget->windowTitle().toStdString(), "Fullscreen Resolution");
                    auto* list = widget->findChild<QListWidget*>("control_1040");
                    ASSERT_NE(list, nullptr);
                    EXPECT_EQ(list->count(), 20);
                    EXPECT_EQ(list->item(3)->text().toStdString(), "1024 x 768  x 32");
                    EXPECT_EQ(list->currentRow(), 7);
                    list->setCurrentRow(12);
                    widget->findChild<QPushButton*>("control_1")->click();
                });
            }
            if (message == WM_MOVE || message == WM_PAINT) return 1;
            return Resolution_Dialog_Procedure(dialog, message, wparam, lparam);
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(plasma_settings.resolution, 12);
}

namespace {

intptr_t Quiet_Procedure(Control_Dialog*, unsigned message, uintptr_t, intptr_t) {
    return message == WM_INITDIALOG ? 1 : 0;
}

// How wide a control's text is drawn, in pixels.
int Drawn_Width(QWidget* widget) {
    const QFontMetrics metrics(widget->font());
    if (auto* button = qobject_cast<QPushButton*>(widget)) return metrics.horizontalAdvance(button->text());
    if (auto* box = qobject_cast<QCheckBox*>(widget)) return box->sizeHint().width();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->pixmap().isNull() ? label->sizeHint().width() : 0;
    return 0;
}

}  // namespace

TEST_F(DialogTest, EveryTextFitsItsControlAtTheDesktopsFontAndLarger) {
    const Control_Dialog_Template* templates[] = {
        &SPEEDBOX,    &CONTRASTBOX,   &SWAYBOX,     &ANGLE_BBOX,   &ANGLE_ABOX,      &CONSTANT_ABOX, &GRANULARITYBOX,
        &SLIDESPEEDBOX, &RANDOMCOLOURBOX, &RESOLUTIONBOX, &DIRECTIONBOX, &ZONEBOX,   &FADEBOX,       &JOURNEYBOX,
        &COLOURBOX,   &INTRODUCTIONBOX, &ABOUTBOX,  &INFOBOX,      &BACKGROUNDBOX,   &SINEWAVEBOX,   &SLIDEOBJECTSBOX,
    };
    const QFont desktop = QApplication::font();
    for (double scale : {1.0, 1.5, 2.0}) {
        QFont font = desktop;
        font.setPointSizeF(desktop.pointSizeF() * scale);
        QApplication::setFont(font);
        for (const Control_Dialog_Template* dialog_template : templates) {
            SCOPED_TRACE(std::string(dialog_template->name) + " at " + std::to_string(scale));
            QTimer::singleShot(0, [] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(dialog, nullptr);
                const QRect inside(QPoint(0, 0), dialog->size());
                for (QWidget* child : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                    if (!child->objectName().startsWith(QStringLiteral("control_"))) continue;
                    EXPECT_LE(Drawn_Width(child), child->width()) << child->objectName().toStdString();
                    EXPECT_TRUE(inside.contains(child->geometry())) << child->objectName().toStdString();
                }
                dialog->done(-2);
            });
            Platform_Control_Dialog_Box(*dialog_template, nullptr, Quiet_Procedure);
        }
    }
    QApplication::setFont(desktop);
}

TEST_F(DialogTest, NoToCreatingAFileGoesBackToTheOpenDialog) {
    TempFolder folder;
    std::ofstream(folder.file("There.dat")) << "a preset";
    const struct {
        const char* name;
        QMessageBox::StandardButton answer;  // to "Create the file?"
        std::string chosen;                  // "" when nothing was chosen
        int dialogs;                         // how often the open dialog was shown
    } cases[] = {
        // No: the dialog comes back, and the existing file is taken.
        {"no", QMessageBox::No, folder.file("There.dat"), 2},
        {"yes", QMessageBox::Yes, folder.file("New.dat"), 1},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        int dialogs = 0, questions = 0;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                // Each showing is answered once: after each question it may show again.
                if (files->property("seen").toInt() == questions + 1) return;
                files->setProperty("seen", questions + 1);
                dialogs++;
                // Typed into the name field, as a user would.
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(QString::fromStdString(folder.file(dialogs == 1 ? "New.dat" : "There.dat")));
                QMetaObject::invokeMethod(files, "accept");
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                questions++;
                box->button(each.answer)->click();
            }
        });
        user.start(20);
        File_Dialog_Request request;
        request.create_prompt = true;
        request.initial_folder = folder.path();
        std::string chosen;
        const bool taken = Platform_Qt_File_Dialog(request, &chosen);
        user.stop();
        EXPECT_EQ(taken, !each.chosen.empty());
        EXPECT_EQ(chosen, each.chosen);
        EXPECT_EQ(dialogs, each.dialogs);
        EXPECT_EQ(questions, 1);
    }
}
