#include "Firmware.h"

#include "Bootloader.h"
#include "Crc16.h"
#include "Files.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace {

std::filesystem::path ToPath(const QString& fileName)
{
#ifdef _WIN32
    return std::filesystem::path(fileName.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
#endif
}

QString FileSha256(const QString& fileName)
{
    // Only a regular file: reading a FIFO or a device named as firmware would never end.
    if (!QFileInfo(fileName).isFile())
        return QString();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

// The facts of an image filled from start to end: it counts as loaded.
void DescribeImage(Firmware& firmware, std::shared_ptr<const FirmwareImage> image, int32_t start,
                   int32_t end)
{
    firmware.state = Firmware::State::Loaded;
    firmware.loaderResult = SRecordResult::Ok;
    firmware.start = start;
    firmware.end = end;
    const ApplicationChecks checks = CalculateApplicationChecks(*image, end);
    firmware.crc = checks.crc;
    firmware.checksum = checks.checksum;
    firmware.plan = PlanDownload(*image, start, end);
    firmware.image = std::move(image);
}

} // namespace

std::shared_ptr<const Firmware> LoadFirmware(const QString& fileName, Host& host,
                                             const std::atomic<bool>& cancel)
{
    auto firmware = std::make_shared<Firmware>();
    firmware->fileName = fileName;
    const std::filesystem::path path = ToPath(fileName);
    const bool missing = fileName.isEmpty() || !FileExists(path);
    // A missing file fails at once, with the loader's own words for it.
    auto image = std::make_shared<FirmwareImage>();
    const SRecordLoad load = LoadSRecordFile(path, *image, host, cancel);
    firmware->loaderResult = load.result;
    firmware->problem = load.problem;
    firmware->overlap = load.overlap;
    if (missing) {
        firmware->state = Firmware::State::Missing;
        return firmware;
    }
    if (cancel)
        firmware->state = Firmware::State::Cancelled;
    else if (load.result == SRecordResult::Ok)
        DescribeImage(*firmware, std::move(image), load.startAddr, load.endAddr);
    else
        firmware->state = Firmware::State::NotUsable;
    // Also of a file that does not load: the record tells which file it was.
    firmware->sha256 = FileSha256(fileName);
    return firmware;
}

std::shared_ptr<const Firmware> FirmwareOf(const FirmwareImage& image, int32_t start, int32_t end,
                                           const QString& fileName)
{
    auto firmware = std::make_shared<Firmware>();
    firmware->fileName = fileName;
    DescribeImage(*firmware, std::make_shared<const FirmwareImage>(image), start, end);
    firmware->sha256 = FileSha256(fileName);
    return firmware;
}

FailureReason Firmware::Failure() const
{
    FailureReason reason;
    if (state == State::Missing)
        reason.kind = FailureKind::FileMissing;
    else if (state == State::NotUsable)
        reason.kind = FailureKind::FileNotUsable;
    return reason;
}

QString Firmware::ProblemText() const
{
    switch (state) {
    case State::Loaded:
    case State::Cancelled:
        break;
    case State::Missing:
        return fileName + QStringLiteral(": ") +
               QLatin1String(UnopenableText(WhyUnopenable(ToPath(fileName))));
    case State::NotUsable: {
        const QString kind = QString::fromUtf8(LoadProblemText(problem.kind));
        return fileName + QStringLiteral(": ") +
               (problem.line > 0 ? QStringLiteral("line %1: %2").arg(problem.line).arg(kind)
                                 : kind);
    }
    }
    return QString();
}

ApplicationChecks CalculateApplicationChecks(const FirmwareImage& image, int32_t endAddr)
{
    const int32_t last = endAddr < kLastImageAddress ? endAddr : kLastImageAddress;
    return {static_cast<int16_t>(CalculateCrc(image.data(), kApplicationStart, last)),
            CalculateChecksum(image.data(), kApplicationStart, last)};
}
