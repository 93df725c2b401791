#pragma once

#include "RecordFilter.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The command line of norvane-flash history.
struct HistoryOptions
{
    RecordFilter filter;
    QString record; // --record: empty for the default file
    bool json = false;
    bool csv = false;
    bool summary = false;
    QString htmlFile; // empty: no page
    bool help = false;
};

// Reads the arguments that follow "history"; times are taken relative to now. False with a
// message in error when they are wrong.
bool ParseHistoryOptions(const QStringList& args, const QDateTime& now, HistoryOptions& options,
                         QString& error);

// A time on the command line: "2026-12-07", "2026-12-07 14:30", "2026-12-07T14:30:00Z" (local
// time unless a zone is given), or a span back from now: "90s", "30m", "8h", "7d". Invalid
// when the text is none of these.
QDateTime ParseHistoryTime(const QString& text, const QDateTime& now);

// The text of norvane-flash history --help.
const char* HistoryUsageText();
