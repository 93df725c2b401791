// norvane-flash flash: downloads one firmware file into the devices on one or several ports
// at once, each port on a worker thread of its own.
#include "Commands.h"

#include "Crc16.h"
#include "DownloadTexts.h"
#include "EventLoopHost.h"
#include "FirmwareFile.h"
#include "FlashConsole.h"
#include "FlashInterrupt.h"
#include "FlashJob.h"
#include "FlashJsonReporter.h"
#include "FlashOptions.h"
#include "FlashTerminalReporter.h"
#include "FlashTextReporter.h"

#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<FlashReporter> MakeReporter(const FlashOptions& options)
{
    if (options.json)
        return std::make_unique<FlashJsonReporter>(stdout);
    if (IsTerminal(stdout))
        return std::make_unique<FlashTerminalReporter>(options.ports, stdout);
    return std::make_unique<FlashTextReporter>(options.ports, stdout, stderr);
}

// The file could not be used: every port ends with the same outcome, no port is touched.
int EndEveryPort(FlashReporter& reporter, const QStringList& ports, int exitCode,
                 const QString& outcome, const QString& detail)
{
    for (const QString& port : ports)
        reporter.Outcome({port, exitCode, outcome, detail, false, 0});
    reporter.Finish();
    return exitCode;
}

QString LoadProblemDetail(const LoadProblem& problem)
{
    const QString kind = QString::fromUtf8(LoadProblemText(problem.kind));
    return problem.line > 0 ? QStringLiteral("line %1: %2").arg(problem.line).arg(kind) : kind;
}

} // namespace

int RunFlashCommand(const QStringList& args)
{
    FlashOptions options;
    QString error;
    if (!ParseFlashOptions(args, options, error)) {
        std::fprintf(stderr, "norvane-flash flash: %s\n\n%s", qPrintable(error), FlashUsageText());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(FlashUsageText(), stdout);
        return kExitOk;
    }

    FlashTraceLog trace;
    if (!options.traceFile.isEmpty() && !trace.Open(options.traceFile, error)) {
        std::fprintf(stderr, "norvane-flash flash: cannot write the trace file %s: %s\n",
                     qPrintable(options.traceFile), qPrintable(error));
        return kExitUsage;
    }

    InitCrcTable();
    InstallInterruptHandler();
    const std::unique_ptr<FlashReporter> reporter = MakeReporter(options);

    // The file is loaded once, here, and every port downloads that one image.
    reporter->Status(QString(), kStatusLoadingFile);
    EventLoopHost host;
    auto image = std::make_unique<FirmwareImage>();
    int32_t startAddr = 0;
    int32_t endAddr = 0;
    LoadProblem problem;
    switch (LoadFirmwareFile(options.fileName, *image, startAddr, endAddr, host, Interrupted(),
                             &problem)) {
    case FirmwareFileResult::Missing: {
        const MessageBoxText box = FileMissingBox();
        reporter->Message(QString(), box.title, box.prompt, box.style);
        return EndEveryPort(*reporter, options.ports, kExitFileNotUsable,
                            QStringLiteral("file-unusable"),
                            options.fileName + QStringLiteral(": no such file or not readable"));
    }
    case FirmwareFileResult::NotUsable: {
        const MessageBoxText box = BadFileBox(options.fileName);
        reporter->Message(QString(), box.title, box.prompt, box.style);
        return EndEveryPort(*reporter, options.ports, kExitFileNotUsable,
                            QStringLiteral("file-unusable"),
                            options.fileName + QStringLiteral(": ") + LoadProblemDetail(problem));
    }
    case FirmwareFileResult::Cancelled:
        return EndEveryPort(*reporter, options.ports, kExitCancelled, QStringLiteral("cancelled"),
                            QString());
    case FirmwareFileResult::Loaded:
        break;
    }
    reporter->Status(QString(), kStatusCalculatingCrc);

    std::vector<FlashSummary> summaries(static_cast<size_t>(options.ports.size()));
    std::vector<std::unique_ptr<QThread>> workers;
    for (qsizetype i = 0; i < options.ports.size(); ++i) {
        FlashJob job{options.ports[i],
                     image.get(),
                     startAddr,
                     endAddr,
                     options.fileName,
                     reporter.get(),
                     options.traceFile.isEmpty() ? nullptr : &trace};
        FlashSummary* result = &summaries[static_cast<size_t>(i)];
        workers.emplace_back(QThread::create([job, result] { *result = RunFlashJob(job); }));
        workers.back()->start();
    }
    for (const auto& worker : workers)
        worker->wait();
    reporter->Finish();

    int exitCode = kExitOk;
    for (const FlashSummary& summary : summaries)
        exitCode = std::max(exitCode, summary.exitCode);
    return exitCode;
}
