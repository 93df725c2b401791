#include "QtFileDialogService.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

std::optional<QString> AskForFile(QWidget* parent, const OpenFileRequest& request)
{
    QFileDialog dialog(parent, request.title, request.initialDir, request.filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.initialFile.isEmpty())
        dialog.selectFile(QFileInfo(request.initialFile).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}

} // namespace

// QFileDialog writes its own state (history, last folder, view) to the per-user settings file
// "QtProject" whenever it closes, and no option turns that off. The window writes no file but
// its settings and the record, so a state file the dialog made is removed once it has closed;
// one that was there before (another Qt program's) is left to its owner.
std::optional<QString> QtFileDialogService::GetOpenFileName(QWidget* parent,
                                                            const OpenFileRequest& request)
{
    const QString stateFile =
        QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
    const bool stateFileWasThere = QFileInfo::exists(stateFile);
    std::optional<QString> chosen = AskForFile(parent, request);
    if (!stateFileWasThere)
        QFile::remove(stateFile);
    return chosen;
}
