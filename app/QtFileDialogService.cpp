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
    if (!request.initialFile.isEmpty())
        dialog.selectFile(QFileInfo(request.initialFile).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen.first());
}
