#pragma once

#include "FileDialogService.h"

#include <vector>

// The open-file dialog answered by the test: records what it was asked and returns the
// scripted choice (no value: cancelled).
class ScriptedFileDialog : public FileDialogService
{
public:
    std::optional<QString> GetOpenFileName(QWidget*, const OpenFileRequest& request) override
    {
        requests.push_back(request);
        return choice;
    }

    std::optional<QString> choice;
    std::vector<OpenFileRequest> requests;
};
