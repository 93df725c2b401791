#include "QtFileDialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::optional<QString> QtFileDialogService::GetOpenFileName(QWidget* parent,
                                                           const OpenFileRequest& request)
{
    QFileDialog dialog(parent, request.title, request.initialDir, request.filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.initialFile.isEmpty()) {
        const QFileInfo initial(request.initialFile);
        if (!request.initialDir.isEmpty())
            dialog.setDirectory(request.initialDir);
        dialog.selectFile(initial.fileName());
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}
