#include "FlashTextReporter.h"

FlashTextReporter::FlashTextReporter(const QStringList& ports, std::FILE* out, std::FILE* err)
    : m_ports(ports), m_out(out), m_err(err)
{
}

void FlashTextReporter::Status(const QString& port, const QString& text)
{
    if (text.isEmpty())
        return;
    const std::lock_guard lock(m_mutex);
    PrintLine(m_out, port, text);
}

void FlashTextReporter::FileState(const QString&, const QString&)
{
    // The CRC is part of the status lines already.
}

void FlashTextReporter::Progress(const QString& port, int value, int maximum, int percent,
                                 int64_t elapsedMs)
{
    const std::lock_guard lock(m_mutex);
    const int tenth = percent / 10;
    auto [entry, first] = m_lastTenth.try_emplace(port, -1);
    if (!first && tenth == entry->second)
        return;
    if (value == 0 && maximum > 0) {
        entry->second = 0;
        return;
    }
    entry->second = tenth;
    QString line = QStringLiteral("%1 % (%2/%3 steps, %4 elapsed")
                       .arg(percent)
                       .arg(value)
                       .arg(maximum)
                       .arg(FormatDuration(elapsedMs));
    const int64_t remaining = RemainingMs(value, maximum, elapsedMs);
    if (remaining >= 0)
        line += QStringLiteral(", %1 left").arg(FormatDuration(remaining));
    PrintLine(m_out, port, line + QLatin1Char(')'));
}

void FlashTextReporter::Message(const QString& port, const QString& title, const QString& prompt,
                                int)
{
    const std::lock_guard lock(m_mutex);
    std::fflush(m_out);
    PrintLine(m_err, port, MessageLine(title, prompt));
}

void FlashTextReporter::Outcome(const FlashSummary& summary)
{
    const std::lock_guard lock(m_mutex);
    m_summaries[summary.port] = summary;
}

void FlashTextReporter::Finish()
{
    const std::lock_guard lock(m_mutex);
    for (const QString& port : m_ports) {
        const auto found = m_summaries.find(port);
        if (found != m_summaries.end())
            std::fprintf(m_out, "%s\n", qPrintable(SummaryLine(found->second)));
    }
    std::fflush(m_out);
}

void FlashTextReporter::PrintLine(std::FILE* stream, const QString& port, const QString& text)
{
    if (m_ports.size() > 1 && !port.isEmpty())
        std::fprintf(stream, "%s: %s\n", qPrintable(port), qPrintable(text));
    else
        std::fprintf(stream, "%s\n", qPrintable(text));
    std::fflush(stream);
}

namespace {

// The outcome words of the JSON events, as a person reads them.
QString OutcomePhrase(const QString& outcome)
{
    static const std::map<QString, QString> phrases{
        {QStringLiteral("failed"), QStringLiteral("download failed")},
        {QStringLiteral("file-unusable"), QStringLiteral("file not usable")},
        {QStringLiteral("port-unavailable"), QStringLiteral("port cannot be opened")},
        {QStringLiteral("bootloader-not-started"), QStringLiteral("bootloader did not start")}};
    const auto found = phrases.find(outcome);
    return found == phrases.end() ? outcome : found->second;
}

} // namespace

QString SummaryLine(const FlashSummary& summary)
{
    QString line = summary.port + QStringLiteral(": ") + OutcomePhrase(summary.outcome);
    if (!summary.detail.isEmpty())
        line += QStringLiteral(" - ") + summary.detail;
    if (summary.elapsedMs > 0)
        line += QStringLiteral(" (%1)").arg(FormatDuration(summary.elapsedMs));
    return line;
}
