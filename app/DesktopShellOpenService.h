#pragma once

#include "ShellOpenService.h"

// Opens documents and addresses through the desktop's handlers (QDesktopServices).
class DesktopShellOpenService : public ShellOpenService
{
public:
    bool OpenDocument(const QString& path) override;
    bool OpenAddress(const QString& address) override;
};
