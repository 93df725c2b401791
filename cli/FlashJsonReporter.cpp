#include "FlashJsonReporter.h"

#include <QJsonDocument>

FlashJsonReporter::FlashJsonReporter(std::FILE* out) : m_out(out) {}

void FlashJsonReporter::Status(const QString& port, const QString& text)
{
    Emit(QStringLiteral("status"), port, {{QStringLiteral("text"), text}});
}

void FlashJsonReporter::FileState(const QString& port, const QString& text)
{
    Emit(QStringLiteral("file"), port, {{QStringLiteral("text"), text}});
}

void FlashJsonReporter::Progress(const QString& port, int value, int maximum, int percent,
                                 int64_t elapsedMs)
{
    QJsonObject fields{{QStringLiteral("value"), value},
                       {QStringLiteral("maximum"), maximum},
                       {QStringLiteral("percent"), percent},
                       {QStringLiteral("elapsed_ms"), static_cast<qint64>(elapsedMs)}};
    const int64_t remaining = RemainingMs(value, maximum, elapsedMs);
    if (remaining >= 0)
        fields.insert(QStringLiteral("remaining_ms"), static_cast<qint64>(remaining));
    Emit(QStringLiteral("progress"), port, fields);
}

void FlashJsonReporter::Message(const QString& port, const QString& title, const QString& prompt,
                                int style)
{
    Emit(QStringLiteral("message"), port,
         {{QStringLiteral("title"), title},
          {QStringLiteral("text"), OneLine(prompt)},
          {QStringLiteral("style"), style}});
}

void FlashJsonReporter::Outcome(const FlashSummary& summary)
{
    Emit(QStringLiteral("outcome"), summary.port,
         {{QStringLiteral("outcome"), summary.outcome},
          {QStringLiteral("exit_code"), summary.exitCode},
          {QStringLiteral("verified"), summary.verified},
          {QStringLiteral("detail"), summary.detail},
          {QStringLiteral("elapsed_ms"), static_cast<qint64>(summary.elapsedMs)}});
}

void FlashJsonReporter::Finish()
{
    const std::lock_guard lock(m_mutex);
    std::fflush(m_out);
}

void FlashJsonReporter::Emit(const QString& event, const QString& port, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), event);
    fields.insert(QStringLiteral("port"), port.isEmpty() ? QJsonValue() : QJsonValue(port));
    const QByteArray line = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    const std::lock_guard lock(m_mutex);
    std::fprintf(m_out, "%s\n", line.constData());
    std::fflush(m_out);
}
