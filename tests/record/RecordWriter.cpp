// record-writer: appends made-up download rows to a record, as many downloads would, for the
// tests of the record and its benchmark.
//
//   record-writer --record SPEC --rows N [--threads T] [--station HOST] [--spread-hours H]
//       writes N rows from each of T threads at once, then prints "rows R seconds S".
//   record-writer --record SPEC [--station HOST]
//       opens the record (sending rows that wait for its server) and prints how that went,
//       then for each number n read from standard input writes n rows, each sent to the
//       server at once, one result line ("stored", "waiting", "locked", "not-stored") per
//       row; ends at the end of its input.
#include "RecordStore.h"
#include "SampleRecords.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* StatusWord(StoreStatus status)
{
    switch (status) {
    case StoreStatus::Stored:
        return "stored";
    case StoreStatus::WaitingForServer:
        return "waiting";
    case StoreStatus::Locked:
        return "locked";
    case StoreStatus::NotStored:
        break;
    }
    return "not-stored";
}

// A write to the local file, then for a server the sending of every row that waits there.
void PrintResult(const RecordStore& store, const StoreResult& written)
{
    const StoreResult result = written.status == StoreStatus::Stored ? store.SendUnsent() : written;
    std::printf("%s%s%s\n", StatusWord(result.status), result.warning.isEmpty() ? "" : ": ",
                qPrintable(result.warning));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions(
        {{QStringLiteral("record"), QStringLiteral("the record"), QStringLiteral("SPEC")},
         {QStringLiteral("rows"), QStringLiteral("rows per thread"), QStringLiteral("N")},
         {QStringLiteral("threads"), QStringLiteral("writer threads"), QStringLiteral("T"),
          QStringLiteral("1")},
         {QStringLiteral("station"), QStringLiteral("host name in the rows"),
          QStringLiteral("HOST"), QStringLiteral("station")},
         {QStringLiteral("spread-hours"),
          QStringLiteral("rows start at random moments this far back"), QStringLiteral("H"),
          QStringLiteral("0")}});
    parser.process(app);
    QString error;
    const auto target = ParseRecordTarget(parser.value(QStringLiteral("record")), error);
    if (!target) {
        std::fprintf(stderr, "record-writer: %s\n", qPrintable(error));
        return 64;
    }
    const RecordStore store(*target);
    const QString station = parser.value(QStringLiteral("station"));
    const int spread = parser.value(QStringLiteral("spread-hours")).toInt() * 3600;

    if (!parser.isSet(QStringLiteral("rows"))) {
        PrintResult(store, store.Open());
        SampleLine line{station, QDateTime::currentDateTimeUtc(), spread,
                        QRandomGenerator::securelySeeded()};
        for (std::string text; std::getline(std::cin, text);) {
            for (int i = QString::fromStdString(text).toInt(); i > 0; --i)
                PrintResult(store, store.Append(SampleRecord(line)));
        }
        return 0;
    }

    const int rows = parser.value(QStringLiteral("rows")).toInt();
    const int threads = parser.value(QStringLiteral("threads")).toInt();
    std::vector<int> failures(static_cast<size_t>(threads));
    std::vector<std::unique_ptr<QThread>> workers;
    QElapsedTimer clock;
    clock.start();
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back(QThread::create([&, t] {
            SampleLine line{station, QDateTime::currentDateTimeUtc(), spread,
                            QRandomGenerator::securelySeeded()};
            for (int i = 0; i < rows; ++i) {
                const StoreResult result = store.Append(SampleRecord(line));
                if (result.status != StoreStatus::Stored) {
                    ++failures[static_cast<size_t>(t)];
                    std::fprintf(stderr, "record-writer: %s\n", qPrintable(result.warning));
                }
            }
        }));
        workers.back()->start();
    }
    int failed = 0;
    for (size_t t = 0; t < workers.size(); ++t) {
        workers[t]->wait();
        failed += failures[t];
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::printf("rows %d seconds %.3f\n", rows * threads - failed, seconds);
    return failed == 0 ? 0 : 1;
}
