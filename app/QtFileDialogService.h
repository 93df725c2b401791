#pragma once

#include "FileDialogService.h"

// The open-file dialog as a QFileDialog.
class QtFileDialogService : public FileDialogService
{
public:
    std::optional<QString> GetOpenFileName(QWidget* parent,
                                           const OpenFileRequest& request) override;
};
