#pragma once

#include <QString>

// Hands a document or a web address to whatever program the user has for it, without
// waiting for that program. False when nothing could take it.
class ShellOpenService
{
public:
    virtual ~ShellOpenService() = default;

    virtual bool OpenDocument(const QString& path) = 0;
    virtual bool OpenAddress(const QString& address) = 0;
};
