#pragma once

#include "VirtualDevice.h"

#include <QFile>

// Writes one JSON object per line for every frame the device sees or sends:
// {"t_ms":12.345,"dir":"in","kind":"packet","command":2,"hex":"7E 04 02 00 A1 40"}
class TraceWriter
{
public:
    // False with error set when the file cannot be opened for writing.
    bool Open(const QString& path, QString* error);
    void Write(const TraceFrame& frame);

private:
    static QByteArray FormatLine(const TraceFrame& frame);

    QFile m_file;
};
