// The file dialogs on Qt: the toolkit's own dialog (not the desktop's, so
// that it behaves the same everywhere and under a bare X server), with the
// program's filters, starting folder, first name and default extension.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>
#include <string>

#include "platform/file_dialog.h"
#include "platform/window_qt.h"

// A filter's extension as the default for typed names: "*.dat" gives
// "dat", "*.*" gives none.
static QString Extension_Of(const char* pattern) {
    QString text = QString::fromLatin1(pattern ? pattern : "");
    if (!text.startsWith(QStringLiteral("*.")) || text == QStringLiteral("*.*")) return QString();
    return text.mid(2);
}

bool Platform_Qt_File_Dialog(const File_Dialog_Request& request, std::string* chosen) {
    QFileDialog dialog(Platform_Qt_Frame(request.owner));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(request.save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // An open dialog that may offer to create a file takes any name.
    dialog.setFileMode(request.save || request.create_prompt ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwrite_prompt);
    dialog.setOption(QFileDialog::ReadOnly, false);

    // File names ignore case, as the saver's own lookups do: each filter
    // matches its pattern in both cases, and shows only its description.
    QStringList filters;
    for (int i = 0; i < request.filter_count; i++) {
        QString pattern = QString::fromLatin1(request.filters[i].pattern);
        filters << QString::fromLatin1(request.filters[i].description) + QStringLiteral(" (") + pattern.toLower() +
                       QLatin1Char(' ') + pattern.toUpper() + QLatin1Char(')');
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
    if (request.filter_index >= 1 && request.filter_index <= filters.size())
        dialog.selectNameFilter(filters[request.filter_index - 1]);
    dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
    // Choosing another filter makes its extension the default one.
    QObject::connect(&dialog, &QFileDialog::filterSelected, [&](const QString& filter) {
        const int index = static_cast<int>(filters.indexOf(filter));
        if (index >= 0) dialog.setDefaultSuffix(Extension_Of(request.filters[index].pattern));
    });
    if (!request.initial_folder.empty()) dialog.setDirectory(QString::fromStdString(request.initial_folder));
    if (!request.initial_name.empty()) dialog.selectFile(QString::fromStdString(request.initial_name));

    // No to "Create the file?" goes back to the dialog with the name still
    // in it, as the question's own dialog would; only Cancel leaves.
    for (;;) {
        const int answer = Platform_Qt_Run_Modal(&dialog);
        if (answer != QDialog::Accepted) break;
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty()) break;
        const QString path = files.first();
        if (!request.save && request.create_prompt && !QFileInfo::exists(path)) {
            const QString question = path + QStringLiteral("\nThis file does not exist.\nCreate the file?");
            QMessageBox box(QMessageBox::Question, dialog.windowTitle(), question,
                            QMessageBox::Yes | QMessageBox::No, dialog.parentWidget());
            box.setDefaultButton(QMessageBox::Yes);
            if (Platform_Qt_Run_Modal(&box) != QMessageBox::Yes) continue;
        }
        Platform_Qt_Return_Focus(request.owner);
        *chosen = QDir::toNativeSeparators(path).toStdString();
        return true;
    }
    Platform_Qt_Return_Focus(request.owner);
    return false;
}
