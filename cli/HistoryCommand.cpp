// norvane-flash history: lists, sums up or charts the recorded downloads.
#include "Commands.h"

#include "HistoryListing.h"
#include "HistoryOptions.h"
#include "HistoryPage.h"
#include "HistorySummary.h"
#include "RecordFile.h"
#include "RecordOption.h"
#include "RecordStore.h"
#include "Terminal.h"
#include "VisibleText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

constexpr int kExitRecordUnreadable = 1;

// A new or regular file is replaced whole or not at all; anything else (/dev/stdout, a FIFO)
// is written as it is, never replaced by a file of its own name.
bool WritePage(const QString& fileName, const QString& html, QString& error)
{
    const QByteArray bytes = html.toUtf8();
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile()) {
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
            return true;
        error = file.errorString();
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int RunHistoryCommand(const QStringList& args)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    HistoryOptions options;
    QString error;
    if (!ParseHistoryOptions(args, now, options, error))
        return UsageError("history", error);
    if (options.help) {
        std::fputs(HistoryUsageText(), stdout);
        return WithOutputChecked(0);
    }
    const std::optional<RecordTarget> target =
        RecordFromOption(options.record, RecordUse::Read, error);
    if (!target)
        return UsageError("history", error);
    // The default record is missing until the first download; one named on the command line
    // and missing is a typo in its path, not an empty history.
    if (!options.record.isEmpty() && !target->IsServer() && !QFileInfo::exists(target->file)) {
        std::fprintf(stderr, "norvane-flash history: no record at %s\n",
                     qPrintable(VisibleText(target->file)));
        return kExitRecordUnreadable;
    }
    if (!options.htmlFile.isEmpty()) {
        const QString clash = OutputClashWithRecord(options.htmlFile, target->file);
        if (!clash.isEmpty())
            return UsageError("history",
                              QStringLiteral("the page %1 %2").arg(options.htmlFile, clash));
    }
    const QueryResult result = RecordStore(*target).Query(options.filter);
    if (!result.error.isEmpty()) {
        std::fprintf(stderr, "norvane-flash history: %s\n", qPrintable(VisibleText(result.error)));
        return kExitRecordUnreadable;
    }

    if (!options.htmlFile.isEmpty()) {
        const QString source = target->IsServer() ? target->ServerName() : target->file;
        if (!WritePage(options.htmlFile, HistoryPageHtml(result.rows, source, now), error)) {
            std::fprintf(stderr, "norvane-flash history: cannot write %s: %s\n",
                         qPrintable(VisibleText(options.htmlFile)), qPrintable(VisibleText(error)));
            return kExitRecordUnreadable;
        }
        if (!options.summary && !options.json && !options.csv)
            return 0;
    }
    if (options.summary) {
        const HistorySummary summary = SummariseHistory(result.rows);
        if (options.json)
            PrintSummaryJson(summary, stdout);
        else
            PrintSummaryText(summary, stdout);
    } else if (options.json) {
        PrintHistoryJson(result.rows, stdout);
    } else if (options.csv) {
        PrintHistoryCsv(result.rows, stdout);
    } else {
        PrintHistoryTable(result.rows, stdout, IsLiveTerminal(stdout) ? TerminalWidth(stdout) : 0);
    }
    return WithOutputChecked(0);
}
