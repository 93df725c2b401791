#include "TileWords.h"

#include "DurationText.h"

namespace {

constexpr TileState kStates[] = {
    TileState::LeftAlone, TileState::Waiting,  TileState::Running,
    TileState::Retrying,  TileState::Done,     TileState::Failed,
    TileState::Stopped,   TileState::LineLost, TileState::Unplugged,
};

} // namespace

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
