#pragma once

#include "ShellOpenService.h"

#include <QStringList>

// Shell open that records what it was handed; documents open only when they exist on disk,
// addresses only when the test allows it.
class RecordingShell : public ShellOpenService
{
public:
    bool OpenDocument(const QString& path) override;
    bool OpenAddress(const QString& address) override
    {
        addresses.append(address);
        return addressesOpen;
    }

    QStringList documents;
    QStringList addresses;
    bool addressesOpen = true;
};
