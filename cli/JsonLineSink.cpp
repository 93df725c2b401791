#include "JsonLineSink.h"

#include "EventTexts.h"
#include "JsonLine.h"

namespace {

// A failure's reason for scripts: its stable word and, where they apply, the command, its
// address or block, which reply, the codes due and received, the time-out and the polls.
void AddReason(JsonLine& line, const FailureReason& reason)
{
    if (reason.kind == FailureKind::None)
        return;
    line.Add("reason", ReasonWord(reason.kind));
    if (reason.command != 0) {
        line.Add("command", CommandName(reason.command));
        line.Add("address", reason.address >= 0 ? QJsonValue(reason.address) : QJsonValue());
    }
    const auto addPositive = [&line](const char* key, int value) {
        if (value > 0)
            line.Add(key, value);
    };
    addPositive("block", reason.block);
    addPositive("reply", reason.reply);
    addPositive("expected_code", reason.expected);
    if (reason.kind == FailureKind::WrongReply || reason.kind == FailureKind::VerifyRefused)
        line.Add("received_code", reason.received);
    addPositive("timeout_ms", reason.timeoutMs);
    addPositive("polls", reason.polls);
}

} // namespace

void JsonLineSink::Status(const QString& port, const QString& text)
{
    m_queue.Write(m_out, JsonLine("status", port).Add("text", text).Text());
}

void JsonLineSink::FileState(const QString& port, const QString& text)
{
    m_queue.Write(m_out, JsonLine("file", port).Add("text", text).Text());
}

void JsonLineSink::Progress(const QString& port, const RunProgress& progress)
{
    m_queue.Write(m_out, JsonLine("progress", port)
                             .Add("value", progress.value)
                             .Add("maximum", progress.maximum)
                             .Add("percent", progress.percent)
                             .Add("elapsed_ms", qint64{progress.elapsedMs})
                             .Add("remaining_ms", qint64{progress.remainingMs})
                             .Text());
}

void JsonLineSink::Message(const QString& port, const MessageBoxText& box)
{
    JsonLine line("message", port);
    line.Add("title", box.title.isEmpty() ? kApplicationTitle : box.title);
    line.Add("text", OneLine(box.prompt));
    if (!box.detail.isEmpty())
        line.Add("detail", box.detail);
    m_queue.Write(m_out, line.Text());
}

void JsonLineSink::Outcome(const TryResult& summary)
{
    JsonLine line("outcome", summary.port);
    line.Add("outcome", OutcomeWord(summary.run.outcome));
    line.Add("exit_code", OutcomeExitCode(summary.run.outcome));
    line.Add("verified", summary.run.verified);
    AddReason(line, summary.run.reason);
    line.Add("detail", summary.detail);
    line.Add("elapsed_ms", qint64{summary.elapsedMs});
    m_queue.Write(m_out, line.Text());
}
