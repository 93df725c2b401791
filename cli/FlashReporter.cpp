#include "FlashReporter.h"

#include <QRegularExpression>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>

QString OneLine(const QString& prompt)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    return prompt.trimmed().replace(lineBreaks, QStringLiteral(" "));
}

QString MessageLine(const MessageBoxText& box)
{
    const QString line = (box.title.isEmpty() ? kApplicationTitle : box.title) +
                         QStringLiteral(": ") + OneLine(box.prompt);
    return box.detail.isEmpty() ? line : line + QLatin1Char(' ') + box.detail;
}

QString FormatDuration(int64_t ms)
{
    const int64_t seconds = ms / 1000;
    const QChar zero(QLatin1Char('0'));
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, zero).arg(seconds % 60, 2, 10, zero);
}

QString SummaryLine(const FlashSummary& summary)
{
    // The shared load stage belongs to no port.
    QString text = (summary.port.isEmpty() ? QString() : summary.port + QStringLiteral(": ")) +
                   OutcomePhrase(summary.run.outcome);
    if (!summary.detail.isEmpty())
        text += QStringLiteral(" - ") + summary.detail;
    if (summary.elapsedMs > 0)
        text += QStringLiteral(" (%1)").arg(FormatDuration(summary.elapsedMs));
    return text;
}

bool IsLiveTerminal(std::FILE* stream)
{
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stream)) != 0;
#else
    const bool terminal = isatty(fileno(stream)) != 0;
#endif
    const char* term = std::getenv("TERM");
    const char* noColor = std::getenv("NO_COLOR");
    return terminal && term && *term && std::strcmp(term, "dumb") != 0 && !(noColor && *noColor);
}

int TerminalWidth(std::FILE* stream)
{
    constexpr int kDefaultWidth = 80;
#ifndef _WIN32
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
#else
    (void)stream;
#endif
    return kDefaultWidth;
}

int TerminalHeight(std::FILE* stream)
{
    constexpr int kDefaultHeight = 24;
#ifndef _WIN32
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
        return size.ws_row;
#else
    (void)stream;
#endif
    return kDefaultHeight;
}
