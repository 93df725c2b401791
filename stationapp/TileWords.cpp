#include "TileWords.h"

#include "DurationText.h"
#include "VisibleText.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr TileState kStates[] = {
    TileState::LeftAlone, TileState::Waiting,  TileState::Running,
    TileState::Retrying,  TileState::Done,     TileState::Failed,
    TileState::Stopped,   TileState::LineLost, TileState::Unplugged,
};

} // namespace

QString AdapterName(const QString& serialNumber, const QString& port)
{
    if (!serialNumber.isEmpty())
        return VisibleText(serialNumber);
    // usb-<maker>_<product>_<serial>-if<interface>-port<n>, the maker and product with
    // underscores for spaces.
    static const QRegularExpression byIdName(
        QStringLiteral("^usb-.*_([^_]+)-if[0-9]+(-port[0-9]+)?$"));
    const QString name = QFileInfo(port).fileName();
    const QRegularExpressionMatch match = byIdName.match(name);
    return VisibleText(match.hasMatch() ? match.captured(1) : name);
}

QString StateWords(TileState state)
{
    switch (state) {
    case TileState::LeftAlone:
        return QStringLiteral("Left alone");
    case TileState::Waiting:
        return QStringLiteral("Waiting");
    case TileState::Running:
        return QStringLiteral("Running");
    case TileState::Retrying:
        return QStringLiteral("Retrying");
    case TileState::Done:
        return AsSentence(OutcomePhrase(Outcome::Downloaded));
    case TileState::Failed:
        return AsSentence(OutcomePhrase(Outcome::Failed));
    case TileState::Stopped:
        return QStringLiteral("Stopped");
    case TileState::LineLost:
        return QStringLiteral("Line lost");
    case TileState::Unplugged:
        return QStringLiteral("Unplugged");
    }
    return {};
}

// A run that was stopped is "Stopped", as the line's counts call it, rather than the
// command line's "cancelled".
QString EndedWords(const TryResult& result)
{
    if (result.run.outcome == Outcome::Cancelled)
        return StateWords(TileState::Stopped);
    return AsSentence(OutcomePhrase(result.run.outcome));
}

QStringList AllStateWords()
{
    QStringList words;
    for (const TileState state : kStates)
        words << StateWords(state);
    for (const QString& word : OutcomeWords())
        words << AsSentence(OutcomePhrase(*OutcomeFromWord(word)));
    return words;
}

TileState EndedState(const TryResult& result)
{
    switch (result.run.outcome) {
    case Outcome::Downloaded:
        return TileState::Done;
    case Outcome::Cancelled:
        return TileState::Stopped;
    default:
        return TileState::Failed;
    }
}

QString RunningTimes(int64_t elapsedMs, int64_t remainingMs)
{
    return QStringLiteral("%1 elapsed, %2 left")
        .arg(FormatDuration(elapsedMs), FormatDuration(remainingMs));
}

QString EndedTime(int64_t elapsedMs)
{
    return QStringLiteral("took %1").arg(FormatDuration(elapsedMs));
}

QString AsSentence(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}
