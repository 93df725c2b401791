#include "FlashJsonReporter.h"

#include <QJsonDocument>

void FlashJsonReporter::Status(const QString& port, const QString& text)
{
    Emit(QStringLiteral("status"), port, {{QStringLiteral("text"), text}});
}

void FlashJsonReporter::FileState(const QString& port, const QString& text)
{
    Emit(QStringLiteral("file"), port, {{QStringLiteral("text"), text}});
}

void FlashJsonReporter::Progress(const QString& port, const FlashProgress& progress)
{
    Emit(QStringLiteral("progress"), port,
         {{QStringLiteral("value"), progress.value},
          {QStringLiteral("maximum"), progress.maximum},
          {QStringLiteral("percent"), progress.percent},
          {QStringLiteral("elapsed_ms"), static_cast<qint64>(progress.elapsedMs)},
          {QStringLiteral("remaining_ms"), static_cast<qint64>(progress.remainingMs)}});
}

void FlashJsonReporter::Message(const QString& port, const QString& title, const QString& prompt)
{
    Emit(QStringLiteral("message"), port,
         {{QStringLiteral("title"), title}, {QStringLiteral("text"), OneLine(prompt)}});
}

void FlashJsonReporter::Outcome(const FlashSummary& summary)
{
    Emit(QStringLiteral("outcome"), summary.port,
         {{QStringLiteral("outcome"), OutcomeWord(summary.exitCode)},
          {QStringLiteral("exit_code"), static_cast<int>(summary.exitCode)},
          {QStringLiteral("verified"), summary.verified},
          {QStringLiteral("detail"), summary.detail},
          {QStringLiteral("elapsed_ms"), static_cast<qint64>(summary.elapsedMs)}});
}

void FlashJsonReporter::Emit(const QString& event, const QString& port, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), event);
    fields.insert(QStringLiteral("port"), port.isEmpty() ? QJsonValue() : QJsonValue(port));
    m_out.Write(stdout, QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
}
