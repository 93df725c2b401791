// One JSON object per line for every event, for scripts and production-line software; the
// README lists the events and their keys. The shared load stage has "port": null.
#include "FlashReporter.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

class JsonReporter : public FlashReporter
{
public:
    explicit JsonReporter(OutputQueue& out) : m_out(out) {}

    void Status(const QString& port, const QString& text) override
    {
        Emit(QStringLiteral("status"), port, {{QStringLiteral("text"), text}});
    }
    void FileState(const QString& port, const QString& text) override
    {
        Emit(QStringLiteral("file"), port, {{QStringLiteral("text"), text}});
    }
    void Progress(const QString& port, const FlashProgress& progress) override
    {
        Emit(QStringLiteral("progress"), port,
             {{QStringLiteral("value"), progress.value},
              {QStringLiteral("maximum"), progress.maximum},
              {QStringLiteral("percent"), progress.percent},
              {QStringLiteral("elapsed_ms"), static_cast<qint64>(progress.elapsedMs)},
              {QStringLiteral("remaining_ms"), static_cast<qint64>(progress.remainingMs)}});
    }
    void Message(const QString& port, const QString& title, const QString& prompt) override
    {
        Emit(QStringLiteral("message"), port,
             {{QStringLiteral("title"), title}, {QStringLiteral("text"), OneLine(prompt)}});
    }
    void Outcome(const FlashSummary& summary) override
    {
        Emit(QStringLiteral("outcome"), summary.port,
             {{QStringLiteral("outcome"), OutcomeWord(summary.exitCode)},
              {QStringLiteral("exit_code"), static_cast<int>(summary.exitCode)},
              {QStringLiteral("verified"), summary.verified},
              {QStringLiteral("detail"), summary.detail},
              {QStringLiteral("elapsed_ms"), static_cast<qint64>(summary.elapsedMs)}});
    }
    void Finish() override {}

private:
    void Emit(const QString& event, const QString& port, QJsonObject fields)
    {
        fields.insert(QStringLiteral("event"), event);
        fields.insert(QStringLiteral("port"), port.isEmpty() ? QJsonValue() : QJsonValue(port));
        m_out.Write(stdout, QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
    }

    OutputQueue& m_out;
};

} // namespace

std::unique_ptr<FlashReporter> MakeJsonReporter(OutputQueue& out)
{
    return std::make_unique<JsonReporter>(out);
}
