#include "TraceWriter.h"

#include <QJsonDocument>
#include <QJsonObject>

bool TraceWriter::Open(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    *error = QStringLiteral("cannot write the trace file %1: %2").arg(path, m_file.errorString());
    return false;
}

void TraceWriter::Write(const TraceFrame& frame)
{
    m_file.write(FormatLine(frame));
    m_file.flush();
}

QByteArray TraceWriter::FormatLine(const TraceFrame& frame)
{
    const QJsonObject line{
        {QStringLiteral("t_ms"), static_cast<double>(frame.timeMicros) / 1000.0},
        {QStringLiteral("dir"), frame.direction == TraceFrame::Direction::In
                                    ? QStringLiteral("in")
                                    : QStringLiteral("out")},
        {QStringLiteral("kind"), frame.kind},
        {QStringLiteral("command"), frame.command},
        {QStringLiteral("hex"), QString::fromLatin1(frame.bytes.toHex(' ').toUpper())},
    };
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}
