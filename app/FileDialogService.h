#pragma once

#include <QString>

#include <optional>

class QWidget;

// What the open-file dialog is asked for: title, filter, where it starts.
struct OpenFileRequest
{
    QString title;
    QString filter;      // Qt filter text, e.g. "S-Record Releases (*.mot)"
    QString initialDir;  // empty: the platform's default folder
    QString initialFile; // empty: no name preset
};

// The open-file dialog. Only an existing file may be chosen; no value means the user
// cancelled.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;

    virtual std::optional<QString> GetOpenFileName(QWidget* parent,
                                                   const OpenFileRequest& request) = 0;
};
