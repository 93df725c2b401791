#include "RunRecord.h"

#include "ProgramVersion.h"
#include "StationFacts.h"

#include <QCoreApplication>
#include <QFileInfo>

DownloadRecord BeginRecord(const QString& port, const QString& devicePath,
                           const QString& firmwareFile, const QString& firmwareSha256)
{
    DownloadRecord record;
    record.id = NewRecordId();
    record.started = QDateTime::currentDateTimeUtc();
    record.host = StationHostName();
    record.user = StationUserName();
    record.program = QCoreApplication::applicationName();
    record.programVersion = QString::fromLatin1(kProgramVersion);
    record.port = port;
    const QFileInfo device(devicePath);
    record.devicePath = device.isSymLink() ? device.canonicalFilePath() : devicePath;
    const UsbAdapterFacts adapter = UsbAdapterOf(record.devicePath);
    record.usbVendorId = adapter.vendorId;
    record.usbProductId = adapter.productId;
    record.usbSerial = adapter.serialNumber;
    record.adapter = adapter.description;
    record.firmwareFile = QFileInfo(firmwareFile).absoluteFilePath();
    record.firmwareSha256 = firmwareSha256;
    return record;
}

void RecordImage(DownloadRecord& record, int16_t crc, const DownloadPlan& plan)
{
    record.firmwareCrc = CrcText(crc);
    record.firmwareStart = plan.firstStep;
    record.firmwareEnd = plan.endAddress;
    record.headerDue = plan.header;
    record.stepsPlanned = plan.stepCount;
}

void RecordRunEnd(DownloadRecord& record, const RunResult& result)
{
    struct Ending
    {
        const char* outcome;
        int exitCode;
    };
    const Ending ending = [&]() -> Ending {
        switch (result.outcome) {
        case DownloadOutcome::Downloaded:
            return {"downloaded", 0};
        case DownloadOutcome::Failed:
            break;
        case DownloadOutcome::Cancelled:
            return {"cancelled", 2};
        case DownloadOutcome::FileUnusable:
            return {"file-unusable", 3};
        case DownloadOutcome::BootloaderNotStarted:
            return {"bootloader-not-started", 5};
        }
        return {"failed", 1};
    }();
    record.outcome = QLatin1String(ending.outcome);
    record.exitCode = ending.exitCode;
    record.reason = ReasonWord(result.reason.kind);
    if (result.outcome == DownloadOutcome::Downloaded) {
        record.detail = (result.verified ? QStringLiteral("verified by the device, CRC %1h")
                                         : QStringLiteral("no header was due, CRC %1h"))
                            .arg(record.firmwareCrc);
    } else {
        record.detail = ReasonText(result.reason);
    }
}

void FinishRecord(DownloadRecord& record)
{
    record.finished = QDateTime::currentDateTimeUtc();
    record.durationMs = record.started.msecsTo(record.finished);
}
