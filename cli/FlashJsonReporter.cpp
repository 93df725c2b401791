// One JSON object per line for every event, for scripts and production-line software; the
// README lists the events and their keys. The shared load stage has "port": null.
#include "StationReporter.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A failure's reason for scripts: its stable word and, where they apply, the command, its
// address or block, which reply, the codes due and received, the time-out and the polls.
QJsonObject ReasonFields(const FailureReason& reason)
{
    if (reason.kind == FailureKind::None)
        return {};
    QJsonObject fields{{QStringLiteral("reason"), ReasonWord(reason.kind)}};
    if (reason.command != 0) {
        fields.insert(QStringLiteral("command"), CommandName(reason.command));
        fields.insert(QStringLiteral("address"),
                      reason.address >= 0 ? QJsonValue(reason.address) : QJsonValue());
    }
    const auto addPositive = [&fields](const char* key, int value) {
        if (value > 0)
            fields.insert(QLatin1String(key), value);
    };
    addPositive("block", reason.block);
    addPositive("reply", reason.reply);
    addPositive("expected_code", reason.expected);
    if (reason.kind == FailureKind::WrongReply || reason.kind == FailureKind::VerifyRefused)
        fields.insert(QStringLiteral("received_code"), reason.received);
    addPositive("timeout_ms", reason.timeoutMs);
    addPositive("polls", reason.polls);
    return fields;
}

// Also the station's: its own events are status events in the same words as its plain lines
// (the shared ones with "port": null).
class JsonReporter : public StationReporter
{
public:
    explicit JsonReporter(OutputQueue& out) : m_out(out) {}
    // Writes through an output of its own.
    explicit JsonReporter(std::unique_ptr<OutputQueue> out)
        : m_ownOut(std::move(out)), m_out(*m_ownOut)
    {
    }

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
    void Message(const QString& port, const MessageBoxText& box) override
    {
        QJsonObject fields{
            {QStringLiteral("title"), box.title.isEmpty() ? kApplicationTitle : box.title},
            {QStringLiteral("text"), OneLine(box.prompt)}};
        if (!box.detail.isEmpty())
            fields.insert(QStringLiteral("detail"), box.detail);
        Emit(QStringLiteral("message"), port, fields);
    }
    void Outcome(const FlashSummary& summary) override
    {
        QJsonObject fields = ReasonFields(summary.run.reason);
        fields.insert(QStringLiteral("outcome"), OutcomeWord(summary.run.outcome));
        fields.insert(QStringLiteral("exit_code"), OutcomeExitCode(summary.run.outcome));
        fields.insert(QStringLiteral("verified"), summary.run.verified);
        fields.insert(QStringLiteral("detail"), summary.detail);
        fields.insert(QStringLiteral("elapsed_ms"), static_cast<qint64>(summary.elapsedMs));
        Emit(QStringLiteral("outcome"), summary.port, fields);
    }
    void Finish() override {}

    void Watching(const QString& folder, bool folderExists) override
    {
        Status(QString(), WatchingText(folder, folderExists));
    }
    void LeftAlone(const QString& port) override { Status(port, LeftAloneText()); }
    void Plugged(const QString& port, const QString& serialNumber) override
    {
        Status(port, PluggedText(serialNumber));
    }
    void Started(const QString&) override {}
    void Ended(const FlashSummary&, const StationCounts&) override {}
    void Unplugged(const QString& port) override { Status(port, UnpluggedText()); }
    void Stopped(const StationCounts& counts) override { Status(QString(), StoppedText(counts)); }

private:
    void Emit(const QString& event, const QString& port, QJsonObject fields)
    {
        fields.insert(QStringLiteral("event"), event);
        fields.insert(QStringLiteral("port"), port.isEmpty() ? QJsonValue() : QJsonValue(port));
        m_out.Write(stdout, QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
    }

    std::unique_ptr<OutputQueue> m_ownOut; // null: writes through the command's output
    OutputQueue& m_out;
};

} // namespace

std::unique_ptr<FlashReporter> MakeJsonReporter(OutputQueue& out)
{
    return std::make_unique<JsonReporter>(out);
}

std::unique_ptr<StationReporter> MakeStationJsonReporter()
{
    return std::make_unique<JsonReporter>(std::make_unique<OutputQueue>());
}
