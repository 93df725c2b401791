// norvane-devsim: the virtual Norvane device on a pseudo-terminal, for tests, demos and
// training. Prints the device path as its first line; any program that speaks the device's
// protocol can open that path as a serial port.
#include "ProgramVersion.h"
#include "PseudoTerminal.h"
#include "PtyDeviceServer.h"
#include "RealTimeScheduler.h"
#include "StopSignals.h"
#include "TraceWriter.h"
#include "VirtualDevice.h"
#include "VisibleText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

struct Options
{
    QString linkPath;
    QString flashIn;
    QString flashOut;
    QString tracePath;
    DeviceTiming timing;
    FaultPlan faults;
};

constexpr int kExitFailure = 2;

// A file, link or pseudo-terminal that cannot be had.
int Failure(const QString& message)
{
    std::fprintf(stderr, "norvane-devsim: %s\n", qPrintable(VisibleText(message)));
    return kExitFailure;
}

// A command line that is not right.
int Usage(const QString& message)
{
    Failure(message);
    std::fputs("Try 'norvane-devsim --help'.\n", stderr);
    return kExitFailure;
}

std::optional<Options> ParseOptions(const QCoreApplication& app, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A virtual Norvane device on a pseudo-terminal. The first line printed is "
                       "the device path to open as the serial port.\n\n") +
        FaultPlanHelp());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("Also make a symbolic link at <path> to the device; only a link "
                       "found there is replaced."),
        QStringLiteral("path"));
    const QCommandLineOption flashIn(
        QStringLiteral("flash-in"),
        QStringLiteral("Start with the flash contents of <file> (up to 256 KiB)."),
        QStringLiteral("file"));
    const QCommandLineOption flashOut(QStringLiteral("flash-out"),
                                      QStringLiteral("Write the 256 KiB flash to <file> at exit."),
                                      QStringLiteral("file"));
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QStringLiteral("Write one JSON line per frame in and out to <file>."),
        QStringLiteral("file"));
    const QCommandLineOption fault(
        QStringLiteral("fault"), QStringLiteral("Misbehave as <faults> says (see the list above)."),
        QStringLiteral("faults"));
    const QCommandLineOption pace(
        QStringLiteral("pace"),
        QStringLiteral("Let bytes take their time on the wire (19200 baud)."));
    const QCommandLineOption handover(
        QStringLiteral("handover"),
        QStringLiteral("Hand-over to the bootloader takes <ms> (default 200)."),
        QStringLiteral("ms"), QStringLiteral("200"));
    const QCommandLineOption replyLatency(
        QStringLiteral("reply-latency"),
        QStringLiteral("Every reply reaches the host <ms> later (default 0), as through a "
                       "USB-serial adapter with its latency timer at that, e.g. 16. Give --pace "
                       "too: unpaced, the line is faster than the wire and hides the delay."),
        QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({link, flashIn, flashOut, trace, fault, pace, handover, replyLatency});
    // Checked before process(), which would end the program with its own code and words.
    if (!parser.parse(QCoreApplication::arguments())) {
        *error = parser.errorText();
        return std::nullopt;
    }
    parser.process(app); // --help, --help-all and --version end here

    Options options;
    options.linkPath = parser.value(link);
    options.flashIn = parser.value(flashIn);
    options.flashOut = parser.value(flashOut);
    options.tracePath = parser.value(trace);
    options.timing.pace = parser.isSet(pace);
    bool ok = false;
    const int handoverMs = parser.value(handover).toInt(&ok);
    if (!ok || handoverMs < 0) {
        *error = QStringLiteral("bad hand-over time \"%1\"").arg(parser.value(handover));
        return std::nullopt;
    }
    options.timing.handoverMicros = int64_t{handoverMs} * 1000;
    const int latencyMs = parser.value(replyLatency).toInt(&ok);
    if (!ok || latencyMs < 0) {
        *error = QStringLiteral("bad reply latency \"%1\"").arg(parser.value(replyLatency));
        return std::nullopt;
    }
    options.timing.adapterLatencyMicros = int64_t{latencyMs} * 1000;
    for (const QString& faultList : parser.values(fault)) {
        if (!AddFaults(options.faults, faultList, error))
            return std::nullopt;
    }
    return options;
}

bool IsSymbolicLink(const QString& path)
{
    std::error_code error;
    return std::filesystem::is_symlink(
        std::filesystem::symlink_status(std::filesystem::path(path.toStdU16String()), error));
}

bool LoadFlash(const QString& path, FirmwareImage& flash, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.read(kImageSize);
    std::copy(bytes.begin(), bytes.end(), flash.begin());
    return true;
}

bool SaveFlash(const QString& path, const FirmwareImage& flash)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(flash.data()), kImageSize) == kImageSize;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("norvane-devsim"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));

    QString error;
    const std::optional<Options> options = ParseOptions(app, &error);
    if (!options)
        return Usage(error);

    RealTimeScheduler scheduler;
    VirtualDevice device(scheduler, options->timing, options->faults);
    if (!options->flashIn.isEmpty() &&
        !LoadFlash(options->flashIn, device.FlashMemory().Bytes(), &error))
        return Failure(error);

    TraceWriter trace;
    if (!options->tracePath.isEmpty()) {
        if (!trace.Open(options->tracePath, &error))
            return Failure(error);
        device.SetTraceSink([&trace](const TraceFrame& frame) { trace.Write(frame); });
    }

    PseudoTerminal terminal;
    if (!terminal.Create(&error))
        return Failure(error);
    if (!options->linkPath.isEmpty()) {
        // Only a link (left by an earlier run) is replaced; a file or folder stays as it is.
        if (IsSymbolicLink(options->linkPath))
            QFile::remove(options->linkPath);
        if (!QFile::link(terminal.DevicePath(), options->linkPath))
            return Failure(QStringLiteral("cannot make the link %1: something that is not a "
                                          "symbolic link is there, or the folder is not writable")
                               .arg(options->linkPath));
    }
    PtyDeviceServer server(terminal, device, [] { QCoreApplication::quit(); });
    // A stop ends the event loop normally, so that the work done at exit (writing the flash
    // image, removing the link) still happens.
    StopSignals stops;
    QObject::connect(&stops, &StopSignals::Stopped, &app, &QCoreApplication::quit);

    std::printf("%s\n", qPrintable(terminal.DevicePath()));
    std::fflush(stdout);

    const int status = app.exec();

    if (!options->linkPath.isEmpty() &&
        QFileInfo(options->linkPath).symLinkTarget() == terminal.DevicePath())
        QFile::remove(options->linkPath);
    if (!options->flashOut.isEmpty() && !SaveFlash(options->flashOut, device.Flash()))
        return Failure(QStringLiteral("cannot write the flash to %1").arg(options->flashOut));
    return status;
}
