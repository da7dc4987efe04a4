// The help viewer on Qt: one plain-text window, reused by later calls.
#include <QDialog>
#include <QFont>
#include <QFontDatabase>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>

#include "platform/help.h"
#include "platform/window_qt.h"

static QPointer<QDialog> help_window;

static void Show_Help_Window(Window* owner, const std::string& text) {
    if (!help_window) {
        help_window = new QDialog(Platform_Qt_Frame(owner));
        help_window->setObjectName(QStringLiteral("HELP"));
        help_window->setWindowTitle(QStringLiteral("Calvorine Help"));
        help_window->setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(help_window);
        auto* view = new QPlainTextEdit(help_window);
        view->setObjectName(QStringLiteral("help_text"));
        view->setReadOnly(true);
        // The file lines its columns up with blanks.
        view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        layout->addWidget(view);
        help_window->resize(640, 520);
    }
    auto* view = help_window->findChild<QPlainTextEdit*>(QStringLiteral("help_text"));
    view->setPlainText(QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size())));
    view->moveCursor(QTextCursor::Start);
    help_window->show();
    help_window->raise();
    help_window->activateWindow();
}

void Platform_Install_Qt_Help(bool install) {
    platform_help_hook = install ? Show_Help_Window : nullptr;
    if (!install && help_window) delete help_window;
}
